// Search, comparison, case mapping and editing of string handles, and which of their string
// arguments come out terminated.
#include "support.h"

#include <gtest/gtest.h>
#include <unicode/stringoptions.h>

using F = QOVAUnicodeStringFactory;
using S = QOVAUnicodeStringServices;
using qtest::Str;

static const std::u16string Z(1, u'\0');

// --- Terminator rules across operations --------------------------------------------------------

TEST(TerminatorAcrossOperations, NeedleComesOutWithOneTerminatorAndSearchedStringUntouched) {
    Str str(u"abcabc" + Z + Z), bare(u"bc"), several(u"bc" + Z + Z + Z);
    EXPECT_EQ(S::indexOf(str, bare, 0), 1);
    EXPECT_EQ(bare.units(), u"bc" + Z);
    EXPECT_EQ(S::lastIndexOf(str, several, 0), 4);
    EXPECT_EQ(several.units(), u"bc" + Z);
    EXPECT_EQ(str.units(), u"abcabc" + Z + Z);
    EXPECT_EQ(S::indexOf(str, u'\0', 0), 6);
    EXPECT_EQ(str.units(), u"abcabc" + Z + Z);
}

TEST(TerminatorAcrossOperations, ComparisonCaseMappingAndSubstringLeaveTheirInputsAsTheyWere) {
    Str plain(u"ab"), several(u"AB" + Z + Z);
    int order = 0;
    ASSERT_TRUE(S::compareCodePointOrder(plain, several, order));
    ASSERT_TRUE(S::compareIgnoringCase(plain, several, order));
    EXPECT_EQ(plain.units(), u"ab");
    EXPECT_EQ(several.units(), u"AB" + Z + Z);

    ASSERT_TRUE(S::convertToLower(several));
    EXPECT_EQ(several.units(), u"ab" + Z + Z);
    ASSERT_TRUE(S::convertToUpper(plain));
    EXPECT_EQ(plain.units(), u"AB");

    void* part = nullptr;
    ASSERT_TRUE(S::substring(plain, part, 0, 1));
    Str owned(part);
    EXPECT_EQ(plain.units(), u"AB");
}

TEST(TerminatorAcrossOperations, JoinedInputsComeOutWithExactlyOneTerminator) {
    Str target(u"ab" + Z + Z), source(u"cd");
    ASSERT_TRUE(S::append(target, source));
    EXPECT_EQ(target.units(), u"abcd" + Z);
    EXPECT_EQ(source.units(), u"cd" + Z);

    Str first(u"x" + Z + Z + Z), second(u"y");
    void* joined = nullptr;
    ASSERT_TRUE(S::concatenate(first, second, joined));
    Str owned(joined);
    EXPECT_EQ(owned.units(), u"xy" + Z);
    EXPECT_EQ(first.units(), u"x" + Z);
    EXPECT_EQ(second.units(), u"y" + Z);
}

// --- Failure results ---------------------------------------------------------------------------

TEST(NullHandles, GiveTheFailureResultAndChangeNothing) {
    Str s(u"ab" + Z + Z);
    const std::u16string before = s.units();
    int order = 42;
    void* keep = &order;
    EXPECT_EQ(S::indexOf(nullptr, s.get(), 0), -1);
    EXPECT_EQ(S::indexOf(s.get(), static_cast<void*>(nullptr), 0), -1);
    EXPECT_EQ(S::lastIndexOf(nullptr, s.get(), 0), -1);
    EXPECT_EQ(S::lastIndexOf(s.get(), static_cast<void*>(nullptr), 0), -1);
    EXPECT_EQ(S::indexOf(nullptr, u'a', 0), -1);
    EXPECT_EQ(S::lastIndexOf(nullptr, u'a', 0), -1);
    EXPECT_FALSE(S::compareCodePointOrder(s, nullptr, order));
    EXPECT_FALSE(S::compareIgnoringCase(nullptr, s, order));
    EXPECT_EQ(order, 42);
    EXPECT_FALSE(S::convertToLower(nullptr));
    EXPECT_FALSE(S::convertToUpper(nullptr));
    EXPECT_FALSE(S::append(s, nullptr));
    EXPECT_FALSE(S::append(nullptr, s));
    EXPECT_FALSE(S::concatenate(s, nullptr, keep));
    EXPECT_FALSE(S::concatenate(nullptr, s, keep));
    EXPECT_FALSE(S::replace(nullptr, u'a', u'b'));
    EXPECT_FALSE(S::substring(nullptr, keep, 0, 1));
    EXPECT_EQ(keep, &order);
    EXPECT_EQ(s.units(), before);  // nothing stripped before the null test
}

