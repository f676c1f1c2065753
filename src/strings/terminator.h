// The terminated form: a string whose last UTF-16 unit is U+0000, held as part of its content,
// so that its buffer reads as a null-terminated UTF-16 text. Every family uses these two steps:
// stripTerminator before text is handed to ICU as a piece to join, search for or match, and
// terminate on every string that the library hands back.
#pragma once

#include <unicode/unistr.h>

namespace qova {

// Appends one U+0000 unless the string already ends in one (however many). A bogus string is
// not writable, so ICU leaves it as it is.
inline void terminate(icu::UnicodeString& s) {
    const int32_t n = s.length();
    if (n >= 1 && s.charAt(n - 1) == 0) return;
    s.append(static_cast<char16_t>(0));
}

// Removes every trailing U+0000 unit; U+0000 units inside the text stay.
inline void stripTerminator(icu::UnicodeString& s) {
    int32_t n = s.length();
    while (n > 0 && s.charAt(n - 1) == 0) --n;
    if (n != s.length()) s.truncate(n);
}

}  // namespace qova
