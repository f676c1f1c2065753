// Number parser handles: text preparation, the error kind, and the conversion of what ICU read
// into each of the four result types.
#include "format_handle_support.h"
#include "support.h"

#include <gtest/gtest.h>
#include <unicode/numfmt.h>

#include <climits>
#include <cmath>
#include <memory>

using F = QOVAUnicodeStrToNumFormatterFactory;
using S = QOVAUnicodeStrToNumFormatterServices;
using Err = S::ErrorType;
using qtest::Str;

namespace {

struct Parser {
    void* h;
    explicit Parser(const char* locale) : h(F::make(locale)) {}
    explicit Parser(void* adopted, int) : h(adopted) {}
    Parser(const Parser&) = delete;
    ~Parser() { F::destroy(h); }
    operator void*() const { return h; }
};

// One parse of a fresh text; `err` starts as ErrorNone.
template <class R>
struct Parsed {
    R value;
    Err err;
    std::u16string text;  // the caller's text afterwards
};

template <class R>
Parsed<R> parse(R (*fn)(void*, void*, Err&), void* parser, std::u16string_view input) {
    Str text(input);
    Err err = S::ErrorNone;
    R value = fn(parser, text, err);
    return {value, err, text.units()};
}

// The four results of one text, checked row by row of the conversion table.
struct Row {
    const char16_t* text;
    double d;
    int i32;
    long long i64;
    unsigned long u32;
    Err intErr;  // error kind of the three integer parses; the double parse gives ErrorNone
};

}  // namespace

TEST(NumberParseConversion, EveryKindOfValueIntoEveryType) {
    constexpr long long two32 = 4294967296LL;
    const double inf = HUGE_VAL;
    const Row rows[] = {
        // 32-bit integers
        {u"42", 42, 42, 42, 42, S::ErrorNone},
        {u"-7", -7, -7, -7, two32 - 7, S::ErrorNone},
        {u"-2147483648", -2147483648.0, INT_MIN, INT_MIN, 2147483648UL, S::ErrorNone},
        // 64-bit integers: their low 32 bits for int and unsigned long
        {u"3000000000", 3e9, int(3000000000LL - two32), 3000000000LL, 3000000000UL, S::ErrorNone},
        {u"10000000000", 1e10, int(10000000000LL - 2 * two32), 10000000000LL, 10000000000UL % two32, S::ErrorNone},
        {u"-3000000000", -3e9, int(two32 - 3000000000LL), -3000000000LL, two32 - 3000000000LL, S::ErrorNone},
        {u"9223372036854775807", 9223372036854775807.0, -1, LLONG_MAX, 4294967295UL, S::ErrorNone},
        // doubles: truncated toward zero
        {u"2.9", 2.9, 2, 2, 2, S::ErrorNone},
        {u"-2.9", -2.9, -2, -2, two32 - 2, S::ErrorNone},
        {u"2147483647.5", 2147483647.5, INT_MAX, INT_MAX, 2147483647UL, S::ErrorNone},
        {u"-2147483648.9", -2147483648.9, INT_MIN, INT_MIN, 2147483648UL, S::ErrorNone},
        {u"9223372036854774784.5", 9223372036854774784.0, INT_MIN, 9223372036854774784LL, 4294966272UL, S::ErrorNone},
        // doubles out of range: the type's minimum, no error
        {u"2147483648.5", 2147483648.5, INT_MIN, 2147483648LL, 2147483648UL, S::ErrorNone},
        {u"-2147483649.5", -2147483649.5, INT_MIN, -2147483649LL, 2147483647UL, S::ErrorNone},
        {u"9223372036854775808", 9223372036854775808.0, INT_MIN, LLONG_MIN, 0, S::ErrorNone},
        {u"-1E300", -1e300, INT_MIN, LLONG_MIN, 0, S::ErrorNone},
        // infinities of either sign: 2147483647 and ErrorInvalid for every integer type
        {u"\u221E", inf, INT_MAX, INT_MAX, 2147483647UL, S::ErrorInvalid},
        {u"-\u221E", -inf, INT_MAX, INT_MAX, 2147483647UL, S::ErrorInvalid},
        {u"1E400", inf, INT_MAX, INT_MAX, 2147483647UL, S::ErrorInvalid},
    };
    Parser p("en_US");
    for (const Row& r : rows) {
        std::string label;
        SCOPED_TRACE(icu::UnicodeString(r.text).toUTF8String(label));
        const auto d = parse(&S::FormatStrToDouble, p, r.text);
        EXPECT_EQ(d.value, r.d);
        EXPECT_EQ(d.err, S::ErrorNone);
        const auto i32 = parse(&S::FormatStrToInt32_t, p, r.text);
        const auto i64 = parse(&S::FormatStrToInt64_t, p, r.text);
        const auto u32 = parse(&S::FormatStrToULong, p, r.text);
        EXPECT_EQ(i32.value, r.i32);
        EXPECT_EQ(i64.value, r.i64);
        EXPECT_EQ(u32.value, r.u32);
        EXPECT_LE(u32.value, 4294967295UL);
        EXPECT_EQ(i32.err, r.intErr);
        EXPECT_EQ(i64.err, r.intErr);
        EXPECT_EQ(u32.err, r.intErr);
    }
}

