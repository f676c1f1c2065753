// Number formatter handles: the locale rule, copies, the terminated output, FormatDouble's two
// flags, ICU's failure result, and the settings, where every row of every table (the 103 units
// included) selects the ICU setting it must, numbers come from 8-byte slots and values without a
// row change nothing. A formatter handle is the address of an icu::number::LocalizedNumberFormatter,
// so expectations come from formatters configured directly in ICU.
#include "support.h"

#include <unicode/numberformatter.h>

#include <cstring>
#include <functional>
#include <vector>

using LNF = icu::number::LocalizedNumberFormatter;
using Fmt = qtest::Owned<NF::destroy>;
using namespace qtest;
using icu::MeasureUnit;
using namespace icu::number;

namespace {

using qkit::formatter;

// What a formatting call (FormatDouble, FormatInt, FormatDecimal) leaves in a handle that held "earlier".
template <class Op, class... A> std::u16string written(Op op, void* f, A... args) {
    Str out(u"earlier");
    op(f, out, args...);
    return out.units();
}

// ICU's result as the library hands it back: terminated, or empty when ICU fails.
template <class Format> std::u16string handedBack(Format format) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString s = format(status).toString(status);
    return U_FAILURE(status) ? u"" : text(s) + u'\0';
}

std::u16string icuDouble(const LNF& f, double v) { return handedBack([&](auto& s) { return f.formatDouble(v, s); }); }

// All settings of a formatter as ICU writes them, told apart from ICU failing to write them.
std::u16string skeleton(const LNF& f) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString s = f.toSkeleton(status);
    return U_FAILURE(status) ? u"(ICU failed)" : text(s);
}

// An argument list of 8-byte slots, built byte by byte in little-endian order so that it means
// the same on every host; an int leaves garbage in the upper half of its slot, as a caller that
// pushed a 32-bit value may. The list starts one byte into its buffer, so at no alignment.
struct Args {
    std::vector<unsigned char> bytes{0x5A};
    Args& put(uint64_t bits) {
        for (int b = 0; b < 8; ++b) bytes.push_back(static_cast<unsigned char>(bits >> (8 * b)));
        return *this;
    }
    Args& i(int32_t v, uint32_t upper = 0xA5C3E1F7u) { return put((uint64_t(upper) << 32) | uint32_t(v)); }
    Args& d(double v) { uint64_t bits; std::memcpy(&bits, &v, sizeof bits); return put(bits); }
    char* list() { return bytes.size() > 1 ? reinterpret_cast<char*>(&bytes[1]) : nullptr; }  // null when empty
};

using Setter = std::function<void(void*, int, char*)>;
template <class E> auto setter(void (*op)(void*, E)) { return [=](void* f, int t, char*) { op(f, E(t)); }; }
template <class E> auto setter(void (*op)(void*, E, char*)) { return [=](void* f, int t, char* a) { op(f, E(t), a); }; }

// One row: the ICU setting the enumerator stands for, and the numbers the library reads from the
// argument list (rows without numbers get a null list, which must not be read).
struct Row { std::function<LNF(const LNF&)> direct; Args args = {}; };
template <class V> struct WithArgs { V value; Args args; };
template <class V> WithArgs<V> with(V value, Args args) { return {value, args}; }
template <class Op, class V> Row row(Op op, V v) { return {[op, v](const LNF& f) { return op(f, v); }}; }
template <class Op, class V> Row row(Op op, WithArgs<V> v) { return {row(op, v.value).direct, v.args}; }
template <class Op, class... V> std::vector<Row> rowsOf(Op op, V... values) { return {row(op, values)...}; }
// The rows of a table, one value of the ICU setting each, in the order of the enumeration.
#define ROWS(setting, ...) rowsOf([](const LNF& f, const auto& v) { return f.setting(v); }, __VA_ARGS__)

// Where a table's rows are shown: a locale, what is set first, the values formatted.
struct Probe { const char* locale; std::function<void(void*)> before; std::vector<double> values; };
struct Table { const char* name; Setter set; std::vector<Probe> probes; std::vector<Row> rows; };

