// Editing: append, concatenate, replace, substring. Strings joined as pieces of text lose their
// trailing U+0000 units for the join (otherwise a terminator would end up inside the result) and
// are terminated again afterwards, so every input and every result comes out in terminated form.
#include "QOVAicuC.h"
#include "frame/handles.h"
#include "strings/string_handle.h"
#include "strings/terminator.h"

using icu::UnicodeString;

namespace {

// Whether the texts of `a` and `b` (terminators stripped) joined and terminated stay within the
// int lengths of ICU's strings. ICU would make the joined string bogus past INT32_MAX units.
bool joinFits(const UnicodeString& a, const UnicodeString& b) {
    return b.length() <= INT32_MAX - 1 - a.length();
}

}  // namespace

// `target` and `source` may be the same string: its text is then doubled and terminated once.
// A joined text past INT32_MAX - 1 units fails, with both strings as they were (terminated);
// when ICU cannot allocate the joined text it makes `target` bogus, and the call fails as well.
// A target that was bogus already (a string made from text its codepage could not read) stays
// so, as ICU leaves it, and the call succeeds as for any other string.
bool QOVAUnicodeStringServices::append(void* target, void* source) {
    if (qova::anyNull(target, source)) return false;
    UnicodeString& t = qova::asString(target);
    UnicodeString& s = qova::asString(source);
    const bool wasBogus = t.isBogus();
    qova::stripTerminator(t);
    qova::stripTerminator(s);
    const bool fits = joinFits(t, s);
    if (fits) t.append(s);
    qova::terminate(t);
    qova::terminate(s);
    return fits && (wasBogus || !t.isBogus());
}

// The new string comes first, so that running out of memory leaves both inputs as they were.
// `result` is overwritten; a handle it held stays the caller's to destroy.
bool QOVAUnicodeStringServices::concatenate(void* first, void* second, void*& result) {
    if (qova::anyNull(first, second)) return false;
    auto* joined = new UnicodeString();  // ICU's class allocator: null on exhaustion
    if (!joined) return false;
    UnicodeString& f = qova::asString(first);
    UnicodeString& s = qova::asString(second);
    qova::stripTerminator(f);
    qova::stripTerminator(s);
    const bool fits = joinFits(f, s), bogusInput = f.isBogus() || s.isBogus();
    if (fits) *joined = f + s;
    qova::terminate(f);
    qova::terminate(s);
    qova::terminate(*joined);
    // Past INT32_MAX - 1 units, or out of memory, ICU's join is bogus: nothing is handed out. The
    // join of a bogus input is bogus as ICU makes it, and handed out as for any other input.
    if (!fits || (joined->isBogus() && !bogusInput)) {
        delete joined;
        return false;
    }
    result = joined;
    return true;
}

// Every unit is searched, terminators included. Replacing U+0000 may remove the terminator, so
// the string is terminated again; replacing by U+0000 cuts the string right after its first
// U+0000, which becomes the terminator.
bool QOVAUnicodeStringServices::replace(void* str, unsigned short from, unsigned short to) {
    if (!str) return false;
    UnicodeString& s = qova::asString(str);
    s.findAndReplace(UnicodeString(static_cast<char16_t>(from)),
                     UnicodeString(static_cast<char16_t>(to)));
    if (from == 0) qova::terminate(s);
    if (to == 0) {
        const int32_t first = s.indexOf(static_cast<UChar32>(0), 0);
        if (first >= 0) s.truncate(first + 1);
    }
    return true;
}

// ICU clips the range to the content of `str` (terminator included): a negative start counts
// from 0, a negative length takes nothing, and the end is found by comparing `length` with the
// units left after the start, never by adding them, so any int is safe. A range that reaches
// the end takes the terminator along and terminate adds none.
bool QOVAUnicodeStringServices::substring(void* str, void*& result, int start, int length) {
    if (!str) return false;
    auto* part = new UnicodeString();  // ICU's class allocator: null on exhaustion
    if (!part) return false;
    part->replace(0, part->length(), qova::asString(str), start, length);
    qova::terminate(*part);
    result = part;
    return true;
}
