// String services: the terminator rules, access, search, comparison, case mapping and editing,
// which string arguments each operation changes, and editing when memory runs out.
#include "support.h"

#include <gtest/gtest.h>
#include <unicode/uclean.h>

#include <cstdlib>
#include <tuple>

using F = QOVAUnicodeStringFactory;
using S = QOVAUnicodeStringServices;
using qtest::Str;
using namespace std::literals;

namespace {

// Takes ownership of a string handle a call made and returns its units.
std::u16string adopt(void* handle) { return handle ? Str(handle).units() : u"<null>"; }

}  // namespace

TEST(Terminator, TerminateAddsOneZeroAndStripRemovesEveryTrailingOne) {
    const std::u16string rows[][3] = {  // in, terminated, stripped
        {u"", u"\0"s, u""},              {u"ab", u"ab\0"s, u"ab"},         {u"ab\0"s, u"ab\0"s, u"ab"},
        {u"ab\0\0"s, u"ab\0\0"s, u"ab"}, {u"a\0b"s, u"a\0b\0"s, u"a\0b"s}, {u"\0\0\0"s, u"\0\0\0"s, u""},
    };
    for (const auto& [in, terminated, stripped] : rows) {
        Str t(in), s(in);
        S::nullTerminateString(t);
        S::removeNullTerminator(s);
        EXPECT_EQ(t.units(), terminated);
        EXPECT_EQ(s.units(), stripped);
    }
    S::nullTerminateString(nullptr);
    S::removeNullTerminator(nullptr);
    Str bogus(F::make("x", "no-such-codepage"));
    S::nullTerminateString(bogus);
    S::removeNullTerminator(bogus);
    EXPECT_TRUE(bogus.icu().isBogus());
}

TEST(Access, LengthCharAtAndHashSeeEveryUnit) {
    for (const auto& [text, length] : {std::pair{u"abc\0"s, 3}, {u"abc"s, 2}, {u""s, -1}, {u"a\0\0"s, 2}})
        EXPECT_EQ(S::length(Str(text)), length);
    EXPECT_EQ(S::length(nullptr), 0);

    Str s(u"ab\0"s);
    for (const auto& [at, unit] : {std::pair{0, 0x61}, {2, 0}, {3, 0xFFFF}, {-1, 0xFFFF}, {INT_MIN, 0xFFFF}})
        EXPECT_EQ(S::charAt(s, at), unit) << at;
    EXPECT_EQ(S::charAt(nullptr, 0), 0xFFFF);

    EXPECT_EQ(S::hashCode(s), s.icu().hashCode());
    EXPECT_NE(S::hashCode(s), S::hashCode(Str(u"ab")));
    EXPECT_EQ(S::hashCode(nullptr), 0);
}

// The searched string is taken whole (its terminator can be found); the needle is searched
// without its trailing zeros and comes out with exactly one.
TEST(Search, NeedleTextInTheWholeStringAndNeedleTerminatedAfterwards) {
    Str str(u"ab\0c\uFFFDab\0"s);
    const std::tuple<std::u16string, int, int, int, std::u16string> needles[] = {
        {u"ab", 0, 0, 5, u"ab\0"s},         {u"ab", 1, 5, 5, u"ab\0"s},
        {u"ab", 6, -1, -1, u"ab\0"s},       {u"ab", -7, 0, 5, u"ab\0"s},
        {u"ab", INT_MAX, -1, -1, u"ab\0"s}, {u"c\0\0"s, 0, 3, 3, u"c\0"s},
        {u"b\0c\0"s, 0, 1, 1, u"b\0c\0"s}, {u"\0\0"s, 0, -1, -1, u"\0"s},
    };
    for (const auto& [needle, start, first, last, after] : needles) {
        Str forward(needle), backward(needle);
        EXPECT_EQ(S::indexOf(str, forward, start), first) << start;
        EXPECT_EQ(S::lastIndexOf(str, backward, start), last) << start;
        EXPECT_EQ(forward.units(), after);
        EXPECT_EQ(backward.units(), after);
    }
    // A unit is widened without sign, so 0 finds the terminator and 0xFFFD is no negative value.
    const std::tuple<unsigned short, int, int, int> units[] = {
        {0, 0, 2, 7}, {0, 3, 7, 7}, {u'a', INT_MIN, 0, 5}, {0xFFFD, 0, 4, 4}, {u'z', 0, -1, -1}};
    for (const auto& [unit, start, first, last] : units) {
        EXPECT_EQ(S::indexOf(str, unit, start), first) << unit;
        EXPECT_EQ(S::lastIndexOf(str, unit, start), last) << unit;
    }
    EXPECT_EQ(str.units(), u"ab\0c\uFFFDab\0"s);
    // A string searched for in itself: its text is found at 0 and it keeps its one terminator.
    Str self(u"abc\0"s);
    EXPECT_EQ(S::indexOf(self, self, 0), 0);
    EXPECT_EQ(self.units(), u"abc\0"s);
}

