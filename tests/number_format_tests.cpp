// Number formatter handles: the locale rule, copies, the terminated output, FormatDouble's two
// flags, ICU's failure result, and the settings, where every row of every table (the 103 units
// included) selects the ICU setting it must, numbers come from 8-byte slots and values without a
// row change nothing. A formatter handle is the address of an icu::number::LocalizedNumberFormatter,
// so expectations come from formatters configured directly in ICU.
#include "support.h"

#include <unicode/currunit.h>
#include <unicode/numberformatter.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

using NF = QOVAUnicodeNumFormatterFactory;
using NS = QOVAUnicodeNumFormatterServices;
using LNF = icu::number::LocalizedNumberFormatter;
using Fmt = qtest::Owned<NF::destroy>;
using namespace qtest;
using icu::MeasureUnit;
using icu::number::IntegerWidth;
using icu::number::Notation;
using icu::number::NumberFormatter;
using icu::number::Precision;

namespace {

LNF& direct(void* f) { return *static_cast<LNF*>(f); }

std::u16string formatDouble(void* f, double v, bool keepA = true, bool keepB = false) {
    Str out(u"earlier");
    NS::FormatDouble(f, out, v, keepA, keepB);
    return out.units();
}

std::u16string formatInt(void* f, long long v) {
    Str out(u"earlier");
    NS::FormatInt(f, out, v);
    return out.units();
}

// ICU's result as the library hands it back: terminated, or empty when ICU fails.
std::u16string handedBack(const icu::number::FormattedNumber& result, UErrorCode& status) {
    const icu::UnicodeString s = result.toString(status);
    return U_FAILURE(status) ? u"" : text(s) + u'\0';
}

std::u16string icuDouble(const LNF& f, double v) {
    UErrorCode status = U_ZERO_ERROR;
    return handedBack(f.formatDouble(v, status), status);
}

// All settings of a formatter as ICU writes them, or the error name when it cannot.
std::string skeleton(const LNF& f) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString s = f.toSkeleton(status);
    std::string utf8;
    return U_FAILURE(status) ? u_errorName(status) : s.toUTF8String(utf8);
}

// An argument list of 8-byte slots, built byte by byte in little-endian order so that it means
// the same on every host; an int leaves garbage in the upper half of its slot, as a caller that
// pushed a 32-bit value may. The list may start at any offset of its buffer.
struct Args {
    std::vector<unsigned char> bytes, shifted;
    Args& put(uint64_t bits) {
        for (int b = 0; b < 8; ++b) bytes.push_back(static_cast<unsigned char>(bits >> (8 * b)));
        return *this;
    }
    Args& i(int32_t v, uint32_t upper = 0xA5C3E1F7u) { return put((uint64_t(upper) << 32) | uint32_t(v)); }
    Args& d(double v) { uint64_t bits; std::memcpy(&bits, &v, sizeof bits); return put(bits); }
    char* at(size_t offset) {
        shifted.assign(offset % 8, 0x5A);
        shifted.insert(shifted.end(), bytes.begin(), bytes.end());
        return reinterpret_cast<char*>(shifted.data() + offset % 8);
    }
};

}  // namespace

TEST(NumberFormatterFactory, LocaleRuleCopiesAndNullHandles) {
    expectLocaleRule([](const char* name) { return formatDouble(Fmt{NF::make(name)}, -1234567.5); },
                     [](const icu::Locale& l) { return icuDouble(NumberFormatter::withLocale(l), -1234567.5); });
    void* source = NF::make("de_DE");
    NS::SetSignDisplayType(source, NS::SignAlways);
    Fmt copy{NF::makeCopy(source)};
    ASSERT_NE(copy.h, source);
    NS::SetGroupingType(source, NS::GroupingOff);
    NF::destroy(source);
    EXPECT_EQ(source, nullptr);
    UErrorCode status = U_ZERO_ERROR;  // locale and settings copied; independent; outlives its source
    const LNF de = NumberFormatter::withLocale("de_DE").sign(UNUM_SIGN_ALWAYS);
    EXPECT_EQ(formatInt(copy, 12345), handedBack(de.formatInt(12345, status), status));
    EXPECT_EQ(NF::makeCopy(nullptr), nullptr);
    // Null handles write nothing; a null formatter reads no argument list.
    Str out(u"kept");
    char digits[] = "12";
    NS::FormatDecimal(nullptr, out, digits);
    NS::FormatDouble(nullptr, out, 1.5, true, true);
    NS::FormatInt(nullptr, out, 1);
    NS::SetPrecisionType(nullptr, NS::PrecisionFixedFraction, reinterpret_cast<char*>(1));
    NS::FormatInt(copy, nullptr, 1);
    EXPECT_EQ(out.units(), u"kept");
}

