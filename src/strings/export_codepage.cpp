// Export to a codepage through a converter handle, and ICU's default codepage name. Every call
// resets the converter's from-Unicode state and uses it, so it changes the converter handle.
#include "QOVAicuC.h"
#include "converter/converter_handle.h"
#include "frame/handles.h"
#include "frame/status.h"
#include "strings/export_source.h"
#include "strings/string_handle.h"

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

}  // namespace

// A preflight: the status (a buffer overflow, normally) is not examined. The size leaves out
// the zero byte that getAsMBCS writes after the text.
int QOVAUnicodeStringServices::getAsMBCSsize(void* str, void* converter) {
    if (qova::anyNull(str, converter)) return 0;
    const qova::ExportSource source = qova::exportSource(qova::asString(str));
    if (!source.units) return 0;
    UErrorCode status = U_ZERO_ERROR;
    return ucnv_fromUChars(qova::asConverter(converter), nullptr, 0, source.units, source.length,
                           &status);
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
    UErrorCode status = U_ZERO_ERROR;
    const int32_t count =
        ucnv_fromUChars(cnv, buffer, capacity, source.units, source.length, &status);
    if (!qova::exactSuccess(status)) return false;
    if (substitute == 0 || count <= 0) return true;
    overwriteSubstitutions(cnv, buffer, count, substitute);
    return true;
}

const char* QOVAUnicodeStringServices::getDefaultCodepage(void) { return ucnv_getDefaultName(); }
