// qovaicu date: formats counts of seconds as date and time, or reads date and time from text.
#include "common.h"

#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/text.hpp>

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
    bool zoneGiven = false;
    bool stylesGiven = false;
    std::vector<std::string> values;
};

// Each factory overload in its place: without a zone or styles the formatter works in GMT with
// medium styles; with a zone only, medium styles in that zone; with styles, in the zone given or
// GMT.
void* makeFormatter(const Options& o) {
    if (!o.zoneGiven && !o.stylesGiven) return F::make(o.locale.c_str());
    // The factory reads the zone string whole: a terminator would make the id unknown.
    qovaicuc::String zone = qovaicuc::zoneId(o.zoneGiven ? o.zone : "GMT");
    if (!o.stylesGiven) return F::make(o.locale.c_str(), zone.get());
    return F::make(*lookup(kDateTimeStyles, o.dateStyle), *lookup(kDateTimeStyles, o.timeStyle),
                   o.locale.c_str(), zone.get());
}

int formatAll(void* fmt, const std::vector<std::string>& values) {
    qovaicuc::String out = qovaicuc::String::make();
    int result = kOk;
    for (const std::string& value : values) {
        const std::optional<long long> seconds = toInt64(value);
        if (!seconds) {
            complain("date", "'" + value + "' is not a whole number of seconds");
            result = kBadValue;
            continue;
        }
        D::FormatDateTimeToString(fmt, out.get(), *seconds);
        std::printf("%s\n", textOf(out.get()).c_str());
    }
    return result;
}

int parseAll(void* fmt, const std::vector<std::string>& values) {
    // The library answers 0 both for the epoch and for text it cannot read; the epoch's own
    // text tells the two apart.
    qovaicuc::String epoch = qovaicuc::String::make();
    D::FormatDateTimeToString(fmt, epoch.get(), 0);
    const std::string epochText = textOf(epoch.get());
    int result = kOk;
    for (const std::string& value : values) {
        qovaicuc::String text = qovaicuc::fromUtf8(value);
        const long long millis = D::FormatStringToDateTime(fmt, text.get());
        if (millis == 0 && value != epochText) {
            complain("date", "cannot read a date and time in '" + value + "' (expected the form '" +
                                 epochText + "')");
            result = kBadValue;
            continue;
        }
        std::printf("%lld\n", millis);
    }
    return result;
}

int run(const Options& o) {
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
    app->add_option("-l,--locale", o->locale, "ICU locale id, e.g. fr_FR; C = en_US_POSIX; "
                                              "default: ICU's default locale");
    CLI::Option* zone =
        app->add_option("-z,--zone", o->zone, "ICU time zone id, e.g. Europe/Berlin (default: GMT; "
                                              "an unknown id acts as offset zero)");
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
        "holds no date and time is reported (the library answers 0 for it, as for the epoch).");
    app->callback([o, zone, date, time] {
        o->zoneGiven = zone->count() > 0;
        o->stylesGiven = date->count() > 0 || time->count() > 0;
    });
    return {app, [o] { return run(*o); }};
}

}  // namespace qovaicu
