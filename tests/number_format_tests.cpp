// Number formatter handles: the locale argument rule, copies, null handles, the terminated
// output, FormatDouble's two flags and ICU's failure result; the settings, where every row of
// every table, the 103 units included, selects the ICU setting it must and keeps the others,
// values without a row change nothing, numbers come from 8-byte slots, and ICU keeps a
// rejected number as an error.
#include "number_support.h"

#include <gtest/gtest.h>

#include <unicode/currunit.h>

#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <optional>

using namespace qtest;
using namespace std::literals;
using icu::MeasureUnit;
using icu::number::IntegerWidth;
using icu::number::Notation;
using icu::number::NumberFormatter;
using icu::number::Precision;

TEST(NumberFormatterFactory, LocaleArgumentRuleResolvesLikeIcu) {
    // A distinctive default, so that a name that falls back to it is told apart from "C".
    ScopedDefaultLocale de("de_DE");
    const double value = -1234567.5;
    const auto icuFor = [&](const icu::Locale& l) { return icuDouble(NumberFormatter::withLocale(l), value); };
    const std::u16string posix = icuFor(icu::Locale("en_US_POSIX"));
    ASSERT_NE(icuFor(icu::Locale::getDefault()), posix);
    EXPECT_EQ(formatDouble(Fmt(static_cast<const char*>(nullptr)), value), icuFor(icu::Locale::getDefault()));
    EXPECT_EQ(formatDouble(Fmt(""), value), icuFor(icu::Locale::getDefault()));
    EXPECT_EQ(formatDouble(Fmt("C"), value), posix);
    // Anything but exactly "C" is an ICU locale id, whatever ICU makes of it.
    for (const char* name : {"c", "C.UTF-8", "C ", "fr_FR", "xx_YY", "@@!!"}) {
        Fmt f(name);
        ASSERT_NE(static_cast<void*>(f), nullptr) << name;
        EXPECT_EQ(formatDouble(f, value), icuFor(icu::Locale(name))) << name;
    }
    EXPECT_NE(formatDouble(Fmt("c"), value), posix);
    EXPECT_STREQ(icu::Locale::getDefault().getName(), "de_DE");  // the default is left alone
}

TEST(NumberFormatterFactory, CopiesAreIndependentAndDestroyNulls) {
    EXPECT_EQ(NF::makeCopy(nullptr), nullptr);
    void* source = NF::make("en_US");
    NS::SetGroupingType(source, NS::GroupingOff);
    Fmt copy(NF::makeCopy(source));
    ASSERT_NE(static_cast<void*>(copy), source);
    EXPECT_EQ(formatInt(copy, 12345), u"12345\0"s);  // settings were copied
    NS::SetPrecisionType(copy, NS::PrecisionFixedFraction, Args().i(2).get());
    EXPECT_EQ(formatInt(source, 7), u"7\0"s);
    NS::SetSignDisplayType(source, NS::SignAlways);
    EXPECT_EQ(formatInt(copy, 7), u"7.00\0"s);
    NF::destroy(source);
    EXPECT_EQ(source, nullptr);
    NF::destroy(source);  // a second destroy on the nulled variable does nothing
    EXPECT_EQ(formatInt(copy, 12345), u"12345.00\0"s);  // the copy outlives its source
}

TEST(NumberFormatting, OutputIsIcusTextTerminatedReplacingTheContentNullHandlesChangeNothing) {
    Fmt f("en_US");
    Str out(u"earlier content");
    char digits[] = "12";
    NS::FormatDecimal(nullptr, out, digits);
    NS::FormatDouble(nullptr, out, 1.5, true, true);
    NS::FormatInt(nullptr, out, 1);
    EXPECT_EQ(out.units(), u"earlier content");
    NS::FormatDecimal(f, nullptr, digits);
    NS::FormatDouble(f, nullptr, 1.5, false, false);
    NS::FormatInt(f, nullptr, 1);
    NS::FormatInt(f, out, 42);
    EXPECT_EQ(out.units(), u"42\0"s);
    NS::FormatDouble(f, out, 0, true, false);
    EXPECT_EQ(out.units(), u"0\0"s);
    const LNF en = NumberFormatter::withLocale("en_US");
    for (long long v : {-1LL, LLONG_MAX, LLONG_MIN}) EXPECT_EQ(formatInt(f, v), icuInt(en, v));
}