// --- Search ------------------------------------------------------------------------------------

TEST(Search, PositionsCountTheWholeContentFromStart) {
    Str str(u"ab" + Z + u"cab" + Z);
    EXPECT_EQ(S::indexOf(str, Str(u"ab"), 0), 0);
    EXPECT_EQ(S::indexOf(str, Str(u"ab"), 1), 4);
    EXPECT_EQ(S::indexOf(str, Str(u"ab"), -7), 0);
    EXPECT_EQ(S::indexOf(str, Str(u"ab"), INT_MAX), -1);
    EXPECT_EQ(S::lastIndexOf(str, Str(u"ab"), 0), 4);
    EXPECT_EQ(S::lastIndexOf(str, Str(u"ab"), 5), -1);  // must begin at or after start
    // A U+0000 inside the needle is text; only its trailing ones go.
    EXPECT_EQ(S::indexOf(str, Str(u"b" + Z + u"c" + Z), 0), 1);
    EXPECT_EQ(S::indexOf(str, u'\0', 3), 6);
    EXPECT_EQ(S::lastIndexOf(str, u'\0', 0), 6);
    EXPECT_EQ(S::lastIndexOf(str, u'a', INT_MIN), 4);
    EXPECT_EQ(S::indexOf(str, u'z', 0), -1);
}

TEST(Search, NeedleOfOnlyZerosIsFoundNowhere) {
    Str str(u"a" + Z), zeros(Z + Z);
    EXPECT_EQ(S::indexOf(str, zeros, 0), -1);
    EXPECT_EQ(S::lastIndexOf(str, zeros, 0), -1);
    EXPECT_EQ(zeros.units(), Z);
}

TEST(Search, StringSearchedForItself) {
    Str s(u"abc" + Z);
    EXPECT_EQ(S::indexOf(s, s, 0), 0);
    EXPECT_EQ(s.units(), u"abc" + Z);
}

TEST(Search, SurrogateUnitsFollowIcuCodePointSearch) {
    // ICU does not report half of a well-formed pair when asked for a surrogate code point.
    Str str(u"\U0001F600" + std::u16string(1, u'\xD83D') + Z);
    const icu::UnicodeString& direct = str.icu();
    EXPECT_EQ(S::indexOf(str, 0xD83D, 0), direct.indexOf(static_cast<UChar32>(0xD83D), 0));
    EXPECT_EQ(S::indexOf(str, 0xD83D, 0), 2);
    EXPECT_EQ(S::lastIndexOf(str, 0xDE00, 0), -1);
    EXPECT_EQ(S::indexOf(str, Str(u"\U0001F600"), 0), 0);
}

// --- Comparison --------------------------------------------------------------------------------

TEST(Compare, CodePointOrderOfWholeContents) {
    int r = 7;
    ASSERT_TRUE(S::compareCodePointOrder(Str(u"a" + Z), Str(u"a"), r));
    EXPECT_EQ(r, 1);
    ASSERT_TRUE(S::compareCodePointOrder(Str(u"a" + Z), Str(u"b" + Z), r));
    EXPECT_EQ(r, -1);
    ASSERT_TRUE(S::compareCodePointOrder(Str(u"ab" + Z), Str(u"ab" + Z), r));
    EXPECT_EQ(r, 0);
    // Code point order, not code unit order: a supplementary character sorts after U+FFFF.
    ASSERT_TRUE(S::compareCodePointOrder(Str(u"\U0001F600"), Str(u"\uFFFF"), r));
    EXPECT_EQ(r, 1);
    ASSERT_TRUE(S::compareCodePointOrder(Str(u"\uFFFF"), Str(u"\U0001F600"), r));
    EXPECT_EQ(r, -1);
}

