// Number formatter handles and formatting: the locale argument rule, copies, the terminated
// output, FormatDouble's two flags and ICU's failure result.
#include "number_support.h"

#include <gtest/gtest.h>

using namespace qtest;
using icu::number::NumberFormatter;
using icu::number::Precision;

static const std::u16string Z(1, u'\0');

TEST(NumberFormatterLocale, ArgumentRuleResolvesLikeIcu) {
    // A distinctive default, so that a name that falls back to it is told apart from "C".
    ScopedDefaultLocale de("de_DE");
    const double value = -1234567.5;
    const auto icuFor = [&](const icu::Locale& l) {
        return icuDouble(NumberFormatter::withLocale(l), value);
    };
    const std::u16string byDefault = icuFor(icu::Locale::getDefault());
    const std::u16string posix = icuFor(icu::Locale("en_US_POSIX"));
    ASSERT_NE(byDefault, posix);

    EXPECT_EQ(formatDouble(Fmt(static_cast<const char*>(nullptr)), value), byDefault);
    EXPECT_EQ(formatDouble(Fmt(""), value), byDefault);
    EXPECT_EQ(formatDouble(Fmt("C"), value), posix);
    // Anything but exactly "C" is an ICU locale id, whatever ICU makes of it.
    for (const char* name : {"c", "C.UTF-8", "C ", "fr_FR", "en_US_POSIX", "xx_YY", "@@!!"}) {
        SCOPED_TRACE(name);
        Fmt f(name);
        ASSERT_NE(static_cast<void*>(f), nullptr);
        EXPECT_EQ(formatDouble(f, value), icuFor(icu::Locale(name)));
    }
    EXPECT_NE(formatDouble(Fmt("c"), value), posix);
    EXPECT_NE(formatDouble(Fmt("C.UTF-8"), value), posix);
    // The factory never changes ICU's default locale.
    EXPECT_STREQ(icu::Locale::getDefault().getName(), "de_DE");
}

TEST(NumberFormatterFactory, CopiesAreIndependentAndDestroyNulls) {
    EXPECT_EQ(NF::makeCopy(nullptr), nullptr);
    void* source = NF::make("en_US");
    NS::SetGroupingType(source, NS::GroupingOff);
    Fmt copy(NF::makeCopy(source));
    ASSERT_NE(static_cast<void*>(copy), nullptr);
    ASSERT_NE(static_cast<void*>(copy), source);
    EXPECT_EQ(formatInt(copy, 12345), formatInt(source, 12345));  // settings were copied

    char two[8] = {2};
    NS::SetPrecisionType(copy, NS::PrecisionFixedFraction, two);
    EXPECT_EQ(formatInt(source, 7), u"7" + Z);
    NS::SetSignDisplayType(source, NS::SignAlways);
    EXPECT_EQ(formatInt(copy, 7), u"7.00" + Z);

    NF::destroy(source);
    EXPECT_EQ(source, nullptr);
    NF::destroy(source);  // a second destroy on the nulled variable does nothing
    EXPECT_EQ(formatInt(copy, 12345), u"12345.00" + Z);  // the copy outlives its source
}

TEST(NumberFormatting, OutputIsTerminatedAndReplacesTheWholeContent) {
    Fmt f("en_US");
    Str out(u"earlier content");
    NS::FormatInt(f, out, 0);
    EXPECT_EQ(out.units(), u"0" + Z);
    NS::FormatInt(f, out, 42);
    EXPECT_EQ(out.units(), u"42" + Z);

    const LNF en = NumberFormatter::withLocale("en_US");
    for (long long v : {0LL, -1LL, LLONG_MAX, LLONG_MIN}) EXPECT_EQ(formatInt(f, v), icuInt(en, v));
    for (double v : {0.0, -0.0, 1e-7, 6.02214076e23, 1.0 / 3}) {
        EXPECT_EQ(formatDouble(f, v), icuDouble(en, v));
    }
}

TEST(NumberFormatting, NullHandlesChangeNothing) {
    Fmt f("en_US");
    Str out(u"kept");
    char digits[] = "12";
    NS::FormatDecimal(nullptr, out, digits);
    NS::FormatDouble(nullptr, out, 1.5, true, true);
    NS::FormatInt(nullptr, out, 1);
    EXPECT_EQ(out.units(), u"kept");
    NS::FormatDecimal(f, nullptr, digits);
    NS::FormatDouble(f, nullptr, 1.5, false, false);
    NS::FormatInt(f, nullptr, 1);
}