// Whole contents, terminators included, in code point order; neither input is changed.
TEST(Compare, CodePointOrderWithAndWithoutCaseFolding) {
    const std::tuple<std::u16string, std::u16string, int, int> rows[] = {
        {u"a\0"s, u"a", 1, 1},         {u"a\0"s, u"b\0"s, -1, -1}, {u"ab\0"s, u"ab\0"s, 0, 0},
        {u"ABC\0"s, u"abc\0"s, -1, 0}, {u"ABC\0"s, u"abc", -1, 1},   {u"Stra\u00DFe", u"STRASSE", 1, 0},
        // Code point order, not unit order: a supplementary character sorts after U+FFFF.
        {u"\U0001F600", u"\uFFFF", 1, 1}, {u"\uFFFF", u"\U0001F600", -1, -1},
        // Default folding: dotless i stays apart from I.
        {u"I", u"\u0131", -1, -1},
    };
    for (const auto& row : rows) {
        const auto& [first, second, order, folded] = row;
        SCOPED_TRACE(&row - rows);
        Str a(first), b(second);
        int result[2] = {7, 7};
        ASSERT_TRUE(S::compareCodePointOrder(a, b, result[0]) && S::compareIgnoringCase(a, b, result[1]));
        EXPECT_EQ(result[0], order);
        EXPECT_EQ(result[1], folded);
        EXPECT_TRUE(a.units() == first && b.units() == second);
    }
}

TEST(CaseMapping, InPlaceWithTheDefaultLocaleKeepingTheTerminators) {
    qtest::ScopedDefaultLocale turkish("tr");
    Str upper(u"istanbul\0\0"s), lower(u"I\u0130");
    icu::UnicodeString direct(upper.icu());
    direct.toUpper(icu::Locale("tr"));
    ASSERT_TRUE(S::convertToUpper(upper));
    EXPECT_EQ(upper.icu(), direct);
    EXPECT_EQ(upper.units().substr(0, 1), u"\u0130");
    ASSERT_TRUE(S::convertToLower(lower));
    EXPECT_EQ(lower.units(), u"\u0131i");
}

// append and concatenate join the texts and leave every input and result with one terminator.
TEST(Editing, AppendAndConcatenateJoinTextsAndTerminateEveryString) {
    const std::u16string rows[][5] = {  // first, second, joined, first and second afterwards
        {u"ab", u"cd", u"abcd\0"s, u"ab\0"s, u"cd\0"s},
        {u"ab\0\0"s, u"cd\0"s, u"abcd\0"s, u"ab\0"s, u"cd\0"s},
        {u"x\0y"s, u"", u"x\0y\0"s, u"x\0y\0"s, u"\0"s},
        {u"\0\0"s, u"", u"\0"s, u"\0"s, u"\0"s},
    };
    for (const auto& [first, second, joined, firstAfter, secondAfter] : rows) {
        Str target(first), source(second);
        ASSERT_TRUE(S::append(target, source));
        EXPECT_EQ(target.units(), joined);
        EXPECT_EQ(source.units(), secondAfter);

        Str a(first), b(second), earlier(u"kept");
        void* result = earlier.get();
        ASSERT_TRUE(S::concatenate(a, b, result));
        ASSERT_NE(result, earlier.get());  // overwritten, neither read nor destroyed
        EXPECT_EQ(adopt(result), joined);
        EXPECT_TRUE(a.units() == firstAfter && b.units() == secondAfter && earlier.units() == u"kept");
    }
    // The same handle twice: its text doubled, terminated once.
    Str twice(u"ab\0\0"s), self(u"ab\0\0"s);
    void* joined = nullptr;
    ASSERT_TRUE(S::concatenate(twice, twice, joined));
    EXPECT_EQ(adopt(joined), u"abab\0"s);
    ASSERT_TRUE(S::append(self, self));
    EXPECT_EQ(self.units(), u"abab\0"s);
}

// Every unit is replaced, terminators included; replacing 0 terminates again, replacing by 0
// cuts after the first zero even without a match.
TEST(Editing, ReplaceEveryUnit) {
    const std::tuple<std::u16string, unsigned short, unsigned short, std::u16string> rows[] = {
        {u"banana\0"s, u'a', u'b', u"bbnbnb\0"s}, {u"ab\0"s, 0, u'x', u"abx\0"s},
        {u"abcb\0"s, u'b', 0, u"a\0"s},           {u"ab\0\0"s, u'z', 0, u"ab\0"s},
        {u"ab", u'z', 0, u"ab"},                  {u"ab", 0, 0, u"ab\0"s},
        {u"\xD800" u"a\xD800\0"s, 0xD800, u'-', u"-a-\0"s},
    };
    for (const auto& [in, from, to, out] : rows) {
        Str s(in);
        ASSERT_TRUE(S::replace(s, from, to));
        EXPECT_EQ(s.units(), out) << from << "->" << to;
    }
}

