// The settings operations of QOVAUnicodeNumFormatterServices: each maps one value of the
// library's enumerations through its table onto one ICU setting and stores a formatter with
// that setting added back into the handle, so settings accumulate and the last call of an
// operation wins.
#include "QOVAicuC.h"
#include "number/formatter_handle.h"
#include "number/settings_tables.h"

#include <utility>

using qova::NumberFormatter;
using S = QOVAUnicodeNumFormatterServices;

namespace {

// The one settings step. The row is looked up only for a live handle, since rows that carry
// numbers read the caller's argument list; a value without a row leaves the handle as it is.
// ICU's const& setter returns a new formatter with every setting of the handle plus this one,
// which then replaces the handle's formatter. The setter is called on the handle's formatter
// itself: it copies it anyway, so a local copy made first would only add a copy of its own,
// with the same result.
template <class LookUp, class Set>
void applySetting(void* formatter, LookUp&& lookUp, Set&& set) {
    if (!formatter) return;
    const auto setting = lookUp();
    if (!setting) return;
    NumberFormatter& f = qova::asFormatter(formatter);
    f = set(std::as_const(f), *setting);
}

}  // namespace

void S::SetGroupingType(void* formatter, GroupingType type) {
    applySetting(formatter, [&] { return qova::groupingFor(type); },
                 [](const NumberFormatter& f, const auto& s) { return f.grouping(s); });
}

void S::SetIntegerWidthType(void* formatter, IntegerWidthType type, char* args) {
    applySetting(formatter, [&] { return qova::integerWidthFor(type, args); },
                 [](const NumberFormatter& f, const auto& s) { return f.integerWidth(s); });
}

void S::SetNotationType(void* formatter, NotationType type) {
    applySetting(formatter, [&] { return qova::notationFor(type); },
                 [](const NumberFormatter& f, const auto& s) { return f.notation(s); });
}

void S::SetPrecisionType(void* formatter, PrecisionType type, char* args) {
    applySetting(formatter, [&] { return qova::precisionFor(type, args); },
                 [](const NumberFormatter& f, const auto& s) { return f.precision(s); });
}

void S::SetRoundingModeType(void* formatter, RoundingModeType type) {
    applySetting(formatter, [&] { return qova::roundingModeFor(type); },
                 [](const NumberFormatter& f, const auto& s) { return f.roundingMode(s); });
}

void S::SetSignDisplayType(void* formatter, SignDisplayType type) {
    applySetting(formatter, [&] { return qova::signDisplayFor(type); },
                 [](const NumberFormatter& f, const auto& s) { return f.sign(s); });
}

void S::SetUnitWidthType(void* formatter, UnitWidthType type) {
    applySetting(formatter, [&] { return qova::unitWidthFor(type); },
                 [](const NumberFormatter& f, const auto& s) { return f.unitWidth(s); });
}

void S::SetUnitType(void* formatter, UnitType unit) {
    applySetting(formatter, [&] { return qova::measureUnitFor(unit); },
                 [](const NumberFormatter& f, const auto& s) { return f.unit(s); });
}
