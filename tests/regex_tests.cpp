// Regular expressions: matcher handles, match attempts, positions, the matched text,
// replacement, reset and split, and which strings each operation strips or terminates.
#include "support.h"

#include <unicode/regex.h>
#include <unicode/uregex.h>

#include <tuple>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
// split with a negative capacity makes ICU request an impossible allocation; ICU reports it as
// a failure, provided the allocator returns null instead of aborting the process.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
#endif

using F = QOVAUnicodeRegexFactory;
using R = QOVAUnicodeRegexServices;
using Matcher = qtest::Owned<F::destroy>;
using namespace qtest;

// Pattern and input lose their trailing zeros in place (even when the pattern does not
// compile), so that "c$" matches at the end of the text; null handles touch nothing.
TEST(RegexFactory, StripsPatternAndInputInPlaceUnlessAHandleIsNull) {
    // pattern, input, matcher made, both afterwards, the pattern after the pattern-only make
    const std::tuple<std::u16string, std::u16string, bool, std::u16string, std::u16string, std::u16string> rows[] = {
        {u"c$\0\0"s, u"baaac\0"s, true, u"c$", u"baaac", u"c$"}, {u"(\0"s, u"x\0"s, false, u"(", u"x", u"("},
        {kNull, u"b\0"s, false, kNull, u"b\0"s, kNull},          {u"a\0"s, kNull, false, u"a\0"s, kNull, u"a"},
    };
    for (const auto& [pattern, input, made, patternAfter, inputAfter, aloneAfter] : rows) {
        Str p(pattern), i(input), alone(pattern);
        Matcher m{F::make(p, i, 0)}, e{F::make(alone, 0u)};
        EXPECT_EQ(m.h != nullptr, made);
        EXPECT_TRUE(p.units() == patternAfter && i.units() == inputAfter && alone.units() == aloneAfter);
        EXPECT_TRUE(!made || (R::find(m) && R::start(m) == 4));
    }
    void* m = F::make(Str(u"a"), 0u);  // the matcher keeps no reference to its pattern
    EXPECT_TRUE(m && !R::find(m));
    F::destroy(m);
    EXPECT_EQ(m, nullptr);
}

// The flags reach ICU unchanged through both makes; bits ICU does not define and canonical
// equivalence (which it does not implement) make no matcher.
TEST(RegexFactory, FlagsReachIcuThroughBothMakes) {
    const std::tuple<std::u16string, unsigned, std::u16string, int> rows[] = {  // start, -1 none
        {u"abc", 0, u"xABC", -1},         {u"abc", UREGEX_CASE_INSENSITIVE, u"xABC", 1},
        {u"(", UREGEX_LITERAL, u"a(b", 1}, {u"a.b", 0, u"a\nb", -1},
        {u"a.b", UREGEX_DOTALL, u"a\nb", 0}, {u"^b", UREGEX_MULTILINE, u"a\nb", 2},
        {u"a b # note", UREGEX_COMMENTS, u"xab", 1},
    };
    for (const auto& [pattern, flags, input, start] : rows) {
        Str p(pattern), in(input), later(input);
        Matcher bound{F::make(p, in, flags)}, alone{F::make(p, flags)};
        ASSERT_TRUE(bound.h && alone.h && R::reset(alone, later)) << flags;
        EXPECT_EQ(R::find(bound) ? R::start(bound) : -1, start) << flags;
        EXPECT_EQ(R::find(alone) ? R::start(alone) : -1, start) << flags;
    }
    Str lower(u"abc"), upper(u"ABC");
    for (unsigned bad : {0x400u, 0x80000000u, 0xFFFFFFFFu, unsigned{UREGEX_CANON_EQ}})
        EXPECT_FALSE(F::make(lower, upper, bad) || F::make(lower, bad)) << bad;
}