TEST(NumberParseConversion, NaNGivesEachTypesMinimumWithoutError) {
    Parser p("en_US");
    EXPECT_TRUE(std::isnan(parse(&S::FormatStrToDouble, p, u"NaN").value));
    EXPECT_EQ(parse(&S::FormatStrToInt32_t, p, u"NaN").value, INT_MIN);
    EXPECT_EQ(parse(&S::FormatStrToInt64_t, p, u"NaN").value, LLONG_MIN);
    const auto u = parse(&S::FormatStrToULong, p, u"NaN");
    EXPECT_EQ(u.value, 0UL);  // low 32 bits of the 64-bit minimum
    EXPECT_EQ(u.err, S::ErrorNone);
}

TEST(NumberParseText, TrimmedAndPlusSignsRemovedInPlace) {
    Parser p("en_US");
    struct Case { std::u16string_view in; long long value; std::u16string_view after; };
    const Case cases[] = {
        {u" +42 ", 42, u"42"},
        {u"\t\n 7 \u3000", 7, u"7"},
        {u"1+2", 12, u"12"},
        {u"5+", 5, u"5"},
        {u"+-+3", -3, u"-3"},
        {u"12abc", 12, u"12abc"},
        // a terminator is no white space: trimming stops at it, ICU's parse in front of it
        {std::u16string_view(u" 42 \0", 5), 42, std::u16string_view(u"42 \0", 4)},
    };
    for (const Case& c : cases) {
        const auto r = parse(&S::FormatStrToInt64_t, p, c.in);
        EXPECT_EQ(r.value, c.value);
        EXPECT_EQ(r.err, S::ErrorNone);
        EXPECT_EQ(r.text, c.after);
    }
    // Only U+002B goes; a full-width plus stays and is no number.
    const auto wide = parse(&S::FormatStrToInt64_t, p, u"\uFF0B42");
    EXPECT_EQ(wide.text, u"\uFF0B42");
    EXPECT_EQ(wide.err, S::ErrorInvalid);
}

TEST(NumberParseText, NothingReadableGivesZeroAndInvalid) {
    Parser p("en_US");
    for (std::u16string_view in : {u"", u"   ", u"+", u" + + ", u"abc"}) {
        const auto d = parse(&S::FormatStrToDouble, p, in);
        const auto u = parse(&S::FormatStrToULong, p, in);
        EXPECT_EQ(d.value, 0.0);
        EXPECT_EQ(u.value, 0UL);
        EXPECT_EQ(d.err, S::ErrorInvalid);
        EXPECT_EQ(u.err, S::ErrorInvalid);
    }
    EXPECT_EQ(parse(&S::FormatStrToDouble, p, u" + + ").text, u" ");  // trimmed, then '+' gone
}