TEST(FormatDouble, FlagsChooseBetweenHandlePrecisionAndOneFractionDigit) {
    Fmt f("en_US");
    EXPECT_EQ(formatDouble(f, 5.0, false, false), u"5.0" + Z);
    EXPECT_EQ(formatDouble(f, 5.0, true, false), u"5" + Z);
    EXPECT_EQ(formatDouble(f, 5.0, false, true), u"5" + Z);
    EXPECT_EQ(formatDouble(f, 5.0, true, true), u"5" + Z);

    char two[8] = {2};
    NS::SetPrecisionType(f, NS::PrecisionFixedFraction, two);
    EXPECT_EQ(formatDouble(f, 5.0, false, false), u"5.0" + Z);
    EXPECT_EQ(formatDouble(f, 5.0, true, false), u"5.00" + Z);
    EXPECT_EQ(formatDouble(f, 5.0, false, true), u"5.00" + Z);
    EXPECT_EQ(formatInt(f, 5), u"5.00" + Z);
    EXPECT_EQ(formatDouble(f, 2.125, false, false), u"2.125" + Z);  // not capped at two digits
}

TEST(FormatDouble, WithoutFlagsKeepsEveryOtherSettingAndLeavesTheHandleAlone) {
    Fmt f("de_DE");
    NS::SetGroupingType(f, NS::GroupingOff);
    NS::SetSignDisplayType(f, NS::SignAlways);
    NS::SetUnitType(f, NS::UnitKilogram);
    NS::SetPrecisionType(f, NS::PrecisionInteger, nullptr);
    const std::string before = skeleton(f.icu());
    const LNF derived = f.icu().precision(Precision::minFraction(1));
    for (double v : {12345.0, 0.25, -3.5}) {
        EXPECT_EQ(formatDouble(f, v, false, false), icuDouble(derived, v));
        EXPECT_EQ(formatDouble(f, v, true, false), icuDouble(f.icu(), v));
    }
    EXPECT_EQ(skeleton(f.icu()), before);
}

TEST(FormatDecimal, FormatsDecimalTextExactly) {
    Fmt f("en_US");
    const LNF en = NumberFormatter::withLocale("en_US");
    for (const char* text : {"1234.5", "-0.000001", "123456789012345678901234567890.125", "1E3"}) {
        SCOPED_TRACE(text);
        Str out;
        std::string copy(text);
        NS::FormatDecimal(f, out, copy.data());
        UErrorCode status = U_ZERO_ERROR;
        EXPECT_EQ(out.units(), expected(en.formatDecimal(text, status), status));
        EXPECT_EQ(copy, text);  // only read
    }
}

TEST(FormatDecimal, RejectedTextLeavesOutEmpty) {
    char malformed[] = "12abc", empty[] = "", spaces[] = " 1";
    for (char* text : {malformed, empty, spaces, static_cast<char*>(nullptr)}) {
        SCOPED_TRACE(text ? text : "(null)");
        Fmt f("en_US");
        Str out(u"earlier content");
        NS::FormatDecimal(f, out, text);
        EXPECT_EQ(out.icu().length(), 0);
        // The failure leaves no trace in the string: the next call formats into it.
        NS::FormatInt(f, out, 3);
        EXPECT_EQ(out.units(), u"3" + Z);
    }
}

// ICU 72 builds its fast formatting path at a formatter's third format call, and when that
// call is a rejected decimal text it keeps a broken path: every later call fails, until a
// settings call or a copy makes a new formatter. The handle does exactly what ICU does.
TEST(FormatDecimal, RejectedTextAtIcusThirdCallBehavesAsInIcu) {
    Fmt f("en_US");
    LNF direct = NumberFormatter::withLocale("en_US");
    char bad[] = "x";
    UErrorCode status = U_ZERO_ERROR;
    for (int call = 1; call <= 3; ++call) {
        Str out;
        NS::FormatDecimal(f, out, bad);
        status = U_ZERO_ERROR;
        EXPECT_EQ(text(out), expected(direct.formatDecimal("x", status), status));
    }
    EXPECT_EQ(formatInt(f, 3), icuInt(direct, 3));
    NS::SetGroupingType(f, NS::GroupingAuto);
    EXPECT_EQ(formatInt(f, 3), u"3" + Z);
    Fmt copy(NF::makeCopy(f));
    EXPECT_EQ(formatInt(copy, 4), u"4" + Z);
}
