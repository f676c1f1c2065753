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

std::vector<std::string> with(std::vector<std::string> args, const std::string& value) {
    args.push_back(value);
    return args;
}

TEST(NumberCommand, FormatsThePriceOfTheReadme) {
    const auto r = run({"number", "--locale", "de_DE", "--precision", "fixed:2", "--unit", "usd",
                        "1234.5"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, line(icuFormatter("de_DE").precision(nf::Precision::fixedFraction(2)).unit(usd()),
                          "1234.5"));
    EXPECT_EQ(r.err, "");
}

TEST(NumberCommand, EveryPrecisionForm) {
    struct Case {
        const char* spec;
        nf::Precision precision;
    };
    const Case cases[] = {
        {"unlimited", nf::Precision::unlimited()},
        {"integer", nf::Precision::integer()},
        {"fixed:2", nf::Precision::fixedFraction(2)},
        {"min:6", nf::Precision::minFraction(6)},
        {"max:1", nf::Precision::maxFraction(1)},
        {"minmax:1:3", nf::Precision::minMaxFraction(1, 3)},
        {"sig:3", nf::Precision::fixedSignificantDigits(3)},
        {"sigmin:7", nf::Precision::minSignificantDigits(7)},
        {"sigmax:2", nf::Precision::maxSignificantDigits(2)},
        {"sigminmax:2:5", nf::Precision::minMaxSignificantDigits(2, 5)},
        {"increment:0.05", nf::Precision::increment(0.05)},
    };
    for (const Case& c : cases) {
        const auto r = run({"number", "--locale", "en_US", "--precision", c.spec, "1234.5678"});
        EXPECT_EQ(r.status, 0) << c.spec << r.err;
        EXPECT_EQ(r.out, line(icuFormatter().precision(c.precision), "1234.5678")) << c.spec;
    }
    // The currency rows take their digits from the currency: USD, the one currency of the
    // table, has the same standard and cash rounding.
    for (const char* spec : {"currency", "cash"}) {
        const auto r = run({"number", "--locale", "en_US", "--unit", "usd", "--precision", spec, "2.345"});
        const auto usage = std::string(spec) == "cash" ? UCURR_USAGE_CASH : UCURR_USAGE_STANDARD;
        EXPECT_EQ(r.out, line(icuFormatter().unit(usd()).precision(nf::Precision::currency(usage)), "2.345"))
            << spec;
    }
    // An int in the increment form is an increment too.
    EXPECT_EQ(run({"number", "-l", "en_US", "-p", "increment:5", "12"}).out, "10\n");
}

TEST(NumberCommand, EveryRoundingMode) {
    const std::pair<const char*, UNumberFormatRoundingMode> modes[] = {
        {"half-even", UNUM_ROUND_HALFEVEN}, {"half-down", UNUM_ROUND_HALFDOWN},
        {"half-up", UNUM_ROUND_HALFUP},     {"ceiling", UNUM_ROUND_CEILING},
        {"floor", UNUM_ROUND_FLOOR},        {"up", UNUM_ROUND_UP},
        {"down", UNUM_ROUND_DOWN},
    };
    for (const auto& [name, mode] : modes) {
        const auto r = run({"number", "-l", "en_US", "-p", "integer", "--rounding", name, "2.5", "-2.5", "3.5"});
        const auto f = icuFormatter().precision(nf::Precision::integer()).roundingMode(mode);
        EXPECT_EQ(r.out, line(f, "2.5") + line(f, "-2.5") + line(f, "3.5")) << name;
    }
    // Rounding that is needed under "unnecessary" is ICU's error: that value fails, the others
    // are still printed.
    const auto r = run({"number", "-l", "en_US", "-p", "integer", "-r", "unnecessary", "2", "2.5", "3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "2\n3\n");
    EXPECT_NE(r.err.find("cannot format '2.5'"), std::string::npos) << r.err;
}

TEST(NumberCommand, EveryGroupingNotationAndSign) {
    const std::pair<const char*, UNumberGroupingStrategy> groupings[] = {
        {"off", UNUM_GROUPING_OFF}, {"min2", UNUM_GROUPING_MIN2}, {"auto", UNUM_GROUPING_AUTO},
        {"on-aligned", UNUM_GROUPING_ON_ALIGNED}, {"thousands", UNUM_GROUPING_THOUSANDS}};
    for (const auto& [name, strategy] : groupings) {
        const auto r = run({"number", "-l", "hi_IN", "--grouping", name, "1234", "12345678"});
        const auto f = icuFormatter("hi_IN").grouping(strategy);
        EXPECT_EQ(r.out, line(f, "1234") + line(f, "12345678")) << name;
    }
    const std::pair<const char*, nf::Notation> notations[] = {
        {"scientific", nf::Notation::scientific()},     {"compact-short", nf::Notation::compactShort()},
        {"compact-long", nf::Notation::compactLong()}, {"engineering", nf::Notation::engineering()},
        {"simple", nf::Notation::simple()}};
    for (const auto& [name, notation] : notations) {
        const auto r = run({"number", "-l", "en_US", "--notation", name, "1234567"});
        EXPECT_EQ(r.out, line(icuFormatter().notation(notation), "1234567")) << name;
    }
    const std::pair<const char*, UNumberSignDisplay> signs[] = {
        {"auto", UNUM_SIGN_AUTO},
        {"always", UNUM_SIGN_ALWAYS},
        {"never", UNUM_SIGN_NEVER},
        {"accounting", UNUM_SIGN_ACCOUNTING},
        {"accounting-always", UNUM_SIGN_ACCOUNTING_ALWAYS},
        {"except-zero", UNUM_SIGN_EXCEPT_ZERO},
        {"accounting-except-zero", UNUM_SIGN_ACCOUNTING_EXCEPT_ZERO}};
    for (const auto& [name, sign] : signs) {
        const auto r = run({"number", "-l", "en_US", "-u", "usd", "--sign", name, "-5", "0", "5"});
        const auto f = icuFormatter().unit(usd()).sign(sign);
        EXPECT_EQ(r.out, line(f, "-5") + line(f, "0") + line(f, "5")) << name;
    }
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

TEST(NumberCommand, EveryUnitWidth) {
    const std::pair<const char*, UNumberUnitWidth> widths[] = {
        {"narrow", UNUM_UNIT_WIDTH_NARROW},       {"short", UNUM_UNIT_WIDTH_SHORT},
        {"full-name", UNUM_UNIT_WIDTH_FULL_NAME}, {"iso-code", UNUM_UNIT_WIDTH_ISO_CODE},
        {"hidden", UNUM_UNIT_WIDTH_HIDDEN}};
    for (const auto& [name, width] : widths) {
        for (const char* unit : {"meter", "usd"}) {
            const auto r = run({"number", "-l", "fr_FR", "-u", unit, "--unit-width", name, "5"});
            auto f = icuFormatter("fr_FR").unitWidth(width);
            const std::string expected = std::string(unit) == "usd"
                                             ? line(f.unit(usd()), "5")
                                             : line(f.unit(icu::MeasureUnit::getMeter()), "5");
            EXPECT_EQ(r.out, expected) << name << " " << unit;
        }
    }
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
        const auto bad = run(with(full, "5"));
        EXPECT_EQ(bad.status, 2) << message;
        EXPECT_EQ(bad.out, "") << message;
        EXPECT_NE(bad.err.find(message), std::string::npos) << bad.err;
    }
}

}  // namespace
