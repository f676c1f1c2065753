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
template <class Format>
std::u16string handedBack(Format format) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString s = format(status).toString(status);
    return U_FAILURE(status) ? u"" : text(s) + u'\0';
}

std::u16string icuDouble(const LNF& f, double v) {
    return handedBack([&](UErrorCode& status) { return f.formatDouble(v, status); });
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
    NS::SetGroupingType(source, NS::GroupingOff);
    NF::destroy(source);
    EXPECT_TRUE(source == nullptr && NF::makeCopy(nullptr) == nullptr);
    // Locale and settings copied; independent; outlives its source.
    const LNF de = NumberFormatter::withLocale("de_DE").sign(UNUM_SIGN_ALWAYS);
    EXPECT_EQ(formatInt(copy, 12345), handedBack([&](UErrorCode& status) { return de.formatInt(12345, status); }));
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
    Fmt f{NF::make("en_US")};
    for (const char* decimal : {"1234.5", "-0.000001", "123456789012345678901234567890.125", "1E3", "12abc", ""}) {
        Str out(u"earlier");
        std::string copy(decimal);
        NS::FormatDecimal(f, out, copy.data());
        EXPECT_EQ(out.units(), handedBack([&](UErrorCode& status) { return en.formatDecimal(decimal, status); }));
        EXPECT_TRUE(copy == decimal && formatInt(f, 3) == u"3\0"s) << decimal;
    }
    Str out(u"earlier");
    NS::FormatDecimal(f, out, nullptr);
    EXPECT_EQ(out.units(), u"");
    for (long long v : {-1LL, LLONG_MAX, LLONG_MIN})
        EXPECT_EQ(formatInt(f, v), handedBack([&](UErrorCode& status) { return en.formatInt(v, status); })) << v;
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
template <class V> struct WithArgs { V value; Args args; };
template <class V> WithArgs<V> with(V value, Args args) { return {value, args}; }
template <class Op, class V> Row row(Op op, V v) { return {[op, v](const LNF& f) { return op(f, v); }}; }
template <class Op, class V> Row row(Op op, WithArgs<V> v) {
    return {[op, v](const LNF& f) { return op(f, v.value); }, v.args};
}
template <class Op, class... V> std::vector<Row> rowsOf(Op op, V... values) { return {row(op, values)...}; }
// The rows of a table, one value of the ICU setting each, in the order of the enumeration.
#define ROWS(setting, ...) rowsOf([](const LNF& f, const auto& v) { return f.setting(v); }, __VA_ARGS__)

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

std::vector<Table> tables() {
    const auto unit = [](NS::UnitType u) { return [u](void* f) { NS::SetUnitType(f, u); }; };
    const auto chf = [](void* f) {  // cash rounding differs from standard
        UErrorCode status = U_ZERO_ERROR;
        direct(f) = direct(f).unit(icu::CurrencyUnit(u"CHF", status));
    };
    UErrorCode status = U_ZERO_ERROR;
    const icu::CurrencyUnit usd(u"USD", status);
#define UNIT(name) MeasureUnit::get##name(),
    const auto fullNames = [](void* f) { NS::SetUnitWidthType(f, NS::UnitWidthFullName); };
    const auto integers = [](void* f) { NS::SetPrecisionType(f, NS::PrecisionInteger, nullptr); };
    return {
        // es has a minimum of two grouping digits, en_IN groups by two above the thousands.
        {"grouping", setter(NS::SetGroupingType),
         {{"en_US", {}, {1234, 12345678}}, {"es", {}, {1234}}, {"en_IN", {}, {12345678}}},
         ROWS(grouping, UNUM_GROUPING_OFF, UNUM_GROUPING_MIN2, UNUM_GROUPING_AUTO, UNUM_GROUPING_ON_ALIGNED,
              UNUM_GROUPING_THOUSANDS)},
        {"notation", setter(NS::SetNotationType), {{"en_US", {}, {12345.678, 0.00123}}},
         ROWS(notation, Notation::scientific(), Notation::compactShort(), Notation::compactLong(),
              Notation::engineering(), Notation::simple())},
        {"rounding mode", setter(NS::SetRoundingModeType), {{"en_US", integers, {2.5, -2.5, 2.4, -2.4, 3.5, 2.6}}},
         ROWS(roundingMode, UNUM_ROUND_HALFEVEN, UNUM_ROUND_HALFDOWN, UNUM_ROUND_HALFUP, UNUM_ROUND_CEILING,
              UNUM_ROUND_FLOOR, UNUM_ROUND_UP, UNUM_ROUND_DOWN, UNUM_ROUND_UNNECESSARY)},
        {"sign display", setter(NS::SetSignDisplayType), {{"en_US", unit(NS::UnitCurrencyUSD), {5, -5, 0}}},
         ROWS(sign, UNUM_SIGN_AUTO, UNUM_SIGN_ALWAYS, UNUM_SIGN_NEVER, UNUM_SIGN_ACCOUNTING,
              UNUM_SIGN_ACCOUNTING_ALWAYS, UNUM_SIGN_EXCEPT_ZERO, UNUM_SIGN_ACCOUNTING_EXCEPT_ZERO)},
        {"unit width", setter(NS::SetUnitWidthType),
         {{"en_US", unit(NS::UnitCurrencyUSD), {5}}, {"en_US", unit(NS::UnitMeter), {5}}},
         ROWS(unitWidth, UNUM_UNIT_WIDTH_NARROW, UNUM_UNIT_WIDTH_SHORT, UNUM_UNIT_WIDTH_FULL_NAME,
              UNUM_UNIT_WIDTH_ISO_CODE, UNUM_UNIT_WIDTH_HIDDEN)},
        {"precision", setter(NS::SetPrecisionType), {{"en_US", chf, {1234.5678, 0.1, 1.23}}},
         ROWS(precision, Precision::unlimited(), Precision::integer(), with(Precision::fixedFraction(3), Args().i(3)),
              with(Precision::minFraction(6), Args().i(6)), with(Precision::maxFraction(1), Args().i(1)),
              with(Precision::minMaxFraction(2, 5), Args().i(2).i(5)),
              with(Precision::fixedSignificantDigits(3), Args().i(3)),
              with(Precision::minSignificantDigits(7), Args().i(7)),
              with(Precision::maxSignificantDigits(2), Args().i(2)),
              with(Precision::minMaxSignificantDigits(2, 4), Args().i(2).i(4)),
              with(Precision::increment(0.25), Args().d(0.25)), Precision::currency(UCURR_USAGE_STANDARD),
              Precision::currency(UCURR_USAGE_CASH))},
        // Slot 0 is the minimum and slot 1 the maximum: swapped, ICU would reject 3 below 2.
        {"integer width", setter(NS::SetIntegerWidthType), {{"en_US", {}, {5, 1234}}},
         ROWS(integerWidth, with(IntegerWidth::zeroFillTo(3), Args().i(3)),
              with(IntegerWidth::zeroFillTo(2).truncateAt(3), Args().i(2).i(3)))},
        // Full names, so that each unit's name shows.
        {"unit", setter(NS::SetUnitType), {{"en_US", fullNames, {2.5, 1}}},
         ROWS(unit, BUILT_IN_UNITS(UNIT) usd, MeasureUnit(), MeasureUnit::getPercent(), MeasureUnit::getPermille())},
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
        const auto apply = [&](void* f, int r) { t.set(f, r, t.rows[r].args ? t.rows[r].args->at(r) : nullptr); };
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
                    const LNF oneDigit = want.precision(Precision::minFraction(1));
                    EXPECT_EQ(formatDouble(f, v, false, false), icuDouble(oneDigit, v)) << v;
                }
            }
        }
    }
}