// group replaces its output by the match, terminated, and by the terminator alone when there is
// no match; reset makes the next find begin at the start again.
TEST(RegexMatch, PositionsAndTextBeforeDuringAndAfterMatches) {
    Str pattern(u"\\d+"), input(u"a1b22c"), out(u"old\0\0"s);
    Matcher m{F::make(pattern, input, 0)};
    const auto state = [&] {
        const bool grouped = R::group(m, out);
        return std::tuple(R::start(m), R::end(m), grouped, out.units());
    };
    EXPECT_EQ(state(), std::tuple(-1, -1, false, u"\0"s));
    ASSERT_TRUE(R::find(m));
    EXPECT_EQ(state(), std::tuple(1, 2, true, u"1\0"s));
    ASSERT_TRUE(R::find(m));
    EXPECT_EQ(state(), std::tuple(3, 5, true, u"22\0"s));
    EXPECT_FALSE(R::find(m));
    EXPECT_EQ(state(), std::tuple(-1, -1, false, u"\0"s));
    R::reset(m);
    EXPECT_TRUE(R::find(m) && R::start(m) == 1);
    Str zeros(u"\0\0"s), star(u"x*"), plus(u"x");  // an input of zeros only: empty matches only
    Matcher some{F::make(star, zeros, 0)}, none{F::make(plus, zeros, 0)};
    EXPECT_TRUE(R::find(some) && R::end(some) == 0 && !R::find(none));
}

// The index forms widen the index with its sign, so ICU refuses negative ones; lookingAt needs
// a match at the start, matches one of the whole rest.
TEST(RegexMatch, IndexFormsAndAnchoring) {
    Str pattern(u"a*"), input(u"baaac"), prefix(u"ba"), whole(u"ba+c");
    Matcher m{F::make(pattern, input, 0)}, p{F::make(prefix, input, 0)}, w{F::make(whole, input, 0)};
    for (int bad : {-1, 6, INT_MIN, INT_MAX})
        EXPECT_FALSE(R::find(m, bad) || R::lookingAt(m, bad) || R::matches(m, bad) || R::reset(m, bad)) << bad;
    EXPECT_TRUE(R::find(m, 5) && R::start(m) == 5);  // the length itself is a valid start
    EXPECT_TRUE(R::find(m, 2) && R::end(m) == 4);
    EXPECT_TRUE(R::lookingAt(m, 1) && R::end(m) == 4);
    EXPECT_TRUE(!R::matches(m, 1) && R::matches(m, 5));
    EXPECT_TRUE(R::lookingAt(p) && !R::matches(p) && R::lookingAt(w) && R::matches(w));
    EXPECT_TRUE(R::reset(m, 2) && R::find(m) && R::start(m) == 2);
}

// The replacement is read without its terminator and not changed; the output is terminated,
// also when ICU fails (it then holds the text ICU returned).
TEST(RegexReplace, CaptureReferencesTerminatorsAndFailures) {
    Str pattern(u"(\\w+)@(\\w+)"), input(u"ann@x bob@y"), with(u"$2:$1\0"s), out(u"old");
    Matcher m{F::make(pattern, input, 0)};
    EXPECT_TRUE(R::replaceAll(m, with, out));
    EXPECT_EQ(out.units(), u"x:ann y:bob\0"s);
    EXPECT_TRUE(R::replaceFirst(m, with, out));
    EXPECT_EQ(out.units(), u"x:ann bob@y\0"s);
    EXPECT_TRUE(with.units() == u"$2:$1\0"s && input.units() == u"ann@x bob@y");

    Str b(u"b"), z(u"z"), abc(u"abc"), dash(u"-"), bad(u"$9");
    Matcher none{F::make(z, abc, 0)}, some{F::make(b, abc, 0)};
    EXPECT_TRUE(R::replaceAll(none, dash, out));
    EXPECT_EQ(out.units(), u"abc\0"s);
    UErrorCode status = U_ZERO_ERROR;
    icu::RegexMatcher direct(b.icu(), abc.icu(), 0, status);
    const icu::UnicodeString expected = direct.replaceFirst(bad.icu(), status).append(u'\0');
    ASSERT_TRUE(U_FAILURE(status));
    for (auto replace : {R::replaceFirst, R::replaceAll}) {
        out.icu() = u"old";
        EXPECT_FALSE(replace(some, bad, out));
        EXPECT_EQ(out.icu(), expected);
    }
}

// reset(matcher, input) strips the input before it tests the handles.
TEST(RegexReset, NewInputIsStrippedEvenForANullMatcher) {
    Str pattern(u"b"), first(u"abc"), second(u"bb\0\0"s);
    Matcher m{F::make(pattern, first, 0)};
    EXPECT_FALSE(R::reset(nullptr, second));
    EXPECT_EQ(second.units(), u"bb");
    second.icu().append(u'\0');
    EXPECT_FALSE(R::reset(m, nullptr));
    ASSERT_TRUE(R::reset(m, second));
    EXPECT_EQ(second.units(), u"bb");
    EXPECT_TRUE(R::find(m) && R::find(m) && R::start(m) == 1);
}

