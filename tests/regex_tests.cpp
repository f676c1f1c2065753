// Regular expressions: matcher handles, match attempts, positions, the matched text,
// replacement, reset and split, and which strings each operation strips or terminates.
#include "support.h"

#include <unicode/regex.h>

#include <tuple>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
// split with a negative capacity makes ICU request an impossible allocation; ICU reports it as
// a failure, provided the allocator returns null instead of aborting the process.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
#endif

using Matcher = qtest::Owned<RF::destroy>;
using namespace qtest;

// Where the next match begins; -1 when there is none.
static int next(void* matcher) { return RS::find(matcher) ? RS::start(matcher) : -1; }

// Pattern and input lose all their trailing zeros in place (even when the pattern does not
// compile), so that "c$" matches at the end of the text; null handles touch nothing.
TEST(RegexFactory, StripsPatternAndInputInPlaceUnlessAHandleIsNull) {
    // pattern, input, matcher made, both afterwards, the pattern after the pattern-only make
    const std::tuple<std::u16string, std::u16string, bool, std::u16string, std::u16string, std::u16string> rows[] = {
        {u"c$\0\0"s, u"baaac\0\0"s, true, u"c$", u"baaac", u"c$"}, {u"(\0"s, u"x\0"s, false, u"(", u"x", u"("},
        {kNull, u"b\0"s, false, kNull, u"b\0"s, kNull},            {u"a\0"s, kNull, false, u"a\0"s, kNull, u"a"}};
    for (const auto& [pattern, input, made, patternAfter, inputAfter, aloneAfter] : rows) {
        Str p(pattern), i(input), alone(pattern);
        Matcher m{RF::make(p, i, 0)}, e{RF::make(alone, 0u)};
        EXPECT_TRUE(p.units() == patternAfter && i.units() == inputAfter && alone.units() == aloneAfter);
        EXPECT_EQ(made ? next(m) : m.h != nullptr, made ? 4 : 0);
    }
    void* m = RF::make(Str(u"a"), 0u);  // the matcher keeps no reference to its pattern
    EXPECT_TRUE(m && !RS::find(m));
    RF::destroy(m);
    EXPECT_EQ(m, nullptr);
}

// The flags reach ICU unchanged through both makes; bits ICU does not define and canonical
// equivalence (which it does not implement) make no matcher.
TEST(RegexFactory, FlagsReachIcuThroughBothMakes) {
    const std::tuple<std::u16string, unsigned, std::u16string, int> rows[] = {  // start, -1 none
        {u"abc", 0, u"xABC", -1}, {u"abc", UREGEX_CASE_INSENSITIVE, u"xABC", 1}, {u"(", UREGEX_LITERAL, u"a(b", 1},
        {u"a.b", 0, u"a\nb", -1}, {u"a.b", UREGEX_DOTALL, u"a\nb", 0}, {u"^b", UREGEX_MULTILINE, u"a\nb", 2},
        {u"a b # note", UREGEX_COMMENTS, u"xab", 1}};
    for (const auto& [pattern, flags, input, start] : rows) {
        Str p(pattern), in(input), later(input);
        Matcher bound{RF::make(p, in, flags)}, alone{RF::make(p, flags)};
        ASSERT_TRUE(bound.h && alone.h && RS::reset(alone, later)) << flags;
        EXPECT_EQ(std::pair(next(bound), next(alone)), std::pair(start, start)) << flags;
    }
    Str lower(u"abc"), upper(u"ABC");
    for (unsigned bad : {0x400u, 0x80000000u, 0xFFFFFFFFu, unsigned{UREGEX_CANON_EQ}})
        EXPECT_FALSE(RF::make(lower, upper, bad) || RF::make(lower, bad)) << bad;
}

// After each find: start, end, and group's output, which is the match, terminated, or the
// terminator alone when there is no match; reset makes the next find begin at the start again.
// The index forms widen the index with its sign, so ICU refuses negative ones; lookingAt needs
// a match at the start, matches one of the whole rest.
TEST(RegexMatch, PositionsTextAndAnchoring) {
    Str pattern(u"\\d+"), input(u"a1b22c"), out(u"old\0\0"s);
    Matcher m{RF::make(pattern, input, 0)};
    const std::tuple<bool, int, int, std::u16string> rows[] = {
        {true, 1, 2, u"1\0"s}, {true, 3, 5, u"22\0"s}, {false, -1, -1, u"\0"s}};
    for (const auto& [found, start, end, text] : rows) {
        EXPECT_TRUE(RS::find(m) == found && RS::group(m, out) == found) << start;
        EXPECT_EQ(std::tuple(RS::start(m), RS::end(m), out.units()), std::tuple(start, end, text));
    }
    RS::reset(m);
    EXPECT_EQ(next(m), 1);

    Str star(u"a*"), abc(u"baaac"), prefix(u"ba"), whole(u"ba+c");
    Matcher a{RF::make(star, abc, 0)}, p{RF::make(prefix, abc, 0)}, w{RF::make(whole, abc, 0)};
    for (int bad : {-1, 6, INT_MIN, INT_MAX})
        EXPECT_FALSE(RS::find(a, bad) || RS::lookingAt(a, bad) || RS::matches(a, bad) || RS::reset(a, bad)) << bad;
    // the length itself is a valid start
    EXPECT_TRUE(RS::find(a, 5) && RS::start(a) == 5 && RS::find(a, 2) && RS::end(a) == 4 && RS::lookingAt(a, 1));
    EXPECT_TRUE(RS::end(a) == 4 && !RS::matches(a, 1) && RS::matches(a, 5) && RS::reset(a, 2) && next(a) == 2);
    EXPECT_TRUE(RS::lookingAt(p) && !RS::matches(p) && RS::lookingAt(w) && RS::matches(w));
}