// Decimal text is formatted exactly and only read; text ICU rejects leaves `out` empty, and the
// failure leaves no trace in the handle. Integers use all 64 bits.
TEST(NumberFormatting, DecimalTextIntegersAndTheFailureResult) {
    const LNF en = NumberFormatter::withLocale("en_US");
    for (const char* decimal : {"1234.5", "-0.000001", "123456789012345678901234567890.125", "1E3", "12abc", "", " 1"}) {
        Fmt f{NF::make("en_US")};
        Str out(u"earlier");
        std::string copy(decimal);
        NS::FormatDecimal(f, out, copy.data());
        UErrorCode status = U_ZERO_ERROR;
        EXPECT_EQ(out.units(), handedBack(en.formatDecimal(decimal, status), status));
        EXPECT_EQ(copy, decimal);
        EXPECT_EQ(formatInt(f, 3), u"3\0"s);
    }
    Fmt f{NF::make("en_US")};
    Str out(u"earlier");
    NS::FormatDecimal(f, out, nullptr);
    EXPECT_EQ(out.units(), u"");
    for (long long v : {-1LL, LLONG_MAX, LLONG_MIN}) {
        UErrorCode status = U_ZERO_ERROR;
        EXPECT_EQ(formatInt(f, v), handedBack(en.formatInt(v, status), status));
    }
}

// With either flag the handle's precision applies; with neither, at least one fraction digit
// for this call only.
TEST(NumberFormatting, FormatDoubleFlagsChooseBetweenHandlePrecisionAndOneFractionDigit) {
    Fmt f{NF::make("en_US")};
    const auto flags = [&](double v) {
        std::u16string s;
        for (int k = 0; k < 4; ++k) s += formatDouble(f, v, k & 1, k & 2) + u'|';
        return s;
    };
    EXPECT_EQ(flags(5.0), u"5.0\0|5\0|5\0|5\0|"s);
    NS::SetPrecisionType(f, NS::PrecisionFixedFraction, Args().i(2).at(0));
    EXPECT_EQ(flags(5.0), u"5.0\0|5.00\0|5.00\0|5.00\0|"s);
    EXPECT_EQ(formatDouble(f, 2.125, false, false), u"2.125\0"s);  // not capped at two digits
}

