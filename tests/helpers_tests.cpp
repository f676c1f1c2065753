// The optional C++ helpers of include/QOVAicuC/: owners, text, settings, matches, split, times.
#include <QOVAicuC/datetime.hpp>
#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/matches.hpp>
#include <QOVAicuC/number_settings.hpp>
#include <QOVAicuC/split.hpp>
#include <QOVAicuC/text.hpp>

#include <gtest/gtest.h>
#include <unicode/datefmt.h>
#include <unicode/numberformatter.h>

#include <type_traits>

namespace {

using namespace qovaicuc;
using N = QOVAUnicodeNumFormatterServices;

std::u16string units(const String& s) {
    const auto& u = *static_cast<icu::UnicodeString*>(s.get());
    return std::u16string(u.getBuffer(), static_cast<size_t>(u.length()));
}

// Whether setPrecision accepts a formatter and an argument of type T.
template <class T, class = void>
struct TakesPrecision : std::false_type {};
template <class T>
struct TakesPrecision<T, std::void_t<decltype(setPrecision(std::declval<NumberFormatter&>(), std::declval<T>()))>>
    : std::true_type {};

// Wrong use that compiled before is now rejected by the compiler.
static_assert(!std::is_constructible_v<String, void*> && std::is_constructible_v<String, Adopt, void*>);
static_assert(!std::is_constructible_v<String, NumberFormatter&&>);
static_assert(!std::is_constructible_v<DateTimeFormatter, NumberParser&&>);
static_assert(!std::is_copy_constructible_v<String> && std::is_nothrow_move_constructible_v<String>);
static_assert(!TakesPrecision<N::PrecisionType>::value && TakesPrecision<Precision>::value);

TEST(Owners, FactoriesGiveOwnersOfTheirKindOrEmptyOnes) {
    auto a = fromUtf8("ab"), b = fromUtf8("cd");
    EXPECT_EQ(units(String::concatenate(a, b)), std::u16string(u"abcd\0", 5));
    EXPECT_EQ(units(String::substring(a, 1, 5)), std::u16string(u"b\0", 2));
    EXPECT_EQ(units(String::copy(a)), units(a));
    EXPECT_EQ(units(String::make()), u"");
    EXPECT_TRUE(Converter::open("ISO-8859-1") && NumberParser::make("en_US") && DateTimeFormatter::make(""));
    auto bad = fromUtf8("(");
    EXPECT_FALSE(Converter::open("no-such-codepage") || Matcher::make(bad) || String::copy(String()));
    // A name with a zero byte would be read cut short: refused.
    EXPECT_FALSE(NumberFormatter::make(std::string_view("en\0US", 5)) || zoneId(std::string_view("GMT\0", 4)));
    auto moved = std::move(a);
    EXPECT_TRUE(moved && !a);
    void* raw = moved.release();
    EXPECT_FALSE(moved);
    String again(adopt, raw);  // released at the end of the scope, as sanitizers check
}

TEST(Text, ZerosRefusedEmptyTextTheSameInEveryExport) {
    auto s = fromUtf8(std::string_view("x\xC3\xA9yz").substr(1, 3));  // a view without a zero after it
    EXPECT_EQ(units(s), std::u16string(u"\u00e9y\0", 3));
    EXPECT_EQ(utf16(s), u"\u00e9y");
    EXPECT_EQ(units(fromUtf16(u"\U0001F600")), std::u16string(u"\U0001F600\0", 3));
    EXPECT_FALSE(fromUtf8(std::string_view("a\0b", 3)) || fromUtf16(std::u16string_view(u"a\0b", 3)));
    auto latin1 = Converter::open("ISO-8859-1");
    for (const String& empty : {String::make(), fromUtf8("")}) {
        EXPECT_EQ(utf8(empty), "");
        EXPECT_EQ(utf16(empty), u"");
        EXPECT_EQ(codepage(empty, latin1), "");
    }
    // A failed formatting call leaves a bogus string: no text in any export.
    auto fmt = NumberFormatter::make("en_US");
    setPrecision(fmt, Precision::fixedFraction(-1));
    auto failed = String::make();
    QOVAUnicodeNumFormatterServices::FormatInt(fmt.get(), failed.get(), 1);
    EXPECT_EQ(utf8(failed), std::nullopt);
    EXPECT_EQ(utf16(failed), std::nullopt);
}

namespace nf = icu::number;

TEST(Settings, EachPrecisionMakerMatchesIcusOwnSetting) {
    const auto base = nf::NumberFormatter::withLocale(icu::Locale("en_US"));
    const std::pair<Precision, nf::LocalizedNumberFormatter> cases[] = {
        {Precision::integer(), base.precision(nf::Precision::integer())},
        {Precision::fixedFraction(3), base.precision(nf::Precision::fixedFraction(3))},
        {Precision::minMaxFraction(1, 2), base.precision(nf::Precision::minMaxFraction(1, 2))},
        {Precision::minMaxSignificantDigits(2, 3), base.precision(nf::Precision::minMaxSignificantDigits(2, 3))},
        {Precision::increment(0.05), base.precision(nf::Precision::increment(0.05))},
        {Precision::currencyCash(), base.precision(nf::Precision::currency(UCURR_USAGE_CASH))},
    };
    for (const auto& [precision, expected] : cases) {
        auto fmt = NumberFormatter::make("en_US");
        setPrecision(fmt, precision);
        for (double value : {1234.5678, -0.126}) {
            auto out = String::make();
            QOVAUnicodeNumFormatterServices::FormatDouble(fmt.get(), out.get(), value, true, false);
            UErrorCode status = U_ZERO_ERROR;
            std::string icu;
            expected.formatDouble(value, status).toString(status).toUTF8String(icu);
            EXPECT_EQ(utf8(out), icu) << precision.type() << " " << value;
        }
    }
}

TEST(Matches, RangeWalksEveryMatchFromTheStartEachTime) {
    auto pattern = fromUtf8("a+"), input = fromUtf8("baaac\xC3\xA9" "aa");
    auto m = Matcher::make(pattern, input);
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<std::tuple<int, int, std::string>> seen;
        for (const Match& match : matches(m)) seen.emplace_back(match.start, match.end, match.text);
        EXPECT_EQ(seen, (decltype(seen){{1, 4, "aaa"}, {6, 8, "aa"}}));
    }
    auto none = fromUtf8("xyz");
    QOVAUnicodeRegexServices::reset(m.get(), none.get());
    EXPECT_TRUE(matches(m).begin() == matches(m).end());
}

TEST(Split, SameFieldsWhateverTheArrayGrowsTo) {
    auto comma = fromUtf8(",");
    auto m = Matcher::make(comma);
    for (int n : {1, 15, 16, 17, 40}) {
        std::vector<std::string> fields;
        std::string text;
        for (int i = 0; i < n; ++i) {
            fields.push_back(i % 3 == 1 ? "" : std::to_string(i));
            text += (i ? "," : "") + fields.back();
        }
        auto input = fromUtf8(text);
        EXPECT_EQ(split(m, input), fields) << n;
        for (int most : {16, 17}) {
            auto head = split(m, input, most);
            ASSERT_TRUE(head) << n;
            EXPECT_EQ(head->size(), std::min<size_t>(fields.size(), most)) << n;
        }
    }
    auto empty = fromUtf8("");
    EXPECT_EQ(split(m, empty), std::vector<std::string>{});
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
    EXPECT_EQ(formatTime(DateTimeFormatter(), system_clock::now()), std::nullopt);
}

}  // namespace
