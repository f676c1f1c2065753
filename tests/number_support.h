// Helpers of the number formatting suites. A formatter handle is the address of an
// icu::number::LocalizedNumberFormatter, so the suites configure formatters directly in ICU and
// compare their output with what the library writes.
#pragma once

#include "support.h"

#include <unicode/numberformatter.h>

#include <cstring>
#include <string>
#include <vector>

namespace qtest {

using NF = QOVAUnicodeNumFormatterFactory;
using NS = QOVAUnicodeNumFormatterServices;
using LNF = icu::number::LocalizedNumberFormatter;

// Owns one number formatter handle for the duration of a test.
struct Fmt {
    void* h;
    explicit Fmt(const char* locale) : h(NF::make(locale)) {}
    explicit Fmt(void* adopted) : h(adopted) {}
    Fmt(const Fmt&) = delete;
    ~Fmt() { NF::destroy(h); }
    operator void*() const { return h; }
    LNF& icu() const { return *static_cast<LNF*>(h); }
};

// The content of a string handle; a failed format leaves it empty (and bogus, with no buffer).
inline std::u16string text(const Str& out) {
    return out.icu().length() == 0 ? std::u16string() : out.units();
}

// What the library writes for a value, into a fresh string handle.
inline std::u16string formatDouble(void* f, double v, bool keepA = true, bool keepB = false) {
    Str out;
    NS::FormatDouble(f, out, v, keepA, keepB);
    return text(out);
}

inline std::u16string formatInt(void* f, long long v) {
    Str out;
    NS::FormatInt(f, out, v);
    return text(out);
}

// ICU's own text for the same call, in the form the library hands it back: followed by one
// U+0000, or empty when ICU fails.
inline std::u16string expected(const icu::number::FormattedNumber& result, UErrorCode& status) {
    const icu::UnicodeString s = result.toString(status);
    if (U_FAILURE(status)) return std::u16string();
    return std::u16string(s.getBuffer(), static_cast<size_t>(s.length())) + u'\0';
}

inline std::u16string icuDouble(const LNF& f, double v) {
    UErrorCode status = U_ZERO_ERROR;
    return expected(f.formatDouble(v, status), status);
}

inline std::u16string icuInt(const LNF& f, long long v) {
    UErrorCode status = U_ZERO_ERROR;
    return expected(f.formatInt(v, status), status);
}

// All settings of a formatter as ICU writes them, or the error name when it cannot.
inline std::string skeleton(const LNF& f) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString s = f.toSkeleton(status);
    std::string utf8;
    return U_FAILURE(status) ? u_errorName(status) : s.toUTF8String(utf8);
}

// An argument list of 8-byte slots, filled byte by byte in little-endian order so that it means
// the same on every host. An int leaves garbage in the upper half of its slot, as a caller
// that pushed a 32-bit value may.
class Args {
public:
    Args& i(int32_t v, uint32_t upper = 0xA5C3E1F7u) {
        return put((static_cast<uint64_t>(upper) << 32) | static_cast<uint32_t>(v));
    }
    Args& d(double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return put(bits);
    }
    // The list starts `offset` bytes into its buffer, to show that alignment does not matter.
    char* get(size_t offset = 0) const {
        shifted_.assign(offset, 0x5A);
        shifted_.insert(shifted_.end(), bytes_.begin(), bytes_.end());
        return reinterpret_cast<char*>(shifted_.data() + offset);
    }

private:
    Args& put(uint64_t bits) {
        for (int b = 0; b < 8; ++b) bytes_.push_back(static_cast<unsigned char>(bits >> (8 * b)));
        return *this;
    }
    std::vector<unsigned char> bytes_;
    mutable std::vector<unsigned char> shifted_;
};

}  // namespace qtest
