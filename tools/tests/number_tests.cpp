// qovaicu number: every option, compared with ICU's own formatting of the same settings.
#include "run_tool.h"

#include <gtest/gtest.h>
#include <unicode/measunit.h>
#include <unicode/numberformatter.h>

#include <string>
#include <vector>

namespace {

using tooltest::run;
namespace nf = icu::number;

nf::LocalizedNumberFormatter icuFormatter(const char* locale = "en_US") {
    return nf::NumberFormatter::withLocale(icu::Locale(locale));
}

// ICU's text for the decimal `value`, as one output line of the tool.
std::string line(const nf::LocalizedNumberFormatter& f, const char* value) {
    UErrorCode status = U_ZERO_ERROR;
    std::string text;
    f.formatDecimal(value, status).toString(status).toUTF8String(text);
    EXPECT_TRUE(U_SUCCESS(status)) << value;
    return text + "\n";
}

icu::CurrencyUnit usd() {
    UErrorCode status = U_ZERO_ERROR;
    return icu::CurrencyUnit(icu::StringPiece("USD"), status);
}

TEST(NumberCommand, FormatsThePriceOfTheReadme) {
    const auto r = run({"number", "--locale", "de_DE", "--precision", "fixed:2", "--unit", "usd",
                        "1234.5"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, line(icuFormatter("de_DE").precision(nf::Precision::fixedFraction(2)).unit(usd()),
                          "1234.5"));
    EXPECT_EQ(r.err, "");
}

// One option value and the same setting made directly in ICU.
struct Setting {
    std::vector<std::string> args;
    nf::LocalizedNumberFormatter icu;
};

// The tool's lines for `values` under each setting equal ICU's.
void expectAsIcu(const std::vector<Setting>& settings, const std::vector<const char*>& values,
                 const char* locale = "en_US") {
    for (const Setting& s : settings) {
        std::vector<std::string> args = {"number", "--locale", locale};
        args.insert(args.end(), s.args.begin(), s.args.end());
        args.insert(args.end(), values.begin(), values.end());
        std::string expected;
        for (const char* v : values) expected += line(s.icu, v);
        const auto r = run(args);
        EXPECT_EQ(r.status, 0) << s.args.back() << r.err;
        EXPECT_EQ(r.out, expected) << s.args.back();
    }
}

TEST(NumberCommand, EveryPrecisionForm) {
    const auto f = icuFormatter();
    auto p = [&](const char* spec, nf::Precision precision) {
        return Setting{{"--precision", spec}, f.precision(precision)};
    };
    expectAsIcu({p("unlimited", nf::Precision::unlimited()), p("integer", nf::Precision::integer()),
                 p("fixed:2", nf::Precision::fixedFraction(2)), p("min:6", nf::Precision::minFraction(6)),
                 p("max:1", nf::Precision::maxFraction(1)), p("minmax:1:3", nf::Precision::minMaxFraction(1, 3)),
                 p("sig:3", nf::Precision::fixedSignificantDigits(3)),
                 p("sigmin:7", nf::Precision::minSignificantDigits(7)),
                 p("sigmax:2", nf::Precision::maxSignificantDigits(2)),
                 p("sigminmax:2:5", nf::Precision::minMaxSignificantDigits(2, 5)),
                 p("increment:0.05", nf::Precision::increment(0.05)),
                 p("increment:5", nf::Precision::increment(5))},
                {"1234.5678", "12"});
    // The currency rows take their digits from the currency: USD, the one currency of the
    // table, has the same standard and cash rounding.
    const auto dollars = f.unit(usd());
    expectAsIcu({{{"-u", "usd", "--precision", "currency"}, dollars.precision(nf::Precision::currency(UCURR_USAGE_STANDARD))},
                 {{"-u", "usd", "--precision", "cash"}, dollars.precision(nf::Precision::currency(UCURR_USAGE_CASH))}},
                {"2.345"});
}

TEST(NumberCommand, EveryRoundingGroupingNotationSignAndUnitWidth) {
    const auto integer = icuFormatter().precision(nf::Precision::integer());
    auto r = [&](const char* name, UNumberFormatRoundingMode mode) {
        return Setting{{"-p", "integer", "--rounding", name}, integer.roundingMode(mode)};
    };
    expectAsIcu({r("half-even", UNUM_ROUND_HALFEVEN), r("half-down", UNUM_ROUND_HALFDOWN),
                 r("half-up", UNUM_ROUND_HALFUP), r("ceiling", UNUM_ROUND_CEILING), r("floor", UNUM_ROUND_FLOOR),
                 r("up", UNUM_ROUND_UP), r("down", UNUM_ROUND_DOWN)},
                {"2.5", "-2.5", "3.5"});
    // Rounding that "unnecessary" would need is ICU's error: that value fails, the others are
    // still printed.
    const auto strict = run({"number", "-l", "en_US", "-p", "integer", "-r", "unnecessary", "2", "2.5", "3"});
    EXPECT_EQ(strict.status, 1);
    EXPECT_EQ(strict.out, "2\n3\n");
    EXPECT_NE(strict.err.find("cannot format '2.5'"), std::string::npos) << strict.err;

    const auto hindi = icuFormatter("hi_IN");
    auto g = [&](const char* name, UNumberGroupingStrategy strategy) {
        return Setting{{"--grouping", name}, hindi.grouping(strategy)};
    };
    expectAsIcu({g("off", UNUM_GROUPING_OFF), g("min2", UNUM_GROUPING_MIN2), g("auto", UNUM_GROUPING_AUTO),
                 g("on-aligned", UNUM_GROUPING_ON_ALIGNED), g("thousands", UNUM_GROUPING_THOUSANDS)},
                {"1234", "12345678"}, "hi_IN");

    const auto plain = icuFormatter();
    auto n = [&](const char* name, nf::Notation notation) {
        return Setting{{"--notation", name}, plain.notation(notation)};
    };
    expectAsIcu({n("scientific", nf::Notation::scientific()), n("compact-short", nf::Notation::compactShort()),
                 n("compact-long", nf::Notation::compactLong()), n("engineering", nf::Notation::engineering()),
                 n("simple", nf::Notation::simple())},
                {"1234567"});

    const auto dollars = icuFormatter().unit(usd());
    auto s = [&](const char* name, UNumberSignDisplay sign) {
        return Setting{{"-u", "usd", "--sign", name}, dollars.sign(sign)};
    };
    expectAsIcu({s("auto", UNUM_SIGN_AUTO), s("always", UNUM_SIGN_ALWAYS), s("never", UNUM_SIGN_NEVER),
                 s("accounting", UNUM_SIGN_ACCOUNTING), s("accounting-always", UNUM_SIGN_ACCOUNTING_ALWAYS),
                 s("except-zero", UNUM_SIGN_EXCEPT_ZERO),
                 s("accounting-except-zero", UNUM_SIGN_ACCOUNTING_EXCEPT_ZERO)},
                {"-5", "0", "5"});

    // Widths with a measurement unit and with the currency (hidden differs between the two).
    const auto french = icuFormatter("fr_FR");
    std::vector<Setting> widths;
    for (const auto& [name, width] : {std::pair{"narrow", UNUM_UNIT_WIDTH_NARROW}, {"short", UNUM_UNIT_WIDTH_SHORT},
                                      {"full-name", UNUM_UNIT_WIDTH_FULL_NAME}, {"iso-code", UNUM_UNIT_WIDTH_ISO_CODE},
                                      {"hidden", UNUM_UNIT_WIDTH_HIDDEN}}) {
        widths.push_back({{"-u", "meter", "--unit-width", name}, french.unit(icu::MeasureUnit::getMeter()).unitWidth(width)});
        widths.push_back({{"-u", "usd", "--unit-width", name}, french.unit(usd()).unitWidth(width)});
    }
    expectAsIcu(widths, {"5"}, "fr_FR");
}

TEST(NumberCommand, IntegerWidthFillsAndTruncates) {
    EXPECT_EQ(run({"number", "-l", "en_US", "--integer-width", "3", "5"}).out, "005\n");
    EXPECT_EQ(run({"number", "-l", "en_US", "--integer-width", "1:2", "1234"}).out, "34\n");
}

TEST(NumberCommand, EveryUnitByName) {
    const auto listing = run({"number", "--list-units"});
    ASSERT_EQ(listing.status, 0);
    const std::vector<std::string> rows = tooltest::lines(listing.out);
    ASSERT_EQ(rows.size(), 103u);
    for (size_t k = 0; k < rows.size(); ++k) {
        const size_t tab = rows[k].find('\t');
        ASSERT_NE(tab, std::string::npos);
        EXPECT_EQ(rows[k].substr(0, tab), std::to_string(k));
        const std::string name = rows[k].substr(tab + 1);
        const auto r = run({"number", "-l", "en_US", "--unit-width", "full-name", "--unit", name, "3"});
        EXPECT_EQ(r.status, 0) << name << r.err;
        auto f = icuFormatter().unitWidth(UNUM_UNIT_WIDTH_FULL_NAME);
        if (k <= 98) {
            // The measurement units are named like ICU's identifiers, but for two whose
            // enumerators say more or other than the identifier.
            std::string id = name == "revolution-angle" ? "revolution" : name == "metric-ton" ? "tonne" : name;
            UErrorCode status = U_ZERO_ERROR;
            const icu::MeasureUnit unit = icu::MeasureUnit::forIdentifier(id.c_str(), status);
            ASSERT_TRUE(U_SUCCESS(status)) << id;
            EXPECT_EQ(r.out, line(f.unit(unit), "3")) << name;
        }
    }
    const auto full = icuFormatter().unitWidth(UNUM_UNIT_WIDTH_FULL_NAME);
    const std::pair<const char*, std::string> special[] = {
        {"usd", line(full.unit(usd()), "3")},
        {"none", "3\n"},
        {"none-percent", line(full.unit(icu::MeasureUnit::getPercent()), "3")},
        {"none-permille", line(full.unit(icu::MeasureUnit::getPermille()), "3")}};
    for (const auto& [name, expected] : special)
        EXPECT_EQ(run({"number", "-l", "en_US", "--unit-width", "full-name", "-u", name, "3"}).out, expected)
            << name;
    // Names are matched without regard to case.
    EXPECT_EQ(run({"number", "-l", "en_US", "-u", "Square-Meter", "3"}).out,
              line(icuFormatter().unit(icu::MeasureUnit::getSquareMeter()), "3"));
}

TEST(NumberCommand, ValuesPassedAsDecimalDoubleOrInt) {
    // A double goes through FormatDouble with the handle's precision in force.
    EXPECT_EQ(run({"number", "-l", "en_US", "--as", "double", "5"}).out, "5\n");
    EXPECT_EQ(run({"number", "-l", "en_US", "--as", "double", "-p", "fixed:2", "5"}).out, "5.00\n");
    EXPECT_EQ(run({"number", "-l", "en_US", "--as", "int", "-p", "fixed:2", "5"}).out, "5.00\n");
    // Decimal text keeps digits that a double would lose.
    EXPECT_EQ(run({"number", "-l", "en_US", "-g", "off", "12345678901234567890.5"}).out,
              "12345678901234567890.5\n");
    const auto notInt = run({"number", "--as", "int", "5.5"});
    EXPECT_EQ(notInt.status, 1);
    EXPECT_NE(notInt.err.find("cannot format '5.5' as int"), std::string::npos) << notInt.err;
    EXPECT_EQ(run({"number", "--as", "double", "abc"}).status, 1);
    EXPECT_EQ(run({"number", "--as", "text", "5"}).status, 2);
}

TEST(NumberCommand, LocaleRuleAndStandardInput) {
    const auto r = run({"number", "--locale", "C", "-p", "fixed:1"}, "1234.56\n-7\n");
    EXPECT_EQ(r.status, 0);
    const auto f = icuFormatter("en_US_POSIX").precision(nf::Precision::fixedFraction(1));
    EXPECT_EQ(r.out, line(f, "1234.56") + line(f, "-7"));
}

TEST(NumberCommand, BadValuesAndBadSettings) {
    // A value that is no decimal number: a message, the other values are printed, status 1.
    const auto r = run({"number", "-l", "en_US", "1", "abc", "2"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "1\n2\n");
    EXPECT_NE(r.err.find("cannot format 'abc'"), std::string::npos) << r.err;
    // A digit count that ICU rejects shows as failure for every value.
    const auto rejected = run({"number", "-p", "fixed:-1", "5"});
    EXPECT_EQ(rejected.status, 1);
    EXPECT_EQ(rejected.out, "");
    // Names and forms that do not exist: status 2 and a message naming the mistake.
    const std::vector<std::pair<std::vector<std::string>, std::string>> wrong = {
        {{"--unit", "metre"}, "unknown unit 'metre'"},
        {{"--rounding", "nearest"}, "unknown rounding mode 'nearest'"},
        {{"--grouping", "on"}, "unknown grouping 'on'"},
        {{"--notation", "compact"}, "unknown notation 'compact'"},
        {{"--sign", "plus"}, "unknown sign display 'plus'"},
        {{"--unit-width", "long"}, "unknown unit width 'long'"},
        {{"--precision", "fixed"}, "bad precision 'fixed'"},
        {{"--precision", "fixed:two"}, "bad precision 'fixed:two'"},
        {{"--precision", "minmax:1"}, "bad precision 'minmax:1'"},
        {{"--precision", "increment:x"}, "bad precision 'increment:x'"},
        {{"--precision", "round:2"}, "bad precision 'round:2'"},
        {{"--integer-width", "1:2:3"}, "bad integer width '1:2:3'"},
        {{"--integer-width", "a"}, "bad integer width 'a'"},
        {{"--frobnicate"}, "--frobnicate"},
    };
    for (const auto& [args, message] : wrong) {
        std::vector<std::string> full = {"number"};
        full.insert(full.end(), args.begin(), args.end());
        full.push_back("5");
        const auto bad = run(full);
        EXPECT_EQ(bad.status, 2) << message;
        EXPECT_EQ(bad.out, "") << message;
        EXPECT_NE(bad.err.find(message), std::string::npos) << bad.err;
    }
}

}  // namespace