namespace {

using Setter = std::function<void(void*, int, char*)>;
template <class E>
Setter setter(void (*op)(void*, E)) { return [op](void* f, int t, char*) { op(f, E(t)); }; }
template <class E>
Setter setter(void (*op)(void*, E, char*)) { return [op](void* f, int t, char* a) { op(f, E(t), a); }; }

// One row: the ICU setting the enumerator stands for, and the numbers the library reads from the
// argument list (rows without numbers get a null list, which must not be read).
struct Row { std::function<LNF(const LNF&)> direct; std::optional<Args> args = std::nullopt; };
#define ICU(name, value) Row{[v = value](const LNF& f) { return f.name(v); }
// Where a table's rows are shown: a locale, what is set first, the values formatted.
struct Probe { const char* locale; std::function<void(void*)> before; std::vector<double> values; };
struct Table { const char* name; Setter set; std::vector<Probe> probes; std::vector<Row> rows; };

// The built-in unit rows in order: UnitX takes MeasureUnit::getX().
#define BUILT_IN_UNITS(UNIT) \
    UNIT(Degree) UNIT(Radian) UNIT(RevolutionAngle) UNIT(Acre) UNIT(Hectare) UNIT(SquareCentimeter) UNIT(SquareFoot) \
    UNIT(SquareInch) UNIT(SquareKilometer) UNIT(SquareMeter) UNIT(SquareMile) UNIT(SquareYard) UNIT(Percent) UNIT(Bit) \
    UNIT(Byte) UNIT(Gigabit) UNIT(Gigabyte) UNIT(Kilobit) UNIT(Kilobyte) UNIT(Megabit) UNIT(Megabyte) UNIT(Petabyte) \
    UNIT(Terabit) UNIT(Terabyte) UNIT(Century) UNIT(Day) UNIT(Decade) UNIT(Hour) UNIT(Microsecond) UNIT(Millisecond) \
    UNIT(Minute) UNIT(Month) UNIT(Nanosecond) UNIT(Second) UNIT(Week) UNIT(Year) UNIT(Ampere) UNIT(Milliampere) \
    UNIT(Ohm) UNIT(Volt) UNIT(Calorie) UNIT(Joule) UNIT(Kilocalorie) UNIT(Kilojoule) UNIT(Newton) UNIT(Gigahertz) \
    UNIT(Hertz) UNIT(Kilohertz) UNIT(Megahertz) UNIT(DotPerCentimeter) UNIT(DotPerInch) UNIT(Em) UNIT(Megapixel) \
    UNIT(Pixel) UNIT(PixelPerCentimeter) UNIT(PixelPerInch) UNIT(Centimeter) UNIT(Decimeter) UNIT(Foot) UNIT(Furlong) \
    UNIT(Inch) UNIT(Kilometer) UNIT(Meter) UNIT(Micrometer) UNIT(Mile) UNIT(Millimeter) UNIT(Nanometer) \
    UNIT(Picometer) UNIT(Carat) UNIT(Gram) UNIT(Kilogram) UNIT(MetricTon) UNIT(Microgram) UNIT(Milligram) UNIT(Ounce) \
    UNIT(Pound) UNIT(Ton) UNIT(Gigawatt) UNIT(Horsepower) UNIT(Kilowatt) UNIT(Megawatt) UNIT(Milliwatt) UNIT(Watt) \
    UNIT(Atmosphere) UNIT(Bar) UNIT(Hectopascal) UNIT(Kilopascal) UNIT(Megapascal) UNIT(Millibar) UNIT(Pascal) \
    UNIT(Knot) UNIT(Celsius) UNIT(Fahrenheit) UNIT(Kelvin) UNIT(Gallon) UNIT(Hectoliter) UNIT(Liter) UNIT(Megaliter) \
    UNIT(Milliliter)

// Every table lists its rows in the order of its enumeration.
std::vector<Table> tables() {
    const auto unit = [](NS::UnitType u) { return [u](void* f) { NS::SetUnitType(f, u); }; };
    const auto chf = [](void* f) {  // cash rounding differs from standard
        UErrorCode status = U_ZERO_ERROR;
        direct(f) = direct(f).unit(icu::CurrencyUnit(u"CHF", status));
    };
    UErrorCode status = U_ZERO_ERROR;
    const icu::CurrencyUnit usd(u"USD", status);
#define UNIT(name) ICU(unit, MeasureUnit::get##name())},
    return {
        // es has a minimum of two grouping digits, en_IN groups by two above the thousands.
        {"grouping", setter(NS::SetGroupingType), {{"en_US", {}, {1234, 12345678}}, {"es", {}, {1234}}, {"en_IN", {}, {12345678}}},
         {ICU(grouping, UNUM_GROUPING_OFF)}, ICU(grouping, UNUM_GROUPING_MIN2)}, ICU(grouping, UNUM_GROUPING_AUTO)},
          ICU(grouping, UNUM_GROUPING_ON_ALIGNED)}, ICU(grouping, UNUM_GROUPING_THOUSANDS)}}},
        {"notation", setter(NS::SetNotationType), {{"en_US", {}, {12345.678, 0.00123}}},
         {ICU(notation, Notation::scientific())}, ICU(notation, Notation::compactShort())}, ICU(notation, Notation::compactLong())},
          ICU(notation, Notation::engineering())}, ICU(notation, Notation::simple())}}},
        {"rounding mode", setter(NS::SetRoundingModeType),
         {{"en_US", [](void* f) { NS::SetPrecisionType(f, NS::PrecisionInteger, nullptr); }, {2.5, -2.5, 2.4, -2.4, 3.5, 2.6}}},
         {ICU(roundingMode, UNUM_ROUND_HALFEVEN)}, ICU(roundingMode, UNUM_ROUND_HALFDOWN)}, ICU(roundingMode, UNUM_ROUND_HALFUP)},
          ICU(roundingMode, UNUM_ROUND_CEILING)}, ICU(roundingMode, UNUM_ROUND_FLOOR)}, ICU(roundingMode, UNUM_ROUND_UP)},
          ICU(roundingMode, UNUM_ROUND_DOWN)}, ICU(roundingMode, UNUM_ROUND_UNNECESSARY)}}},
        {"sign display", setter(NS::SetSignDisplayType), {{"en_US", unit(NS::UnitCurrencyUSD), {5, -5, 0}}},
         {ICU(sign, UNUM_SIGN_AUTO)}, ICU(sign, UNUM_SIGN_ALWAYS)}, ICU(sign, UNUM_SIGN_NEVER)}, ICU(sign, UNUM_SIGN_ACCOUNTING)},
          ICU(sign, UNUM_SIGN_ACCOUNTING_ALWAYS)}, ICU(sign, UNUM_SIGN_EXCEPT_ZERO)}, ICU(sign, UNUM_SIGN_ACCOUNTING_EXCEPT_ZERO)}}},
        {"unit width", setter(NS::SetUnitWidthType), {{"en_US", unit(NS::UnitCurrencyUSD), {5}}, {"en_US", unit(NS::UnitMeter), {5}}},
         {ICU(unitWidth, UNUM_UNIT_WIDTH_NARROW)}, ICU(unitWidth, UNUM_UNIT_WIDTH_SHORT)}, ICU(unitWidth, UNUM_UNIT_WIDTH_FULL_NAME)},
          ICU(unitWidth, UNUM_UNIT_WIDTH_ISO_CODE)}, ICU(unitWidth, UNUM_UNIT_WIDTH_HIDDEN)}}},
        {"precision", setter(NS::SetPrecisionType), {{"en_US", chf, {1234.5678, 0.1, 1.23}}},
         {ICU(precision, Precision::unlimited())}, ICU(precision, Precision::integer())},
          ICU(precision, Precision::fixedFraction(3)), Args().i(3)}, ICU(precision, Precision::minFraction(6)), Args().i(6)},
          ICU(precision, Precision::maxFraction(1)), Args().i(1)}, ICU(precision, Precision::minMaxFraction(2, 5)), Args().i(2).i(5)},
          ICU(precision, Precision::fixedSignificantDigits(3)), Args().i(3)},
          ICU(precision, Precision::minSignificantDigits(7)), Args().i(7)},
          ICU(precision, Precision::maxSignificantDigits(2)), Args().i(2)},
          ICU(precision, Precision::minMaxSignificantDigits(2, 4)), Args().i(2).i(4)},
          ICU(precision, Precision::increment(0.25)), Args().d(0.25)},
          ICU(precision, Precision::currency(UCURR_USAGE_STANDARD))}, ICU(precision, Precision::currency(UCURR_USAGE_CASH))}}},
        // Slot 0 is the minimum and slot 1 the maximum: swapped, ICU would reject 3 below 2.
        {"integer width", setter(NS::SetIntegerWidthType), {{"en_US", {}, {5, 1234}}},
         {ICU(integerWidth, IntegerWidth::zeroFillTo(3)), Args().i(3)},
          ICU(integerWidth, IntegerWidth::zeroFillTo(2).truncateAt(3)), Args().i(2).i(3)}}},
        // Full names, so that each unit's name shows.
        {"unit", setter(NS::SetUnitType), {{"en_US", [](void* f) { NS::SetUnitWidthType(f, NS::UnitWidthFullName); }, {2.5, 1}}},
         {BUILT_IN_UNITS(UNIT) ICU(unit, usd)}, ICU(unit, MeasureUnit())}, ICU(unit, MeasureUnit::getPercent())},
          ICU(unit, MeasureUnit::getPermille())}}},
    };
