// QOVAUnicodeRegexServices: match attempts, the positions and the text of the last match.
// Each operation is one RegexMatcher call whose status is judged by ICU's failure test.
#include "QOVAicuC.h"
#include "frame/handles.h"
#include "frame/status.h"
#include "regex/matcher_handle.h"
#include "strings/string_handle.h"
#include "strings/terminator.h"

using icu::RegexMatcher;

namespace {

// One match attempt: false for a null matcher or a failure ICU reports (such as an index
// outside the input), otherwise whether ICU found a match.
template <class Attempt>
bool attempt(void* matcher, Attempt&& call) {
    if (!matcher) return false;
    UErrorCode status = U_ZERO_ERROR;
    const bool found = call(qova::asMatcher(matcher), status);
    return !qova::icuFailed(status) && found;
}

// One position of the last match, -1 when there is none (no attempt yet, or it failed).
template <class Read>
int position(void* matcher, Read&& read) {
    if (!matcher) return -1;
    UErrorCode status = U_ZERO_ERROR;
    const int32_t at = read(qova::asMatcher(matcher), status);
    return qova::icuFailed(status) ? -1 : at;
}

}  // namespace

bool QOVAUnicodeRegexServices::find(void* matcher) {
    return attempt(matcher, [](RegexMatcher& m, UErrorCode& s) { return m.find(s); });
}

// The index forms widen the index with its sign, so ICU sees and refuses a negative one.
bool QOVAUnicodeRegexServices::find(void* matcher, int start) {
    return attempt(matcher, [=](RegexMatcher& m, UErrorCode& s) { return m.find(int64_t{start}, s); });
}

bool QOVAUnicodeRegexServices::lookingAt(void* matcher) {
    return attempt(matcher, [](RegexMatcher& m, UErrorCode& s) { return m.lookingAt(s); });
}

bool QOVAUnicodeRegexServices::lookingAt(void* matcher, int start) {
    return attempt(matcher, [=](RegexMatcher& m, UErrorCode& s) { return m.lookingAt(int64_t{start}, s); });
}

bool QOVAUnicodeRegexServices::matches(void* matcher) {
    return attempt(matcher, [](RegexMatcher& m, UErrorCode& s) { return m.matches(s); });
}

bool QOVAUnicodeRegexServices::matches(void* matcher, int start) {
    return attempt(matcher, [=](RegexMatcher& m, UErrorCode& s) { return m.matches(int64_t{start}, s); });
}

int QOVAUnicodeRegexServices::start(void* matcher) {
    return position(matcher, [](RegexMatcher& m, UErrorCode& s) { return m.start(s); });
}

int QOVAUnicodeRegexServices::end(void* matcher) {
    return position(matcher, [](RegexMatcher& m, UErrorCode& s) { return m.end(s); });
}

// The output is replaced and terminated whatever ICU reports: after a failed match it holds
// only the terminator, so the caller never reads a stale match.
bool QOVAUnicodeRegexServices::group(void* matcher, void* output) {
    if (qova::anyNull(matcher, output)) return false;
    auto& text = qova::asString(output);
    UErrorCode status = U_ZERO_ERROR;
    text = qova::asMatcher(matcher).group(status);
    qova::terminate(text);
    return !qova::icuFailed(status);
}
