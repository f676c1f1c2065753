// Export to a codepage through a converter handle, and ICU's default codepage name. Every call
// resets the converter's from-Unicode state and uses it, so it changes the converter handle.
#include "QOVAicuC.h"
#include "converter/converter_handle.h"
#include "frame/handles.h"
#include "frame/status.h"
#include "strings/export_source.h"
#include "strings/string_handle.h"

#include <unicode/ustring.h>

#include <cstdint>

namespace {

// The substitution pass: every output byte equal to one of the converter's substitution bytes
// becomes `substitute`, wherever it came from (a question mark of the text too, when the
// substitution byte is 0x3F). The output byte is compared as a signed char and the substitution
// byte as an unsigned one, so only substitution bytes 0x00..0x7F can ever match; converters
// whose substitution bytes lie at 0x80 and above (Shift_JIS, UTF-8) keep their output.
// A converter set to substitute a Unicode string reports no bytes, and nothing changes.
void overwriteSubstitutions(const UConverter* converter, char* bytes, int32_t count,
                            char substitute) {
    char subBytes[127];  // room for any count that ICU's int8_t can report
    int8_t subCount = sizeof subBytes;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_getSubstChars(converter, subBytes, &subCount, &status);
    if (qova::icuFailed(status)) return;
    for (int32_t i = 0; i < count; ++i) {
        for (int8_t k = 0; k < subCount; ++k) {
            if (static_cast<signed char>(bytes[i]) == static_cast<unsigned char>(subBytes[k])) {
                bytes[i] = substitute;
            }
        }
    }
}

// ICU's compound-text converter keeps the character set of the last character across calls:
// its reset does nothing, so each conversion starts in the set where the previous one ended and
// may begin with an escape sequence or leave one out. Converting one ASCII unit first brings it
// back to its initial set (ASCII), so that a size and the export that follows it agree.
void startCompoundText(UConverter* cnv, UConverterType type) {
    if (type != UCNV_COMPOUND_TEXT) return;
    char scratch[8];
    UErrorCode status = U_ZERO_ERROR;
    ucnv_fromUChars(cnv, scratch, sizeof scratch, u" ", 1, &status);
}

// ICU's ISCII converters drop bytes when their output overflows in the middle of a script
// change (the two bytes of ATR and a script code, and the character after it), so that ICU's
// preflight through an output of capacity 0 counts up to 2 bytes fewer than the conversion
// writes. They are counted here without any overflow: the text goes in pieces small enough for
// the largest output that a piece can give into a scratch buffer on the stack. -1 when the
// count exceeds INT32_MAX.
int32_t countIscii(UConverter* cnv, const char16_t* units, int32_t length) {
    constexpr int32_t kScratch = 1024;
    const int32_t piece = kScratch / ucnv_getMaxCharSize(cnv) - 10;
    const char16_t* end = units + (length < 0 ? u_strlen(units) : length);
    char scratch[kScratch];
    int64_t total = 0;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_resetFromUnicode(cnv);
    do {
        const char16_t* stop = end - units > piece ? units + piece : end;
        char* target = scratch;
        ucnv_fromUnicode(cnv, &target, scratch + kScratch, &units, stop, nullptr, stop == end, &status);
        total += target - scratch;
    } while (U_SUCCESS(status) && units < end);
    return total > INT32_MAX ? -1 : static_cast<int32_t>(total);
}

}  // namespace

// A preflight: the status (a buffer overflow, normally) is not examined. The size leaves out
// the zero byte that getAsMBCS writes after the text. For a text whose bytes would pass
// INT32_MAX, ICU's preflight gives 0 (with an error status) and the ISCII count -1: both come out
// as 0, the failure result.
int QOVAUnicodeStringServices::getAsMBCSsize(void* str, void* converter) {
    if (qova::anyNull(str, converter)) return 0;
    const qova::ExportSource source = qova::exportSource(qova::asString(str));
    if (!source.units) return 0;
    UConverter* cnv = qova::asConverter(converter);
    const UConverterType type = ucnv_getType(cnv);
    startCompoundText(cnv, type);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t size = type == UCNV_ISCII
                             ? countIscii(cnv, source.units, source.length)
                             : ucnv_fromUChars(cnv, nullptr, 0, source.units, source.length, &status);
    return size < 0 ? 0 : size;
}

// Characters that the codepage lacks come out as the converter's substitution bytes (ICU's
// default callback); the pass above may then turn them into `substitute`. The zero byte after
// the text is not part of the converted bytes and stays.
bool QOVAUnicodeStringServices::getAsMBCS(void* str, void* converter, char* buffer, int capacity,
                                          char substitute) {
    if (qova::anyNull(str, converter, buffer) || capacity <= 0) return false;
    const qova::ExportSource source = qova::exportSource(qova::asString(str));
    if (!source.units) return false;
    UConverter* cnv = qova::asConverter(converter);
    startCompoundText(cnv, ucnv_getType(cnv));
    UErrorCode status = U_ZERO_ERROR;
    const int32_t count =
        ucnv_fromUChars(cnv, buffer, capacity, source.units, source.length, &status);
    // Past INT32_MAX bytes ICU reports an error; a negative count is refused all the same.
    if (!qova::exactSuccess(status) || count < 0) return false;
    if (substitute == 0 || count <= 0) return true;
    overwriteSubstitutions(cnv, buffer, count, substitute);
    return true;
}

const char* QOVAUnicodeStringServices::getDefaultCodepage(void) { return ucnv_getDefaultName(); }
