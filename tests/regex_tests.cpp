// Regular expressions: matcher handles, match attempts, positions, the matched text,
// replacement, reset and split.
#include "support.h"

#include <gtest/gtest.h>
#include <unicode/regex.h>
#include <unicode/uregex.h>

#include <string>
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
class Matcher {
public:
    explicit Matcher(void* handle) : handle_(handle) {}
    Matcher(const Matcher&) = delete;
    Matcher& operator=(const Matcher&) = delete;
    ~Matcher() { F::destroy(handle_); }
    operator void*() const { return handle_; }

private:
    void* handle_;
};

const std::u16string kTerminator(1, u'\0');

// The exact content of one element of a split destination.
std::u16string text(const icu::UnicodeString& s) {
    return std::u16string(s.getBuffer(), static_cast<size_t>(s.length()));
}

}  // namespace

TEST(RegexFactory, StripsPatternAndInputInPlaceAndMatchesTheStrippedText) {
    Str pattern(u"c$\0\0"sv), input(u"baaac\0"sv);
    Matcher m(F::make(pattern, input, 0));
    ASSERT_NE(static_cast<void*>(m), nullptr);
    EXPECT_EQ(pattern.units(), u"c$");
    EXPECT_EQ(input.units(), u"baaac");
    // With the terminator still in the input, "c$" could not match at its end.
    EXPECT_TRUE(R::find(m));
    EXPECT_EQ(R::start(m), 4);
}

TEST(RegexFactory, NullHandlesTouchNothing) {
    Str pattern(u"a\0"sv), input(u"b\0"sv);
    EXPECT_EQ(F::make(nullptr, input, 0), nullptr);
    EXPECT_EQ(F::make(pattern, nullptr, 0), nullptr);
    EXPECT_EQ(F::make(nullptr, 0u), nullptr);
    EXPECT_EQ(pattern.units(), u"a\0"s);
    EXPECT_EQ(input.units(), u"b\0"s);
}

TEST(RegexFactory, PatternThatDoesNotCompileGivesNullButStripsAnyway) {
    Str pattern(u"(\0"sv), input(u"x\0"sv);
    EXPECT_EQ(F::make(pattern, input, 0), nullptr);
    EXPECT_EQ(pattern.units(), u"(");
    EXPECT_EQ(input.units(), u"x");
    EXPECT_EQ(F::make(pattern, 0u), nullptr);
}

TEST(RegexFactory, FlagsReachIcuUnchanged) {
    Str lower(u"abc"sv), upper(u"xABC"sv);
    Matcher exact(F::make(lower, upper, 0));
    EXPECT_FALSE(R::find(exact));
    Matcher folded(F::make(lower, upper, UREGEX_CASE_INSENSITIVE));
    EXPECT_TRUE(R::find(folded));
    EXPECT_EQ(R::start(folded), 1);
    // A literal pattern compiles even though "(" alone does not.
    Str paren(u"("sv), withParen(u"a(b"sv);
    Matcher literal(F::make(paren, withParen, UREGEX_LITERAL));
    EXPECT_TRUE(R::find(literal));
    EXPECT_EQ(R::start(literal), 1);
    // Bits ICU does not define, and canonical equivalence, which it does not implement.
    for (unsigned int bad : {0x400u, 0x80000000u, 0xFFFFFFFFu, unsigned{UREGEX_CANON_EQ}}) {
        EXPECT_EQ(F::make(lower, upper, bad), nullptr) << bad;
        EXPECT_EQ(F::make(lower, bad), nullptr) << bad;
    }
}

TEST(RegexFactory, WithoutInputOrWithAnEmptyOneOnlyEmptyMatchesAreFound) {
    Str plus(u"a"sv), star(u"a*"sv), zeros(u"\0\0"sv), empty;
    Matcher none(F::make(plus, 0u)), some(F::make(star, 0u));
    EXPECT_FALSE(R::find(none));
    EXPECT_TRUE(R::find(some));
    EXPECT_EQ(R::start(some), 0);
    EXPECT_EQ(R::end(some), 0);
    Matcher fromZeros(F::make(plus, zeros, 0)), fromEmpty(F::make(star, empty, 0));
    EXPECT_EQ(zeros.units(), u"");
    EXPECT_FALSE(R::find(fromZeros));
    EXPECT_TRUE(R::matches(fromEmpty));
}

