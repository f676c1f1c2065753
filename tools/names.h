// Names that qovaicu accepts for the library's enumerations and for regex flags.
//
// Naming scheme: the enumerator without its stem, in lower case with words joined by '-'
// (RoundingHalfEven -> half-even, UnitSquareMeter -> square-meter, UnitNonePercent ->
// none-percent, StyleShort -> short). The one currency row is named by its ISO code
// (UnitCurrencyUSD -> usd). Names are matched without regard to ASCII case.
//
// Each table has one row per enumerator, in the enumeration's order; static_asserts below hold
// the order against the enumerators' values.
#pragma once

#include <QOVAicuC.h>

#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace qovaicu {

template <class E>
struct Name {
    const char* name;
    E value;
};

using N = QOVAUnicodeNumFormatterServices;
using Styles = QOVAUnicodeDateTimeFormatterFactory;

inline constexpr Name<N::GroupingType> kGrouping[] = {
    {"off", N::GroupingOff},
    {"min2", N::GroupingMin2},
    {"auto", N::GroupingAuto},
    {"on-aligned", N::GroupingOnAligned},
    {"thousands", N::GroupingThousands},
};

inline constexpr Name<N::NotationType> kNotation[] = {
    {"scientific", N::NotationScientific},
    {"compact-short", N::NotationCompactShort},
    {"compact-long", N::NotationCompactLong},
    {"engineering", N::NotationEngineering},
    {"simple", N::NotationSimple},
};

inline constexpr Name<N::RoundingModeType> kRounding[] = {
    {"half-even", N::RoundingHalfEven},
    {"half-down", N::RoundingHalfDown},
    {"half-up", N::RoundingHalfUp},
    {"ceiling", N::RoundingCeiling},
    {"floor", N::RoundingFloor},
    {"up", N::RoundingUp},
    {"down", N::RoundingDown},
    {"unnecessary", N::RoundingUnnecessary},
};

inline constexpr Name<N::SignDisplayType> kSign[] = {
    {"auto", N::SignAuto},
    {"always", N::SignAlways},
    {"never", N::SignNever},
    {"accounting", N::SignAccounting},
    {"accounting-always", N::SignAccountingAlways},
    {"except-zero", N::SignExceptZero},
    {"accounting-except-zero", N::SignAccountingExceptZero},
};

inline constexpr Name<N::UnitWidthType> kUnitWidth[] = {
    {"narrow", N::UnitWidthNarrow},
    {"short", N::UnitWidthShort},
    {"full-name", N::UnitWidthFullName},
    {"iso-code", N::UnitWidthIsoCode},
    {"hidden", N::UnitWidthHidden},
};

