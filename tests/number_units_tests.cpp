// The 103 rows of SetUnitType: each selects the ICU unit it names, percent and permille are
// units rather than scales, and a unit never disturbs the other settings.
#include "number_support.h"

#include <gtest/gtest.h>

#include <unicode/currunit.h>

#include <climits>
#include <map>

using namespace qtest;
using icu::MeasureUnit;
using icu::number::NumberFormatter;

static const std::u16string Z(1, u'\0');

namespace {

// The built-in rows in order: UnitX takes MeasureUnit::getX().
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

struct UnitRow {
    NS::UnitType type;
    MeasureUnit unit;
};

std::vector<UnitRow> expectedRows() {
#define UNIT(name) {NS::Unit##name, MeasureUnit::get##name()},
    std::vector<UnitRow> rows = {BUILT_IN_UNITS(UNIT)};
#undef UNIT
    UErrorCode status = U_ZERO_ERROR;
    rows.push_back({NS::UnitCurrencyUSD, icu::CurrencyUnit(u"USD", status)});
    rows.push_back({NS::UnitNone, MeasureUnit()});
    rows.push_back({NS::UnitNonePercent, MeasureUnit::getPercent()});
    rows.push_back({NS::UnitNonePermille, MeasureUnit::getPermille()});
    return rows;
}

}  // namespace

// Every row, in full names so that each unit's name shows, against ICU given the unit directly.
// All rows read differently except 101, which is 12 again.
TEST(UnitTable, EveryRowSelectsItsIcuUnit) {
    const std::vector<UnitRow> rows = expectedRows();
    ASSERT_EQ(rows.size(), 103u);
    std::map<std::u16string, int> seen;
    for (size_t r = 0; r < rows.size(); ++r) {
        SCOPED_TRACE("row " + std::to_string(r));
        ASSERT_EQ(static_cast<size_t>(rows[r].type), r);
        Fmt f("en_US");
        NS::SetUnitWidthType(f, NS::UnitWidthFullName);
        const LNF want = f.icu().unit(rows[r].unit);
        NS::SetUnitType(f, rows[r].type);
        EXPECT_EQ(skeleton(f.icu()), skeleton(want));
        const std::u16string shown = formatDouble(f, 2.5) + formatInt(f, 1);
        EXPECT_EQ(shown, icuDouble(want, 2.5) + icuInt(want, 1));
        const auto [first, fresh] = seen.emplace(shown, static_cast<int>(r));
        if (r == NS::UnitNonePercent) {
            EXPECT_EQ(first->second, NS::UnitPercent);
        } else {
            EXPECT_TRUE(fresh) << "rows " << first->second << " and " << r << " look alike";
        }
    }
}

TEST(UnitTable, PercentAndPermilleAreNotScales) {
    Fmt f("en_US");
    NS::SetUnitType(f, NS::UnitPercent);
    EXPECT_EQ(formatInt(f, 50), u"50%" + Z);
    const LNF en = NumberFormatter::withLocale("en_US");
    NS::SetUnitType(f, NS::UnitNonePermille);
    EXPECT_EQ(formatInt(f, 50), icuInt(en.unit(MeasureUnit::getPermille()), 50));
    EXPECT_EQ(formatInt(f, 50).substr(0, 2), u"50");
}

TEST(UnitTable, UnitNoneRemovesAnyUnit) {
    Fmt f("en_US");
    NS::SetUnitType(f, NS::UnitMeter);
    NS::SetUnitWidthType(f, NS::UnitWidthShort);
    const LNF en = NumberFormatter::withLocale("en_US");
    EXPECT_EQ(formatInt(f, 5), icuInt(en.unit(MeasureUnit::getMeter()), 5));
    NS::SetUnitWidthType(f, NS::UnitWidthFullName);
    EXPECT_EQ(formatInt(f, 5), u"5 meters" + Z);
    NS::SetUnitType(f, NS::UnitNone);
    EXPECT_EQ(formatInt(f, 5), u"5" + Z);
    NS::SetUnitType(f, NS::UnitCurrencyUSD);
    NS::SetUnitType(f, NS::UnitNone);
    EXPECT_EQ(formatInt(f, 5), u"5" + Z);
}

TEST(UnitTable, DollarsShowTwoFractionDigitsAndHideOnlyTheirSymbol) {
    Fmt f("en_US");
    NS::SetUnitType(f, NS::UnitCurrencyUSD);
    EXPECT_EQ(formatInt(f, 5), u"$5.00" + Z);
    NS::SetUnitWidthType(f, NS::UnitWidthIsoCode);
    EXPECT_NE(formatInt(f, 5).find(u"USD"), std::u16string::npos);
    NS::SetUnitWidthType(f, NS::UnitWidthHidden);
    EXPECT_EQ(formatInt(f, 5), u"5.00" + Z);
    // In ICU 72 the hidden width still names a measurement unit.
    NS::SetUnitType(f, NS::UnitMeter);
    const LNF en = NumberFormatter::withLocale("en_US");
    EXPECT_EQ(formatInt(f, 5),
              icuInt(en.unit(MeasureUnit::getMeter()).unitWidth(UNUM_UNIT_WIDTH_HIDDEN), 5));
    // ICU's formal and variant widths have no row.
    NS::SetUnitWidthType(f, static_cast<NS::UnitWidthType>(5));
    NS::SetUnitWidthType(f, static_cast<NS::UnitWidthType>(6));
    EXPECT_NE(skeleton(f.icu()).find("unit-width-hidden"), std::string::npos);
}

TEST(UnitTable, ValuesWithoutRowKeepTheUnit) {
    Fmt f("en_US");
    NS::SetUnitType(f, NS::UnitKilogram);
    const std::u16string before = formatInt(f, 7);
    for (int v : {103, 104, -1, INT_MIN, INT_MAX}) {
        NS::SetUnitType(f, static_cast<NS::UnitType>(v));
        EXPECT_EQ(formatInt(f, 7), before) << v;
    }
}

TEST(UnitTable, OtherSettingsSurvive) {
    Fmt f("en_US");
    NS::SetGroupingType(f, NS::GroupingOff);
    NS::SetUnitType(f, NS::UnitGram);
    const std::u16string shown = formatInt(f, 12345);
    EXPECT_EQ(shown, icuInt(NumberFormatter::withLocale("en_US")
                                .grouping(UNUM_GROUPING_OFF)
                                .unit(MeasureUnit::getGram()),
                            12345));
    EXPECT_EQ(shown.substr(0, 6), u"12345 ");
}
