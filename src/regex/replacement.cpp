// QOVAUnicodeRegexServices: replacement of the first or every match of the matcher's input.
#include "QOVAicuC.h"
#include "frame/handles.h"
#include "frame/status.h"
#include "regex/matcher_handle.h"
#include "strings/string_handle.h"
#include "strings/terminator.h"

using icu::RegexMatcher;
using icu::UnicodeString;

namespace {

// The replacement is read through a private copy without its trailing U+0000 units, so that a
// terminated replacement adds no U+0000 to every match while the caller's string stays as it
// was. ICU returns a new text (the input itself is not modified); it replaces the output and
// is terminated whatever ICU reports.
template <class Replace>
bool replaceInto(void* matcher, void* replacement, void* output, Replace&& replace) {
    if (qova::anyNull(matcher, replacement, output)) return false;
    UnicodeString with(qova::asString(replacement));
    qova::stripTerminator(with);
    auto& text = qova::asString(output);
    UErrorCode status = U_ZERO_ERROR;
    text = replace(qova::asMatcher(matcher), with, status);
    qova::terminate(text);
    return !qova::icuFailed(status);
}

}  // namespace

bool QOVAUnicodeRegexServices::replaceAll(void* matcher, void* replacement, void* output) {
    return replaceInto(matcher, replacement, output, [](RegexMatcher& m, const UnicodeString& with,
                                                        UErrorCode& s) { return m.replaceAll(with, s); });
}

bool QOVAUnicodeRegexServices::replaceFirst(void* matcher, void* replacement, void* output) {
    return replaceInto(matcher, replacement, output, [](RegexMatcher& m, const UnicodeString& with,
                                                        UErrorCode& s) { return m.replaceFirst(with, s); });
}
