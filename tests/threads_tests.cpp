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

#include <functional>
#include <memory>
#include <thread>

namespace {

using icu::UnicodeString;
using SF = QOVAUnicodeStringFactory;
using NS = QOVAUnicodeNumFormatterServices;
using DF = QOVAUnicodeDateTimeFormatterFactory;

std::u16string text(const UnicodeString& s) { return std::u16string(s.getBuffer(), static_cast<size_t>(s.length())); }
std::u16string terminated(UnicodeString s) { return text(s.append(char16_t(0))); }
std::u16string number(double v) { return text(UnicodeString(std::to_string(v).c_str())); }

// Each family's work through the library, with handles of its own; the matching expectation
// comes from ICU in EveryFamilyOnFourThreadsGivesIcusResults.
std::u16string strings() {
    qtest::Str a(SF::make("gr\xfc\xdf", "ISO-8859-1")), b(SF::makeCopy(a));
    void* made = nullptr;
    QOVAUnicodeStringServices::concatenate(a, b, made);
    QOVAUnicodeStringServices::convertToUpper(made);
    void* converter = nullptr;
    char bytes[16] = {};
    QOVAUnicodeCodepageConverter::open("ISO-8859-1", converter);
    QOVAUnicodeStringServices::getAsMBCS(a, converter, bytes, sizeof bytes, '?');
    QOVAUnicodeCodepageConverter::close(converter);
    return qtest::Str(made).units() + std::u16string(bytes, bytes + 5);
}
std::u16string regex() {
    qtest::Str pattern(std::u16string_view(u"(\\p{L}+)-(\\d+)")),
        input(std::u16string_view(u"ab-12 \u00E9t\u00E9-3 x-99y"));
    qtest::Str with(std::u16string_view(u"$2:$1")), out;
    void* m = QOVAUnicodeRegexFactory::make(pattern, input, 0);
    QOVAUnicodeRegexServices::replaceAll(m, with, out);
    QOVAUnicodeRegexFactory::destroy(m);
    return out.units();
}
std::u16string numbers() {
    void* f = QOVAUnicodeNumFormatterFactory::make("de_DE");
    void* copy = QOVAUnicodeNumFormatterFactory::makeCopy(f);
    void* parser = QOVAUnicodeStrToNumFormatterFactory::make("de_DE");
    NS::SetGroupingType(copy, NS::GroupingOff);
    qtest::Str out, text(std::u16string_view(u" +1.234,5 "));
    NS::FormatInt(copy, out, -9876543210LL);
    auto err = QOVAUnicodeStrToNumFormatterServices::ErrorNone;
    const double parsed = QOVAUnicodeStrToNumFormatterServices::FormatStrToDouble(parser, text, err);
    for (void* h : {f, copy}) QOVAUnicodeNumFormatterFactory::destroy(h);
    QOVAUnicodeStrToNumFormatterFactory::destroy(parser);
    return out.units() + number(parsed);
}
std::u16string dates() {
    qtest::Str zone(std::u16string_view(u"America/New_York")), out;
    void* f = DF::make("de_DE", zone);
    void* copy = DF::makeCopy(f);
    QOVAUnicodeDateTimeFormatterServices::FormatDateTimeToString(copy, out, 1700000000);
    const long long ms = QOVAUnicodeDateTimeFormatterServices::FormatStringToDateTime(f, out);
    for (void* h : {f, copy}) DF::destroy(h);
    return out.units() + number(static_cast<double>(ms));
}

// Four threads run every family, each starting at another one, so that different families meet
// ICU at the same moment.
TEST(Threads, EveryFamilyOnFourThreadsGivesIcusResults) {
    UErrorCode status = U_ZERO_ERROR;
    const UnicodeString gruss(u"gr\u00FC\u00DF"), subject(u"ab-12 \u00E9t\u00E9-3 x-99y");
    char latin1[8] = {};
    gruss.extract(0, gruss.length(), latin1, sizeof latin1, "ISO-8859-1");
    icu::Formattable parsed;
    std::unique_ptr<icu::NumberFormat>(icu::NumberFormat::createInstance("de_DE", status))
        ->parse(u"1.234,5", parsed, status);
    std::unique_ptr<icu::DateFormat> df(
        icu::DateFormat::createDateTimeInstance(icu::DateFormat::kMedium, icu::DateFormat::kMedium, "de_DE"));
    df->adoptTimeZone(icu::TimeZone::createTimeZone("America/New_York"));
    UnicodeString date;
    df->format(1700000000 * 1000.0, date).findAndReplace(UnicodeString(char16_t(0x202F)), UnicodeString(u' '));
    const std::vector<std::pair<std::function<std::u16string()>, std::u16string>> work = {
        {strings, terminated(UnicodeString(gruss + gruss).toUpper()) + std::u16string(latin1, latin1 + 5)},
        {regex, terminated(icu::RegexMatcher(u"(\\p{L}+)-(\\d+)", subject, 0, status).replaceAll(u"$2:$1", status))},
        {numbers, terminated(icu::number::NumberFormatter::withLocale("de_DE")
                                 .grouping(UNUM_GROUPING_OFF)
                                 .formatInt(-9876543210LL, status)
                                 .toString(status)) +
                      number(parsed.getDouble())},
        {dates, terminated(date) + number(1700000000 * 1000.0)},
    };
    ASSERT_TRUE(U_SUCCESS(status));
    std::vector<std::vector<size_t>> wrong(4);
    std::vector<std::thread> pool;
    for (size_t t = 0; t < 4; ++t)
        pool.emplace_back([&, t] {
            for (size_t i = 0; i < 50 * work.size(); ++i)
                if (work[(i + t) % work.size()].first() != work[(i + t) % work.size()].second)
                    wrong[t].push_back((i + t) % work.size());
        });
    for (auto& th : pool) th.join();
    for (size_t t = 0; t < 4; ++t)
        EXPECT_TRUE(wrong[t].empty()) << "thread " << t << ": family " << wrong[t].front() << " gave another result";
}

}  // namespace
