// Shared helpers of the test suites. A string handle is the address of an icu::UnicodeString,
// so the suites read and build contents directly through ICU, independently of the services
// under test.
#pragma once

#include "QOVAicuC.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <climits>
#include <string>
#include <vector>

namespace qtest {

inline icu::UnicodeString& ustr(void* handle) { return *static_cast<icu::UnicodeString*>(handle); }

// The exact UTF-16 content of a string handle, U+0000 units included.
inline std::u16string units(void* handle) {
    const icu::UnicodeString& s = ustr(handle);
    return std::u16string(s.getBuffer(), static_cast<size_t>(s.length()));
}

// Owns one string handle for the duration of a test.
class Str {
public:
    Str() : handle_(QOVAUnicodeStringFactory::make()) {}
    // Exactly these units, U+0000 anywhere included; no terminator is added.
    explicit Str(std::u16string_view text) : Str() {
        ustr(handle_).setTo(text.data(), static_cast<int32_t>(text.size()));
    }
    explicit Str(void* adopted) : handle_(adopted) {}
    Str(const Str&) = delete;
    Str& operator=(const Str&) = delete;
    ~Str() { QOVAUnicodeStringFactory::destroy(handle_); }

    void* get() const { return handle_; }
    operator void*() const { return handle_; }
    std::u16string units() const { return qtest::units(handle_); }
    icu::UnicodeString& icu() const { return ustr(handle_); }

private:
    void* handle_;
};

// Sets ICU's default locale for the duration of a test, so that results that depend on the
// default locale are told apart from those of a named locale.
class ScopedDefaultLocale {
public:
    explicit ScopedDefaultLocale(const char* name) : saved_(icu::Locale::getDefault()) {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale(name), status);
    }
    ~ScopedDefaultLocale() {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(saved_, status);
    }

private:
    icu::Locale saved_;
};

}  // namespace qtest
