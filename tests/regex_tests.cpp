// Regular expressions: matcher handles, match attempts, positions, the matched text,
// replacement, reset and split, and which strings each operation strips or terminates.
#include "support.h"

#include <gtest/gtest.h>
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
using qtest::Str;
using namespace std::literals;

namespace {

// Owns one matcher handle for the duration of a test.
struct Matcher {
    void* handle;
    ~Matcher() { F::destroy(handle); }
    operator void*() const { return handle; }
};

}  // namespace

// Pattern and input lose their trailing zeros in place (even when the pattern does not
// compile), so that "c$" matches at the end of the text; null handles touch nothing.
TEST(RegexFactory, StripsPatternAndInputInPlace) {
    Str pattern(u"c$\0\0"s), input(u"baaac\0"s);
    Matcher m{F::make(pattern, input, 0)};
    EXPECT_TRUE(pattern.units() == u"c$" && input.units() == u"baaac");
    EXPECT_TRUE(R::find(m) && R::start(m) == 4);

    Str open(u"(\0"s), x(u"x\0"s), alone(u"(\0"s);
    EXPECT_FALSE(F::make(open, x, 0) || F::make(alone, 0u));
    EXPECT_TRUE(open.units() == u"(" && x.units() == u"x" && alone.units() == u"(");

    Str p(u"a\0"s), i(u"b\0"s);
    EXPECT_FALSE(F::make(nullptr, i, 0) || F::make(p, nullptr, 0) || F::make(nullptr, 0u));
    EXPECT_TRUE(p.units() == u"a\0"s && i.units() == u"b\0"s);
}

TEST(RegexFactory, FlagsReachIcuUnchanged) {
    Str lower(u"abc"), upper(u"xABC"), paren(u"("), withParen(u"a(b");
    Matcher exact{F::make(lower, upper, 0)}, folded{F::make(lower, upper, UREGEX_CASE_INSENSITIVE)};
    Matcher literal{F::make(paren, withParen, UREGEX_LITERAL)};
    EXPECT_TRUE(!R::find(exact) && R::find(folded) && R::find(literal));
    EXPECT_EQ(R::start(literal), 1);  // "(" compiles as a literal
    // Bits ICU does not define, and canonical equivalence, which it does not implement.
    for (unsigned int bad : {0x400u, 0x80000000u, 0xFFFFFFFFu, unsigned{UREGEX_CANON_EQ}}) {
        EXPECT_EQ(F::make(lower, upper, bad), nullptr) << bad;
        EXPECT_EQ(F::make(lower, bad), nullptr) << bad;
    }
}

// Without an input, or with one of only zeros, only empty matches are found. The matcher keeps
// no reference to the pattern string, and destroy nulls the variable.
TEST(RegexFactory, EmptyInputsPatternLifetimeAndDestroy) {
    Str plus(u"a"), star(u"a*\0"s), zeros(u"\0\0"s);
    Matcher none{F::make(plus, 0u)}, some{F::make(star, 0u)}, fromZeros{F::make(plus, zeros, 0)};
    EXPECT_TRUE(star.units() == u"a*" && zeros.units() == u"");
    EXPECT_FALSE(R::find(none) || R::find(fromZeros));
    EXPECT_TRUE(R::find(some) && R::end(some) == 0);

    Str input(u"xyz");
    void* pattern = QOVAUnicodeStringFactory::make(static_cast<unsigned short>('y'));
    Matcher late{F::make(pattern, input, 0)};
    QOVAUnicodeStringFactory::destroy(pattern);
    EXPECT_TRUE(R::find(late) && R::start(late) == 1);
    void* m = F::make(plus, 0u);
    F::destroy(m);
    EXPECT_EQ(m, nullptr);
    F::destroy(m);
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
    ASSERT_TRUE(R::find(m));
    EXPECT_EQ(R::start(m), 1);
}

