// SetUnitType's table of 103 units: ICU's built-in measurement units (rows 0 to 98, by ICU unit
// type and then by unit identifier), the US dollar, no unit, percent and permille.
#include "number/settings_tables.h"

#include <unicode/currunit.h>

using icu::MeasureUnit;
using qova::tables::Row;
using qova::tables::indexedByValue;
using qova::tables::lookUp;
using S = QOVAUnicodeNumFormatterServices;

namespace {

// Each built-in unit row names ICU's getter whose name matches the enumerator's.
constexpr Row<S::UnitType, MeasureUnit (*)()> kMeasureUnits[] = {
    // angle
    {S::UnitDegree,              &MeasureUnit::getDegree},
    {S::UnitRadian,              &MeasureUnit::getRadian},
    {S::UnitRevolutionAngle,     &MeasureUnit::getRevolutionAngle},
    // area
    {S::UnitAcre,                &MeasureUnit::getAcre},
    {S::UnitHectare,             &MeasureUnit::getHectare},
    {S::UnitSquareCentimeter,    &MeasureUnit::getSquareCentimeter},
    {S::UnitSquareFoot,          &MeasureUnit::getSquareFoot},
    {S::UnitSquareInch,          &MeasureUnit::getSquareInch},
    {S::UnitSquareKilometer,     &MeasureUnit::getSquareKilometer},
    {S::UnitSquareMeter,         &MeasureUnit::getSquareMeter},
    {S::UnitSquareMile,          &MeasureUnit::getSquareMile},
    {S::UnitSquareYard,          &MeasureUnit::getSquareYard},
    // concentration
    {S::UnitPercent,             &MeasureUnit::getPercent},
    // digital information
    {S::UnitBit,                 &MeasureUnit::getBit},
    {S::UnitByte,                &MeasureUnit::getByte},
    {S::UnitGigabit,             &MeasureUnit::getGigabit},
    {S::UnitGigabyte,            &MeasureUnit::getGigabyte},
    {S::UnitKilobit,             &MeasureUnit::getKilobit},
    {S::UnitKilobyte,            &MeasureUnit::getKilobyte},
    {S::UnitMegabit,             &MeasureUnit::getMegabit},
    {S::UnitMegabyte,            &MeasureUnit::getMegabyte},
    {S::UnitPetabyte,            &MeasureUnit::getPetabyte},
    {S::UnitTerabit,             &MeasureUnit::getTerabit},
    {S::UnitTerabyte,            &MeasureUnit::getTerabyte},
    // duration
    {S::UnitCentury,             &MeasureUnit::getCentury},
    {S::UnitDay,                 &MeasureUnit::getDay},
    {S::UnitDecade,              &MeasureUnit::getDecade},
    {S::UnitHour,                &MeasureUnit::getHour},
    {S::UnitMicrosecond,         &MeasureUnit::getMicrosecond},
    {S::UnitMillisecond,         &MeasureUnit::getMillisecond},
    {S::UnitMinute,              &MeasureUnit::getMinute},
    {S::UnitMonth,               &MeasureUnit::getMonth},
    {S::UnitNanosecond,          &MeasureUnit::getNanosecond},
    {S::UnitSecond,              &MeasureUnit::getSecond},
    {S::UnitWeek,                &MeasureUnit::getWeek},
    {S::UnitYear,                &MeasureUnit::getYear},
    // electric
    {S::UnitAmpere,              &MeasureUnit::getAmpere},
    {S::UnitMilliampere,         &MeasureUnit::getMilliampere},
    {S::UnitOhm,                 &MeasureUnit::getOhm},
    {S::UnitVolt,                &MeasureUnit::getVolt},
    // energy
    {S::UnitCalorie,             &MeasureUnit::getCalorie},
    {S::UnitJoule,               &MeasureUnit::getJoule},
    {S::UnitKilocalorie,         &MeasureUnit::getKilocalorie},
    {S::UnitKilojoule,           &MeasureUnit::getKilojoule},
    // force
    {S::UnitNewton,              &MeasureUnit::getNewton},
    // frequency
    {S::UnitGigahertz,           &MeasureUnit::getGigahertz},
    {S::UnitHertz,               &MeasureUnit::getHertz},
    {S::UnitKilohertz,           &MeasureUnit::getKilohertz},
    {S::UnitMegahertz,           &MeasureUnit::getMegahertz},
    // graphics
    {S::UnitDotPerCentimeter,    &MeasureUnit::getDotPerCentimeter},
    {S::UnitDotPerInch,          &MeasureUnit::getDotPerInch},
    {S::UnitEm,                  &MeasureUnit::getEm},
    {S::UnitMegapixel,           &MeasureUnit::getMegapixel},
    {S::UnitPixel,               &MeasureUnit::getPixel},
    {S::UnitPixelPerCentimeter,  &MeasureUnit::getPixelPerCentimeter},
    {S::UnitPixelPerInch,        &MeasureUnit::getPixelPerInch},
    // length
    {S::UnitCentimeter,          &MeasureUnit::getCentimeter},
    {S::UnitDecimeter,           &MeasureUnit::getDecimeter},
    {S::UnitFoot,                &MeasureUnit::getFoot},
    {S::UnitFurlong,             &MeasureUnit::getFurlong},
    {S::UnitInch,                &MeasureUnit::getInch},
    {S::UnitKilometer,           &MeasureUnit::getKilometer},
    {S::UnitMeter,               &MeasureUnit::getMeter},
    {S::UnitMicrometer,          &MeasureUnit::getMicrometer},
    {S::UnitMile,                &MeasureUnit::getMile},
    {S::UnitMillimeter,          &MeasureUnit::getMillimeter},
    {S::UnitNanometer,           &MeasureUnit::getNanometer},
    {S::UnitPicometer,           &MeasureUnit::getPicometer},
    // mass
    {S::UnitCarat,               &MeasureUnit::getCarat},
    {S::UnitGram,                &MeasureUnit::getGram},
    {S::UnitKilogram,            &MeasureUnit::getKilogram},
    {S::UnitMetricTon,           &MeasureUnit::getMetricTon},
    {S::UnitMicrogram,           &MeasureUnit::getMicrogram},
    {S::UnitMilligram,           &MeasureUnit::getMilligram},
    {S::UnitOunce,               &MeasureUnit::getOunce},
    {S::UnitPound,               &MeasureUnit::getPound},
    {S::UnitTon,                 &MeasureUnit::getTon},
    // power
    {S::UnitGigawatt,            &MeasureUnit::getGigawatt},
    {S::UnitHorsepower,          &MeasureUnit::getHorsepower},
    {S::UnitKilowatt,            &MeasureUnit::getKilowatt},
    {S::UnitMegawatt,            &MeasureUnit::getMegawatt},
    {S::UnitMilliwatt,           &MeasureUnit::getMilliwatt},
    {S::UnitWatt,                &MeasureUnit::getWatt},
    // pressure
    {S::UnitAtmosphere,          &MeasureUnit::getAtmosphere},
    {S::UnitBar,                 &MeasureUnit::getBar},
    {S::UnitHectopascal,         &MeasureUnit::getHectopascal},
    {S::UnitKilopascal,          &MeasureUnit::getKilopascal},
    {S::UnitMegapascal,          &MeasureUnit::getMegapascal},
    {S::UnitMillibar,            &MeasureUnit::getMillibar},
    {S::UnitPascal,              &MeasureUnit::getPascal},
    // speed
    {S::UnitKnot,                &MeasureUnit::getKnot},
    // temperature
    {S::UnitCelsius,             &MeasureUnit::getCelsius},
    {S::UnitFahrenheit,          &MeasureUnit::getFahrenheit},
    {S::UnitKelvin,              &MeasureUnit::getKelvin},
    // volume
    {S::UnitGallon,              &MeasureUnit::getGallon},
    {S::UnitHectoliter,          &MeasureUnit::getHectoliter},
    {S::UnitLiter,               &MeasureUnit::getLiter},
    {S::UnitMegaliter,           &MeasureUnit::getMegaliter},
    {S::UnitMilliliter,          &MeasureUnit::getMilliliter},
};
static_assert(sizeof kMeasureUnits / sizeof kMeasureUnits[0] == 99);
static_assert(indexedByValue(kMeasureUnits));

}  // namespace

// Percent and permille are units, not scales: the number is shown as it is, with the locale's
// sign. The unit setter takes a MeasureUnit; a currency passes as one, as ICU designs it.
std::optional<MeasureUnit> qova::measureUnitFor(S::UnitType unit) {
    if (const auto getter = lookUp(kMeasureUnits, unit)) return (*getter)();
    switch (unit) {
        case S::UnitCurrencyUSD: {
            // A fixed, valid currency code: the status cannot report a failure.
            UErrorCode status = U_ZERO_ERROR;
            return icu::CurrencyUnit(icu::StringPiece("USD"), status);
        }
        case S::UnitNone:         return MeasureUnit();  // no unit: plain numbers again
        case S::UnitNonePercent:  return MeasureUnit::getPercent();
        case S::UnitNonePermille: return MeasureUnit::getPermille();
        default:                  return std::nullopt;
    }
}
