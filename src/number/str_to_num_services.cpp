// QOVAUnicodeStrToNumFormatterServices: the number at the start of a string handle's text, read
// by the ICU number format of a number parser handle and converted to double, int, long long or
// a 32-bit unsigned value.
#include "QOVAicuC.h"
#include "datetime/format_handle.h"
#include "frame/handles.h"
#include "frame/status.h"
#include "number/str_to_num_conversion.h"
#include "strings/string_handle.h"

#include <unicode/fmtable.h>
#include <unicode/numfmt.h>

using Services = QOVAUnicodeStrToNumFormatterServices;
using icu::Formattable;
using icu::UnicodeString;

namespace {

// The steps that the four functions share; the handles are not null. The caller's text is
// edited for good: white space trimmed from both ends (a trailing terminator is no white space,
// so trimming stops at it), then every '+' removed wherever it stands, so that "+42", "1+2" and
// "5+" read as numbers. ICU reads the number at the start of what is left; what follows does
// not matter. Only ICU's "nothing read" code is an error, and the error kind is only ever set,
// never cleared. With nothing read the result keeps its default, the 32-bit integer 0.
Formattable readNumber(void* parser, void* text, Services::ErrorType& err) {
    UnicodeString& s = qova::asString(text);
    s.trim();
    s.findAndReplace(UnicodeString("+"), UnicodeString(""));
    Formattable number;
    // A parser for which ICU made no number format (or a copy of one) reads no number at all.
    const icu::NumberFormat* format = qova::heldFormat<icu::NumberFormat>(parser);
    if (!format) {
        err = Services::ErrorInvalid;
        return number;
    }
    UErrorCode status = U_ZERO_ERROR;
    format->parse(s, number, status);
    if (qova::nothingParsed(status)) err = Services::ErrorInvalid;
    return number;
}

// The 64-bit result, which the unsigned result reduces to its low 32 bits.
long long asInt64(const Formattable& number, Services::ErrorType& err) {
    switch (number.getType()) {
        case Formattable::kLong:
            return number.getLong();
        case Formattable::kInt64:
            return number.getInt64();
        default: {
            const double value = qova::floatingValue(number);
            if (std::isinf(value)) {
                err = Services::ErrorInvalid;
                return qova::infiniteAsInteger;
            }
            return qova::truncatedInt64(value);
        }
    }
}

}  // namespace

double Services::FormatStrToDouble(void* parser, void* text, ErrorType& err) {
    if (qova::anyNull(parser, text)) return 0.0;
    const Formattable number = readNumber(parser, text, err);
    switch (number.getType()) {
        case Formattable::kLong:
            return number.getLong();
        case Formattable::kInt64:
            return static_cast<double>(number.getInt64());
        default:
            return qova::floatingValue(number);
    }
}

// A 64-bit integer keeps its low 32 bits; a floating-point value is truncated or, out of range,
// the minimum (no error either way).
int Services::FormatStrToInt32_t(void* parser, void* text, ErrorType& err) {
    if (qova::anyNull(parser, text)) return 0;
    const Formattable number = readNumber(parser, text, err);
    switch (number.getType()) {
        case Formattable::kLong:
            return number.getLong();
        case Formattable::kInt64:
            return qova::low32Signed(number.getInt64());
        default: {
            const double value = qova::floatingValue(number);
            if (std::isinf(value)) {
                err = ErrorInvalid;
                return qova::infiniteAsInteger;
            }
            return qova::truncatedInt(value);
        }
    }
}

long long Services::FormatStrToInt64_t(void* parser, void* text, ErrorType& err) {
    if (qova::anyNull(parser, text)) return 0;
    return asInt64(readNumber(parser, text, err), err);
}

// The low 32 bits of the 64-bit result, so always within 0 to 4294967295 whether unsigned long
// has 32 bits or 64: -1 gives 4294967295.
unsigned long Services::FormatStrToULong(void* parser, void* text, ErrorType& err) {
    if (qova::anyNull(parser, text)) return 0;
    return static_cast<uint32_t>(asInt64(readNumber(parser, text, err), err));
}