TEST(Compare, IgnoringCaseFoldsThenOrdersByCodePoint) {
    int r = 7;
    ASSERT_TRUE(S::compareIgnoringCase(Str(u"ABC" + Z), Str(u"abc" + Z), r));
    EXPECT_EQ(r, 0);
    ASSERT_TRUE(S::compareIgnoringCase(Str(u"ABC" + Z), Str(u"abc"), r));
    EXPECT_EQ(r, 1);
    ASSERT_TRUE(S::compareIgnoringCase(Str(u"\uFFFF"), Str(u"\U0001F600"), r));
    EXPECT_EQ(r, -1);
    const std::u16string pairs[][2] = {{u"Stra\u00DFe", u"STRASSE"}, {u"ABD", u"abc"},
                                       {u"a", u"B"}, {u"\u03A3", u"\u03C2"}, {u"", u"x"}};
    for (const auto& p : pairs) {
        Str a(p[0]), b(p[1]);
        ASSERT_TRUE(S::compareIgnoringCase(a, b, r));
        const int direct =
            a.icu().caseCompare(b.icu(), U_FOLD_CASE_DEFAULT | U_COMPARE_CODE_POINT_ORDER);
        EXPECT_EQ(r, direct);
        EXPECT_TRUE(r == -1 || r == 0 || r == 1);
    }
}

// --- Case mapping ------------------------------------------------------------------------------

TEST(CaseMapping, FollowsTheDefaultLocale) {
    qtest::ScopedDefaultLocale turkish("tr");
    Str s(u"istanbul" + Z), t(u"I\u0130" + Z);
    ASSERT_TRUE(S::convertToUpper(s));
    icu::UnicodeString direct(u"istanbul");
    direct.toUpper(icu::Locale("tr"));
    EXPECT_EQ(s.units(), std::u16string(direct.getBuffer(), direct.length()) + Z);
    EXPECT_EQ(s.units().substr(0, 1), u"\u0130");
    ASSERT_TRUE(S::convertToLower(t));
    EXPECT_EQ(t.units(), u"\u0131i" + Z);
}

// --- Editing -----------------------------------------------------------------------------------

TEST(Append, JoinsTheTextsAndTerminatesBoth) {
    Str target(u"ab" + Z), source(u"cd" + Z);
    ASSERT_TRUE(S::append(target, source));
    EXPECT_EQ(target.units(), u"abcd" + Z);
    EXPECT_EQ(source.units(), u"cd" + Z);

    Str inner(u"x" + Z + u"y"), empty;
    ASSERT_TRUE(S::append(inner, empty));
    EXPECT_EQ(inner.units(), u"x" + Z + u"y" + Z);
    EXPECT_EQ(empty.units(), Z);
}

TEST(Append, SameHandleDoublesTheTextOnce) {
    Str s(u"ab" + Z + Z);
    ASSERT_TRUE(S::append(s, s));
    EXPECT_EQ(s.units(), u"abab" + Z);
}

