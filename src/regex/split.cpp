// QOVAUnicodeRegexServices::split: the texts between the pattern's matches, written by ICU into
// the caller's array of icu::UnicodeString objects.
#include "QOVAicuC.h"
#include "frame/handles.h"
#include "frame/status.h"
#include "regex/matcher_handle.h"
#include "strings/string_handle.h"
#include "strings/terminator.h"

#include <unicode/utext.h>

using icu::RegexMatcher;
using icu::UnicodeString;

namespace {

// ICU's split makes the text it splits the matcher's input, and that text is the private copy
// that ends with the call. Rather than leave the matcher referring to it, point the matcher at
// an empty text: ICU keeps a shallow clone of the UText given here, which refers to an empty
// string literal (static storage, never written), so nothing outside the handle has to stay
// alive and every later operation sees an empty input until the caller gives it another. The
// UText on the stack only describes the literal and is closed once ICU has cloned it.
void detachInput(RegexMatcher& matcher) {
    UErrorCode status = U_ZERO_ERROR;
    UText empty = UTEXT_INITIALIZER;
    utext_openUChars(&empty, u"", 0, &status);
    if (qova::icuFailed(status)) return;
    matcher.reset(&empty);
    utext_close(&empty);
}

}  // namespace

// The input is split through a private copy without its trailing U+0000 units; the caller's
// string keeps them. `dest` is the first of `destCapacity` string objects (a single string
// handle is an array of one), and ICU writes the fields into them unchanged: no terminator
// is added and elements after the last field are left alone.
// A capacity below 1 holds no field, and ICU would refuse it only after it has made the text
// the matcher's input and asked for room for `destCapacity` pointers (nearly 2^64 bytes for a
// negative one). It gives 0 here before ICU is called, so the matcher keeps its input and
// position.
int QOVAUnicodeRegexServices::split(void* matcher, void* input, void* dest, int destCapacity) {
    if (qova::anyNull(matcher, input, dest) || destCapacity < 1) return 0;
    auto& regex = qova::asMatcher(matcher);
    UnicodeString text(qova::asString(input));
    qova::stripTerminator(text);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t fields = regex.split(text, static_cast<UnicodeString*>(dest), destCapacity, status);
    detachInput(regex);
    return qova::icuFailed(status) ? 0 : fields;
}
