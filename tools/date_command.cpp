// qovaicu date: formats counts of seconds as date and time, or reads date and time from text.
#include "common.h"

#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/text.hpp>

#include <unicode/ucal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace qovaicu {
namespace {

using F = QOVAUnicodeDateTimeFormatterFactory;
using D = QOVAUnicodeDateTimeFormatterServices;

struct Options {
    std::string locale;
    std::string zone;
    std::string dateStyle = "medium";
    std::string timeStyle = "medium";
    bool parse = false;
    bool strict = false;
    bool stylesGiven = false;
    Inputs in;
};

// The zone of the process as ICU sees it (TZ, else the system's setting).
std::string processZone() {
    UChar id[128];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucal_getDefaultTimeZone(id, 128, &status);
    if (U_FAILURE(status)) return "GMT";
    std::string ascii;
    for (int32_t i = 0; i < n; ++i) ascii += static_cast<char>(id[i]);
    return ascii;
}

// Whether ICU's calendar holds the instant `seconds` after the epoch (a strict calendar refuses
// instants outside its range instead of pinning them to its ends).
bool inRange(UCalendar* calendar, long long seconds) {
    constexpr long long kLimit = 9000000000000000LL / 1000;  // no overflow in milliseconds
    if (seconds > kLimit || seconds < -kLimit) return false;
    if (seconds > -100000000000LL && seconds < 100000000000LL) return true;  // about 1200 BC to AD 5100
    UErrorCode status = U_ZERO_ERROR;
    ucal_setMillis(calendar, static_cast<UDate>(seconds) * 1000.0, &status);
    return U_SUCCESS(status);
}

// Medium styles unless styles are given; always in an explicit zone, the process's by default.
void* makeFormatter(const Options& o) {
    // The factory reads the zone string whole: a terminator would make the id unknown.
    qovaicuc::String zone = qovaicuc::zoneId(o.zone);
    if (!o.stylesGiven) return F::make(o.locale.c_str(), zone.get());
    return F::make(*lookup(kDateTimeStyles, o.dateStyle), *lookup(kDateTimeStyles, o.timeStyle),
                   o.locale.c_str(), zone.get());
}

int run(Options o) {
    if (o.stylesGiven && sameName(o.dateStyle, "none") && sameName(o.timeStyle, "none")) {
        complain("date", "--date-style none with --time-style none leaves nothing to write");
        return kUsage;
    }
    const char* tz = std::getenv("TZ");
    if (o.zone.empty() && tz != nullptr && *tz != 0 && *tz != '/' && std::strncmp(tz, ":/", 2) != 0 &&
        !checkZone("date", tz + (*tz == ':'), o.strict))
        return kUsage;
    if (o.zone.empty())
        o.zone = processZone();
    else if (!checkZone("date", o.zone, o.strict))
        return kUsage;
    if (!checkLocale("date", o.locale, o.strict)) return kUsage;
    qovaicuc::DateTimeFormatter fmt(qovaicuc::adopt, makeFormatter(o));
    qovaicuc::String out = qovaicuc::String::make(), text = qovaicuc::String::make();
    if (!fmt) {
        complain("date", "cannot make a date-time formatter for these settings");
        return kUsage;
    }
    // The library answers 0 both for the epoch and for text it cannot read; the epoch's own text
    // tells the two apart.
    D::FormatDateTimeToString(fmt.get(), out.get(), 0);
    const std::string epochText = textOf(out);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCalendar, void (*)(UCalendar*)> calendar(
        ucal_open(nullptr, 0, nullptr, UCAL_GREGORIAN, &status), ucal_close);
    ucal_setAttribute(calendar.get(), UCAL_LENIENT, 0);
    Output& output = Output::get();
    int result = kOk;
    const bool read = forEachRecord("date", o.in, '\n', true, [&](Record& r) {
        const std::string_view value = trim(r.text());
        std::string why = badValue(r, value);
        auto quoted = [value] { return "'" + clip(std::string(value)) + "'"; };
        if (why.empty() && o.parse) {
            decodeInto(value, text.get(), true);  // terminated form, as the library expects its texts
            const long long millis = D::FormatStringToDateTime(fmt.get(), text.get());
            if (millis == 0 && value != epochText)
                why = "cannot read a date and time in " + quoted() + " (expected the form '" + epochText + "')";
            else
                output.write(std::to_string(millis));
        } else if (why.empty()) {
            const std::optional<long long> seconds = toInt64(value);
            if (!seconds || !inRange(calendar.get(), *seconds))
                why = quoted() + (seconds ? " is outside ICU's calendar range" : " is not a whole number of seconds");
            else {
                D::FormatDateTimeToString(fmt.get(), out.get(), *seconds);
                output.text(out.get());
            }
        }
        if (!why.empty()) {  // the line is kept as it was
            complain("date", why);
            result = kBadValue;
            output.write(r.text());
        }
        output.write(r.end);
        output.endRecord();
    });
    return output.finish("date", read ? result : kUsage);
}

}  // namespace

Command addDateCommand(CLI::App& root) {
    auto o = std::make_shared<Options>();
    CLI::App* app = root.add_subcommand(
        "date", "Format seconds since 1970-01-01 00:00:00 UTC as date and time, or read them");
    addInputOptions(*app, o->in, "Seconds to format, or texts to read with --parse,");
    addLocaleOptions(*app, o->locale, o->strict);
    app->add_option("-z,--zone", o->zone,
                    "ICU time zone id, e.g. Europe/Berlin or GMT+02:00 (default: the zone of the "
                    "process, from TZ; qovaicu list zones)");
    CLI::Option* date = app->add_option("-d,--date-style", o->dateStyle,
                                        "Date style: full, long, medium (default), short, none")
                            ->type_name("NAME")
        ->check(oneOf(kDateTimeStyles, "style"));
    CLI::Option* time = app->add_option("-t,--time-style", o->timeStyle,
                                        "Time style: full, long, medium (default), short, none")
                            ->type_name("NAME")
        ->check(oneOf(kDateTimeStyles, "style"));
    app->add_flag("-p,--parse", o->parse,
                  "Read date and time from each text and print milliseconds since 1970-01-01 "
                  "00:00:00 UTC");
    app->footer(
        "Formatting takes SECONDS, parsing prints MILLISECONDS, as the library does. Text that\n"
        "holds no date and time is reported (the library answers 0 for it, as for the epoch).\n"
        "An unknown zone or locale is a warning (ICU then uses GMT or its root data), an error\n"
        "with --strict; so is an unknown id in TZ. Seconds outside ICU's calendar range are an\n"
        "error. Blanks around a value are ignored; a value that fails is reported and its line\n"
        "is printed as it was read, so lines stay aligned; the exit status is then 1.");
    app->callback([o, date, time] {
        o->stylesGiven = date->count() > 0 || time->count() > 0;
    });
    return {app, [o] { return run(*o); }};
}

}  // namespace qovaicu
