// The source text of the UTF-8, UTF-32, wide and codepage exports: a string's units up to its
// first U+0000, read straight from the string's own buffer (never copied).
#pragma once

#include <unicode/unistr.h>

namespace qova {

// Units and length as ICU's conversion functions take them; units null when the string has
// no readable buffer.
struct ExportSource {
    const char16_t* units;
    int32_t length;  // -1: up to the first U+0000
};

// A string in terminated form is handed over as null-terminated text (length -1): its first
// U+0000 lies within its units, so ICU never reads past them, and no scan is needed first.
// A string that does not end in U+0000 is handed over with an explicit length, so that ICU never
// reads past its units: the units before the first U+0000 inside, or all of them when it holds
// none. Such a string thus exports the same text it would once terminated.
// A bogus string has no buffer (getBuffer() yields null); the exports then fail and the sizes
// are 0 without calling ICU, which would reject a null source anyway.
inline ExportSource exportSource(const icu::UnicodeString& s) {
    const char16_t* units = s.getBuffer();
    if (!units) return {nullptr, 0};
    const int32_t n = s.length();
    if (n > 0 && units[n - 1] == 0) return {units, -1};
    const int32_t zero = s.indexOf(static_cast<char16_t>(0));
    return {units, zero >= 0 ? zero : n};
}

}  // namespace qova
