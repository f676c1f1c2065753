// The optional C++ helpers of include/QOVAicuC/: owners, text, settings, matches, split, times.
#include "support.h"

#include <QOVAicuC/datetime.hpp>
#include <QOVAicuC/number_settings.hpp>
#include <QOVAicuC/numbers.hpp>
#include <QOVAicuC/split.hpp>

#include <gtest/gtest.h>
#include <unicode/datefmt.h>
#include <unicode/numberformatter.h>

#include <type_traits>

using namespace qovaicuc;
using namespace std::literals;
using qtest::units;
namespace nf = icu::number;

// Whether a call of the helper F with arguments of the types A compiles; whether it does with the owner O first and
// not with a bare handle there.
template <class, template <class...> class F, class... A> struct Compiles : std::false_type {};
template <template <class...> class F, class... A> struct Compiles<std::void_t<F<A...>>, F, A...> : std::true_type {};
template <template <class...> class F, class... A> constexpr bool ok = Compiles<void, F, A...>::value;
template <template <class...> class F, class O, class... A> constexpr bool owners = ok<F, O, A...> && !ok<F, void*, A...>;
#define CALL(name, f) template <class... A> using name = decltype(f(std::declval<A>()...));
CALL(SetPrecision, setPrecision) CALL(SetWidth, setIntegerWidth) CALL(Utf8, utf8) CALL(Utf16, utf16) CALL(Codepage, codepage)
CALL(Split, split) CALL(Matches, matches) CALL(FormatTime, formatTime) CALL(ParseTime, parseTime) CALL(FormatNum, formatNumber)
CALL(FormatDec, formatDecimal) CALL(ParseInt, parseNumber<int>) CALL(MakeMatcher, Matcher::make) CALL(Join, String::concatenate)
CALL(Part, String::substring) CALL(CopyS, String::copy) CALL(CopyF, NumberFormatter::copy) CALL(CopyP, NumberParser::copy)
CALL(CopyD, DateTimeFormatter::copy) CALL(SetInput, std::declval<Matcher&>().setInput)
#undef CALL

// Every helper takes the owner of its kind: a bare handle or an owner of another kind does not compile
// (setPrecision(str.get(), ...)), nor does a matcher over an input it does not own (an lvalue).
using F = NumberFormatter&; using P = NumberParser&; using S = String&; using D = DateTimeFormatter&; using T = const char*;
static_assert(owners<SetPrecision, F, Precision> && owners<SetWidth, F, int> && owners<SetWidth, F, int, int> && owners<Utf8, S> &&
              owners<Utf16, S> && owners<Codepage, S, Converter&> && !ok<Codepage, S, void*> && owners<Split, Matcher&, S> &&
              !ok<Split, Matcher&, void*> && owners<Matches, Matcher&> && owners<MakeMatcher, S> && owners<MakeMatcher, S, String&&>);
static_assert(owners<FormatTime, D, TimePoint> && owners<ParseTime, D, T> && owners<FormatNum, F, double> && owners<FormatNum, F, int> &&
              owners<FormatDec, F, T> && owners<ParseInt, P, T> && owners<Join, S, S> && owners<Part, S, int, int> && owners<CopyS, S> &&
              owners<CopyF, F> && owners<CopyP, P> && owners<CopyD, D> && owners<SetInput, String&&>);
static_assert(!ok<SetPrecision, S, Precision> && !ok<SetPrecision, F, Precision::Type> && !ok<SetWidth, P, int> && !ok<Utf8, Matcher&> &&
              !ok<Codepage, Converter&, S> && !ok<Matches, Matcher&&> && !ok<MakeMatcher, S, S> && !ok<SetInput, S> && !ok<ParseTime, F, T> &&
              !ok<FormatNum, P, int> && !ok<FormatNum, F, T> && !ok<ParseInt, F, T> && !ok<CopyD, P>);
// The owners: none from a bare handle or from another kind, move-only.
using std::is_constructible_v;
static_assert(!is_constructible_v<String, void*> && is_constructible_v<String, Adopt, void*> && !is_constructible_v<String, F> &&
              !is_constructible_v<Matcher, void*> && !is_constructible_v<D, P> && !std::is_copy_constructible_v<Matcher>);

TEST(Owners, FactoriesGiveOwnersOfTheirKindOrEmptyOnesTextWithoutZerosAndTheSameEmptyTextEverywhere) {
    auto a = fromUtf8("ab"), b = fromUtf8("cd"), bad = fromUtf8("(");
    auto latin1 = Converter::open("ISO-8859-1");
    EXPECT_TRUE(units(String::concatenate(a, b).get()) == u"abcd\0"s && units(String::substring(a, 1, 5).get()) == u"b\0"s &&
                units(String::copy(a).get()) == units(a.get()));
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
    auto failed = String::make();
    setPrecision(fmt, Precision::fixedFraction(-1));
    NS::FormatInt(fmt.get(), failed.get(), 1);
    EXPECT_FALSE(utf8(failed) || utf16(failed) || formatTime(DateTimeFormatter(), TimePoint{}) || formatNumber(fmt, 1));
}

