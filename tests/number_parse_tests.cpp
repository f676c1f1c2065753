// Number parser handles: the locale rule, text preparation, the error kind, and the conversion
// of what ICU read into each of the four result types.
#include "../src/datetime/format_handle.h"
#include "support.h"

#include <unicode/numfmt.h>

#include <cmath>
#include <memory>
#include <tuple>

using Err = PS::ErrorType;
using Parser = qtest::Owned<PF::destroy>;
using namespace qtest;
const Err ok = PS::ErrorNone, bad = PS::ErrorInvalid;

namespace {

// One parse of a fresh text with the error kind starting as `err`: the result, the error kind
// and the caller's text afterwards.
template <class R>
std::tuple<R, Err, std::u16string> parse(R (*fn)(void*, void*, Err&), void* h, std::u16string_view in, Err err = ok) {
    Str text(in);
    const R value = fn(h, text, err);
    return {value, err, text.units()};
}

}  // namespace

TEST(NumberParse, LocaleRule) {
    const auto made = [](const char* name) {
        return std::get<0>(parse(&PS::FormatStrToDouble, Parser{PF::make(name)}, u"1.234,5"));
    };
    expectLocaleRule(made, [](const icu::Locale& l) {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::NumberFormat> f(icu::NumberFormat::createInstance(l, status));
        icu::Formattable result;  // 0 when ICU reads nothing
        f->parse(u"1.234,5", result, status);
        return result.getDouble(status);
    });
}

// Each text read into the four types; the double parse never reports an error, the integer
// parses report `intErr`.
TEST(NumberParse, EveryKindOfValueIntoEveryType) {
    constexpr long long two32 = 4294967296LL;
    const struct { const char16_t* text; double d; int i32; long long i64; unsigned long u32; Err intErr; } rows[] = {
        {u"42", 42, 42, 42, 42, ok}, {u"-7", -7, -7, -7, two32 - 7, ok}, {u"2.9", 2.9, 2, 2, 2, ok},
        // 64-bit integers: their low 32 bits for int and unsigned long
        {u"3000000000", 3e9, int(3000000000LL - two32), 3000000000LL, 3000000000UL, ok},
        {u"10000000000", 1e10, int(10000000000LL - 2 * two32), 10000000000LL, 10000000000UL % two32, ok},
        // doubles: truncated toward zero; out of range and NaN: the type's minimum, no error
        {u"-2.9", -2.9, -2, -2, two32 - 2, ok}, {u"2147483647.5", 2147483647.5, INT_MAX, INT_MAX, 2147483647UL, ok},
        {u"-2147483648.9", -2147483648.9, INT_MIN, INT_MIN, 2147483648UL, ok},
        {u"9223372036854774784.5", 9223372036854774784.0, INT_MIN, 9223372036854774784LL, 4294966272UL, ok},
        {u"2147483648.5", 2147483648.5, INT_MIN, 2147483648LL, 2147483648UL, ok},
        {u"-2147483649.5", -2147483649.5, INT_MIN, -2147483649LL, 2147483647UL, ok},
        {u"9223372036854775808", 9223372036854775808.0, INT_MIN, LLONG_MIN, 0, ok},
        {u"-1E300", -1e300, INT_MIN, LLONG_MIN, 0, ok}, {u"NaN", std::nan(""), INT_MIN, LLONG_MIN, 0, ok},
        // infinities of either sign: 2147483647 and ErrorInvalid for every integer type
        {u"\u221E", HUGE_VAL, INT_MAX, INT_MAX, INT_MAX, bad}, {u"-\u221E", -HUGE_VAL, INT_MAX, INT_MAX, INT_MAX, bad},
        {u"1E400", HUGE_VAL, INT_MAX, INT_MAX, INT_MAX, bad},
    };
    const Parser p{PF::make("en_US")};
    for (const auto& r : rows) {
        const auto [d, dErr, dText] = parse(&PS::FormatStrToDouble, p, r.text);
        EXPECT_TRUE((d == r.d || (std::isnan(d) && std::isnan(r.d))) && dErr == ok) << d;
        EXPECT_EQ(parse(&PS::FormatStrToInt32_t, p, r.text), std::tuple(r.i32, r.intErr, dText));
        EXPECT_EQ(parse(&PS::FormatStrToInt64_t, p, r.text), std::tuple(r.i64, r.intErr, dText));
        EXPECT_EQ(parse(&PS::FormatStrToULong, p, r.text), std::tuple(r.u32, r.intErr, dText));
    }
}

// White space is trimmed from both ends and every U+002B removed, in the caller's text. A
// terminator is no white space: trimming stops at it, and ICU parses in front of it. What cannot
// be read gives 0 and ErrorInvalid (a full-width plus stays and is no number); the error kind is
// only ever set. Null handles: 0, nothing changed.
TEST(NumberParse, TextTrimmedAndPlusSignsRemovedInPlaceErrorKindOnlySet) {
    const Parser p{PF::make("en_US")};
    const struct { void* parser; std::u16string in; long long value; Err err; std::u16string after; } rows[] = {
        {p, u" +42 ", 42, ok, u"42"},   {p, u"\t\n 7 \u3000", 7, ok, u"7"},        {p, u"1+2", 12, ok, u"12"},
        {p, u"+-+3", -3, ok, u"-3"},    {p, u"12abc", 12, ok, u"12abc"},             {p, u" 42 \0"s, 42, ok, u"42 \0"s},
        {p, u"", 0, bad, u""},          {p, u"\uFF0B42", 0, bad, u"\uFF0B42"},       {p, u" + + ", 0, bad, u" "},
        {p, u"abc", 0, bad, u"abc"},    {nullptr, u" +1 ", 0, ok, u" +1 "},          {p, kNull, 0, ok, kNull},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(parse(&PS::FormatStrToInt64_t, r.parser, r.in), std::tuple(r.value, r.err, r.after));
        EXPECT_EQ(parse(&PS::FormatStrToDouble, r.parser, r.in), std::tuple(double(r.value), r.err, r.after));
        EXPECT_EQ(std::get<1>(parse(&PS::FormatStrToInt32_t, r.parser, r.in, bad)), bad);
        EXPECT_EQ(std::get<1>(parse(&PS::FormatStrToULong, r.parser, r.in, Err(7))), r.err == bad ? bad : Err(7));
    }
}

// A format handle holding no format (ICU made none, or could not clone it) reads no number but
// prepares the text; as a date-time formatter it writes and reads nothing. Its copies hold none.
TEST(NumberParse, HandleHoldingNoFormatReadsNothing) {
    qova::FormatHolder empty;
    const Parser copy{PF::makeCopy(&empty)};
    ASSERT_TRUE(copy.h && !static_cast<qova::FormatHolder*>(copy.h)->format);
    for (void* p : {static_cast<void*>(&empty), copy.h}) {
        EXPECT_EQ(parse(&PS::FormatStrToInt32_t, p, u" +12 "), std::tuple(0, PS::ErrorInvalid, u"12"s));
        Str out(u"kept"), in(u"Jan 1, 1970");
        DS::FormatDateTimeToString(p, out, 0);
        EXPECT_TRUE(DS::FormatStringToDateTime(p, in) == 0 && out.units() == u"kept");
    }
}
