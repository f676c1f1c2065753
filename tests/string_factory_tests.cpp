// String handles: every make overload, copies, invariant text and release.
#include "support.h"

#include <gtest/gtest.h>

using F = QOVAUnicodeStringFactory;
using qtest::Str;

TEST(StringMake, EmptyStringHasNoUnitsAndNoTerminator) {
    Str s(F::make());
    ASSERT_NE(s.get(), nullptr);
    EXPECT_EQ(s.units(), u"");
}

TEST(StringMake, UnitOverloadKeepsEveryUnitValue) {
    EXPECT_EQ(Str(F::make(static_cast<unsigned short>(0x41))).units(), u"A");
    // 0 gives the terminated form of the empty string, a lone surrogate stays one unit.
    EXPECT_EQ(Str(F::make(static_cast<unsigned short>(0))).units(), std::u16string(1, u'\0'));
    EXPECT_EQ(Str(F::make(static_cast<unsigned short>(0xD800))).units(), std::u16string(1, 0xD800));
    EXPECT_EQ(Str(F::make(static_cast<unsigned short>(0xFFFF))).units(), std::u16string(1, 0xFFFF));
}

TEST(StringMake, CodePointOverloadBuildsPairsAndRejectsOutOfRange) {
    EXPECT_EQ(Str(F::make(0x1F600)).units(), u"\xD83D\xDE00");
    EXPECT_EQ(Str(F::make(0x10FFFF)).units(), u"\xDBFF\xDFFF");
    EXPECT_EQ(Str(F::make(0)).units(), std::u16string(1, u'\0'));
    EXPECT_EQ(Str(F::make(0xDC00)).units(), std::u16string(1, 0xDC00));
    for (int bad : {-1, 0x110000, INT_MIN, INT_MAX}) {
        Str s(F::make(bad));
        ASSERT_NE(s.get(), nullptr) << bad;
        EXPECT_EQ(s.units(), u"") << bad;
    }
}

TEST(StringMake, CodepageBytes) {
    EXPECT_EQ(Str(F::make("caf\xC3\xA9", "UTF-8")).units(), u"caf\u00E9");
    EXPECT_EQ(Str(F::make("caf\xE9", "ISO-8859-1")).units(), u"caf\u00E9");
    EXPECT_EQ(Str(F::make("\x80", "windows-1252")).units(), u"\u20AC");
    EXPECT_EQ(Str(F::make("\x82\xA0", "Shift_JIS")).units(), u"\u3042");
    // "" selects the invariant-character conversion; null selects ICU's default codepage.
    EXPECT_EQ(Str(F::make("abc", "")).units(), u"abc");
    EXPECT_EQ(Str(F::make("abc", static_cast<const char*>(nullptr))).units(), u"abc");
    // Null data gives an empty string.
    EXPECT_EQ(Str(F::make(static_cast<const char*>(nullptr), "UTF-8")).units(), u"");
    // Bytes stop at their NUL.
    EXPECT_EQ(Str(F::make("ab\0cd", "UTF-8")).units(), u"ab");
}

TEST(StringMake, UnknownCodepageGivesAHandleToABogusString) {
    Str s(F::make("abc", "no-such-codepage"));
    ASSERT_NE(s.get(), nullptr);
    EXPECT_TRUE(s.icu().isBogus());
    EXPECT_EQ(s.icu().length(), 0);
}

TEST(StringMake, Utf16StopsAtTheFirstZeroUnit) {
    const unsigned short text[] = {0x48, 0xD83D, 0xDE00, 0x69, 0, 0x70, 0};
    EXPECT_EQ(Str(F::make(text)).units(), u"H\xD83D\xDE00i");
    const unsigned short empty[] = {0, 0x41, 0};
    EXPECT_EQ(Str(F::make(empty)).units(), u"");
    // Unpaired surrogates are kept as they are.
    const unsigned short lone[] = {0xDC00, 0x41, 0};
    EXPECT_EQ(Str(F::make(lone)).units(), u"\xDC00" u"A");
    Str null(F::make(static_cast<const unsigned short*>(nullptr)));
    ASSERT_NE(null.get(), nullptr);
    EXPECT_EQ(null.units(), u"");
}