// With either flag the handle's precision applies; with neither, at least one fraction digit
// and every other setting of the handle, which stays as it was (shown for every settings row
// below).
TEST(FormatDouble, FlagsChooseBetweenHandlePrecisionAndOneFractionDigit) {
    Fmt f("en_US");
    const auto flags = [&](double v) {
        std::u16string s;
        for (int k = 0; k < 4; ++k) s += formatDouble(f, v, k & 1, k & 2) + u'|';
        return s;
    };
    EXPECT_EQ(flags(5.0), u"5.0\0|5\0|5\0|5\0|"s);
    NS::SetPrecisionType(f, NS::PrecisionFixedFraction, Args().i(2).get());
    EXPECT_EQ(flags(5.0), u"5.0\0|5.00\0|5.00\0|5.00\0|"s);
    EXPECT_EQ(formatDouble(f, 2.125, false, false), u"2.125\0"s);  // not capped at two digits
}

TEST(FormatDecimal, FormatsDecimalTextExactlyAndOnlyReadsIt) {
    Fmt f("en_US");
    const LNF en = NumberFormatter::withLocale("en_US");
    for (const char* text : {"1234.5", "-0.000001", "123456789012345678901234567890.125", "1E3"}) {
        Str out;
        std::string copy(text);
        NS::FormatDecimal(f, out, copy.data());
        UErrorCode status = U_ZERO_ERROR;
        EXPECT_EQ(out.units(), expected(en.formatDecimal(text, status), status)) << text;
        EXPECT_EQ(copy, text);
    }
}

TEST(FormatDecimal, RejectedTextLeavesOutEmpty) {
    char malformed[] = "12abc", empty[] = "", spaces[] = " 1";
    for (char* text : {malformed, empty, spaces, static_cast<char*>(nullptr)}) {
        Fmt f("en_US");
        Str out(u"earlier content");
        NS::FormatDecimal(f, out, text);
        EXPECT_EQ(out.icu().length(), 0) << (text ? text : "(null)");
        NS::FormatInt(f, out, 3);  // the failure leaves no trace in the string
        EXPECT_EQ(out.units(), u"3\0"s);
    }
}

