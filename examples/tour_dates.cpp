// Dates and numbers from text: one instant in three locales and zones, read back; numbers read
// from text by a locale's rules.
#include "tour.h"

#include <cstdio>
#include <string>

namespace {

using SF = QOVAUnicodeStringFactory;
using DF = QOVAUnicodeDateTimeFormatterFactory;
using DS = QOVAUnicodeDateTimeFormatterServices;
using NF = QOVAUnicodeStrToNumFormatterFactory;
using NS = QOVAUnicodeStrToNumFormatterServices;

// Formats the instant in the locale and zone, prints it, and checks that the text reads back
// as the same instant, in milliseconds.
bool showInstant(long long seconds, const char* locale, const char* zone) {
    void* zoneId = SF::make(zone, "UTF-8");
    void* formatter = DF::make(DF::StyleLong, DF::StyleMedium, locale, zoneId);
    void* text = SF::make();
    DS::FormatDateTimeToString(formatter, text, seconds);
    const std::string label = std::string(locale) + ", " + zone + ":";
    std::printf("  %-34s %s\n", label.c_str(), tour::utf8(text).c_str());
    const bool ok = tour::show("    read back, milliseconds:", std::to_string(DS::FormatStringToDateTime(formatter, text)),
                               std::to_string(seconds * 1000));
    for (void** h : {&zoneId, &text}) SF::destroy(*h);
    DF::destroy(formatter);
    return ok;
}

// Parses `input` with a parser for `locale`; the text is terminated, as the library's strings are.
template <class R>
R parse(R (*fn)(void*, void*, NS::ErrorType&), const char* locale, const char* input, NS::ErrorType& err,
        std::string* after = nullptr) {
    void* parser = NF::make(locale);
    void* text = SF::make(input, "UTF-8");
    QOVAUnicodeStringServices::nullTerminateString(text);
    err = NS::ErrorNone;
    const R value = fn(parser, text, err);
    if (after) *after = tour::utf8(text);
    SF::destroy(text);
    NF::destroy(parser);
    return value;
}

}  // namespace

bool tourDates() {
    std::printf("Dates, and numbers from text\n");
    bool ok = true;

    // 2023-11-14 22:13:00 UTC.
    const long long instant = 1699999980;
    ok &= showInstant(instant, "en_US", "America/New_York");
    ok &= showInstant(instant, "de_DE", "Europe/Berlin");
    ok &= showInstant(instant, "ja_JP", "Asia/Tokyo");

    // The text is trimmed and loses its plus signs in place; German separators.
    NS::ErrorType err = NS::ErrorNone;
    std::string after;
    const double price = parse(&NS::FormatStrToDouble, "de_DE", " +1.234,5", err, &after);
    char shown[32];
    std::snprintf(shown, sizeof shown, "%.1f", price);
    ok &= tour::show("de_DE \" +1.234,5\" as double:", shown, "1234.5");
    ok &= tour::show("the text afterwards:", after, "1.234,5");

    // 3 x 10^9 does not fit an int: its low 32 bits. Infinity is no integer.
    ok &= tour::show("3000000000 as int:", std::to_string(parse(&NS::FormatStrToInt32_t, "C", "3000000000", err)),
                     "-1294967296");
    ok &= tour::show("3000000000 as unsigned long:",
                     std::to_string(parse(&NS::FormatStrToULong, "C", "3000000000", err)), "3000000000");
    const int infinite = parse(&NS::FormatStrToInt32_t, "en_US", "\xE2\x88\x9E", err);
    ok &= tour::show("the infinity sign as int, error:", std::to_string(infinite) + ", " + std::to_string(err),
                     "2147483647, 1");
    return ok;
}
