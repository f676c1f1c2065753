// Export to UTF-16, UTF-8, UTF-32 and wide characters.
//
// UTF-16 copies every unit, terminator included, and its size counts them all. The other three
// export the text before the first U+0000 and write a zero after it: their sizes leave the zero
// out, so a buffer needs size + 1 units, and they succeed only on ICU's plain success (when the
// zero does not fit ICU only warns, and that is a failure here).
#include "QOVAicuC.h"
#include "frame/status.h"
#include "strings/export_source.h"
#include "strings/string_handle.h"

#include <unicode/ustring.h>

namespace {

// ICU's UTF-16 to UTF-8, UTF-32 and wchar_t conversions share this shape.
template <class Unit>
using ConvertFromUtf16 = Unit* (*)(Unit* dest, int32_t capacity, int32_t* destLength,
                                   const UChar* src, int32_t srcLength, UErrorCode* status);

template <class Unit>
bool exportText(ConvertFromUtf16<Unit> convert, void* str, Unit* buffer, int capacity) {
    if (!str || !buffer) return false;
    const qova::ExportSource source = qova::exportSource(qova::asString(str));
    if (!source.units) return false;
    UErrorCode status = U_ZERO_ERROR;
    int32_t written = 0;
    convert(buffer, capacity, &written, source.units, source.length, &status);
    // A text whose export exceeds INT32_MAX units makes ICU's count run past the int range
    // (negative) without any error status, after it has filled the buffer: a failure.
    return qova::exactSuccess(status) && written >= 0;
}

// A preflight: the status (a buffer overflow, normally) is not examined. ICU stores no length
// when it cannot convert the text (an unpaired surrogate), and the size is then 0. A size past
// INT32_MAX units (UTF-8 of text above about 716 million units) leaves ICU's count negative:
// that is no size either, and gives 0 as well.
template <class Unit>
int exportSize(ConvertFromUtf16<Unit> convert, void* str) {
    if (!str) return 0;
    const qova::ExportSource source = qova::exportSource(qova::asString(str));
    if (!source.units) return 0;
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    convert(nullptr, 0, &length, source.units, source.length, &status);
    return length < 0 ? 0 : length;
}

}  // namespace

int QOVAUnicodeStringServices::getAsUTF16size(void* str) {
    if (!str) return 0;
    return qova::asString(str).length();
}

// A plain copy of all units; nothing is written after them (the string's own terminator, when
// it has one, is copied as content). This export never reads the string's buffer as text, so a
// bogus string is simply one of length 0 here: nothing is copied and the capacity test decides.
bool QOVAUnicodeStringServices::getAsUTF16(void* str, unsigned short* buffer, int capacity) {
    if (!str || !buffer) return false;
    const icu::UnicodeString& s = qova::asString(str);
    if (capacity < s.length()) return false;
    s.extract(0, capacity, reinterpret_cast<char16_t*>(buffer), 0);
    return true;
}

int QOVAUnicodeStringServices::getAsUTF8size(void* str) {
    return exportSize<char>(u_strToUTF8, str);
}

bool QOVAUnicodeStringServices::getAsUTF8(void* str, char* buffer, int capacity) {
    return exportText<char>(u_strToUTF8, str, buffer, capacity);
}

int QOVAUnicodeStringServices::getAsUTF32size(void* str) {
    return exportSize<UChar32>(u_strToUTF32, str);
}

bool QOVAUnicodeStringServices::getAsUTF32(void* str, int* buffer, int capacity) {
    return exportText<UChar32>(u_strToUTF32, str, buffer, capacity);
}

// wchar_t units as ICU encodes them for the platform: UTF-32 where wchar_t has 32 bits, UTF-16
// where it has 16.
int QOVAUnicodeStringServices::getAsWCSsize(void* str) {
    return exportSize<wchar_t>(u_strToWCS, str);
}

bool QOVAUnicodeStringServices::getAsWCS(void* str, wchar_t* buffer, int capacity) {
    return exportText<wchar_t>(u_strToWCS, str, buffer, capacity);
}