TEST(StringMake, Utf32ConvertsAndReportsFailure) {
    bool failed = true;
    const int hi[] = {0x48, 0x69, 0};
    Str a(F::make(hi, failed));
    EXPECT_EQ(a.units(), u"Hi");
    EXPECT_FALSE(failed);

    const int supplementary[] = {0x1F600, 0x41, 0x10FFFF, 0};
    Str b(F::make(supplementary, failed));
    EXPECT_EQ(b.units(), u"\xD83D\xDE00" u"A\xDBFF\xDFFF");
    EXPECT_FALSE(failed);

    failed = true;
    const int empty[] = {0, 0x41};
    Str c(F::make(empty, failed));
    EXPECT_EQ(c.units(), u"");
    EXPECT_FALSE(failed);

    // A value that is no Unicode scalar value anywhere in the text: an empty handle, failed.
    for (int bad : {0xD800, 0xDFFF, 0x110000, -1}) {
        failed = false;
        const int text[] = {0x41, bad, 0x42, 0};
        Str d(F::make(text, failed));
        ASSERT_NE(d.get(), nullptr) << bad;
        EXPECT_EQ(d.units(), u"") << bad;
        EXPECT_TRUE(failed) << bad;
    }

    failed = false;
    Str e(F::make(static_cast<const int*>(nullptr), failed));
    ASSERT_NE(e.get(), nullptr);
    EXPECT_EQ(e.units(), u"");
    EXPECT_TRUE(failed);
}

TEST(StringMake, Utf32LongTextIsConvertedWhole) {
    std::vector<int> text;
    std::u16string expected;
    for (int i = 0; i < 5000; ++i) {
        const int cp = (i % 3 == 0) ? 0x10000 + i : 0x41 + i % 26;
        text.push_back(cp);
        icu::UnicodeString one(static_cast<UChar32>(cp));
        expected.append(one.getBuffer(), static_cast<size_t>(one.length()));
    }
    text.push_back(0);
    bool failed = true;
    Str s(F::make(text.data(), failed));
    EXPECT_FALSE(failed);
    EXPECT_EQ(s.units(), expected);
}

TEST(StringMake, InvariantTextHonoursItsLength) {
    EXPECT_EQ(Str(F::makeInvariant("hello", -1)).units(), u"hello");
    EXPECT_EQ(Str(F::makeInvariant("hello", 3)).units(), u"hel");
    EXPECT_EQ(Str(F::makeInvariant("hello", 0)).units(), u"");
    // A given length reads past an embedded NUL.
    EXPECT_EQ(Str(F::makeInvariant("a\0b", 3)).units(), std::u16string(u"a\0b", 3));
    Str null(F::makeInvariant(nullptr, -1));
    ASSERT_NE(null.get(), nullptr);
    EXPECT_EQ(null.units(), u"");
}

TEST(StringCopy, CopiesEveryUnitAndIsIndependent) {
    Str source(std::u16string(u"ab\0c\0", 5));
    Str copy(F::makeCopy(source));
    ASSERT_NE(copy.get(), nullptr);
    EXPECT_NE(copy.get(), source.get());
    EXPECT_EQ(copy.units(), source.units());
    source.icu().append(u'x');
    EXPECT_EQ(copy.units(), std::u16string(u"ab\0c\0", 5));
    EXPECT_EQ(F::makeCopy(nullptr), nullptr);
}

TEST(StringDestroy, NullsTheVariableAndIgnoresNull) {
    void* h = F::make(static_cast<unsigned short>(0x41));
    void* keep = h;
    ASSERT_NE(h, nullptr);
    F::destroy(h);
    EXPECT_EQ(h, nullptr);
    F::destroy(h);  // a second destroy on the same variable does nothing
    EXPECT_EQ(h, nullptr);
    (void)keep;
}