TEST(Concatenate, MakesANewTerminatedStringAndOverwritesResult) {
    Str first(u"ab"), second(u"cd");
    Str earlier(u"kept");
    void* result = earlier.get();
    ASSERT_TRUE(S::concatenate(first, second, result));
    ASSERT_NE(result, earlier.get());
    Str owned(result);
    EXPECT_EQ(owned.units(), u"abcd" + Z);
    EXPECT_EQ(earlier.units(), u"kept");  // neither read nor destroyed
    EXPECT_EQ(first.units(), u"ab" + Z);
    EXPECT_EQ(second.units(), u"cd" + Z);

    void* twice = nullptr;
    ASSERT_TRUE(S::concatenate(first, first, twice));
    Str ownedTwice(twice);
    EXPECT_EQ(ownedTwice.units(), u"abab" + Z);

    void* zeros = nullptr;
    ASSERT_TRUE(S::concatenate(Str(Z + Z), Str(), zeros));
    Str ownedZeros(zeros);
    EXPECT_EQ(ownedZeros.units(), Z);
}

TEST(Replace, EveryUnitIncludingTerminators) {
    Str banana(u"banana" + Z);
    ASSERT_TRUE(S::replace(banana, u'a', u'b'));
    EXPECT_EQ(banana.units(), u"bbnbnb" + Z);

    Str zeroToX(u"ab" + Z);
    ASSERT_TRUE(S::replace(zeroToX, 0, u'x'));
    EXPECT_EQ(zeroToX.units(), u"abx" + Z);

    Str toZero(u"abcb" + Z);
    ASSERT_TRUE(S::replace(toZero, u'b', 0));
    EXPECT_EQ(toZero.units(), u"a" + Z);

    Str surrogate(std::u16string(1, u'\xD800') + u"a\xD800" + Z);
    ASSERT_TRUE(S::replace(surrogate, 0xD800, u'-'));
    EXPECT_EQ(surrogate.units(), u"-a-" + Z);
}

TEST(Replace, ByZeroCutsAfterTheFirstZeroEvenWithoutAMatch) {
    Str several(u"ab" + Z + Z);
    ASSERT_TRUE(S::replace(several, u'z', 0));
    EXPECT_EQ(several.units(), u"ab" + Z);

    Str unterminated(u"ab");
    ASSERT_TRUE(S::replace(unterminated, u'z', 0));
    EXPECT_EQ(unterminated.units(), u"ab");

    Str bothZero(u"ab");
    ASSERT_TRUE(S::replace(bothZero, 0, 0));
    EXPECT_EQ(bothZero.units(), u"ab" + Z);
}

TEST(Substring, ClipsToTheContentWithoutOverflow) {
    struct Case {
        int start, length;
        std::u16string expected;
    };
    const Case cases[] = {
        {1, 2, u"bc" + Z},      {-5, 2, u"ab" + Z},    {2, 100, u"cd" + Z},
        {0, -1, Z},             {0, INT_MAX, u"abcd" + Z}, {INT_MAX, INT_MAX, Z},
        {INT_MIN, INT_MAX, u"abcd" + Z}, {3, INT_MAX, u"d" + Z}, {4, 1, Z},
        {5, 1, Z},              {INT_MIN, INT_MIN, Z},  {2, 0, Z},
    };
    Str str(u"abcd" + Z);
    for (const Case& c : cases) {
        void* part = nullptr;
        ASSERT_TRUE(S::substring(str, part, c.start, c.length));
        Str owned(part);
        EXPECT_EQ(owned.units(), c.expected) << c.start << ", " << c.length;
    }
    EXPECT_EQ(str.units(), u"abcd" + Z);
}

TEST(Substring, KeepsTrailingZerosInsideTheRange) {
    Str str(u"ab" + Z + Z);
    void* part = nullptr;
    ASSERT_TRUE(S::substring(str, part, 1, 3));
    Str owned(part);
    EXPECT_EQ(owned.units(), u"b" + Z + Z);
    EXPECT_EQ(S::length(owned), 2);
}

TEST(Substring, BogusSourceGivesTheTerminatedEmptyString) {
    Str bogus(F::make("x", "no-such-codepage"));
    ASSERT_TRUE(bogus.icu().isBogus());
    void* part = nullptr;
    ASSERT_TRUE(S::substring(bogus, part, 0, 5));
    Str owned(part);
    EXPECT_EQ(owned.units(), Z);
}
