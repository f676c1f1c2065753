// QOVAUnicodeDateTimeFormatterServices: a count of seconds as localized text, and text back
// into milliseconds, with the formatter that a date-time formatter handle holds.
#include "QOVAicuC.h"
#include "datetime/format_handle.h"
#include "frame/handles.h"
#include "strings/string_handle.h"
#include "strings/terminator.h"

#include <unicode/datefmt.h>

#include <utility>

using Services = QOVAUnicodeDateTimeFormatterServices;
using icu::DateFormat;
using icu::UnicodeString;

namespace {

// ICU's time value is a double count of milliseconds; the caller's is whole seconds.
constexpr double millisPerSecond = 1000.0;

// 2^63, the first double above the long long range.
constexpr double int64Limit = 9223372036854775808.0;

// ICU's parse result truncated toward zero. ICU's dates stay far inside the long long range;
// a value outside it, or NaN, which ICU does not return, gives 0 like a text that cannot be
// parsed, rather than a conversion that the language leaves undefined.
long long millisOf(UDate date) noexcept {
    if (!(date >= -int64Limit && date < int64Limit)) return 0;
    return static_cast<long long>(date);
}

}  // namespace

// The text is terminated before the U+202F replacement (which does not touch the terminator),
// then replaces the whole content of `out`. English time formats put U+202F before AM/PM;
// callers get a plain space there. No other space is changed. A handle that holds no formatter
// (a copy whose clone ICU could not make) is treated like a null one.
void Services::FormatDateTimeToString(void* formatter, void* out, long long seconds) {
    if (qova::anyNull(formatter, out)) return;
    const DateFormat* format = qova::heldFormat<DateFormat>(formatter);
    if (!format) return;
    UnicodeString text;
    format->format(static_cast<double>(seconds) * millisPerSecond, text);
    qova::terminate(text);
    text.findAndReplace(UnicodeString(static_cast<char16_t>(0x202F)),
                        UnicodeString(static_cast<char16_t>(0x0020)));
    qova::asString(out) = std::move(text);
}

// ICU reads the date at the start of an unchanged copy of the text, terminator included; what
// follows the date does not matter. The status is not examined: a text that cannot be parsed
// gives ICU's 0, the result for the first instant of 1970, and is reported no other way.
long long Services::FormatStringToDateTime(void* formatter, void* text) {
    if (qova::anyNull(formatter, text)) return 0;
    const DateFormat* format = qova::heldFormat<DateFormat>(formatter);
    if (!format) return 0;
    const UnicodeString copy(qova::asString(text));
    UErrorCode status = U_ZERO_ERROR;
    return millisOf(format->parse(copy, status));
}
