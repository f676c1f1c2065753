// Formatting through a number formatter handle: decimal text, doubles and 64-bit integers,
// written into a string handle in terminated form.
#include "QOVAicuC.h"
#include "frame/handles.h"
#include "frame/status.h"
#include "number/formatter_handle.h"
#include "strings/string_handle.h"
#include "strings/terminator.h"

#include <utility>

using qova::NumberFormatter;
using S = QOVAUnicodeNumFormatterServices;

namespace {

// ICU's formatter builds a faster form of itself on one of its first calls, and builds it even
// when that call fails; a form built from a failed call then fails every later call. A copy
// starts without that form, so after a failure the handle's formatter is replaced by a copy of
// itself: every setting stays, nothing of the failure does, and a success pays nothing.
void renew(qova::NumberFormatter& formatter) {
    formatter = qova::NumberFormatter(std::as_const(formatter));
}

// The steps every formatting call shares. One status goes to the format call and then to the
// conversion to text; the caller is not told about it: a failed result converts to ICU's empty
// bogus string, which terminate leaves as it is, so `out` ends up empty, the caller's only sign
// of a failure. Whatever it was, the text replaces the whole content of `out`. The status only
// decides whether the handle's formatter must be renewed.
template <class Format>
void formatInto(qova::NumberFormatter& formatter, void* out, Format&& format) {
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text = format(std::as_const(formatter), status).toString(status);
    qova::terminate(text);
    qova::asString(out) = std::move(text);
    if (qova::icuFailed(status)) renew(formatter);
}

}  // namespace

// decimalText is only read. A null pointer makes an empty piece, which ICU rejects.
void S::FormatDecimal(void* formatter, void* out, char* decimalText) {
    if (qova::anyNull(formatter, out)) return;
    formatInto(qova::asFormatter(formatter), out, [&](const NumberFormatter& f, UErrorCode& status) {
        return f.formatDecimal(icu::StringPiece(decimalText), status);
    });
}

// With either flag the handle's settings apply as they are. With neither, the call formats
// with a formatter derived for it alone, which shows at least one fraction digit in place of
// the handle's precision and keeps every other setting. The handle's settings never change;
// its const only says so. The object behind it was made writable by the factory, so after a
// failure it may be renewed like the handle of any other formatting call.
void S::FormatDouble(const void* formatter, void* out, double value, bool keepPrecisionA,
                     bool keepPrecisionB) {
    if (qova::anyNull(formatter, out)) return;
    NumberFormatter& handle = qova::asFormatter(const_cast<void*>(formatter));
    if (keepPrecisionA || keepPrecisionB) {
        formatInto(handle, out, [&](const NumberFormatter& f, UErrorCode& status) {
            return f.formatDouble(value, status);
        });
    } else {
        formatInto(handle, out, [&](const NumberFormatter& f, UErrorCode& status) {
            return f.precision(icu::number::Precision::minFraction(1)).formatDouble(value, status);
        });
    }
}

void S::FormatInt(void* formatter, void* out, long long value) {
    if (qova::anyNull(formatter, out)) return;
    formatInto(qova::asFormatter(formatter), out, [&](const NumberFormatter& f, UErrorCode& status) {
        return f.formatInt(static_cast<int64_t>(value), status);
    });
}