// The replacement is read without its terminator and not changed; the output is terminated,
// also when ICU fails (it then holds the text ICU returned).
TEST(RegexReplace, CaptureReferencesTerminatorsAndFailures) {
    Str pattern(u"(\\w+)@(\\w+)"), input(u"ann@x bob@y"), with(u"$2:$1\0"s), out(u"old");
    Str b(u"b"), abc(u"abc"), bad(u"$9");
    Matcher m{RF::make(pattern, input, 0)}, some{RF::make(b, abc, 0)};
    UErrorCode status = U_ZERO_ERROR;
    icu::RegexMatcher direct(b.icu(), abc.icu(), 0, status);
    const icu::UnicodeString failed = direct.replaceFirst(bad.icu(), status).append(u'\0');
    const std::tuple<void*, void*, decltype(RS::replaceAll)*, bool, std::u16string> rows[] = {
        {m, with, RS::replaceAll, true, u"x:ann y:bob\0"s}, {m, with, RS::replaceFirst, true, u"x:ann bob@y\0"s},
        {some, bad, RS::replaceFirst, false, text(failed)},  {some, bad, RS::replaceAll, false, text(failed)}};
    for (const auto& [matcher, replacement, replace, ok, result] : rows) {
        out.icu() = u"old";
        EXPECT_TRUE(replace(matcher, replacement, out) == ok && out.units() == result) << ok;
    }
    EXPECT_TRUE(with.units() == u"$2:$1\0"s && input.units() == u"ann@x bob@y");
}

// Null handles give the failure value and write nothing; reset(matcher, input) strips the input
// before it tests the handles.
TEST(RegexServices, NullHandlesGiveTheFailureValueAndWriteNothing) {
    Str pattern(u"a"), input(u"a"), with(u"b\0"s), out(u"keep"), zeros(u"ba\0\0"s);
    Matcher m{RF::make(pattern, input, 0)};
    void* none = nullptr;
    EXPECT_FALSE(RS::find(none) || RS::find(none, 0) || RS::lookingAt(none) || RS::lookingAt(none, 0));
    EXPECT_FALSE(RS::matches(none) || RS::matches(none, 0) || RS::reset(none, 0) || RS::reset(m, nullptr));
    EXPECT_TRUE(RS::start(none) + RS::end(none) == -2 && !RS::group(none, out) && !RS::group(m, none));
    for (auto replace : {RS::replaceAll, RS::replaceFirst})
        EXPECT_FALSE(replace(none, with, out) || replace(m, none, out) || replace(m, with, none));
    RS::reset(none);
    EXPECT_EQ(RS::split(none, input, out, 1) + RS::split(m, none, out, 1) + RS::split(m, input, none, 1), 0);
    EXPECT_TRUE(out.units() == u"keep" && with.units() == u"b\0"s && input.units() == u"a");
    EXPECT_TRUE(!RS::reset(nullptr, zeros) && zeros.units() == u"ba");
}

// The input is split through a copy without its trailing zeros and is not changed. With more
// fields than capacity the last element gets the rest; elements after the last field stay.
TEST(RegexSplit, FieldsCapacityAndTheMatcherAfterwards) {
    Str pattern(u","), input(u"a,b,c\0"s), one(u"old");
    Matcher m{RF::make(pattern, 0u)};
    // input, capacity, fields, the array afterwards: a capacity below 1 and inputs without text give 0
    const std::tuple<std::u16string, int, int, std::vector<std::u16string>> rows[] = {
        {u"a,b,c\0"s, 2, 2, {u"a", u"b,c", u"3"}}, {u"a,b,c\0"s, 5, 3, {u"a", u"b", u"c", u"4", u"5"}},
        {u"a,b", 0, 0, {u"1"}}, {u"a,b", INT_MIN, 0, {u"1"}}, {u"", 1, 0, {u"1"}}, {u"\0\0\0"s, 1, 0, {u"1"}}};
    for (const auto& [in, capacity, count, after] : rows) {
        Str s(in);
        icu::UnicodeString dest[5] = {u"1", u"2", u"3", u"4", u"5"};
        EXPECT_TRUE(RS::split(m, s, dest, capacity) == count && s.units() == in) << capacity;
        for (size_t i = 0; i < after.size(); ++i) EXPECT_EQ(text(dest[i]), after[i]) << capacity;
    }
    // A single string handle is an array of one; it may even be the input.
    EXPECT_TRUE(RS::split(m, input, one, 1) == 1 && one.units() == u"a,b,c");
    EXPECT_TRUE(RS::split(m, input, input, 1) == 1 && input.units() == u"a,b,c");
    // ICU's split leaves the matcher on the text it split, a copy that ends with the call; the
    // matcher comes out with an empty input of its own instead, and usable again.
    EXPECT_FALSE(RS::find(m) || RS::matches(m) || RS::lookingAt(m) || RS::group(m, one) || RS::reset(m, 1));
    EXPECT_TRUE(RS::start(m) + RS::end(m) == -2 && RS::replaceAll(m, pattern, one) && one.units() == u"\0"s);
    EXPECT_TRUE(RS::reset(m, input) && next(m) == 1);
}
