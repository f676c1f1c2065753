// The call frame: the marker export, the exported assignment operators, the enumerations' type.
#include "support.h"

#include <gtest/gtest.h>

#include <type_traits>

using N = QOVAUnicodeNumFormatterServices;

TEST(Marker, ReturnsOne) { EXPECT_EQ(QOVAicuC_InternalMarker(), 1); }

template <class... T>
void checkAssignment() {
    static_assert((std::is_empty_v<T> && ...), "exported classes hold no data");
    const auto check = [](auto a, auto b) {
        EXPECT_EQ(&(a = b), &a);
        EXPECT_EQ(&(a = std::move(b)), &a);
    };
    (check(T(), T()), ...);
}

TEST(Assignment, EveryClassReturnsItself) {
    checkAssignment<QOVAUnicodeStringFactory, QOVAUnicodeStringServices, QOVAUnicodeCodepageConverter,
                    QOVAUnicodeRegexFactory, QOVAUnicodeRegexServices, QOVAUnicodeNumFormatterFactory,
                    N, QOVAUnicodeStrToNumFormatterFactory, QOVAUnicodeStrToNumFormatterServices,
                    QOVAUnicodeDateTimeFormatterFactory, QOVAUnicodeDateTimeFormatterServices>();
}

// Any 32-bit value can arrive as an enumerator, so every enumeration is exactly an int.
template <class... E>
constexpr bool allInt = (std::is_same_v<std::underlying_type_t<E>, int> && ...);
static_assert(allInt<N::GroupingType, N::IntegerWidthType, N::NotationType, N::PrecisionType,
                     N::RoundingModeType, N::SignDisplayType, N::UnitWidthType, N::UnitType,
                     QOVAUnicodeStrToNumFormatterServices::ErrorType,
                     QOVAUnicodeDateTimeFormatterFactory::DateTimeStyle>);
// Values that callers depend on, where they differ from ICU's own numbering.
static_assert(N::RoundingHalfEven == 0 && N::UnitWidthHidden == 4 && N::NotationSimple == 4 &&
              N::UnitMetricTon == 71 && N::UnitNonePermille == 102 &&
              QOVAUnicodeDateTimeFormatterFactory::StyleShort == 3);
