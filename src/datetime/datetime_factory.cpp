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

// Style numbers are ICU's and reach createDateTimeInstance unchanged, but only those that ICU
// names as styles: none, the four plain styles and their relative forms. Every other number
// has no meaning there; it need not even fit ICU's enumeration type, and some (date styles -2
// to -128, among others) send ICU 72 into endless recursion. Such a number makes no formatter.
constexpr bool namesIcuStyle(int style) noexcept {
    switch (style) {
        case DateFormat::kNone:
        case DateFormat::kFull:
        case DateFormat::kLong:
        case DateFormat::kMedium:
        case DateFormat::kShort:
        case DateFormat::kFullRelative:
        case DateFormat::kLongRelative:
        case DateFormat::kMediumRelative:
        case DateFormat::kShortRelative:
            return true;
        default:
            return false;
    }
}

// A new holder with ICU's formatter for the styles (date first, as ICU takes them) and the
// locale, whose zone `setZone` sets. Null when a style is not ICU's, when ICU makes no
// formatter or no zone, or when memory runs out; whatever was made is released then.
template <class SetZone>
void* makeFormatter(Style dateStyle, Style timeStyle, const char* locale, SetZone&& setZone) {
    if (!namesIcuStyle(dateStyle) || !namesIcuStyle(timeStyle)) return nullptr;
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
