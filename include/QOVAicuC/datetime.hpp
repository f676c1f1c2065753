// Date-time formatting and parsing with std::chrono time points: optional, header-only C++
// conveniences over QOVAUnicodeDateTimeFormatterServices.
//
// ```cpp
// auto fmt = qovaicuc::DateTimeFormatter::make("de_DE", "Europe/Berlin");
// std::optional<std::string> text = qovaicuc::formatTime(fmt, std::chrono::system_clock::now());
// std::optional<qovaicuc::TimePoint> t = qovaicuc::parseTime(fmt, "01.01.1970, 01:00:00");
// std::optional<qovaicuc::TimePoint> none = qovaicuc::parseTime(fmt, "garbage");  // std::nullopt
// ```
//
// Time points count from 1970-01-01 00:00:00 UTC (the system clock's epoch). Formatting takes
// whole seconds: a time point is rounded down to its second first, as the library formats a
// count of seconds. Parsing gives milliseconds, as the library does, and ICU's parse reads what
// it recognises from the start of the text and ignores the rest.
#ifndef QOVAICUC_DATETIME_HPP
#define QOVAICUC_DATETIME_HPP

#include <QOVAicuC.h>
#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/text.hpp>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace qovaicuc {

using TimePoint = std::chrono::time_point<std::chrono::system_clock, std::chrono::milliseconds>;

// The text of `time` in the formatter's locale, styles and zone; std::nullopt for an empty
// formatter or when no string can be made.
template <class Duration>
std::optional<std::string> formatTime(const DateTimeFormatter& formatter,
                                      std::chrono::time_point<std::chrono::system_clock, Duration> time) {
    if (!formatter) return std::nullopt;
    String out = String::make();
    const auto seconds = std::chrono::floor<std::chrono::seconds>(time).time_since_epoch().count();
    QOVAUnicodeDateTimeFormatterServices::FormatDateTimeToString(formatter.get(), out.get(),
                                                                 static_cast<long long>(seconds));
    return utf8(out);
}

// The instant that `text` denotes for the formatter; std::nullopt for an empty formatter, text
// that holds a zero byte, and text that the formatter cannot parse. The library gives 0 for such
// text, the value of the epoch itself: a 0 counts as the epoch only when the text begins with
// the formatter's own text of the epoch, so the epoch written in another form (which ICU's
// lenient parse may accept) reads as a failure too.
inline std::optional<TimePoint> parseTime(const DateTimeFormatter& formatter, std::string_view text) {
    String s = fromUtf8(text);
    if (!formatter || !s) return std::nullopt;
    const long long ms = QOVAUnicodeDateTimeFormatterServices::FormatStringToDateTime(formatter.get(), s.get());
    if (ms == 0) {
        const std::optional<std::string> epoch = formatTime(formatter, TimePoint{});
        if (!epoch || epoch->empty() || text.substr(0, epoch->size()) != *epoch) return std::nullopt;
    }
    return TimePoint(std::chrono::milliseconds(ms));
}

}  // namespace qovaicuc

#endif  // QOVAICUC_DATETIME_HPP