namespace {

using Setter = std::function<void(void*, int, char*)>;
using Direct = std::function<LNF(const LNF&)>;

template <class E>
Setter setter(void (*op)(void*, E)) { return [op](void* f, int t, char*) { op(f, E(t)); }; }
template <class E>
Setter setter(void (*op)(void*, E, char*)) { return [op](void* f, int t, char* a) { op(f, E(t), a); }; }

// The setting `value` made directly in ICU, through ICU's setter `name`.
#define ICU(name, value) Direct([v = value](const LNF& f) { return f.name(v); })

// One row: the enumerator, the ICU setting it stands for, and the numbers the library reads
// from the argument list (rows without numbers get a null list, which must not be read).
struct Row { int type; Direct direct; std::optional<Args> args = std::nullopt; };

// Where a table's rows are shown: a locale, what is set first, the values formatted.
struct Probe { const char* locale; std::function<void(void*)> before; std::vector<double> values; };
struct Table { const char* name; Setter set; std::vector<Probe> probes; std::vector<Row> rows; };

// The built-in unit rows in order: UnitX takes MeasureUnit::getX().
#define BUILT_IN_UNITS(UNIT) \
    UNIT(Degree) UNIT(Radian) UNIT(RevolutionAngle) UNIT(Acre) UNIT(Hectare) \
    UNIT(SquareCentimeter) UNIT(SquareFoot) UNIT(SquareInch) UNIT(SquareKilometer) \
    UNIT(SquareMeter) UNIT(SquareMile) UNIT(SquareYard) UNIT(Percent) UNIT(Bit) UNIT(Byte) \
    UNIT(Gigabit) UNIT(Gigabyte) UNIT(Kilobit) UNIT(Kilobyte) UNIT(Megabit) UNIT(Megabyte) \
    UNIT(Petabyte) UNIT(Terabit) UNIT(Terabyte) UNIT(Century) UNIT(Day) UNIT(Decade) UNIT(Hour) \
    UNIT(Microsecond) UNIT(Millisecond) UNIT(Minute) UNIT(Month) UNIT(Nanosecond) UNIT(Second) \
    UNIT(Week) UNIT(Year) UNIT(Ampere) UNIT(Milliampere) UNIT(Ohm) UNIT(Volt) UNIT(Calorie) \
    UNIT(Joule) UNIT(Kilocalorie) UNIT(Kilojoule) UNIT(Newton) UNIT(Gigahertz) UNIT(Hertz) \
    UNIT(Kilohertz) UNIT(Megahertz) UNIT(DotPerCentimeter) UNIT(DotPerInch) UNIT(Em) \
    UNIT(Megapixel) UNIT(Pixel) UNIT(PixelPerCentimeter) UNIT(PixelPerInch) UNIT(Centimeter) \
    UNIT(Decimeter) UNIT(Foot) UNIT(Furlong) UNIT(Inch) UNIT(Kilometer) UNIT(Meter) \
    UNIT(Micrometer) UNIT(Mile) UNIT(Millimeter) UNIT(Nanometer) UNIT(Picometer) UNIT(Carat) \
    UNIT(Gram) UNIT(Kilogram) UNIT(MetricTon) UNIT(Microgram) UNIT(Milligram) UNIT(Ounce) \
    UNIT(Pound) UNIT(Ton) UNIT(Gigawatt) UNIT(Horsepower) UNIT(Kilowatt) UNIT(Megawatt) \
    UNIT(Milliwatt) UNIT(Watt) UNIT(Atmosphere) UNIT(Bar) UNIT(Hectopascal) UNIT(Kilopascal) \
    UNIT(Megapascal) UNIT(Millibar) UNIT(Pascal) UNIT(Knot) UNIT(Celsius) UNIT(Fahrenheit) \
    UNIT(Kelvin) UNIT(Gallon) UNIT(Hectoliter) UNIT(Liter) UNIT(Megaliter) UNIT(Milliliter)

std::vector<Table> tables() {
    const auto setUnit = [](NS::UnitType u) { return [u](void* f) { NS::SetUnitType(f, u); }; };
    const auto chf = [](void* f) {  // cash rounding differs from standard
        UErrorCode status = U_ZERO_ERROR;
        LNF& direct = *static_cast<LNF*>(f);
        direct = direct.unit(icu::CurrencyUnit(u"CHF", status));
    };
    UErrorCode status = U_ZERO_ERROR;
    const icu::CurrencyUnit usd(u"USD", status);
#define UNIT(name) {NS::Unit##name, ICU(unit, MeasureUnit::get##name())},
    return {
        // es has a minimum of two grouping digits, en_IN groups by two above the thousands.
        {"grouping", setter(NS::SetGroupingType),
         {{"en_US", {}, {1234, 12345678}}, {"es", {}, {1234}}, {"en_IN", {}, {12345678}}},
         {{NS::GroupingOff, ICU(grouping, UNUM_GROUPING_OFF)},
          {NS::GroupingMin2, ICU(grouping, UNUM_GROUPING_MIN2)},
          {NS::GroupingAuto, ICU(grouping, UNUM_GROUPING_AUTO)},
          {NS::GroupingOnAligned, ICU(grouping, UNUM_GROUPING_ON_ALIGNED)},
          {NS::GroupingThousands, ICU(grouping, UNUM_GROUPING_THOUSANDS)}}},
        {"notation", setter(NS::SetNotationType), {{"en_US", {}, {12345.678, 0.00123}}},
         {{NS::NotationScientific, ICU(notation, Notation::scientific())},
          {NS::NotationCompactShort, ICU(notation, Notation::compactShort())},
          {NS::NotationCompactLong, ICU(notation, Notation::compactLong())},
          {NS::NotationEngineering, ICU(notation, Notation::engineering())},
          {NS::NotationSimple, ICU(notation, Notation::simple())}}},
        {"rounding mode", setter(NS::SetRoundingModeType),
         {{"en_US", [](void* f) { NS::SetPrecisionType(f, NS::PrecisionInteger, nullptr); },
           {2.5, -2.5, 2.4, -2.4, 3.5, 2.6}}},
         {{NS::RoundingHalfEven, ICU(roundingMode, UNUM_ROUND_HALFEVEN)},
          {NS::RoundingHalfDown, ICU(roundingMode, UNUM_ROUND_HALFDOWN)},
          {NS::RoundingHalfUp, ICU(roundingMode, UNUM_ROUND_HALFUP)},
          {NS::RoundingCeiling, ICU(roundingMode, UNUM_ROUND_CEILING)},
          {NS::RoundingFloor, ICU(roundingMode, UNUM_ROUND_FLOOR)},
          {NS::RoundingUp, ICU(roundingMode, UNUM_ROUND_UP)},
          {NS::RoundingDown, ICU(roundingMode, UNUM_ROUND_DOWN)},
          {NS::RoundingUnnecessary, ICU(roundingMode, UNUM_ROUND_UNNECESSARY)}}},
        {"sign display", setter(NS::SetSignDisplayType),
         {{"en_US", setUnit(NS::UnitCurrencyUSD), {5, -5, 0}}},
         {{NS::SignAuto, ICU(sign, UNUM_SIGN_AUTO)},
          {NS::SignAlways, ICU(sign, UNUM_SIGN_ALWAYS)},
          {NS::SignNever, ICU(sign, UNUM_SIGN_NEVER)},
          {NS::SignAccounting, ICU(sign, UNUM_SIGN_ACCOUNTING)},
          {NS::SignAccountingAlways, ICU(sign, UNUM_SIGN_ACCOUNTING_ALWAYS)},
          {NS::SignExceptZero, ICU(sign, UNUM_SIGN_EXCEPT_ZERO)},
          {NS::SignAccountingExceptZero, ICU(sign, UNUM_SIGN_ACCOUNTING_EXCEPT_ZERO)}}},
        {"unit width", setter(NS::SetUnitWidthType),
         {{"en_US", setUnit(NS::UnitCurrencyUSD), {5}}, {"en_US", setUnit(NS::UnitMeter), {5}}},
         {{NS::UnitWidthNarrow, ICU(unitWidth, UNUM_UNIT_WIDTH_NARROW)},
          {NS::UnitWidthShort, ICU(unitWidth, UNUM_UNIT_WIDTH_SHORT)},
          {NS::UnitWidthFullName, ICU(unitWidth, UNUM_UNIT_WIDTH_FULL_NAME)},
          {NS::UnitWidthIsoCode, ICU(unitWidth, UNUM_UNIT_WIDTH_ISO_CODE)},
          {NS::UnitWidthHidden, ICU(unitWidth, UNUM_UNIT_WIDTH_HIDDEN)}}},
        {"precision", setter(NS::SetPrecisionType), {{"en_US", chf, {1234.5678, 0.1, 1.23}}},
         {{NS::PrecisionUnlimited, ICU(precision, Precision::unlimited())},
          {NS::PrecisionInteger, ICU(precision, Precision::integer())},
          {NS::PrecisionFixedFraction, ICU(precision, Precision::fixedFraction(3)), Args().i(3)},
          {NS::PrecisionMinFraction, ICU(precision, Precision::minFraction(6)), Args().i(6)},
          {NS::PrecisionMaxFraction, ICU(precision, Precision::maxFraction(1)), Args().i(1)},
          {NS::PrecisionMinMaxFraction, ICU(precision, Precision::minMaxFraction(2, 5)), Args().i(2).i(5)},
          {NS::PrecisionFixedSignificantDigits, ICU(precision, Precision::fixedSignificantDigits(3)), Args().i(3)},
          {NS::PrecisionMinSignificantDigits, ICU(precision, Precision::minSignificantDigits(7)), Args().i(7)},
          {NS::PrecisionMaxSignificantDigits, ICU(precision, Precision::maxSignificantDigits(2)), Args().i(2)},
          {NS::PrecisionMinMaxSignificantDigits, ICU(precision, Precision::minMaxSignificantDigits(2, 4)),
           Args().i(2).i(4)},
          {NS::PrecisionIncrement, ICU(precision, Precision::increment(0.25)), Args().d(0.25)},
          {NS::PrecisionCurrencyStandard, ICU(precision, Precision::currency(UCURR_USAGE_STANDARD))},
          {NS::PrecisionCurrencyCash, ICU(precision, Precision::currency(UCURR_USAGE_CASH))}}},
        // Slot 0 is the minimum and slot 1 the maximum: swapped, ICU would reject 3 below 2.
        {"integer width", setter(NS::SetIntegerWidthType), {{"en_US", {}, {5, 1234}}},
         {{NS::IntegerWidthZeroFill, ICU(integerWidth, IntegerWidth::zeroFillTo(3)), Args().i(3)},
          {NS::IntegerWidthZeroFillTruncate, ICU(integerWidth, IntegerWidth::zeroFillTo(2).truncateAt(3)),
           Args().i(2).i(3)}}},
        // Full names, so that each unit's name shows.
        {"unit", setter(NS::SetUnitType),
         {{"en_US", [](void* f) { NS::SetUnitWidthType(f, NS::UnitWidthFullName); }, {2.5, 1}}},
         {BUILT_IN_UNITS(UNIT)
          {NS::UnitCurrencyUSD, ICU(unit, usd)},
          {NS::UnitNone, ICU(unit, MeasureUnit())},
          {NS::UnitNonePercent, ICU(unit, MeasureUnit::getPercent())},
          {NS::UnitNonePermille, ICU(unit, MeasureUnit::getPermille())}}},
    };
#undef UNIT
}

}  // namespace