TEST(RegexServices, NullHandlesGiveTheFailureValueAndWriteNothing) {
    Str pattern(u"a"), input(u"a"), with(u"b\0"s), out(u"keep");
    Matcher m{F::make(pattern, input, 0)};
    void* none = nullptr;
    ASSERT_TRUE(R::find(m, 0));
    EXPECT_FALSE(R::find(none) || R::find(none, 0) || R::lookingAt(none) || R::lookingAt(none, 0));
    EXPECT_FALSE(R::matches(none) || R::matches(none, 0) || R::reset(none, 0));
    EXPECT_EQ(R::start(none) + R::end(none), -2);
    EXPECT_FALSE(R::group(none, out) || R::group(m, none));
    for (auto replace : {R::replaceAll, R::replaceFirst})
        EXPECT_FALSE(replace(none, with, out) || replace(m, none, out) || replace(m, with, none));
    R::reset(none);
    EXPECT_EQ(R::split(none, input, out, 1) + R::split(m, none, out, 1) + R::split(m, input, none, 1), 0);
    EXPECT_TRUE(out.units() == u"keep" && with.units() == u"b\0"s && input.units() == u"a");
    EXPECT_EQ(R::end(m), 1);  // the refused calls left the last match alone
}

// The input is split through a copy without its trailing zeros and is not changed. With more
// fields than capacity the last element gets the rest; elements after the last field stay.
TEST(RegexSplit, FieldsAndCapacity) {
    Str pattern(u","), input(u"a,b,c\0"s), empty, zeros(u"\0\0\0"s), one(u"old");
    Matcher m{F::make(pattern, 0u)};
    icu::UnicodeString dest[5] = {u"1", u"2", u"3", u"4", u"5"};
    const auto fields = [&](int n) {
        std::vector<std::u16string> seen;
        for (int i = 0; i < n; ++i) seen.push_back(units(&dest[i]));
        return seen;
    };
    EXPECT_EQ(R::split(m, input, dest, 2), 2);
    EXPECT_EQ(fields(3), (std::vector<std::u16string>{u"a", u"b,c", u"3"}));
    EXPECT_EQ(R::split(m, input, dest, 5), 3);
    EXPECT_EQ(fields(5), (std::vector<std::u16string>{u"a", u"b", u"c", u"4", u"5"}));
    EXPECT_EQ(input.units(), u"a,b,c\0"s);
    // A capacity below 1 and inputs without text give 0 and write nothing.
    for (int capacity : {0, -1, INT_MIN}) EXPECT_EQ(R::split(m, input, dest, capacity), 0) << capacity;
    EXPECT_EQ(R::split(m, empty, dest, 1) + R::split(m, zeros, dest, 1), 0);
    EXPECT_EQ(fields(1), std::vector<std::u16string>{u"a"});
    EXPECT_EQ(zeros.units(), u"\0\0\0"s);
    // A single string handle is an array of one; it may even be the input.
    EXPECT_TRUE(R::split(m, input, one, 1) == 1 && one.units() == u"a,b,c");
    EXPECT_TRUE(R::split(m, input, input, 1) == 1 && input.units() == u"a,b,c");
}

// ICU's split leaves the matcher on the text it split, a copy that ends with the call; the
// matcher must come out with an empty input of its own instead.
TEST(RegexSplit, MatcherSeesAnEmptyInputAfterwards) {
    Str comma(u","), star(u"x*"), input(u"a,b"), with(u"y"), out(u"old");
    Matcher m{F::make(comma, input, 0)}, e{F::make(star, input, 0)};
    icu::UnicodeString fields[3];
    ASSERT_EQ(R::split(m, input, fields, 3), 2);
    EXPECT_FALSE(R::find(m) || R::matches(m) || R::lookingAt(m) || R::group(m, out) || R::reset(m, 1));
    EXPECT_EQ(R::start(m) + R::end(m), -2);
    EXPECT_TRUE(R::replaceAll(m, with, out));
    EXPECT_EQ(out.units(), u"\0"s);
    ASSERT_GT(R::split(e, input, fields, 3), 0);
    EXPECT_TRUE(R::find(e) && R::end(e) == 0 && R::matches(e));
    EXPECT_TRUE(R::replaceFirst(e, with, out));
    EXPECT_EQ(out.units(), u"y\0"s);
    EXPECT_TRUE(R::reset(m, input) && R::find(m) && R::start(m) == 1);  // usable again
}
