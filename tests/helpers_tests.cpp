// The optional C++ helpers of include/QOVAicuC/: owners, text, settings, matches, split, times.
#include "support.h"

#include <QOVAicuC/datetime.hpp>
#include <QOVAicuC/matches.hpp>
#include <QOVAicuC/number_settings.hpp>
#include <QOVAicuC/split.hpp>

#include <gtest/gtest.h>
#include <unicode/datefmt.h>
#include <unicode/numberformatter.h>

#include <type_traits>

using namespace qovaicuc;
using qtest::units;
namespace nf = icu::number;

// Whether setPrecision accepts a formatter and an argument of type T.
template <class T, class = void>
struct TakesPrecision : std::false_type {};
template <class T>
struct TakesPrecision<T, std::void_t<decltype(setPrecision(std::declval<NumberFormatter&>(), std::declval<T>()))>>
    : std::true_type {};

// Wrong use that compiled before is now rejected by the compiler.
static_assert(!std::is_constructible_v<String, void*> && std::is_constructible_v<String, Adopt, void*>);
static_assert(!std::is_constructible_v<String, NumberFormatter&&> && TakesPrecision<Precision>::value);
static_assert(!std::is_constructible_v<DateTimeFormatter, NumberParser&&> && !std::is_copy_constructible_v<String>);
static_assert(std::is_nothrow_move_constructible_v<String>);
static_assert(!TakesPrecision<NS::PrecisionType>::value);

TEST(Owners, FactoriesGiveOwnersOfTheirKindOrEmptyOnesTextWithoutZerosAndTheSameEmptyTextEverywhere) {
    auto a = fromUtf8("ab"), b = fromUtf8("cd"), bad = fromUtf8("(");
    auto latin1 = Converter::open("ISO-8859-1");
    EXPECT_EQ(units(String::concatenate(a, b).get()), std::u16string(u"abcd\0", 5));
    EXPECT_EQ(units(String::substring(a, 1, 5).get()), std::u16string(u"b\0", 2));
    EXPECT_EQ(units(String::copy(a).get()), units(a.get()));
    EXPECT_TRUE(latin1 && NumberParser::make("en_US") && DateTimeFormatter::make(""));
    EXPECT_FALSE(Converter::open("no-such-codepage") || Matcher::make(bad) || String::copy(String()));
    // A name or a text with a zero unit would be read cut short: refused.
    EXPECT_FALSE(NumberFormatter::make(std::string_view("en\0US", 5)) || zoneId(std::string_view("GMT\0", 4)));
    EXPECT_FALSE(fromUtf8(std::string_view("a\0b", 3)) || fromUtf16(std::u16string_view(u"a\0b", 3)));
    auto view = fromUtf8(std::string_view("x\xC3\xA9yz").substr(1, 3));  // a view without a zero after it
    EXPECT_TRUE(units(view.get()) == std::u16string(u"\u00e9y\0", 3) && utf16(view) == u"\u00e9y");
    EXPECT_EQ(units(fromUtf16(u"\U0001F600").get()), std::u16string(u"\U0001F600\0", 3));
    auto moved = std::move(a);
    String again(adopt, moved.release());  // released at the end of the scope, as sanitizers check
    EXPECT_TRUE(again && !moved && !a);
    for (const String& empty : {String::make(), fromUtf8("")})
        EXPECT_TRUE(utf8(empty) == "" && utf16(empty) == u"" && codepage(empty, latin1) == "");
    // A failed formatting call leaves a bogus string: no text in any export.
    auto fmt = NumberFormatter::make("en_US");
    setPrecision(fmt, Precision::fixedFraction(-1));
    auto failed = String::make();
    NS::FormatInt(fmt.get(), failed.get(), 1);
    EXPECT_FALSE(utf8(failed) || utf16(failed) || formatTime(DateTimeFormatter(), TimePoint{}));
}

