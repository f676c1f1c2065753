// qovaicu date: formats counts of seconds as date and time, or reads date and time from text.
#include "common.h"

#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/text.hpp>

#include <unicode/ucal.h>

#include <cstdio>
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
    std::vector<std::string> values;
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
bool inRange(long long seconds) {
    constexpr long long kLimit = 9000000000000000LL / 1000;  // no overflow in milliseconds
    if (seconds > kLimit || seconds < -kLimit) return false;
    UErrorCode status = U_ZERO_ERROR;
    UCalendar* calendar = ucal_open(nullptr, 0, nullptr, UCAL_GREGORIAN, &status);
    ucal_setAttribute(calendar, UCAL_LENIENT, 0);
    ucal_setMillis(calendar, static_cast<UDate>(seconds) * 1000.0, &status);
    ucal_close(calendar);
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

int formatAll(void* fmt, const std::vector<std::string>& values) {
    qovaicuc::String out = qovaicuc::String::make();
    int result = kOk;
    for (const std::string& value : values) {
        const std::optional<long long> seconds = toInt64(value);
        if (!seconds || !inRange(*seconds)) {
            complain("date", "'" + clip(value) + (seconds ? "' is outside ICU's calendar range"
                                                          : "' is not a whole number of seconds"));
            result = kBadValue;
            continue;
        }
        D::FormatDateTimeToString(fmt, out.get(), *seconds);
        std::printf("%s\n", textOf(out).c_str());
    }
    return result;
}

int parseAll(void* fmt, const std::vector<std::string>& values) {
    // The library answers 0 both for the epoch and for text it cannot read; the epoch's own
    // text tells the two apart.
    qovaicuc::String epoch = qovaicuc::String::make();
    D::FormatDateTimeToString(fmt, epoch.get(), 0);
    const std::string epochText = textOf(epoch);
    int result = kOk;
    for (const std::string& value : values) {
        qovaicuc::String text = qovaicuc::fromUtf8(value);
        const long long millis = D::FormatStringToDateTime(fmt, text.get());
        if (millis == 0 && value != epochText) {
            complain("date", "cannot read a date and time in '" + clip(value) + "' (expected the form '" +
                                 epochText + "')");
            result = kBadValue;
            continue;
        }
        std::printf("%lld\n", millis);
    }
    return result;
}

int run(Options o) {
    if (o.zone.empty())
        o.zone = processZone();
    else if (!checkZone("date", o.zone, o.strict))
        return kUsage;
    if (!checkLocale("date", o.locale, o.strict)) return kUsage;
    qovaicuc::DateTimeFormatter fmt(qovaicuc::adopt, makeFormatter(o));
    if (!fmt) {
        complain("date", "cannot make a date-time formatter for these settings");
        return kUsage;
    }
    const std::vector<std::string> values = valuesOrLines(o.values);
    return o.parse ? parseAll(fmt.get(), values) : formatAll(fmt.get(), values);
}

}  // namespace

Command addDateCommand(CLI::App& root) {
    auto o = std::make_shared<Options>();
    CLI::App* app = root.add_subcommand(
        "date", "Format seconds since 1970-01-01 00:00:00 UTC as date and time, or read them");
    app->add_option("values", o->values,
                    "Seconds to format, or texts to read with --parse (default: one per line of "
                    "stdin)");
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
        "with --strict. Seconds outside ICU's calendar range are an error.");
    app->callback([o, date, time] {
        o->stylesGiven = date->count() > 0 || time->count() > 0;
    });
    return {app, [o] { return run(*o); }};
}

}  // namespace qovaicu