TEST(RegexFactory, PatternMayGoRightAfterMakeAndDestroyNullsOnce) {
    Str input(u"xyz"sv);
    void* pattern = QOVAUnicodeStringFactory::make(static_cast<unsigned short>('y'));
    void* m = F::make(pattern, input, 0);
    QOVAUnicodeStringFactory::destroy(pattern);
    EXPECT_TRUE(R::find(m));
    EXPECT_EQ(R::start(m), 1);
    F::destroy(m);
    EXPECT_EQ(m, nullptr);
    F::destroy(m);
    EXPECT_EQ(m, nullptr);
}

TEST(RegexMatch, PositionsAndTextBeforeDuringAndAfterTheMatch) {
    Str pattern(u"a+"sv), input(u"baaac"sv), out(u"old\0\0"sv);
    Matcher m(F::make(pattern, input, 0));
    EXPECT_EQ(R::start(m), -1);
    EXPECT_EQ(R::end(m), -1);
    EXPECT_FALSE(R::group(m, out));
    EXPECT_EQ(out.units(), kTerminator);
    ASSERT_TRUE(R::find(m));
    EXPECT_EQ(R::start(m), 1);
    EXPECT_EQ(R::end(m), 4);
    EXPECT_TRUE(R::group(m, out));
    EXPECT_EQ(out.units(), u"aaa\0"s);
    EXPECT_FALSE(R::find(m));
    EXPECT_EQ(R::start(m), -1);
    EXPECT_EQ(R::end(m), -1);
    EXPECT_FALSE(R::group(m, out));
    EXPECT_EQ(out.units(), kTerminator);
}

TEST(RegexMatch, FindLoopWalksEveryMatch) {
    Str pattern(u"\\d+"sv), input(u"a1b22c333"sv), out;
    Matcher m(F::make(pattern, input, 0));
    std::vector<std::tuple<int, int, std::u16string>> seen;
    while (R::find(m)) {
        ASSERT_TRUE(R::group(m, out));
        seen.emplace_back(R::start(m), R::end(m), out.units());
    }
    const std::vector<std::tuple<int, int, std::u16string>> expected{
        {1, 2, u"1\0"s}, {3, 5, u"22\0"s}, {6, 9, u"333\0"s}};
    EXPECT_EQ(seen, expected);
    // reset makes the next find begin at the start again.
    R::reset(m);
    ASSERT_TRUE(R::find(m));
    EXPECT_EQ(R::start(m), 1);
}

TEST(RegexMatch, IndexFormsWidenTheIndexWithSign) {
    Str pattern(u"a*"sv), input(u"baaac"sv);
    Matcher m(F::make(pattern, input, 0));
    for (int bad : {-1, 6, INT_MIN, INT_MAX}) {
        EXPECT_FALSE(R::find(m, bad)) << bad;
        EXPECT_FALSE(R::lookingAt(m, bad)) << bad;
        EXPECT_FALSE(R::matches(m, bad)) << bad;
    }
    ASSERT_TRUE(R::find(m, 5));  // the length itself is a valid start
    EXPECT_EQ(R::start(m), 5);
    ASSERT_TRUE(R::find(m, 2));
    EXPECT_EQ(R::end(m), 4);
    EXPECT_TRUE(R::lookingAt(m, 1));
    EXPECT_EQ(R::end(m), 4);
    EXPECT_FALSE(R::matches(m, 1));
    EXPECT_TRUE(R::matches(m, 5));
}

TEST(RegexMatch, LookingAtNeedsAPrefixMatchesTheWholeInput) {
    Str prefix(u"ba"sv), whole(u"ba+c"sv), input(u"baaac"sv);
    Matcher p(F::make(prefix, input, 0)), w(F::make(whole, input, 0));
    EXPECT_TRUE(R::lookingAt(p));
    EXPECT_FALSE(R::matches(p));
    EXPECT_TRUE(R::lookingAt(w));
    EXPECT_TRUE(R::matches(w));
    EXPECT_EQ(R::end(w), 5);
}

TEST(RegexReplace, CaptureReferencesAndTerminators) {
    Str pattern(u"(\\w+)@(\\w+)"sv), input(u"ann@x bob@y"sv), with(u"$2:$1\0"sv), out(u"old"sv);
    Matcher m(F::make(pattern, input, 0));
    EXPECT_TRUE(R::replaceAll(m, with, out));
    EXPECT_EQ(out.units(), u"x:ann y:bob\0"s);
    EXPECT_TRUE(R::replaceFirst(m, with, out));
    EXPECT_EQ(out.units(), u"x:ann bob@y\0"s);
    EXPECT_EQ(with.units(), u"$2:$1\0"s);
    EXPECT_EQ(input.units(), u"ann@x bob@y");
}

