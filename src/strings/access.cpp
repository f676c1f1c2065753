// Access to a string's units: length, one unit, hash.
#include "QOVAicuC.h"
#include "strings/string_handle.h"

// ICU's length minus one: the text length of a string in terminated form (so -1 for a string
// with no units at all).
int QOVAUnicodeStringServices::length(void* str) {
    if (!str) return 0;
    return qova::asString(str).length() - 1;
}

// The index is compared as an unsigned number, so every negative index is out of range too.
// The terminator is a unit like any other and can be read.
unsigned short QOVAUnicodeStringServices::charAt(void* str, int index) {
    if (!str) return 0xFFFF;
    const icu::UnicodeString& s = qova::asString(str);
    if (static_cast<unsigned int>(index) >= static_cast<unsigned int>(s.length())) return 0xFFFF;
    return s.charAt(index);
}

// The hash covers the whole content, terminator included.
int QOVAUnicodeStringServices::hashCode(void* str) {
    if (!str) return 0;
    return qova::asString(str).hashCode();
}
