// QOVAUnicodeDateTimeFormatterFactory: date-time formatter handles, each one ICU date format
// bound at creation to a locale, a date style, a time style and a time zone.
#include "QOVAicuC.h"
#include "datetime/format_handle.h"
#include "frame/containment.h"
#include "frame/locale.h"
#include "strings/string_handle.h"

#include <unicode/datefmt.h>
#include <unicode/timezone.h>

#include <memory>

using Factory = QOVAUnicodeDateTimeFormatterFactory;
using Style = Factory::DateTimeStyle;
using icu::DateFormat;

namespace {

// Style numbers are ICU's and reach createDateTimeInstance unchanged: for a number it has no
// pattern for, ICU falls back to another pattern of the locale. The exception is a negative date
// style whose bit for "relative" (128) is set. ICU adds 4 to a date style and takes such a
// number for a relative style; ICU 72 then asks for the plain form of that style, which is
// the very number it started from, and recurses until the stack overflows. None (-1), and -5,
// which becomes none, are not looked up and stay. Those numbers make no formatter.
constexpr bool recursesInIcu(int dateStyle) noexcept {
    const bool relativeBit = (static_cast<unsigned>(dateStyle) & DateFormat::kRelative) != 0;
    return dateStyle < 0 && relativeBit && dateStyle != DateFormat::kNone &&
           dateStyle + DateFormat::kDateOffset != DateFormat::kNone;
}

// A new holder with ICU's formatter for the styles (date first, as ICU takes them) and the
// locale, whose zone `setZone` sets. Null for a date style that ICU cannot take, when ICU makes
// no formatter or no zone, or when memory runs out; whatever was made is released then.
template <class SetZone>
void* makeFormatter(Style dateStyle, Style timeStyle, const char* locale, SetZone&& setZone) {
    if (recursesInIcu(dateStyle)) return nullptr;
    return qova::containFactory([&]() -> void* {
        auto holder = std::make_unique<qova::FormatHolder>();
        std::unique_ptr<DateFormat> format(qova::withLocale(locale, [&](const icu::Locale& loc) -> DateFormat* {
            // A locale id that ICU cannot hold (a language part of twelve characters or more,
            // for one) gives a bogus locale, and ICU 72 reads through a null pointer when it
            // builds a date format for one. ICU makes no formatter for it here.
            if (loc.isBogus()) return nullptr;
            return DateFormat::createDateTimeInstance(static_cast<DateFormat::EStyle>(dateStyle),
                                                      static_cast<DateFormat::EStyle>(timeStyle), loc);
        }));
        if (!format || !setZone(*format)) return nullptr;
        holder->format = std::move(format);
        return holder.release();
    });
}

// The zone named by the text of a string handle. The id is read from a copy, so the caller's
// string stays as it is, terminator included: a terminated id is not an id that ICU knows. An
// unknown id gives ICU's unknown zone (offset zero); only a zone that ICU cannot make fails.
// setTimeZone keeps its own copy of the zone, so the one made here is deleted at once.
void* makeInZone(Style dateStyle, Style timeStyle, const char* locale, void* timeZone) {
    if (!timeZone) return nullptr;
    const icu::UnicodeString id(qova::asString(timeZone));
    return makeFormatter(dateStyle, timeStyle, locale, [&](DateFormat& format) {
        const std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(id));
        if (!zone) return false;
        format.setTimeZone(*zone);
        return true;
    });
}

}  // namespace

// GMT belongs to ICU: the formatter takes a copy of it, and it is never deleted here.
void* Factory::make(const char* locale) {
    return makeFormatter(StyleMedium, StyleMedium, locale, [](DateFormat& format) {
        const icu::TimeZone* gmt = icu::TimeZone::getGMT();
        if (!gmt) return false;
        format.setTimeZone(*gmt);
        return true;
    });
}

void* Factory::make(const char* locale, void* timeZone) {
    return makeInZone(StyleMedium, StyleMedium, locale, timeZone);
}

void* Factory::make(DateTimeStyle dateStyle, DateTimeStyle timeStyle, const char* locale,
                    void* timeZone) {
    return makeInZone(dateStyle, timeStyle, locale, timeZone);
}

void* Factory::makeCopy(const void* handle) { return qova::copyFormatHandle(handle); }

void Factory::destroy(void*& handle) { qova::releaseFormatHandle(handle); }
