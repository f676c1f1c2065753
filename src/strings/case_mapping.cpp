// Case mapping in place with the rules of ICU's default locale. U+0000 maps to itself, so the
// terminator needs no handling.
#include "QOVAicuC.h"
#include "strings/string_handle.h"

bool QOVAUnicodeStringServices::convertToLower(void* str) {
    if (!str) return false;
    qova::asString(str).toLower();
    return true;
}

bool QOVAUnicodeStringServices::convertToUpper(void* str) {
    if (!str) return false;
    qova::asString(str).toUpper();
    return true;
}
