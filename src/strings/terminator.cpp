// The exported terminator operations, which the whole library's string rules rest on.
#include "QOVAicuC.h"
#include "strings/string_handle.h"
#include "strings/terminator.h"

void QOVAUnicodeStringServices::nullTerminateString(void* str) {
    if (!str) return;
    qova::terminate(qova::asString(str));
}

void QOVAUnicodeStringServices::removeNullTerminator(void* str) {
    if (!str) return;
    qova::stripTerminator(qova::asString(str));
}