TEST(Settings, EachPrecisionMakerMatchesIcusOwnSetting) {
    const std::pair<Precision, nf::Precision> cases[] = {
        {Precision::integer(), nf::Precision::integer()}, {Precision::increment(0.05), nf::Precision::increment(0.05)},
        {Precision::fixedFraction(3), nf::Precision::fixedFraction(3)},
        {Precision::minMaxFraction(1, 2), nf::Precision::minMaxFraction(1, 2)},
        {Precision::minMaxSignificantDigits(2, 3), nf::Precision::minMaxSignificantDigits(2, 3)},
        {Precision::currencyCash(), nf::Precision::currency(UCURR_USAGE_CASH)}};
    for (const auto& [precision, icuPrecision] : cases) {
        auto fmt = NumberFormatter::make("en_US");
        auto out = String::make();
        setPrecision(fmt, precision);
        NS::FormatDouble(fmt.get(), out.get(), -1234.5678, true, false);
        UErrorCode status = U_ZERO_ERROR;
        std::string icu;
        nf::NumberFormatter::withLocale("en_US").precision(icuPrecision).formatDouble(-1234.5678, status)
            .toString(status).toUTF8String(icu);
        EXPECT_EQ(utf8(out), icu) << precision.type();
    }
}

TEST(Matchers, RangeWalksEveryMatchEachTimeSplitGivesTheSameFieldsWhateverItsArrayGrowsTo) {
    auto pattern = fromUtf8("a+"), input = fromUtf8("baaac\xC3\xA9" "aa"), comma = fromUtf8(","), empty = fromUtf8("");
    auto m = Matcher::make(pattern, input), splitter = Matcher::make(comma);
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<std::tuple<int, int, std::string>> seen;
        for (const Match& match : matches(m)) seen.emplace_back(match.start, match.end, match.text);
        EXPECT_EQ(seen, (decltype(seen){{1, 4, "aaa"}, {6, 8, "aa"}}));
    }
    RS::reset(m.get(), comma.get());  // no match in it; the splitter compiled comma before
    EXPECT_TRUE(matches(m).begin() == matches(m).end());
    for (int n : {1, 15, 16, 17, 40}) {
        std::vector<std::string> fields;
        std::string text;
        for (int i = 0; i < n; ++i) text += (i ? "," : "") + fields.emplace_back(i % 3 == 1 ? "" : std::to_string(i));
        auto input = fromUtf8(text);
        EXPECT_EQ(split(splitter, input), fields) << n;
        for (int most : {16, 17})
            EXPECT_EQ(split(splitter, input, most).value_or(decltype(fields){}).size(), std::min(n, most)) << n;
    }
    EXPECT_EQ(split(splitter, empty), std::vector<std::string>{});
}

TEST(Times, ChronoInAndOutMatchIcuInTheNamedZone) {
    using namespace std::chrono;
    auto berlin = DateTimeFormatter::make(DateTimeFormatter::Style::StyleShort, DateTimeFormatter::Style::StyleLong,
                                          "de_DE", "Europe/Berlin");
    std::unique_ptr<icu::DateFormat> icu(icu::DateFormat::createDateTimeInstance(
        icu::DateFormat::kShort, icu::DateFormat::kLong, icu::Locale("de_DE")));
    icu->adoptTimeZone(icu::TimeZone::createTimeZone("Europe/Berlin"));
    for (long long s : {0LL, 1700000000LL, -86401LL}) {
        const time_point<system_clock, seconds> t{seconds(s)};
        icu::UnicodeString expected;
        std::string text;
        icu->format(static_cast<UDate>(s) * 1000.0, expected).findAndReplace(u"\u202f", u" ").toUTF8String(text);
        // A time point within the second formats as the second it falls in, also before 1970.
        EXPECT_EQ(formatTime(berlin, t + milliseconds(999)), text) << s;
        EXPECT_EQ(parseTime(berlin, text), t) << s;
    }
}
