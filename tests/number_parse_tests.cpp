// Number parser handles: text preparation, the error kind, and the conversion of what ICU read
// into each of the four result types.
#include "format_handle_support.h"
#include "support.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <tuple>

using F = QOVAUnicodeStrToNumFormatterFactory;
using S = QOVAUnicodeStrToNumFormatterServices;
using Err = S::ErrorType;
using qtest::Handle;
using qtest::Str;

namespace {

// One parse of a fresh text with the error kind starting as ErrorNone: the result, the error
// kind and the caller's text afterwards.
template <class R>
struct Parsed { R value; Err err; std::u16string text; };

template <class R>
Parsed<R> parse(R (*fn)(void*, void*, Err&), void* parser, std::u16string_view input) {
    Str text(input);
    Err err = S::ErrorNone;
    R value = fn(parser, text, err);
    return {value, err, text.units()};
}

bool same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

}  // namespace

// Each text read into the four types; the double parse never reports an error, the three
// integer parses report `intErr`.
TEST(NumberParseConversion, EveryKindOfValueIntoEveryType) {
    constexpr long long two32 = 4294967296LL;
    const double inf = HUGE_VAL;
    const struct { const char16_t* text; double d; int i32; long long i64; unsigned long u32; Err intErr; } rows[] = {
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
        // doubles out of range and NaN: the type's minimum, no error
        {u"2147483648.5", 2147483648.5, INT_MIN, 2147483648LL, 2147483648UL, S::ErrorNone},
        {u"-2147483649.5", -2147483649.5, INT_MIN, -2147483649LL, 2147483647UL, S::ErrorNone},
        {u"9223372036854775808", 9223372036854775808.0, INT_MIN, LLONG_MIN, 0, S::ErrorNone},
        {u"-1E300", -1e300, INT_MIN, LLONG_MIN, 0, S::ErrorNone},
        {u"NaN", std::nan(""), INT_MIN, LLONG_MIN, 0, S::ErrorNone},
        // infinities of either sign: 2147483647 and ErrorInvalid for every integer type
        {u"\u221E", inf, INT_MAX, INT_MAX, 2147483647UL, S::ErrorInvalid},
        {u"-\u221E", -inf, INT_MAX, INT_MAX, 2147483647UL, S::ErrorInvalid},
        {u"1E400", inf, INT_MAX, INT_MAX, 2147483647UL, S::ErrorInvalid},
    };
    const Handle p{F::make("en_US")};
    for (const auto& r : rows) {
        std::string label;
        SCOPED_TRACE(icu::UnicodeString(r.text).toUTF8String(label));
        const auto d = parse(&S::FormatStrToDouble, p, r.text);
        const auto i32 = parse(&S::FormatStrToInt32_t, p, r.text);
        const auto i64 = parse(&S::FormatStrToInt64_t, p, r.text);
        const auto u32 = parse(&S::FormatStrToULong, p, r.text);
        EXPECT_TRUE(same(d.value, r.d) && d.err == S::ErrorNone) << d.value << " " << d.err;
        EXPECT_EQ(std::make_tuple(i32.value, i64.value, u32.value, i32.err, i64.err, u32.err),
                  std::make_tuple(r.i32, r.i64, r.u32, r.intErr, r.intErr, r.intErr));
    }
}

// White space is trimmed from both ends and every U+002B removed, in the caller's text. A
// terminator is no white space: trimming stops at it, and ICU parses in front of it.
// What cannot be read gives 0 and ErrorInvalid, and the error kind is only ever set.
TEST(NumberParseText, TrimmedAndPlusSignsRemovedInPlaceErrorKindOnlySet) {
    const Err ok = S::ErrorNone, bad = S::ErrorInvalid;
    const struct { std::u16string_view in; long long value; Err err; std::u16string_view after; } cases[] = {
        {u" +42 ", 42, ok, u"42"},
        {u"\t\n 7 \u3000", 7, ok, u"7"},
        {u"1+2", 12, ok, u"12"},
        {u"5+", 5, ok, u"5"},
        {u"+-+3", -3, ok, u"-3"},
        {u"12abc", 12, ok, u"12abc"},
        {std::u16string_view(u" 42 \0", 5), 42, ok, std::u16string_view(u"42 \0", 4)},
        {u"\uFF0B42", 0, bad, u"\uFF0B42"},  // a full-width plus stays and is no number
        {u"", 0, bad, u""},
        {u"   ", 0, bad, u""},
        {u"+", 0, bad, u""},
        {u" + + ", 0, bad, u" "},
        {u"abc", 0, bad, u"abc"},
    };
    const Handle p{F::make("en_US")};
    for (const auto& c : cases) {
        const auto r = parse(&S::FormatStrToInt64_t, p, c.in);
        const auto d = parse(&S::FormatStrToDouble, p, c.in);
        EXPECT_EQ(std::make_tuple(r.value, d.value, r.err, d.err, r.text),
                  std::make_tuple(c.value, double(c.value), c.err, c.err, std::u16string(c.after)));
    }
    Str good(u"5");
    Err err = S::ErrorInvalid;
    EXPECT_EQ(S::FormatStrToInt32_t(p, good, err), 5);
    EXPECT_EQ(err, S::ErrorInvalid);
}

TEST(NumberParseLocale, SeparatorsFollowTheLocaleRule) {
    qtest::ScopedDefaultLocale german("de_DE");
    const auto read = [](const char* locale, std::u16string_view in) {
        return parse(&S::FormatStrToDouble, Handle{F::make(locale)}, in).value;
    };
    EXPECT_EQ(read("en_US", u"1,234"), 1234.0);
    EXPECT_EQ(read("de_DE", u"1.234,5"), 1234.5);
    EXPECT_EQ(read(nullptr, u"2,5"), 2.5);
    EXPECT_EQ(read("", u"2,5"), 2.5);
    // "C" is en_US_POSIX, which reads these unlike the default locale and en_US.
    ASSERT_NE(read("en_US_POSIX", u"2,5"), 2.5);
    ASSERT_NE(read("en_US_POSIX", u"1,234"), 1234.0);
    for (std::u16string_view in : {u"2,5", u"1,234", u"2.5"}) EXPECT_EQ(read("C", in), read("en_US_POSIX", in));
}

TEST(NumberParseHandles, NullArgumentsLeaveErrAndTextUntouched) {
    const Handle p{F::make("en_US")};
    Str text(u" +1 ");
    Err err = S::ErrorNone;
    EXPECT_EQ(S::FormatStrToDouble(nullptr, text, err), 0.0);
    EXPECT_EQ(S::FormatStrToInt32_t(nullptr, text, err), 0);
    EXPECT_EQ(S::FormatStrToInt64_t(p, nullptr, err), 0);
    EXPECT_EQ(S::FormatStrToULong(nullptr, nullptr, err), 0UL);
    EXPECT_EQ(err, S::ErrorNone);
    EXPECT_EQ(text.units(), u" +1 ");
}

TEST(NumberParseHandles, ParserHoldingNoNumberFormatReadsNothing) {
    const Handle empty{qtest::emptyFormatHandle()};
    ASSERT_TRUE(qtest::holdsNothing(empty));
    const auto r = parse(&S::FormatStrToInt32_t, empty, u" +12 ");
    EXPECT_EQ(r.value, 0);
    EXPECT_EQ(r.err, S::ErrorInvalid);
    EXPECT_EQ(r.text, u"12");  // the text is prepared all the same
}
