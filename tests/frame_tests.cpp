// The call frame: the marker export, the exported assignment operators, release by reference.
#include "support.h"

#include <gtest/gtest.h>

#include <type_traits>

TEST(Marker, ReturnsOneEveryTime) {
    EXPECT_EQ(QOVAicuC_InternalMarker(), 1);
    EXPECT_EQ(QOVAicuC_InternalMarker(), 1);
}

template <class T>
void checkAssignment() {
    static_assert(std::is_empty_v<T>, "exported classes hold no data");
    T a, b;
    T& copied = (a = b);
    EXPECT_EQ(&copied, &a);
    T& moved = (a = std::move(b));
    EXPECT_EQ(&moved, &a);
}

TEST(Assignment, EveryClassReturnsItselfAndHoldsNothing) {
    checkAssignment<QOVAUnicodeStringFactory>();
    checkAssignment<QOVAUnicodeStringServices>();
    checkAssignment<QOVAUnicodeCodepageConverter>();
    checkAssignment<QOVAUnicodeRegexFactory>();
    checkAssignment<QOVAUnicodeRegexServices>();
    checkAssignment<QOVAUnicodeNumFormatterFactory>();
    checkAssignment<QOVAUnicodeNumFormatterServices>();
    checkAssignment<QOVAUnicodeStrToNumFormatterFactory>();
    checkAssignment<QOVAUnicodeStrToNumFormatterServices>();
    checkAssignment<QOVAUnicodeDateTimeFormatterFactory>();
    checkAssignment<QOVAUnicodeDateTimeFormatterServices>();
}

TEST(Enumerations, HaveAFixedIntUnderlyingType) {
    using N = QOVAUnicodeNumFormatterServices;
    static_assert(std::is_same_v<std::underlying_type_t<N::GroupingType>, int>);
    static_assert(std::is_same_v<std::underlying_type_t<N::IntegerWidthType>, int>);
    static_assert(std::is_same_v<std::underlying_type_t<N::NotationType>, int>);
    static_assert(std::is_same_v<std::underlying_type_t<N::PrecisionType>, int>);
    static_assert(std::is_same_v<std::underlying_type_t<N::RoundingModeType>, int>);
    static_assert(std::is_same_v<std::underlying_type_t<N::SignDisplayType>, int>);
    static_assert(std::is_same_v<std::underlying_type_t<N::UnitWidthType>, int>);
    static_assert(std::is_same_v<std::underlying_type_t<N::UnitType>, int>);
    static_assert(std::is_same_v<
                  std::underlying_type_t<QOVAUnicodeStrToNumFormatterServices::ErrorType>, int>);
    static_assert(std::is_same_v<
                  std::underlying_type_t<QOVAUnicodeDateTimeFormatterFactory::DateTimeStyle>, int>);
    // Values that callers depend on, where they differ from ICU's own numbering.
    EXPECT_EQ(N::RoundingHalfEven, 0);
    EXPECT_EQ(N::UnitWidthHidden, 4);
    EXPECT_EQ(N::NotationSimple, 4);
    EXPECT_EQ(N::UnitMetricTon, 71);
    EXPECT_EQ(N::UnitNonePermille, 102);
    EXPECT_EQ(QOVAUnicodeDateTimeFormatterFactory::StyleShort, 3);
}