TEST(RegexReplace, NoMatchCopiesTheInputAndFailureStillWritesIcusText) {
    Str pattern(u"(z)"sv), input(u"abc"sv), with(u"-"sv), out(u"old"sv);
    Matcher m(F::make(pattern, input, 0));
    EXPECT_TRUE(R::replaceAll(m, with, out));
    EXPECT_EQ(out.units(), u"abc\0"s);
    // A reference to a group the pattern lacks: ICU fails; the output holds what ICU returned.
    Str bad(u"$9"sv), pattern2(u"b"sv);
    Matcher m2(F::make(pattern2, input, 0));
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString directInput(u"abc");
    icu::RegexMatcher direct(icu::UnicodeString(u"b"), directInput, 0, status);
    icu::UnicodeString expected = direct.replaceFirst(icu::UnicodeString(u"$9"), status);
    ASSERT_TRUE(U_FAILURE(status));
    expected.append(u'\0');
    EXPECT_FALSE(R::replaceFirst(m2, bad, out));
    EXPECT_EQ(out.icu(), expected);
    EXPECT_FALSE(R::replaceAll(m2, bad, out));
    EXPECT_EQ(out.icu(), expected);
}

TEST(RegexReset, InputIndexAndNullHandles) {
    Str pattern(u"b"sv), first(u"abc"sv), second(u"bb\0\0"sv);
    Matcher m(F::make(pattern, first, 0));
    // The input is stripped even when the matcher is null.
    EXPECT_FALSE(R::reset(nullptr, second));
    EXPECT_EQ(second.units(), u"bb");
    second.icu().append(u'\0');
    EXPECT_FALSE(R::reset(m, nullptr));
    ASSERT_TRUE(R::reset(m, second));
    EXPECT_EQ(second.units(), u"bb");
    ASSERT_TRUE(R::find(m));
    ASSERT_TRUE(R::find(m));
    EXPECT_EQ(R::start(m), 1);
    ASSERT_TRUE(R::reset(m, 1));
    ASSERT_TRUE(R::find(m));
    EXPECT_EQ(R::start(m), 1);
    for (int bad : {-1, 3, INT_MIN, INT_MAX}) EXPECT_FALSE(R::reset(m, bad)) << bad;
    EXPECT_TRUE(R::reset(m, 2));  // the length itself
    EXPECT_FALSE(R::find(m));
}

TEST(RegexServices, NullHandlesGiveTheFailureValueAndWriteNothing) {
    Str pattern(u"a"sv), input(u"a"sv), with(u"b\0"sv), out(u"keep"sv);
    Matcher m(F::make(pattern, input, 0));
    ASSERT_TRUE(R::find(m, 0));
    EXPECT_FALSE(R::find(nullptr));
    EXPECT_FALSE(R::find(nullptr, 0));
    EXPECT_FALSE(R::lookingAt(nullptr));
    EXPECT_FALSE(R::lookingAt(nullptr, 0));
    EXPECT_FALSE(R::matches(nullptr));
    EXPECT_FALSE(R::matches(nullptr, 0));
    EXPECT_EQ(R::start(nullptr), -1);
    EXPECT_EQ(R::end(nullptr), -1);
    EXPECT_FALSE(R::group(nullptr, out));
    EXPECT_FALSE(R::group(m, nullptr));
    EXPECT_FALSE(R::replaceAll(nullptr, with, out));
    EXPECT_FALSE(R::replaceAll(m, nullptr, out));
    EXPECT_FALSE(R::replaceAll(m, with, nullptr));
    EXPECT_FALSE(R::replaceFirst(nullptr, with, out));
    EXPECT_FALSE(R::replaceFirst(m, nullptr, out));
    EXPECT_FALSE(R::replaceFirst(m, with, nullptr));
    R::reset(nullptr);
    EXPECT_FALSE(R::reset(nullptr, 0));
    EXPECT_EQ(R::split(nullptr, input, out, 1), 0);
    EXPECT_EQ(R::split(m, nullptr, out, 1), 0);
    EXPECT_EQ(R::split(m, input, nullptr, 1), 0);
    EXPECT_EQ(out.units(), u"keep");
    EXPECT_EQ(with.units(), u"b\0"s);
    EXPECT_EQ(input.units(), u"a");
    // The refused calls left the last match alone.
    EXPECT_EQ(R::end(m), 1);
}