// The range is clipped to the whole content without overflow; the source is not changed.
TEST(Editing, SubstringClipsAndTerminatesItsResult) {
    const std::tuple<std::u16string, int, int, std::u16string> rows[] = {
        {u"abcd\0"s, 1, 2, u"bc\0"s},           {u"abcd\0"s, -5, 2, u"ab\0"s},
        {u"abcd\0"s, 2, 100, u"cd\0"s},         {u"abcd\0"s, 0, -1, u"\0"s},
        {u"abcd\0"s, 0, INT_MAX, u"abcd\0"s},   {u"abcd\0"s, 3, INT_MAX, u"d\0"s},
        {u"abcd\0"s, INT_MAX, INT_MAX, u"\0"s}, {u"abcd\0"s, INT_MIN, INT_MAX, u"abcd\0"s},
        {u"abcd\0"s, INT_MIN, INT_MIN, u"\0"s}, {u"abcd\0"s, 2, 0, u"\0"s},
        {u"abcd\0"s, 4, 1, u"\0"s},             {u"abcd\0"s, 5, 1, u"\0"s},
        {u"ab\0\0"s, 1, 3, u"b\0\0"s},           {u"ab", 0, 2, u"ab\0"s},
    };
    for (const auto& [in, start, length, out] : rows) {
        Str s(in);
        void* part = nullptr;
        ASSERT_TRUE(S::substring(s, part, start, length));
        EXPECT_EQ(adopt(part), out) << start << ", " << length;
        EXPECT_EQ(s.units(), in);
    }
    Str bogus(F::make("x", "no-such-codepage"));
    void* part = nullptr;
    ASSERT_TRUE(S::substring(bogus, part, 0, 5));
    EXPECT_EQ(adopt(part), u"\0"s);
}

// Nothing is stripped, written or reported before the null test.
TEST(NullHandles, GiveTheFailureResultAndChangeNothing) {
    Str s(u"ab\0\0"s);
    int order = 42;
    void* keep = &order;
    void* none = nullptr;
    for (int found : {S::indexOf(none, s.get(), 0), S::indexOf(s.get(), none, 0), S::indexOf(none, u'a', 0),
                      S::lastIndexOf(none, s.get(), 0), S::lastIndexOf(s.get(), none, 0),
                      S::lastIndexOf(none, u'a', 0)})
        EXPECT_EQ(found, -1);
    EXPECT_FALSE(S::compareCodePointOrder(s, nullptr, order) || S::compareIgnoringCase(nullptr, s, order));
    EXPECT_FALSE(S::convertToLower(nullptr) || S::convertToUpper(nullptr) || S::replace(nullptr, 0, 1));
    EXPECT_FALSE(S::append(s, nullptr) || S::append(nullptr, s));
    EXPECT_FALSE(S::concatenate(s, nullptr, keep) || S::concatenate(nullptr, s, keep));
    EXPECT_FALSE(S::substring(nullptr, keep, 0, 1));
    EXPECT_TRUE(order == 42 && keep == &order && s.units() == u"ab\0\0"s);
}

// --- Out of memory -----------------------------------------------------------------------------
// ICU takes replacement memory functions only before its first allocation in the process, so
// they are installed while this executable's globals are constructed.
namespace {

bool exhausted = false;
void* allocate(const void*, size_t size) { return exhausted ? nullptr : std::malloc(size); }
void* reallocate(const void*, void* p, size_t size) { return exhausted ? nullptr : std::realloc(p, size); }
void release(const void*, void* p) { std::free(p); }

const UErrorCode installed = [] {
    UErrorCode status = U_ZERO_ERROR;
    u_setMemoryFunctions(nullptr, allocate, reallocate, release, &status);
    return status;
}();

}  // namespace

// The new string is allocated before anything else, so a failure leaves inputs and result alone.
TEST(OutOfMemory, ConcatenateAndSubstringFailAndChangeNothing) {
    ASSERT_EQ(installed, U_ZERO_ERROR);
    Str first(u"ab\0\0"s), second(u"cd");
    void* result = &exhausted;
    exhausted = true;
    const bool joined = S::concatenate(first, second, result);
    const bool cut = S::substring(first, result, 1, 2);
    exhausted = false;
    EXPECT_FALSE(joined || cut);
    EXPECT_EQ(result, static_cast<void*>(&exhausted));
    EXPECT_TRUE(first.units() == u"ab\0\0"s && second.units() == u"cd");
}
