// Several threads at once, each making, using and destroying its own handles of every family,
// each result checked against a direct ICU computation made before the threads start. So a
// wrong result fails here as well as a data race, which .ci/stages/tsan looks for.
#include "support.h"

#include <gtest/gtest.h>
#include <unicode/datefmt.h>
#include <unicode/numberformatter.h>
#include <unicode/numfmt.h>
#include <unicode/regex.h>
#include <unicode/timezone.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using icu::UnicodeString;
using Expected = std::u16string;

std::u16string of(const UnicodeString& s) { return std::u16string(s.getBuffer(), static_cast<size_t>(s.length())); }
std::u16string terminated(UnicodeString s) { return of(s.append(char16_t(0))); }
std::u16string number(double v) {
    const std::string s = std::to_string(v);
    return std::u16string(s.begin(), s.end());
}

struct Case {
    const char* name;
    Expected expected;                    // computed with ICU directly, before the threads start
    std::function<std::u16string()> run;  // the same through the library, with handles of its own
};

std::vector<Case> cases() {
    UErrorCode status = U_ZERO_ERROR;
    const UnicodeString gruss(u"gr\u00FC\u00DF");
    const long long seconds = 1700000000;
    std::unique_ptr<icu::DateFormat> df(icu::DateFormat::createDateTimeInstance(icu::DateFormat::kMedium, icu::DateFormat::kMedium, "de_DE"));
    df->adoptTimeZone(icu::TimeZone::createTimeZone("America/New_York"));
    UnicodeString date;
    df->format(seconds * 1000.0, date).findAndReplace(UnicodeString(char16_t(0x202F)), UnicodeString(u' '));
    icu::Formattable parsed;
    std::unique_ptr<icu::NumberFormat>(icu::NumberFormat::createInstance("de_DE", status))->parse(u"1.234,5", parsed, status);
    const UnicodeString subject(u"ab-12 \u00E9t\u00E9-3 x-99y");  // the matcher refers to it
    icu::RegexMatcher matcher(u"(\\p{L}+)-(\\d+)", subject, 0, status);
    const auto de = icu::number::NumberFormatter::withLocale("de_DE");
    std::string utf8;
    gruss.toUTF8String(utf8);
    char latin1[16] = {};
    gruss.extract(0, gruss.length(), latin1, sizeof latin1, "ISO-8859-1");

    return {
        {"make from a codepage, concatenate, convertToUpper", terminated(UnicodeString(gruss + gruss).toUpper()), [] {
             qtest::Str a(QOVAUnicodeStringFactory::make("gr\xfc\xdf", "ISO-8859-1")), b(QOVAUnicodeStringFactory::makeCopy(a));
             void* joined = nullptr;
             QOVAUnicodeStringServices::concatenate(a, b, joined);
             qtest::Str owned(joined);
             QOVAUnicodeStringServices::convertToUpper(joined);
             return owned.units();
         }},
        {"getAsUTF8", std::u16string(utf8.begin(), utf8.end()), [] {
             qtest::Str s(std::u16string_view(u"gr\u00FC\u00DF\0", 5));
             char buffer[16] = {};
             QOVAUnicodeStringServices::getAsUTF8(s, buffer, QOVAUnicodeStringServices::getAsUTF8size(s) + 1);
             return std::u16string(buffer, buffer + std::strlen(buffer));
         }},
        {"converter open, getAsMBCS, close", std::u16string(latin1, latin1 + std::strlen(latin1)), [] {
             qtest::Str s(std::u16string_view(u"gr\u00FC\u00DF\0", 5));
             void* converter = nullptr;
             char buffer[16] = {};
             QOVAUnicodeCodepageConverter::open("ISO-8859-1", converter);
             QOVAUnicodeStringServices::getAsMBCS(s, converter, buffer, sizeof buffer, '?');
             QOVAUnicodeCodepageConverter::close(converter);
             return std::u16string(buffer, buffer + std::strlen(buffer));
         }},
        {"regex replaceAll", terminated(matcher.replaceAll(u"$2:$1", status)), [] {
             qtest::Str pattern(std::u16string_view(u"(\\p{L}+)-(\\d+)")), input(std::u16string_view(u"ab-12 \u00E9t\u00E9-3 x-99y"));
             qtest::Str with(std::u16string_view(u"$2:$1")), out;
             void* m = QOVAUnicodeRegexFactory::make(pattern, input, 0);
             QOVAUnicodeRegexServices::replaceAll(m, with, out);
             QOVAUnicodeRegexFactory::destroy(m);
             return out.units();
         }},
        {"number FormatInt without grouping", terminated(de.grouping(UNUM_GROUPING_OFF).formatInt(-9876543210LL, status).toString(status)), [] {
             void* f = QOVAUnicodeNumFormatterFactory::make("de_DE");
             void* copy = QOVAUnicodeNumFormatterFactory::makeCopy(f);
             QOVAUnicodeNumFormatterFactory::destroy(f);
             QOVAUnicodeNumFormatterServices::SetGroupingType(copy, QOVAUnicodeNumFormatterServices::GroupingOff);
             qtest::Str out;
             QOVAUnicodeNumFormatterServices::FormatInt(copy, out, -9876543210LL);
             QOVAUnicodeNumFormatterFactory::destroy(copy);
             return out.units();
         }},
        {"number parse", number(parsed.getDouble()), [] {
             void* p = QOVAUnicodeStrToNumFormatterFactory::make("de_DE");
             qtest::Str text(std::u16string_view(u" +1.234,5 "));
             auto err = QOVAUnicodeStrToNumFormatterServices::ErrorNone;
             const double v = QOVAUnicodeStrToNumFormatterServices::FormatStrToDouble(p, text, err);
             QOVAUnicodeStrToNumFormatterFactory::destroy(p);
             return number(v);
         }},
        {"date-time format and parse back", terminated(date) + number(seconds * 1000.0), [] {
             qtest::Str zone(std::u16string_view(u"America/New_York")), out;
             void* f = QOVAUnicodeDateTimeFormatterFactory::make("de_DE", zone);
             void* copy = QOVAUnicodeDateTimeFormatterFactory::makeCopy(f);
             QOVAUnicodeDateTimeFormatterServices::FormatDateTimeToString(copy, out, 1700000000);
             const auto ms = QOVAUnicodeDateTimeFormatterServices::FormatStringToDateTime(f, out);
             QOVAUnicodeDateTimeFormatterFactory::destroy(copy);
             QOVAUnicodeDateTimeFormatterFactory::destroy(f);
             return out.units() + number(static_cast<double>(ms));
         }},
    };
}

// Four threads run every case, each starting at another one, so that different families meet
// ICU at the same moment.
TEST(Threads, EveryFamilyOnFourThreadsGivesIcusResults) {
    const std::vector<Case> all = cases();
    constexpr int kThreads = 4, kRounds = 50;
    std::vector<std::vector<std::string>> wrong(kThreads);
    std::vector<std::thread> pool;
    for (int t = 0; t < kThreads; ++t)
        pool.emplace_back([&, t] {
            for (int r = 0; r < kRounds; ++r)
                for (size_t i = 0; i < all.size(); ++i) {
                    const Case& c = all[(i + static_cast<size_t>(t)) % all.size()];
                    if (c.run() != c.expected) wrong[static_cast<size_t>(t)].push_back(c.name);
                }
        });
    for (auto& th : pool) th.join();
    for (int t = 0; t < kThreads; ++t) EXPECT_TRUE(wrong[static_cast<size_t>(t)].empty()) << "thread " << t << ": " << wrong[static_cast<size_t>(t)].front();
}

}  // namespace