TEST(RegexSplit, FewerAndMoreFieldsThanCapacity) {
    Str pattern(u","sv), input(u"a,b,c\0"sv);
    Matcher m(F::make(pattern, 0u));
    icu::UnicodeString two[2];
    EXPECT_EQ(R::split(m, input, two, 2), 2);
    EXPECT_EQ(text(two[0]), u"a");
    EXPECT_EQ(text(two[1]), u"b,c");
    icu::UnicodeString five[5];
    for (int i = 0; i < 5; ++i) five[i].setTo(static_cast<char16_t>(u'1' + i));
    EXPECT_EQ(R::split(m, input, five, 5), 3);
    EXPECT_EQ(text(five[0]), u"a");
    EXPECT_EQ(text(five[1]), u"b");
    EXPECT_EQ(text(five[2]), u"c");
    EXPECT_EQ(text(five[3]), u"4");
    EXPECT_EQ(text(five[4]), u"5");
    EXPECT_EQ(input.units(), u"a,b,c\0"s);
}

TEST(RegexSplit, CapacityBelowOneAndEmptyInputsWriteNothing) {
    Str pattern(u","sv), input(u"a,b"sv), empty, zeros(u"\0\0\0"sv);
    Matcher m(F::make(pattern, 0u));
    icu::UnicodeString dest[1] = {icu::UnicodeString(u"keep")};
    // A negative capacity makes ICU fail on an impossible allocation before anything else.
    for (int capacity : {0, -1, INT_MIN}) EXPECT_EQ(R::split(m, input, dest, capacity), 0) << capacity;
    EXPECT_EQ(R::split(m, empty, dest, 1), 0);
    EXPECT_EQ(R::split(m, zeros, dest, 1), 0);
    EXPECT_EQ(text(dest[0]), u"keep");
    EXPECT_EQ(zeros.units(), u"\0\0\0"s);
}

TEST(RegexSplit, SingleStringHandleIsAnArrayOfOne) {
    Str pattern(u","sv), input(u"a,b\0\0"sv), dest(u"old"sv);
    Matcher m(F::make(pattern, 0u));
    EXPECT_EQ(R::split(m, input, dest, 1), 1);
    EXPECT_EQ(dest.units(), u"a,b");
    EXPECT_EQ(input.units(), u"a,b\0\0"s);
    // The input is read through a copy, so it may also be the destination.
    EXPECT_EQ(R::split(m, input, input, 1), 1);
    EXPECT_EQ(input.units(), u"a,b");
}

// ICU's split leaves the matcher on the text it split, a copy that ends with the call; the
// matcher must come out with an empty input of its own instead.
TEST(RegexSplit, MatcherSeesAnEmptyInputAfterwards) {
    Str comma(u","sv), star(u"x*"sv), input(u"a,b"sv), with(u"y"sv), out(u"old"sv);
    Matcher m(F::make(comma, input, 0)), e(F::make(star, input, 0));
    icu::UnicodeString fields[3];
    ASSERT_EQ(R::split(m, input, fields, 3), 2);
    EXPECT_FALSE(R::find(m));
    EXPECT_EQ(R::start(m), -1);
    EXPECT_EQ(R::end(m), -1);
    EXPECT_FALSE(R::group(m, out));
    EXPECT_EQ(out.units(), kTerminator);
    EXPECT_FALSE(R::matches(m));
    EXPECT_FALSE(R::lookingAt(m));
    EXPECT_TRUE(R::replaceAll(m, with, out));
    EXPECT_EQ(out.units(), kTerminator);
    EXPECT_FALSE(R::reset(m, 1));
    // Also after a split that ICU refused, and for a pattern that matches the empty text.
    ASSERT_EQ(R::split(e, input, fields, 0), 0);
    EXPECT_TRUE(R::find(e));
    EXPECT_EQ(R::end(e), 0);
    EXPECT_TRUE(R::matches(e));
    EXPECT_TRUE(R::replaceFirst(e, with, out));
    EXPECT_EQ(out.units(), u"y\0"s);
    // A new input makes the matcher fully usable again.
    ASSERT_TRUE(R::reset(m, input));
    ASSERT_TRUE(R::find(m));
    EXPECT_EQ(R::start(m), 1);
}
