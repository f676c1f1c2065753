// The fixed tables that map the library's setting enumerations onto ICU settings. The
// enumerations' numbers are the interface and differ from ICU's in places (rounding modes, the
// hidden unit width), so every value goes through its row, never through a cast. Each lookup
// gives the row's setting, or nothing for a value without a row (negative or too large).
#pragma once

#include "QOVAicuC.h"

#include <unicode/measunit.h>
#include <unicode/numberformatter.h>

#include <cstddef>
#include <optional>

namespace qova {

using NumberServices = QOVAUnicodeNumFormatterServices;

std::optional<UNumberGroupingStrategy> groupingFor(NumberServices::GroupingType type);
std::optional<icu::number::Notation> notationFor(NumberServices::NotationType type);
std::optional<UNumberFormatRoundingMode> roundingModeFor(NumberServices::RoundingModeType type);
std::optional<UNumberSignDisplay> signDisplayFor(NumberServices::SignDisplayType type);
std::optional<UNumberUnitWidth> unitWidthFor(NumberServices::UnitWidthType type);
// The rows that carry numbers read them from the argument list `args`; the others never read it.
std::optional<icu::number::IntegerWidth> integerWidthFor(NumberServices::IntegerWidthType type,
                                                         const char* args);
std::optional<icu::number::Precision> precisionFor(NumberServices::PrecisionType type,
                                                   const char* args);
std::optional<icu::MeasureUnit> measureUnitFor(NumberServices::UnitType unit);

namespace tables {

// One row of a table held as data: the enumerator and the ICU setting it selects.
template <class E, class V>
struct Row {
    E type;
    V setting;
};

// True when row i holds the enumerator whose value is i, so that a value indexes its row.
template <class E, class V, std::size_t N>
constexpr bool indexedByValue(const Row<E, V> (&rows)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (static_cast<std::size_t>(rows[i].type) != i) return false;
    }
    return true;
}

// The setting of the row for `type`, after the range check; nothing for a value without a row.
template <class E, class V, std::size_t N>
std::optional<V> lookUp(const Row<E, V> (&rows)[N], E type) {
    const int value = type;
    if (value < 0 || static_cast<std::size_t>(value) >= N) return std::nullopt;
    return rows[value].setting;
}

}  // namespace tables
}  // namespace qova