#undef UNIT
}

}  // namespace

// Each row is applied over another row of its table (the last call wins) and followed by values
// without a row, which change nothing and read no list. The result must equal the directly
// configured ICU formatter: the same skeleton (all settings as ICU writes them) and the same text
// for every value, also through FormatDouble without flags.
TEST(NumberSettings, EveryRowSelectsItsIcuSettingAndOtherValuesChangeNothing) {
    for (Table& t : tables()) {
        const int n = static_cast<int>(t.rows.size());
        const auto apply = [&](void* f, int r) {
            t.set(f, r, t.rows[r].args ? t.rows[r].args->at(size_t(r)) : nullptr);
        };
        for (int r = 0; r < n; ++r) {
            SCOPED_TRACE(std::string(t.name) + " row " + std::to_string(r));
            for (const Probe& p : t.probes) {
                Fmt f{NF::make(p.locale)};
                if (p.before) p.before(f);
                const LNF want = t.rows[r].direct(direct(f));
                apply(f, (r + 1) % n);
                apply(f, r);
                for (int none : {-1, n, n + 1, INT_MAX, INT_MIN}) t.set(f, none, nullptr);
                t.set(nullptr, r, nullptr);
                EXPECT_EQ(skeleton(direct(f)), skeleton(want));
                for (double v : p.values) {
                    EXPECT_EQ(formatDouble(f, v), icuDouble(want, v)) << v;
                    EXPECT_EQ(formatDouble(f, v, false, false), icuDouble(want.precision(Precision::minFraction(1)), v)) << v;
                }
            }
        }
    }
}