TEST(Settings, EachPrecisionMakerMatchesIcusOwnSetting) {
    const std::pair<Precision, nf::Precision> cases[] = {
        {Precision::integer(), nf::Precision::integer()}, {Precision::increment(0.05), nf::Precision::increment(0.05)},
        {Precision::fixedFraction(3), nf::Precision::fixedFraction(3)}, {Precision::minMaxFraction(1, 2), nf::Precision::minMaxFraction(1, 2)},
        {Precision::minMaxSignificantDigits(2, 3), nf::Precision::minMaxSignificantDigits(2, 3)},
        {Precision::currencyCash(), nf::Precision::currency(UCURR_USAGE_CASH)},
        {*Precision::row(NS::PrecisionMinMaxFraction, 1, 2), nf::Precision::minMaxFraction(1, 2)}};
    // The increment row reads a decimal: only increment(step) makes it.
    EXPECT_FALSE(Precision::row(NS::PrecisionIncrement, 1, 0) || Precision::row(Precision::Type(13), 1, 0));
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

TEST(Matchers, OwnTheirInputTellWhyPatternsFailWalkEveryMatchAndSplitAnyText) {
    auto pattern = fromUtf8("a+"), comma = fromUtf8(","), empty = fromUtf8("");
    Matcher m;
    // An input made in an inner scope lives on in the matcher that took it over.
    { m = std::move(*Matcher::make(pattern, fromUtf8("baaac\xC3\xA9" "aa"))); }
    auto splitter = Matcher::make(comma);
    for (int pass = 0; pass < 2; ++pass) {  // the second walk after a split, which rebinds the input
        std::vector<std::tuple<int, int, std::string>> seen;
        for (const Match& match : matches(m)) seen.emplace_back(match.start, match.end, match.text);
        EXPECT_EQ(seen, (decltype(seen){{1, 4, "aaa"}, {6, 8, "aa"}}));
        EXPECT_EQ(split(m, comma), (std::vector<std::string>{","}));
    }
    m.setInput(fromUtf8("bbb"));
    EXPECT_TRUE(matches(m).begin() == matches(m).end() && utf8(m.input()) == "bbb");
    for (const auto& [text, name] : {std::pair{"(a", "U_REGEX_MISMATCHED_PAREN"}, {"a{2,1}", "U_REGEX_MAX_LT_MIN"},
                                     {"\\", "U_REGEX_BAD_ESCAPE_SEQUENCE"}, {"*", "U_REGEX_RULE_SYNTAX"}}) {
        auto bad = fromUtf8(text);
        const auto failed = Matcher::make(bad);
        EXPECT_TRUE(!failed && failed.error().name == name && failed.error().offset >= 0 &&
                    failed.error().offset <= int(std::string_view(text).size())) << text;
    }
    for (int n : {1, 15, 16, 17, 40}) {
        std::vector<std::string> fields;
        std::string text;
        for (int i = 0; i < n; ++i) text += (i ? "," : "") + fields.emplace_back(i % 3 == 1 ? "" : std::to_string(i));
        auto input = fromUtf8(text);
        EXPECT_EQ(split(*splitter, input), fields) << n;
        for (int most : {16, 17})
            EXPECT_EQ(split(*splitter, input, most).value_or(decltype(fields){}).size(), std::min(n, most)) << n;
    }
    EXPECT_EQ(split(*splitter, empty), std::vector<std::string>{});
}

// Numbers out as ICU formats them in the locale, and back with the error kind beside the value.
TEST(Numbers, FormatAsIcuAndParseBackWithTheErrorKind) {
    auto fmt = NumberFormatter::make("de_DE");
    auto parser = NumberParser::make("de_DE");  // parseNumber and formatNumber take only these kinds
    const auto icu = nf::NumberFormatter::withLocale("de_DE");
    UErrorCode st = U_ZERO_ERROR;  // ICU's texts in the locale
    std::string real, integer, decimal;
    icu.formatDouble(-1234.5, st).toString(st).toUTF8String(real), icu.formatInt(1234567, st).toString(st).toUTF8String(integer);
    icu.formatDecimal("1e30", st).toString(st).toUTF8String(decimal);
    EXPECT_TRUE(formatNumber(fmt, -1234.5) == real && formatNumber(fmt, 1234567) == integer && formatDecimal(fmt, "1e30") == decimal);
    EXPECT_FALSE(formatDecimal(fmt, "x1") || formatDecimal(fmt, std::string_view("1\0", 2)));
    EXPECT_TRUE(parseNumber<double>(parser, real).value == -1234.5 && parseNumber<int>(parser, "7") &&
                parseNumber<long long>(parser, "9.000.000.000").value == 9000000000LL);
    for (const Parsed<int>& none : {parseNumber<int>(parser, "pears"), parseNumber<int>(parser, std::string_view("1\0", 2)),
                                    parseNumber<int>(NumberParser(), "1")})
        EXPECT_TRUE(!none && none.value == 0 && none.error == PS::ErrorInvalid);
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
    // Text that is no time is no instant; the epoch in the formatter's own form is one.
    auto gmt = DateTimeFormatter::make("en_US");
    EXPECT_TRUE(!parseTime(gmt, "garbage") && !parseTime(berlin, "") && parseTime(gmt, formatTime(gmt, TimePoint{}).value()) == TimePoint{});
}