// Each row is applied through the library over another row of its table (the last call wins)
// and followed by values without a row, which change nothing and read no list, and by the row
// for a null formatter, which reads no list either. The result must equal the directly
// configured ICU formatter in every probe: the same skeleton (all settings as ICU writes them)
// and the same text for every value, also through FormatDouble without flags. Rows whose ICU
// settings differ must show different texts, so that a row selecting another row's setting
// cannot pass.
TEST(SettingsTables, EveryRowSelectsItsIcuSettingAndOtherValuesChangeNothing) {
    for (const Table& t : tables()) {
        const int n = static_cast<int>(t.rows.size());
        const auto apply = [&](void* f, const Row& row) {
            t.set(f, row.type, row.args ? row.args->get(row.type % 8) : nullptr);
        };
        std::map<std::u16string, std::pair<int, std::string>> seen;
        for (int r = 0; r < n; ++r) {
            SCOPED_TRACE(std::string(t.name) + " row " + std::to_string(r));
            ASSERT_EQ(t.rows[r].type, r);  // every enumerator, in order
            std::u16string texts;
            std::string settings;
            for (const Probe& p : t.probes) {
                Fmt f(p.locale);
                if (p.before) p.before(f);
                const LNF want = t.rows[r].direct(f.icu());
                apply(f, t.rows[(r + 1) % n]);
                apply(f, t.rows[r]);
                for (int none : {-1, n, n + 1, INT_MAX, INT_MIN}) t.set(f, none, nullptr);
                t.set(nullptr, r, nullptr);
                settings += skeleton(want) + '|';
                for (double v : p.values) {
                    const std::u16string shown = formatDouble(f, v);
                    texts += shown + u'|';
                    EXPECT_EQ(shown, icuDouble(want, v)) << v;
                    EXPECT_EQ(formatDouble(f, v, false, false),
                              icuDouble(want.precision(Precision::minFraction(1)), v)) << v;
                }
                EXPECT_EQ(skeleton(f.icu()), skeleton(want));
            }
            const auto [first, fresh] = seen.emplace(texts, std::make_pair(r, settings));
            EXPECT_TRUE(fresh || first->second.second == settings)
                << "rows " << first->second.first << " and " << r << " look alike";
        }
    }
}