// The built-in unit rows in order: UnitX takes MeasureUnit::getX().
#define BUILT_IN_UNITS(U) \
    U(Degree) U(Radian) U(RevolutionAngle) U(Acre) U(Hectare) U(SquareCentimeter) U(SquareFoot) U(SquareInch) \
    U(SquareKilometer) U(SquareMeter) U(SquareMile) U(SquareYard) U(Percent) U(Bit) U(Byte) U(Gigabit) U(Gigabyte) \
    U(Kilobit) U(Kilobyte) U(Megabit) U(Megabyte) U(Petabyte) U(Terabit) U(Terabyte) U(Century) U(Day) U(Decade) \
    U(Hour) U(Microsecond) U(Millisecond) U(Minute) U(Month) U(Nanosecond) U(Second) U(Week) U(Year) U(Ampere) \
    U(Milliampere) U(Ohm) U(Volt) U(Calorie) U(Joule) U(Kilocalorie) U(Kilojoule) U(Newton) U(Gigahertz) U(Hertz) \
    U(Kilohertz) U(Megahertz) U(DotPerCentimeter) U(DotPerInch) U(Em) U(Megapixel) U(Pixel) U(PixelPerCentimeter) \
    U(PixelPerInch) U(Centimeter) U(Decimeter) U(Foot) U(Furlong) U(Inch) U(Kilometer) U(Meter) U(Micrometer) \
    U(Mile) U(Millimeter) U(Nanometer) U(Picometer) U(Carat) U(Gram) U(Kilogram) U(MetricTon) U(Microgram) \
    U(Milligram) U(Ounce) U(Pound) U(Ton) U(Gigawatt) U(Horsepower) U(Kilowatt) U(Megawatt) U(Milliwatt) U(Watt) \
    U(Atmosphere) U(Bar) U(Hectopascal) U(Kilopascal) U(Megapascal) U(Millibar) U(Pascal) U(Knot) U(Celsius) \
    U(Fahrenheit) U(Kelvin) U(Gallon) U(Hectoliter) U(Liter) U(Megaliter) U(Milliliter)

