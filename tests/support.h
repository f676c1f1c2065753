// Shared helpers of the unit suites, on top of the handle kit (kit/qkit.h). A string handle is the
// address of an icu::UnicodeString, so the suites build and read contents directly through ICU, independently of the services tested.
// In the tables, the text kNull stands for a null handle: Str makes none for it, and reading a
// null handle gives kNull back, so "null in, nothing changed" is a row like any other.
#pragma once

#include "qkit.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <climits>
#include <string>

namespace qtest {

using namespace std::literals;
inline const std::u16string kNull = u"<null handle>";

// The exact UTF-16 content of a string, U+0000 units included; of a string handle (kNull for null).
inline std::u16string text(const icu::UnicodeString& s) { return {s.getBuffer(), static_cast<size_t>(s.length())}; }
inline std::u16string units(void* handle) { return handle ? text(qkit::str(handle)) : kNull; }

// Owns one string handle for the duration of a test: a new one, one holding exactly the units of
// `text` (U+0000 anywhere included; none for kNull) or one a call made.
struct Str {
    void* h;
    Str() : h(QOVAUnicodeStringFactory::make()) {}
    explicit Str(std::u16string_view text)
        : h(text == kNull ? nullptr : new icu::UnicodeString(text.data(), static_cast<int32_t>(text.size()))) {}
    explicit Str(void* adopted) : h(adopted) {}
    Str(const Str&) = delete;
    Str& operator=(const Str&) = delete;
    ~Str() { QOVAUnicodeStringFactory::destroy(h); }
    operator void*() const { return h; }
    std::u16string units() const { return qtest::units(h); }
    icu::UnicodeString& icu() const { return qkit::str(h); }
};

// Takes ownership of a string handle a call made and returns its units.
inline std::u16string adopt(void* handle) { return Str(handle).units(); }

// Owns a handle of another kind; Destroy is its release operation.
template <void (*Destroy)(void*&)>
struct Owned {
    void* h;
    Owned(const Owned&) = delete;
    ~Owned() { Destroy(h); }
    operator void*() const { return h; }
};

// Sets ICU's default locale for the duration of a test, so that results of the default locale
// are told apart from those of "C" (en_US_POSIX) and of names ICU resolves by falling back.
struct ScopedDefaultLocale {
    const icu::Locale saved = icu::Locale::getDefault();
    explicit ScopedDefaultLocale(const char* name) { set(icu::Locale(name)); }
    ~ScopedDefaultLocale() { set(saved); }
    static void set(const icu::Locale& to, UErrorCode status = U_ZERO_ERROR) { icu::Locale::setDefault(to, status); }
};

// The locale rows every factory with a locale argument must pass: null and "" are the default
// locale (set to de_DE here), exactly "C" is en_US_POSIX, anything else ("c" included) an ICU id.
// `made(name)` formats through the library, `direct(locale)` the same through ICU.
template <class Made, class Direct>
void expectLocaleRule(Made made, Direct direct) {
    ScopedDefaultLocale german("de_DE");
    const auto posix = direct(icu::Locale("en_US_POSIX"));
    ASSERT_NE(direct(icu::Locale::getDefault()), posix) << "no example tells de_DE from en_US_POSIX";
    EXPECT_EQ(made(nullptr), direct(icu::Locale::getDefault()));
    EXPECT_EQ(made(""), direct(icu::Locale::getDefault()));
    EXPECT_EQ(made("C"), posix);
    for (const char* name : {"c", "fr_FR", "C.UTF-8"}) EXPECT_EQ(made(name), direct(icu::Locale(name))) << name;
    EXPECT_NE(made("c"), posix);
}

}  // namespace qtest
