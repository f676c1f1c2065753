// The tables of the settings operations other than the unit, one row per enumerator, in the
// enumeration's order.
#include "number/settings_tables.h"

#include "number/argument_slots.h"

using icu::number::IntegerWidth;
using icu::number::Notation;
using icu::number::Precision;
using qova::tables::Row;
using qova::tables::indexedByValue;
using qova::tables::lookUp;
using S = QOVAUnicodeNumFormatterServices;

namespace {

// The same numbering as ICU's.
constexpr Row<S::GroupingType, UNumberGroupingStrategy> kGrouping[] = {
    {S::GroupingOff,       UNUM_GROUPING_OFF},
    {S::GroupingMin2,      UNUM_GROUPING_MIN2},
    {S::GroupingAuto,      UNUM_GROUPING_AUTO},
    {S::GroupingOnAligned, UNUM_GROUPING_ON_ALIGNED},
    {S::GroupingThousands, UNUM_GROUPING_THOUSANDS},
};
static_assert(indexedByValue(kGrouping));

// ICU counts from ceiling (0) and has half-even at 4; its half-odd, half-ceiling and
// half-floor modes have no row.
constexpr Row<S::RoundingModeType, UNumberFormatRoundingMode> kRoundingMode[] = {
    {S::RoundingHalfEven,    UNUM_ROUND_HALFEVEN},
    {S::RoundingHalfDown,    UNUM_ROUND_HALFDOWN},
    {S::RoundingHalfUp,      UNUM_ROUND_HALFUP},
    {S::RoundingCeiling,     UNUM_ROUND_CEILING},
    {S::RoundingFloor,       UNUM_ROUND_FLOOR},
    {S::RoundingUp,          UNUM_ROUND_UP},
    {S::RoundingDown,        UNUM_ROUND_DOWN},
    {S::RoundingUnnecessary, UNUM_ROUND_UNNECESSARY},
};
static_assert(indexedByValue(kRoundingMode));

// ICU's numbering for 0 to 6; its negative-only modes have no row.
constexpr Row<S::SignDisplayType, UNumberSignDisplay> kSignDisplay[] = {
    {S::SignAuto,                 UNUM_SIGN_AUTO},
    {S::SignAlways,               UNUM_SIGN_ALWAYS},
    {S::SignNever,                UNUM_SIGN_NEVER},
    {S::SignAccounting,           UNUM_SIGN_ACCOUNTING},
    {S::SignAccountingAlways,     UNUM_SIGN_ACCOUNTING_ALWAYS},
    {S::SignExceptZero,           UNUM_SIGN_EXCEPT_ZERO},
    {S::SignAccountingExceptZero, UNUM_SIGN_ACCOUNTING_EXCEPT_ZERO},
};
static_assert(indexedByValue(kSignDisplay));

// Hidden is 4 here and 6 in ICU; ICU's formal and variant widths have no row.
constexpr Row<S::UnitWidthType, UNumberUnitWidth> kUnitWidth[] = {
    {S::UnitWidthNarrow,   UNUM_UNIT_WIDTH_NARROW},
    {S::UnitWidthShort,    UNUM_UNIT_WIDTH_SHORT},
    {S::UnitWidthFullName, UNUM_UNIT_WIDTH_FULL_NAME},
    {S::UnitWidthIsoCode,  UNUM_UNIT_WIDTH_ISO_CODE},
    {S::UnitWidthHidden,   UNUM_UNIT_WIDTH_HIDDEN},
};
static_assert(indexedByValue(kUnitWidth));

}  // namespace

namespace qova {

std::optional<UNumberGroupingStrategy> groupingFor(S::GroupingType type) {
    return lookUp(kGrouping, type);
}

std::optional<UNumberFormatRoundingMode> roundingModeFor(S::RoundingModeType type) {
    return lookUp(kRoundingMode, type);
}

std::optional<UNumberSignDisplay> signDisplayFor(S::SignDisplayType type) {
    return lookUp(kSignDisplay, type);
}

std::optional<UNumberUnitWidth> unitWidthFor(S::UnitWidthType type) {
    return lookUp(kUnitWidth, type);
}

// Engineering is 3 and simple is 4. The notation kinds are ICU subclasses without data of
// their own; the setter takes them as a Notation.
std::optional<Notation> notationFor(S::NotationType type) {
    switch (type) {
        case S::NotationScientific:   return Notation::scientific();
        case S::NotationCompactShort: return Notation::compactShort();
        case S::NotationCompactLong:  return Notation::compactLong();
        case S::NotationEngineering:  return Notation::engineering();
        case S::NotationSimple:       return Notation::simple();
    }
    return std::nullopt;
}

// Numbers go to ICU unchecked: one it rejects stays in the formatter as an error.
std::optional<IntegerWidth> integerWidthFor(S::IntegerWidthType type, const char* args) {
    switch (type) {
        case S::IntegerWidthZeroFill:
            return IntegerWidth::zeroFillTo(slotInt(args, 0));
        case S::IntegerWidthZeroFillTruncate:
            return IntegerWidth::zeroFillTo(slotInt(args, 0)).truncateAt(slotInt(args, 1));
    }
    return std::nullopt;
}

// Numbers go to ICU unchecked, as above. The precision kinds are ICU subclasses without data
// of their own; the setter takes them as a Precision.
std::optional<Precision> precisionFor(S::PrecisionType type, const char* args) {
    switch (type) {
        case S::PrecisionUnlimited:               return Precision::unlimited();
        case S::PrecisionInteger:                 return Precision::integer();
        case S::PrecisionFixedFraction:           return Precision::fixedFraction(slotInt(args, 0));
        case S::PrecisionMinFraction:             return Precision::minFraction(slotInt(args, 0));
        case S::PrecisionMaxFraction:             return Precision::maxFraction(slotInt(args, 0));
        case S::PrecisionMinMaxFraction:
            return Precision::minMaxFraction(slotInt(args, 0), slotInt(args, 1));
        case S::PrecisionFixedSignificantDigits:
            return Precision::fixedSignificantDigits(slotInt(args, 0));
        case S::PrecisionMinSignificantDigits:
            return Precision::minSignificantDigits(slotInt(args, 0));
        case S::PrecisionMaxSignificantDigits:
            return Precision::maxSignificantDigits(slotInt(args, 0));
        case S::PrecisionMinMaxSignificantDigits:
            return Precision::minMaxSignificantDigits(slotInt(args, 0), slotInt(args, 1));
        case S::PrecisionIncrement:               return Precision::increment(slotDouble(args, 0));
        case S::PrecisionCurrencyStandard:        return Precision::currency(UCURR_USAGE_STANDARD);
        case S::PrecisionCurrencyCash:            return Precision::currency(UCURR_USAGE_CASH);
    }
    return std::nullopt;
}

}  // namespace qova