std::vector<Table> tables() {
    const auto unit = [](NS::UnitType u) { return [u](void* f) { NS::SetUnitType(f, u); }; };
    UErrorCode status = U_ZERO_ERROR;
    const icu::CurrencyUnit usd(u"USD", status), chf(u"CHF", status);
    const auto inChf = [chf](void* f) { formatter(f) = formatter(f).unit(chf); };  // cash rounding differs from standard
    const auto fullNames = [](void* f) { NS::SetUnitWidthType(f, NS::UnitWidthFullName); };
    const auto integers = [](void* f) { NS::SetPrecisionType(f, NS::PrecisionInteger, nullptr); };
    using P = Precision;
#define UNIT(name) MeasureUnit::get##name(),
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
        {"precision", setter(NS::SetPrecisionType), {{"en_US", inChf, {1234.5678, 0.1, 1.23}}},
         ROWS(precision, P::unlimited(), P::integer(), with(P::fixedFraction(3), Args().i(3)),
              with(P::minFraction(6), Args().i(6)), with(P::maxFraction(1), Args().i(1)),
              with(P::minMaxFraction(2, 5), Args().i(2).i(5)), with(P::fixedSignificantDigits(3), Args().i(3)),
              with(P::minSignificantDigits(7), Args().i(7)), with(P::maxSignificantDigits(2), Args().i(2)),
              with(P::minMaxSignificantDigits(2, 4), Args().i(2).i(4)), with(P::increment(0.25), Args().d(0.25)),
              P::currency(UCURR_USAGE_STANDARD), P::currency(UCURR_USAGE_CASH))},
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

TEST(NumberFormatterFactory, LocaleRuleCopiesAndNullHandles) {
    expectLocaleRule([](const char* name) { return written(NS::FormatDouble, Fmt{NF::make(name)}, -1234567.5, 1, 0); },
                     [](const icu::Locale& l) { return icuDouble(NumberFormatter::withLocale(l), -1234567.5); });
    void* source = NF::make("de_DE");
    NS::SetSignDisplayType(source, NS::SignAlways);
    Fmt copy{NF::makeCopy(source)};
    NS::SetGroupingType(source, NS::GroupingOff);
    NF::destroy(source);
    EXPECT_TRUE(source == nullptr && NF::makeCopy(nullptr) == nullptr);
    // Locale and settings copied; independent; outlives its source.
    const LNF de = NumberFormatter::withLocale("de_DE").sign(UNUM_SIGN_ALWAYS);
    EXPECT_EQ(written(NS::FormatInt, copy, 12345), icuDouble(de, 12345));
    // Null handles write nothing (a null formatter reading no argument list: the settings test).
    NS::FormatInt(copy, nullptr, 1);
    EXPECT_EQ(written(NS::FormatDouble, nullptr, 1.5, 1, 1) + written(NS::FormatInt, nullptr, 1), u"earlierearlier");
}

// Decimal text is formatted exactly and only read; text ICU rejects (or none) leaves `out` empty,
// and the failure leaves no trace in the handle. Integers use all 64 bits.
TEST(NumberFormatting, DecimalTextIntegersAndTheFailureResult) {
    const LNF en = NumberFormatter::withLocale("en_US");
    Fmt f{NF::make("en_US")};
    for (const char* decimal : {"1234.5", "-0.000001", "123456789012345678901234567890.125", "1E3", "12abc", ""}) {
        std::string own(decimal);
        EXPECT_EQ(written(NS::FormatDecimal, f, own.data()),
                  handedBack([&](UErrorCode& s) { return en.formatDecimal(decimal, s); }));
        EXPECT_TRUE(own == decimal && written(NS::FormatInt, f, 3) == u"3\0"s) << decimal;
    }
    char digits[] = "12";
    EXPECT_EQ(written(NS::FormatDecimal, f, nullptr) + written(NS::FormatDecimal, nullptr, digits), u"earlier");
    for (long long v : {-1LL, LLONG_MAX, LLONG_MIN})
        EXPECT_EQ(written(NS::FormatInt, f, v), handedBack([&](UErrorCode& s) { return en.formatInt(v, s); }));
}

// Each row is applied over another row of its table (the last call wins) and followed by values
// without a row, which change nothing and read no list. The result must equal the directly
// configured ICU formatter: the same skeleton (all settings as ICU writes them) and the same text
// for every value, through FormatDouble with either flag (the handle's precision) and with none
// (at least one fraction digit, for that call only).
TEST(NumberSettings, EveryRowSelectsItsIcuSettingAndOtherValuesChangeNothing) {
    for (Table& t : tables()) {
        const int n = static_cast<int>(t.rows.size());
        for (int r = 0; r < n; ++r) {
            SCOPED_TRACE(std::string(t.name) + " row " + std::to_string(r));
            for (const Probe& p : t.probes) {
                Fmt f{NF::make(p.locale)};
                if (p.before) p.before(f);
                const LNF want = t.rows[r].direct(formatter(f)), oneDigit = want.precision(Precision::minFraction(1));
                t.set(f, (r + 1) % n, t.rows[(r + 1) % n].args.list());
                t.set(f, r, t.rows[r].args.list());
                for (int none : {-1, n, n + 1, INT_MAX, INT_MIN}) t.set(f, none, nullptr);
                t.set(nullptr, r, reinterpret_cast<char*>(1));  // a null formatter reads no list
                EXPECT_EQ(skeleton(formatter(f)), skeleton(want));
                for (double v : p.values) {
                    EXPECT_EQ(written(NS::FormatDouble, f, v, r % 2, r % 2 == 0), icuDouble(want, v)) << v;
                    EXPECT_EQ(written(NS::FormatDouble, f, v, false, false), icuDouble(oneDigit, v)) << v;
                }
            }
        }
    }
}