inline constexpr Name<N::UnitType> kUnits[] = {
    {"degree", N::UnitDegree},
    {"radian", N::UnitRadian},
    {"revolution-angle", N::UnitRevolutionAngle},
    {"acre", N::UnitAcre},
    {"hectare", N::UnitHectare},
    {"square-centimeter", N::UnitSquareCentimeter},
    {"square-foot", N::UnitSquareFoot},
    {"square-inch", N::UnitSquareInch},
    {"square-kilometer", N::UnitSquareKilometer},
    {"square-meter", N::UnitSquareMeter},
    {"square-mile", N::UnitSquareMile},
    {"square-yard", N::UnitSquareYard},
    {"percent", N::UnitPercent},
    {"bit", N::UnitBit},
    {"byte", N::UnitByte},
    {"gigabit", N::UnitGigabit},
    {"gigabyte", N::UnitGigabyte},
    {"kilobit", N::UnitKilobit},
    {"kilobyte", N::UnitKilobyte},
    {"megabit", N::UnitMegabit},
    {"megabyte", N::UnitMegabyte},
    {"petabyte", N::UnitPetabyte},
    {"terabit", N::UnitTerabit},
    {"terabyte", N::UnitTerabyte},
    {"century", N::UnitCentury},
    {"day", N::UnitDay},
    {"decade", N::UnitDecade},
    {"hour", N::UnitHour},
    {"microsecond", N::UnitMicrosecond},
    {"millisecond", N::UnitMillisecond},
    {"minute", N::UnitMinute},
    {"month", N::UnitMonth},
    {"nanosecond", N::UnitNanosecond},
    {"second", N::UnitSecond},
    {"week", N::UnitWeek},
    {"year", N::UnitYear},
    {"ampere", N::UnitAmpere},
    {"milliampere", N::UnitMilliampere},
    {"ohm", N::UnitOhm},
    {"volt", N::UnitVolt},
    {"calorie", N::UnitCalorie},
    {"joule", N::UnitJoule},
    {"kilocalorie", N::UnitKilocalorie},
    {"kilojoule", N::UnitKilojoule},
    {"newton", N::UnitNewton},
    {"gigahertz", N::UnitGigahertz},
    {"hertz", N::UnitHertz},
    {"kilohertz", N::UnitKilohertz},
    {"megahertz", N::UnitMegahertz},
    {"dot-per-centimeter", N::UnitDotPerCentimeter},
    {"dot-per-inch", N::UnitDotPerInch},
    {"em", N::UnitEm},
    {"megapixel", N::UnitMegapixel},
    {"pixel", N::UnitPixel},
    {"pixel-per-centimeter", N::UnitPixelPerCentimeter},
    {"pixel-per-inch", N::UnitPixelPerInch},
    {"centimeter", N::UnitCentimeter},
    {"decimeter", N::UnitDecimeter},
    {"foot", N::UnitFoot},
    {"furlong", N::UnitFurlong},
    {"inch", N::UnitInch},
    {"kilometer", N::UnitKilometer},
    {"meter", N::UnitMeter},
    {"micrometer", N::UnitMicrometer},
    {"mile", N::UnitMile},
    {"millimeter", N::UnitMillimeter},
    {"nanometer", N::UnitNanometer},
    {"picometer", N::UnitPicometer},
    {"carat", N::UnitCarat},
    {"gram", N::UnitGram},
    {"kilogram", N::UnitKilogram},
    {"metric-ton", N::UnitMetricTon},
    {"microgram", N::UnitMicrogram},
    {"milligram", N::UnitMilligram},
    {"ounce", N::UnitOunce},
    {"pound", N::UnitPound},
    {"ton", N::UnitTon},
    {"gigawatt", N::UnitGigawatt},
    {"horsepower", N::UnitHorsepower},
    {"kilowatt", N::UnitKilowatt},
    {"megawatt", N::UnitMegawatt},
    {"milliwatt", N::UnitMilliwatt},
    {"watt", N::UnitWatt},
    {"atmosphere", N::UnitAtmosphere},
    {"bar", N::UnitBar},
    {"hectopascal", N::UnitHectopascal},
    {"kilopascal", N::UnitKilopascal},
    {"megapascal", N::UnitMegapascal},
    {"millibar", N::UnitMillibar},
    {"pascal", N::UnitPascal},
    {"knot", N::UnitKnot},
    {"celsius", N::UnitCelsius},
    {"fahrenheit", N::UnitFahrenheit},
    {"kelvin", N::UnitKelvin},
    {"gallon", N::UnitGallon},
    {"hectoliter", N::UnitHectoliter},
    {"liter", N::UnitLiter},
    {"megaliter", N::UnitMegaliter},
    {"milliliter", N::UnitMilliliter},
    {"usd", N::UnitCurrencyUSD},
    {"none", N::UnitNone},
    {"none-percent", N::UnitNonePercent},
    {"none-permille", N::UnitNonePermille},
};

inline constexpr Name<Styles::DateTimeStyle> kDateTimeStyles[] = {
    {"none", Styles::StyleNone},
    {"full", Styles::StyleFull},
    {"long", Styles::StyleLong},
    {"medium", Styles::StyleMedium},
    {"short", Styles::StyleShort},
};

// The bits of ICU's URegexpFlag that the regex factory passes on (values of unicode/uregex.h).
extern const Name<unsigned int> kRegexFlags[8];

// Row k of `table` holds the enumerator whose value is k + `first`.
template <class E, std::size_t Size>
constexpr bool inEnumerationOrder(const Name<E> (&table)[Size], int first = 0) {
    for (std::size_t k = 0; k < Size; ++k)
        if (static_cast<int>(table[k].value) != static_cast<int>(k) + first) return false;
    return true;
}
static_assert(inEnumerationOrder(kGrouping));
static_assert(inEnumerationOrder(kNotation));
static_assert(inEnumerationOrder(kRounding));
static_assert(inEnumerationOrder(kSign));
static_assert(inEnumerationOrder(kUnitWidth));
static_assert(inEnumerationOrder(kUnits) && std::size(kUnits) == 103);
static_assert(inEnumerationOrder(kDateTimeStyles, -1));

bool sameName(std::string_view a, std::string_view b);

template <class E, std::size_t Size>
std::optional<E> lookup(const Name<E> (&table)[Size], std::string_view name) {
    for (const Name<E>& row : table)
        if (sameName(row.name, name)) return row.value;
    return std::nullopt;
}

// "a, b, c": the names of a table, for help texts and error messages.
template <class E, std::size_t Size>
std::string nameList(const Name<E> (&table)[Size]) {
    std::string out;
    for (const Name<E>& row : table) {
        if (!out.empty()) out += ", ";
        out += row.name;
    }
    return out;
}

}  // namespace qovaicu