TEST(NumberParseText, ErrorKindIsNeverReset) {
    Parser p("en_US");
    Str bad(u"x"), good(u"5");
    Err err = S::ErrorNone;
    S::FormatStrToInt32_t(p, bad, err);
    ASSERT_EQ(err, S::ErrorInvalid);
    EXPECT_EQ(S::FormatStrToInt32_t(p, good, err), 5);
    EXPECT_EQ(err, S::ErrorInvalid);
}

TEST(NumberParseLocale, SeparatorsFollowTheLocaleRule) {
    qtest::ScopedDefaultLocale german("de_DE");
    EXPECT_EQ(parse(&S::FormatStrToDouble, Parser("en_US"), u"1,234").value, 1234.0);
    EXPECT_EQ(parse(&S::FormatStrToDouble, Parser("de_DE"), u"1.234,5").value, 1234.5);
    EXPECT_EQ(parse(&S::FormatStrToDouble, Parser(nullptr), u"2,5").value, 2.5);
    EXPECT_EQ(parse(&S::FormatStrToDouble, Parser(""), u"2,5").value, 2.5);
    EXPECT_EQ(parse(&S::FormatStrToDouble, Parser("C"), u"2.5").value, 2.5);
    // The differences between the locales come from ICU's data.
    for (std::u16string_view in : {u"2,5", u"1,234", u"2.5"}) {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::NumberFormat> posix(icu::NumberFormat::createInstance("en_US_POSIX", status));
        icu::Formattable n;
        posix->parse(icu::UnicodeString(in.data(), int32_t(in.size())), n, status);
        UErrorCode ignored = U_ZERO_ERROR;
        EXPECT_EQ(parse(&S::FormatStrToDouble, Parser("C"), in).value, n.getDouble(ignored));
    }
}

TEST(NumberParseHandles, NullArgumentsLeaveErrAndTextUntouched) {
    Parser p("en_US");
    Str text(u" +1 ");
    Err err = S::ErrorNone;
    EXPECT_EQ(S::FormatStrToDouble(nullptr, text, err), 0.0);
    EXPECT_EQ(S::FormatStrToInt32_t(nullptr, text, err), 0);
    EXPECT_EQ(S::FormatStrToInt64_t(p, nullptr, err), 0);
    EXPECT_EQ(S::FormatStrToULong(nullptr, nullptr, err), 0UL);
    EXPECT_EQ(err, S::ErrorNone);
    EXPECT_EQ(text.units(), u" +1 ");
}

TEST(NumberParseHandles, CopiesAndBothFactoriesAcceptBothKinds) {
    void* source = F::make("de_DE");
    Parser copy(F::makeCopy(source), 0);
    Parser viaDate(QOVAUnicodeDateTimeFormatterFactory::makeCopy(source), 0);
    QOVAUnicodeDateTimeFormatterFactory::destroy(source);
    EXPECT_EQ(source, nullptr);
    EXPECT_EQ(parse(&S::FormatStrToDouble, copy, u"2,5").value, 2.5);
    EXPECT_EQ(parse(&S::FormatStrToDouble, viaDate, u"2,5").value, 2.5);
    EXPECT_EQ(F::makeCopy(nullptr), nullptr);

    void* date = QOVAUnicodeDateTimeFormatterFactory::make("en_US");
    void* dateCopy = F::makeCopy(date);
    ASSERT_NE(dateCopy, nullptr);
    Str a, b;
    QOVAUnicodeDateTimeFormatterServices::FormatDateTimeToString(date, a, 0);
    QOVAUnicodeDateTimeFormatterServices::FormatDateTimeToString(dateCopy, b, 0);
    EXPECT_EQ(a.units(), b.units());
    F::destroy(date);
    F::destroy(dateCopy);
    EXPECT_EQ(date, nullptr);
    F::destroy(date);
}

TEST(NumberParseHandles, ParserHoldingNoNumberFormatReadsNothing) {
    Parser empty(qtest::emptyFormatHandle(), 0);
    ASSERT_TRUE(qtest::holdsNothing(empty));
    const auto r = parse(&S::FormatStrToInt32_t, empty, u" +12 ");
    EXPECT_EQ(r.value, 0);
    EXPECT_EQ(r.err, S::ErrorInvalid);
    EXPECT_EQ(r.text, u"12");  // the text is prepared all the same
}
