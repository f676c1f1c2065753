// Search. The searched string is taken whole, terminator included; a needle string is a piece of
// text, so its trailing U+0000 units are stripped for the search (they would have to match too)
// and it is terminated again afterwards. That is why these overloads change `needle`.
#include "QOVAicuC.h"
#include "frame/handles.h"
#include "strings/string_handle.h"
#include "strings/terminator.h"

int QOVAUnicodeStringServices::indexOf(void* str, void* needle, int start) {
    if (qova::anyNull(str, needle)) return -1;
    icu::UnicodeString& text = qova::asString(needle);
    qova::stripTerminator(text);
    const int32_t found = qova::asString(str).indexOf(text, start);
    qova::terminate(text);
    return found;
}

// The last occurrence that begins at or after `start`.
int QOVAUnicodeStringServices::lastIndexOf(void* str, void* needle, int start) {
    if (qova::anyNull(str, needle)) return -1;
    icu::UnicodeString& text = qova::asString(needle);
    qova::stripTerminator(text);
    const int32_t found = qova::asString(str).lastIndexOf(text, start);
    qova::terminate(text);
    return found;
}

// The unit is widened without sign to a code point, so 0 finds the terminator.
int QOVAUnicodeStringServices::indexOf(void* str, unsigned short unit, int start) {
    if (!str) return -1;
    return qova::asString(str).indexOf(static_cast<UChar32>(unit), start);
}

int QOVAUnicodeStringServices::lastIndexOf(void* str, unsigned short unit, int start) {
    if (!str) return -1;
    return qova::asString(str).lastIndexOf(static_cast<UChar32>(unit), start);
}