// Byte order of the slots: bytes 01 01 00 00 are 257, not 65792 or 16842752. A double fills its
// slot, whatever value it holds.
TEST(NumberSettings, IntsAreLittleEndianAndADoubleFillsItsSlot) {
    Fmt f{NF::make("en_US")};
    NS::SetPrecisionType(f, NS::PrecisionMinFraction, Args().i(257, 0).at(0));
    EXPECT_EQ(formatInt(f, 1), u"1." + std::u16string(257, u'0') + u'\0');
    const double inf = HUGE_VAL;
    for (double inc : {0.5, 0.0, -0.5, 1e300, 5e-324, inf, -inf, std::nan("")}) {
        NS::SetPrecisionType(f, NS::PrecisionIncrement, Args().d(inc).at(5));
        const LNF want = NumberFormatter::withLocale("en_US").precision(Precision::increment(inc));
        EXPECT_EQ(formatDouble(f, 1.3), icuDouble(want, 1.3)) << inc;
    }
}

// ICU keeps a rejected number as an error in the formatter: every format fails until the same
// operation sets a valid value again.
TEST(NumberSettings, RejectedNumbersGiveEmptyOutputUntilTheSameSettingIsReplaced) {
    Fmt f{NF::make("en_US")};
    NS::SetPrecisionType(f, NS::PrecisionFixedFraction, Args().i(-1).at(0));
    EXPECT_EQ(formatInt(f, 5), u"");
    EXPECT_EQ(formatDouble(f, 5.0), u"");
    EXPECT_EQ(formatDouble(f, 5.0, false, false), u"5.0\0"s);  // its own precision for the call
    NS::SetGroupingType(f, NS::GroupingOff);                   // another setting does not repair it
    EXPECT_EQ(formatInt(f, 5), u"");
    NS::SetPrecisionType(f, NS::PrecisionFixedFraction, Args().i(1).at(0));
    EXPECT_EQ(formatInt(f, 5), u"5.0\0"s);
    NS::SetIntegerWidthType(f, NS::IntegerWidthZeroFill, Args().i(INT_MIN).at(0));
    EXPECT_EQ(formatDouble(f, 5.0, false, false), u"");  // not a precision: no exception
    NS::SetIntegerWidthType(f, NS::IntegerWidthZeroFillTruncate, Args().i(1).i(-1).at(0));
    EXPECT_EQ(formatInt(f, 1234), u"1234.0\0"s);  // -1: no truncation
}