// The index forms widen the index with its sign, so ICU refuses negative ones; lookingAt needs
// a match at the start, matches one of the whole rest.
TEST(RegexMatch, IndexFormsAndAnchoring) {
    Str pattern(u"a*"), input(u"baaac"), prefix(u"ba"), whole(u"ba+c");
    Matcher m{F::make(pattern, input, 0)}, p{F::make(prefix, input, 0)}, w{F::make(whole, input, 0)};
    for (int bad : {-1, 6, INT_MIN, INT_MAX})
        EXPECT_FALSE(R::find(m, bad) || R::lookingAt(m, bad) || R::matches(m, bad)) << bad;
    ASSERT_TRUE(R::find(m, 5));  // the length itself is a valid start
    EXPECT_EQ(R::start(m), 5);
    EXPECT_TRUE(R::find(m, 2) && R::end(m) == 4);
    EXPECT_TRUE(R::lookingAt(m, 1) && R::end(m) == 4);
    EXPECT_TRUE(!R::matches(m, 1) && R::matches(m, 5));
    EXPECT_TRUE(R::lookingAt(p) && !R::matches(p));
    EXPECT_TRUE(R::lookingAt(w) && R::matches(w));
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

// reset(matcher, input) strips the input before it tests the handles; reset(matcher, index)
// accepts 0 up to the input's length.
TEST(RegexReset, NewInputAndIndex) {
    Str pattern(u"b"), first(u"abc"), second(u"bb\0\0"s);
    Matcher m{F::make(pattern, first, 0)};
    EXPECT_FALSE(R::reset(nullptr, second));
    EXPECT_EQ(second.units(), u"bb");
    second.icu().append(u'\0');
    EXPECT_FALSE(R::reset(m, nullptr));
    ASSERT_TRUE(R::reset(m, second));
    EXPECT_EQ(second.units(), u"bb");
    ASSERT_TRUE(R::find(m) && R::find(m));
    EXPECT_EQ(R::start(m), 1);
    ASSERT_TRUE(R::reset(m, 1) && R::find(m));
    EXPECT_EQ(R::start(m), 1);
    for (int bad : {-1, 3, INT_MIN, INT_MAX}) EXPECT_FALSE(R::reset(m, bad)) << bad;
    EXPECT_TRUE(R::reset(m, 2));
    EXPECT_FALSE(R::find(m));
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
        for (int i = 0; i < n; ++i) seen.push_back(qtest::units(&dest[i]));
        return seen;
    };
    EXPECT_EQ(R::split(m, input, dest, 2), 2);
    EXPECT_EQ(fields(3), (std::vector<std::u16string>{u"a", u"b,c", u"3"}));
    EXPECT_EQ(R::split(m, input, dest, 5), 3);
    EXPECT_EQ(fields(5), (std::vector<std::u16string>{u"a", u"b", u"c", u"4", u"5"}));
    EXPECT_EQ(input.units(), u"a,b,c\0"s);
    // A capacity below 1 (ICU fails on the impossible allocation of a negative one) and inputs
    // without text give 0 and write nothing.
    for (int capacity : {0, -1, INT_MIN}) EXPECT_EQ(R::split(m, input, dest, capacity), 0) << capacity;
    EXPECT_EQ(R::split(m, empty, dest, 1) + R::split(m, zeros, dest, 1), 0);
    EXPECT_EQ(fields(1), std::vector<std::u16string>{u"a"});
    EXPECT_EQ(zeros.units(), u"\0\0\0"s);
    // A single string handle is an array of one; it may even be the input.
    EXPECT_EQ(R::split(m, input, one, 1), 1);
    EXPECT_EQ(one.units(), u"a,b,c");
    EXPECT_EQ(R::split(m, input, input, 1), 1);
    EXPECT_EQ(input.units(), u"a,b,c");
}

// ICU's split leaves the matcher on the text it split, a copy that ends with the call; the
// matcher must come out with an empty input of its own instead, also after a refused split.
TEST(RegexSplit, MatcherSeesAnEmptyInputAfterwards) {
    Str comma(u","), star(u"x*"), input(u"a,b"), with(u"y"), out(u"old");
    Matcher m{F::make(comma, input, 0)}, e{F::make(star, input, 0)};
    icu::UnicodeString fields[3];
    ASSERT_EQ(R::split(m, input, fields, 3), 2);
    EXPECT_FALSE(R::find(m) || R::matches(m) || R::lookingAt(m) || R::group(m, out) || R::reset(m, 1));
    EXPECT_EQ(R::start(m) + R::end(m), -2);
    EXPECT_TRUE(R::replaceAll(m, with, out));
    EXPECT_EQ(out.units(), u"\0"s);
    ASSERT_EQ(R::split(e, input, fields, 0), 0);
    EXPECT_TRUE(R::find(e) && R::end(e) == 0 && R::matches(e));
    EXPECT_TRUE(R::replaceFirst(e, with, out));
    EXPECT_EQ(out.units(), u"y\0"s);
    // A new input makes the matcher fully usable again.
    EXPECT_TRUE(R::reset(m, input) && R::find(m) && R::start(m) == 1);
}