// The table rows read ints from lists at every offset modulo 8, with garbage in the upper half
// of each slot. Here the byte order: bytes 01 01 00 00 are 257, not 65792 or 16842752.
TEST(ArgumentSlots, IntsAreLittleEndianAndADoubleFillsItsSlot) {
    Fmt f("en_US");
    NS::SetPrecisionType(f, NS::PrecisionMinFraction, Args().i(257, 0).get());
    EXPECT_EQ(formatInt(f, 1), u"1." + std::u16string(257, u'0') + u'\0');
    NS::SetPrecisionType(f, NS::PrecisionIncrement, Args().d(0.5).get(5));
    EXPECT_EQ(formatDouble(f, 1.3), u"1.5\0"s);
    const double inf = std::numeric_limits<double>::infinity();
    for (double inc : {0.0, -0.5, 1e300, 5e-324, inf, -inf, std::nan("")}) {
        NS::SetPrecisionType(f, NS::PrecisionIncrement, Args().d(inc).get());
        const LNF want = NumberFormatter::withLocale("en_US").precision(Precision::increment(inc));
        EXPECT_EQ(formatDouble(f, 1.3), icuDouble(want, 1.3)) << inc;
    }
}

// ICU keeps a rejected number as an error in the formatter: the setting call shows nothing,
// every format fails until the same operation sets a valid value again.
TEST(RejectedNumbers, EmptyOutputUntilTheSameSettingIsReplaced) {
    Fmt f("en_US");
    NS::SetPrecisionType(f, NS::PrecisionFixedFraction, Args().i(-1).get());
    Str out(u"earlier");
    NS::FormatInt(f, out, 5);
    EXPECT_EQ(out.icu().length(), 0);
    EXPECT_EQ(formatDouble(f, 5.0), u"");
    // FormatDouble without flags replaces the precision for its call, so it formats.
    EXPECT_EQ(formatDouble(f, 5.0, false, false), u"5.0\0"s);
    NS::SetGroupingType(f, NS::GroupingOff);  // another setting does not repair it
    EXPECT_EQ(formatInt(f, 5), u"");
    NS::SetPrecisionType(f, NS::PrecisionFixedFraction, Args().i(1).get());
    EXPECT_EQ(formatInt(f, 5), u"5.0\0"s);

    NS::SetIntegerWidthType(f, NS::IntegerWidthZeroFill, Args().i(INT_MIN).get());
    EXPECT_EQ(formatDouble(f, 5.0, false, false), u"");  // not a precision: no exception
    NS::SetIntegerWidthType(f, NS::IntegerWidthZeroFillTruncate, Args().i(1).i(-1).get());
    EXPECT_EQ(formatInt(f, 1234), u"1234.0\0"s);  // -1: no truncation
}
