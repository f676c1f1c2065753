// QOVAUnicodeRegexFactory: compiles a pattern into a matcher handle bound to an input string.
// Both strings lose their trailing U+0000 units in place first: the pattern because a
// terminator would be compiled as part of it, the input because the matcher refers to that
// very string and matches against its text. The flags reach ICU unchanged; ICU rejects the
// bits it does not define or implement through the status.
#include "QOVAicuC.h"
#include "frame/containment.h"
#include "frame/handles.h"
#include "frame/status.h"
#include "regex/matcher_handle.h"
#include "strings/string_handle.h"
#include "strings/terminator.h"

using icu::RegexMatcher;

namespace {

// Runs one RegexMatcher constructor (through ICU's class allocator, which yields null instead
// of throwing) and keeps the matcher only when ICU reports no failure.
template <class Construct>
void* newMatcher(Construct&& construct) {
    return qova::containFactory([&]() -> void* {
        UErrorCode status = U_ZERO_ERROR;
        RegexMatcher* matcher = construct(status);
        if (matcher == nullptr) return nullptr;
        if (qova::icuFailed(status)) {
            delete matcher;
            return nullptr;
        }
        return matcher;
    });
}

}  // namespace

// Both handles are tested before either string is stripped.
void* QOVAUnicodeRegexFactory::make(void* pattern, void* input, unsigned int flags) {
    if (qova::anyNull(pattern, input)) return nullptr;
    auto& regexp = qova::asString(pattern);
    auto& text = qova::asString(input);
    qova::stripTerminator(regexp);
    qova::stripTerminator(text);
    return newMatcher([&](UErrorCode& status) { return new RegexMatcher(regexp, text, flags, status); });
}

// ICU gives a matcher made without an input an empty text of its own.
void* QOVAUnicodeRegexFactory::make(void* pattern, unsigned int flags) {
    if (!pattern) return nullptr;
    auto& regexp = qova::asString(pattern);
    qova::stripTerminator(regexp);
    return newMatcher([&](UErrorCode& status) { return new RegexMatcher(regexp, flags, status); });
}

// The input string the matcher referred to stays the caller's.
void QOVAUnicodeRegexFactory::destroy(void*& matcher) { qova::releaseHandle<RegexMatcher>(matcher); }
