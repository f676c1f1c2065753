// QOVAUnicodeRegexServices: the three resets.
#include "QOVAicuC.h"
#include "frame/handles.h"
#include "frame/status.h"
#include "regex/matcher_handle.h"
#include "strings/string_handle.h"
#include "strings/terminator.h"

void QOVAUnicodeRegexServices::reset(void* matcher) {
    if (!matcher) return;
    qova::asMatcher(matcher).reset();
}

// The input is stripped before the handles are tested, so a caller's string loses its trailing
// U+0000 units even when the matcher is null. The matcher then refers to that very string
// (no copy): it must stay alive and unchanged while the matcher uses it.
bool QOVAUnicodeRegexServices::reset(void* matcher, void* input) {
    if (input) qova::stripTerminator(qova::asString(input));
    if (qova::anyNull(matcher, input)) return false;
    qova::asMatcher(matcher).reset(qova::asString(input));
    return true;
}

// The index is widened with its sign; ICU refuses one outside the input.
bool QOVAUnicodeRegexServices::reset(void* matcher, int index) {
    if (!matcher) return false;
    UErrorCode status = U_ZERO_ERROR;
    qova::asMatcher(matcher).reset(int64_t{index}, status);
    return !qova::icuFailed(status);
}
