// Formatting through a number formatter handle: decimal text, doubles and 64-bit integers,
// written into a string handle in terminated form.
#include "QOVAicuC.h"
#include "frame/handles.h"
#include "number/formatter_handle.h"
#include "strings/string_handle.h"
#include "strings/terminator.h"

#include <utility>

using S = QOVAUnicodeNumFormatterServices;

namespace {

// The steps every formatting call shares. One status goes to the format call and then to the
// conversion to text, and is not examined: a failed result converts to ICU's empty bogus
// string, which terminate leaves as it is, so `out` ends up empty, the caller's only sign of a
// failure. Whatever it was, the text replaces the whole content of `out`.
template <class Format>
void formatInto(void* out, Format&& format) {
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text = format(status).toString(status);
    qova::terminate(text);
    qova::asString(out) = std::move(text);
}

}  // namespace

// decimalText is only read. A null pointer makes an empty piece, which ICU rejects.
void S::FormatDecimal(void* formatter, void* out, char* decimalText) {
    if (qova::anyNull(formatter, out)) return;
    const auto& f = qova::asFormatter(formatter);
    formatInto(out, [&](UErrorCode& status) {
        return f.formatDecimal(icu::StringPiece(decimalText), status);
    });
}

// With either flag the handle's settings apply as they are. With neither, the call formats
// with a formatter derived for it alone, which shows at least one fraction digit in place of
// the handle's precision and keeps every other setting; the handle is never changed.
void S::FormatDouble(const void* formatter, void* out, double value, bool keepPrecisionA,
                     bool keepPrecisionB) {
    if (qova::anyNull(formatter, out)) return;
    const auto& f = qova::asFormatter(formatter);
    if (keepPrecisionA || keepPrecisionB) {
        formatInto(out, [&](UErrorCode& status) { return f.formatDouble(value, status); });
    } else {
        formatInto(out, [&](UErrorCode& status) {
            return f.precision(icu::number::Precision::minFraction(1)).formatDouble(value, status);
        });
    }
}

void S::FormatInt(void* formatter, void* out, long long value) {
    if (qova::anyNull(formatter, out)) return;
    const auto& f = qova::asFormatter(formatter);
    formatInto(out, [&](UErrorCode& status) {
        return f.formatInt(static_cast<int64_t>(value), status);
    });
}
