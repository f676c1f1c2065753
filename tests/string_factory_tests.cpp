// String handles: every make overload, copies and release.
#include "support.h"

#include <gtest/gtest.h>

using F = QOVAUnicodeStringFactory;
using qtest::Str;
using namespace std::literals;

using US = unsigned short;

// Every overload gives a handle holding exactly the expected units and never a terminator of its
// own; a handle even for null or unusable arguments.
TEST(StringMake, EachOverloadGivesExactlyItsUnits) {
    const US utf16[] = {0x48, 0xD83D, 0xDE00, 0x69, 0, 0x70, 0}, emptyUtf16[] = {0, 0x41, 0},
             lone[] = {0xDC00, 0x41, 0};
    const struct {
        void* handle;
        std::u16string expected;
    } rows[] = {
        {F::make(), u""},
        // A unit is widened without sign: 0 and lone surrogates are kept as one unit.
        {F::make(US{0x41}), u"A"}, {F::make(US{0}), u"\0"s},
        {F::make(US{0xD800}), u"\xD800"}, {F::make(US{0xFFFF}), u"\xFFFF"},
        {F::make(0x1F600), u"\xD83D\xDE00"}, {F::make(0x10FFFF), u"\xDBFF\xDFFF"},
        {F::make(0), u"\0"s}, {F::make(0xDC00), u"\xDC00"},
        {F::make(-1), u""}, {F::make(0x110000), u""}, {F::make(INT_MIN), u""}, {F::make(INT_MAX), u""},
        // Codepage bytes up to their NUL; "" is the invariant conversion, null ICU's default.
        {F::make("caf\xC3\xA9", "UTF-8"), u"caf\u00E9"}, {F::make("\x80", "windows-1252"), u"\u20AC"},
        {F::make("\x82\xA0", "Shift_JIS"), u"\u3042"}, {F::make("ab\0cd", "UTF-8"), u"ab"},
        {F::make("abc", ""), u"abc"}, {F::make("abc", static_cast<const char*>(nullptr)), u"abc"},
        {F::make(static_cast<const char*>(nullptr), "UTF-8"), u""},
        // UTF-16 up to the first zero unit, unpaired surrogates kept.
        {F::make(utf16), u"H\xD83D\xDE00i"}, {F::make(emptyUtf16), u""}, {F::make(lone), u"\xDC00" u"A"},
        {F::make(static_cast<const US*>(nullptr)), u""},
        // Invariant text: a given length reads past a NUL, a negative one stops at it.
        {F::makeInvariant("hello", -1), u"hello"}, {F::makeInvariant("hello", 3), u"hel"},
        {F::makeInvariant("hello", 0), u""}, {F::makeInvariant("a\0b", 3), u"a\0b"s},
        {F::makeInvariant(nullptr, -1), u""},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        Str s(rows[i].handle);
        ASSERT_NE(s.get(), nullptr) << "row " << i;
        EXPECT_EQ(s.units(), rows[i].expected) << "row " << i;
    }
    Str unknown(F::make("abc", "no-such-codepage"));
    ASSERT_NE(unknown.get(), nullptr);
    EXPECT_TRUE(unknown.icu().isBogus());
}

TEST(StringMake, Utf32ConvertsWholeTextsAndFlagsNonScalarValues) {
    const auto check = [](const int* text, const std::u16string& expected, bool expectFailed) {
        bool failed = !expectFailed;
        Str s(F::make(text, failed));
        EXPECT_TRUE(s.get() && s.units() == expected && failed == expectFailed) << expected.size();
    };
    const int hi[] = {0x48, 0x1F600, 0x10FFFF, 0, 0x41}, empty[] = {0, 0x41};
    check(hi, u"H\xD83D\xDE00\xDBFF\xDFFF", false);
    check(empty, u"", false);
    check(nullptr, u"", true);
    for (int bad : {0xD800, 0xDFFF, 0x110000, -1}) {
        const int text[] = {0x41, bad, 0x42, 0};
        check(text, u"", true);
    }
    // A long text: the UTF-16 buffer is sized by the preflight, pairs included.
    std::vector<int> text;
    std::u16string expected;
    for (int i = 0; i < 5000; ++i) {
        const int cp = i % 3 ? 0x41 + i % 26 : 0x10000 + i;
        const icu::UnicodeString one(static_cast<UChar32>(cp));
        text.push_back(cp);
        expected.append(one.getBuffer(), static_cast<size_t>(one.length()));
    }
    text.push_back(0);
    check(text.data(), expected, false);
}

TEST(StringCopy, CopiesEveryUnitIndependentlyAndDestroyNullsOnce) {
    Str source(u"ab\0c\0"s);
    void* copy = F::makeCopy(source);
    ASSERT_NE(copy, nullptr);
    source.icu().append(u'x');
    EXPECT_EQ(qtest::units(copy), u"ab\0c\0"s);
    EXPECT_EQ(F::makeCopy(nullptr), nullptr);
    F::destroy(copy);
    EXPECT_EQ(copy, nullptr);
    F::destroy(copy);
    EXPECT_EQ(copy, nullptr);
}
