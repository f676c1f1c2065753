// Export of string handles to UTF-16, UTF-8, UTF-32, wide characters and codepages: the size
// conventions, where the exported text ends, exact success, and the substitution pass.
#include "support.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <array>

using F = QOVAUnicodeStringFactory;
using S = QOVAUnicodeStringServices;
using C = QOVAUnicodeCodepageConverter;
using qtest::Str;

static const std::u16string Z(1, u'\0');
static_assert(sizeof(wchar_t) == 4, "wide expectations below count UTF-32 units");

namespace {

// One of the three exports that read up to the first U+0000, with its size operation.
template <class Unit>
struct Export {
    int (*size)(void*);
    bool (*get)(void*, Unit*, int);
};
const Export<char> utf8{S::getAsUTF8size, S::getAsUTF8};
const Export<int> utf32{S::getAsUTF32size, S::getAsUTF32};
const Export<wchar_t> wide{S::getAsWCSsize, S::getAsWCS};

// The outcome of one export call into a buffer of `capacity` units followed by spare units, all
// filled with a marker value beforehand, so that writes past the text show.
template <class Unit>
struct Outcome {
    bool ok;
    std::vector<Unit> buffer;
};

template <class Unit>
Outcome<Unit> run(const Export<Unit>& e, void* str, int capacity) {
    std::vector<Unit> buffer(static_cast<size_t>(capacity > 0 ? capacity : 0) + 2, Unit(0x55));
    const bool ok = e.get(str, buffer.data(), capacity);
    return {ok, buffer};
}

// Units of a literal without its closing zero.
template <class Unit, size_t N>
std::vector<Unit> text(const Unit (&literal)[N]) {
    return std::vector<Unit>(literal, literal + N - 1);
}
std::vector<int> codePoints(std::initializer_list<int> values) { return values; }

// The size leaves the zero out; a buffer of exactly the size fails, size + 1 holds the text, a
// zero and nothing more.
template <class Unit>
void expectSizeConvention(const Export<Unit>& e, void* str, const std::vector<Unit>& expected) {
    const int size = e.size(str);
    ASSERT_EQ(size, static_cast<int>(expected.size()));
    EXPECT_FALSE(run(e, str, size).ok);
    const Outcome<Unit> fits = run(e, str, size + 1);
    EXPECT_TRUE(fits.ok);
    std::vector<Unit> written(expected);
    written.push_back(Unit(0));
    written.resize(expected.size() + 3, Unit(0x55));
    EXPECT_EQ(fits.buffer, written);
}

// A string that aliases `units` exactly (read-only, no copy), so that a read past them would
// read the units that follow in the array.
void* aliasOf(const char16_t* units, int32_t length) {
    return new icu::UnicodeString(false, units, length);
}

std::string bytes(const std::vector<char>& buffer, int n) { return std::string(buffer.data(), n); }

// getAsMBCS into a buffer with room for the text and its zero byte; the bytes before the zero.
std::string mbcs(void* str, void* converter, char substitute) {
    const int size = S::getAsMBCSsize(str, converter);
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '\x55');
    if (!S::getAsMBCS(str, converter, buffer.data(), size + 1, substitute)) return "<failed>";
    if (buffer[size] != '\0') return "<no zero>";
    return bytes(buffer, size);
}

// An open converter, closed at the end of the test.
struct Conv {
    void* handle = nullptr;
    explicit Conv(const char* name) { C::open(name, handle); }
    ~Conv() { C::close(handle); }
    UConverter* icu() const { return static_cast<UConverter*>(handle); }
};

}  // namespace

// --- UTF-16: every unit, terminator included ---------------------------------------------------

TEST(Utf16Export, CopiesEveryUnitAndNothingMore) {
    Str abc(u"abc" + Z);
    EXPECT_EQ(S::getAsUTF16size(abc), 4);
    std::array<unsigned short, 6> buffer;
    buffer.fill(0x55);
    EXPECT_FALSE(S::getAsUTF16(abc, buffer.data(), 3));
    EXPECT_EQ(buffer[0], 0x55);
    EXPECT_TRUE(S::getAsUTF16(abc, buffer.data(), 5));
    EXPECT_EQ(buffer, (std::array<unsigned short, 6>{'a', 'b', 'c', 0, 0x55, 0x55}));

    Str bare(u"abc");
    buffer.fill(0x55);
    EXPECT_EQ(S::getAsUTF16size(bare), 3);
    EXPECT_TRUE(S::getAsUTF16(bare, buffer.data(), 3));
    EXPECT_EQ(buffer, (std::array<unsigned short, 6>{'a', 'b', 'c', 0x55, 0x55, 0x55}));

    Str inner(u"a" + Z + u"\U0001F600" + Z);
    buffer.fill(0x55);
    EXPECT_EQ(S::getAsUTF16size(inner), 5);
    EXPECT_TRUE(S::getAsUTF16(inner, buffer.data(), 5));
    EXPECT_EQ(buffer, (std::array<unsigned short, 6>{'a', 0, 0xD83D, 0xDE00, 0, 0x55}));
}

TEST(Utf16Export, EmptyStringAndCapacityLimits) {
    Str empty;
    unsigned short unit = 0x55;
    EXPECT_TRUE(S::getAsUTF16(empty, &unit, 0));
    EXPECT_FALSE(S::getAsUTF16(empty, &unit, -1));
    EXPECT_FALSE(S::getAsUTF16(Str(u"ab"), &unit, INT_MIN));
    EXPECT_EQ(unit, 0x55);
}

// --- UTF-8, UTF-32, wide: the text before the first U+0000 and a zero --------------------------

TEST(TextExport, SizeConventionsWithSupplementaryCharacters) {
    Str s(u"a\u00E9\u20AC\U0001F600" + Z);
    EXPECT_EQ(S::getAsUTF16size(s), 6);
    expectSizeConvention(utf8, s, text("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"));
    expectSizeConvention(utf32, s, codePoints({'a', 0xE9, 0x20AC, 0x1F600}));
    expectSizeConvention(wide, s, text(L"a\u00E9\u20AC\U0001F600"));

    Str e(u"\u00E9" + Z);
    EXPECT_EQ(S::getAsUTF8size(e), 2);
    Str emoji(u"\U0001F600" + Z);
    EXPECT_EQ(S::getAsUTF32size(emoji), 1);
    EXPECT_EQ(S::getAsUTF16size(emoji), 3);
}

TEST(TextExport, EndsAtTheFirstZero) {
    Str inner(u"a" + Z + u"b" + Z);
    expectSizeConvention(utf8, inner, text("a"));
    expectSizeConvention(utf32, inner, codePoints({'a'}));
    expectSizeConvention(wide, inner, text(L"a"));
    Str several(u"xy" + Z + Z + Z);
    expectSizeConvention(utf8, several, text("xy"));
    expectSizeConvention(wide, several, text(L"xy"));
    Str onlyZero(Z);
    expectSizeConvention(utf8, onlyZero, text(""));
}

// Strings that do not end in U+0000 export their units up to the first U+0000 inside, or all of
// them, and nothing that follows them in memory.
TEST(TextExport, UnterminatedStringsNeverReadPastTheirUnits) {
    static const char16_t abcX[] = {'a', 'b', 'c', 'X', 'Y', 0};
    Str abc(aliasOf(abcX, 3));
    expectSizeConvention(utf8, abc, text("abc"));
    expectSizeConvention(utf32, abc, codePoints({'a', 'b', 'c'}));
    expectSizeConvention(wide, abc, text(L"abc"));

    static const char16_t aZeroB[] = {'a', 0, 'b', 'X', 0};
    Str inner(aliasOf(aZeroB, 3));
    expectSizeConvention(utf8, inner, text("a"));

    Str empty;
    expectSizeConvention(utf8, empty, text(""));
    expectSizeConvention(utf32, empty, codePoints({}));
}

TEST(TextExport, UnpairedSurrogatesFailAndSizeZero) {
    const std::u16string texts[] = {u"a\xD800" + Z, u"\xDC00" + Z, u"\xDE00\xD83D" + Z};
    for (const std::u16string& t : texts) {
        Str s(t);
        EXPECT_EQ(S::getAsUTF8size(s), 0);
        EXPECT_EQ(S::getAsUTF32size(s), 0);
        EXPECT_EQ(S::getAsWCSsize(s), 0);
        EXPECT_FALSE(run(utf8, s, 16).ok);
        EXPECT_FALSE(run(utf32, s, 16).ok);
        EXPECT_FALSE(run(wide, s, 16).ok);
    }
}

TEST(TextExport, NegativeOrZeroCapacityFails) {
    Str s(u"ab" + Z), empty(Z);
    char byte = 0x55;
    EXPECT_FALSE(S::getAsUTF8(s, &byte, -1));
    EXPECT_FALSE(S::getAsUTF8(s, &byte, INT_MIN));
    EXPECT_EQ(byte, 0x55);
    EXPECT_FALSE(S::getAsUTF8(empty, &byte, 0));  // not even the zero fits
    int cp = 0x55;
    EXPECT_FALSE(S::getAsUTF32(s, &cp, -1));
    wchar_t wc = 0x55;
    EXPECT_FALSE(S::getAsWCS(s, &wc, -1));
    EXPECT_EQ(cp, 0x55);
    EXPECT_EQ(wc, 0x55);
}

TEST(TextExport, LongTextInOneCall) {
    std::u16string text(1 << 20, u'a');
    for (size_t i = 0; i < text.size(); i += 64) text[i] = u'\u00E9';
    Str s(text + Z);
    const int size = S::getAsUTF8size(s);
    EXPECT_EQ(size, (1 << 20) + (1 << 20) / 64);
    std::vector<char> buffer(static_cast<size_t>(size) + 1);
    ASSERT_TRUE(S::getAsUTF8(s, buffer.data(), size + 1));
    std::string direct;
    s.icu().toUTF8String(direct);
    direct.pop_back();  // the terminator
    EXPECT_EQ(bytes(buffer, size), direct);
}

// --- Failure results ---------------------------------------------------------------------------

TEST(ExportFailures, NullHandlesAndBuffersWriteNothing) {
    Str s(u"ab" + Z);
    Conv latin("ISO-8859-1");
    std::array<char, 4> b{'x', 'x', 'x', 'x'};
    unsigned short u = 0x55;
    int cp = 0x55;
    wchar_t wc = 0x55;
    EXPECT_EQ(S::getAsUTF16size(nullptr), 0);
    EXPECT_EQ(S::getAsUTF8size(nullptr), 0);
    EXPECT_EQ(S::getAsUTF32size(nullptr), 0);
    EXPECT_EQ(S::getAsWCSsize(nullptr), 0);
    EXPECT_EQ(S::getAsMBCSsize(nullptr, latin.handle), 0);
    EXPECT_EQ(S::getAsMBCSsize(s, nullptr), 0);
    EXPECT_FALSE(S::getAsUTF16(nullptr, &u, 4));
    EXPECT_FALSE(S::getAsUTF16(s, nullptr, 4));
    EXPECT_FALSE(S::getAsUTF8(nullptr, b.data(), 4));
    EXPECT_FALSE(S::getAsUTF8(s, nullptr, 4));
    EXPECT_FALSE(S::getAsUTF32(nullptr, &cp, 1));
    EXPECT_FALSE(S::getAsUTF32(s, nullptr, 4));
    EXPECT_FALSE(S::getAsWCS(nullptr, &wc, 1));
    EXPECT_FALSE(S::getAsWCS(s, nullptr, 4));
    EXPECT_FALSE(S::getAsMBCS(nullptr, latin.handle, b.data(), 4, '?'));
    EXPECT_FALSE(S::getAsMBCS(s, nullptr, b.data(), 4, '?'));
    EXPECT_FALSE(S::getAsMBCS(s, latin.handle, nullptr, 4, '?'));
    EXPECT_EQ(b, (std::array<char, 4>{'x', 'x', 'x', 'x'}));
    EXPECT_EQ(u, 0x55);
    EXPECT_EQ(cp, 0x55);
    EXPECT_EQ(wc, 0x55);
    EXPECT_EQ(s.units(), u"ab" + Z);
}

// A bogus string has no buffer to read: the exports that read it fail and their sizes are 0.
TEST(ExportFailures, BogusStringExportsNothing) {
    Str bogus(F::make("x", "no-such-codepage"));
    ASSERT_TRUE(bogus.icu().isBogus());
    Conv latin("ISO-8859-1");
    std::array<char, 4> b{'x', 'x', 'x', 'x'};
    EXPECT_EQ(S::getAsUTF8size(bogus), 0);
    EXPECT_EQ(S::getAsUTF32size(bogus), 0);
    EXPECT_EQ(S::getAsWCSsize(bogus), 0);
    EXPECT_EQ(S::getAsMBCSsize(bogus, latin.handle), 0);
    EXPECT_FALSE(S::getAsUTF8(bogus, b.data(), 4));
    EXPECT_FALSE(run(utf32, bogus, 4).ok);
    EXPECT_FALSE(run(wide, bogus, 4).ok);
    EXPECT_FALSE(S::getAsMBCS(bogus, latin.handle, b.data(), 4, '?'));
    EXPECT_EQ(b, (std::array<char, 4>{'x', 'x', 'x', 'x'}));
    EXPECT_EQ(S::getAsUTF16size(bogus), 0);
    unsigned short unit = 0x55;
    EXPECT_TRUE(S::getAsUTF16(bogus, &unit, 0));  // a copy of no units
    EXPECT_EQ(unit, 0x55);
}

// --- Codepages ---------------------------------------------------------------------------------

TEST(CodepageExport, BytesOfRealCodepagesAndTheirSizes) {
    struct Case {
        const char* codepage;
        std::u16string text;
        std::string expected;
    };
    const Case cases[] = {
        {"ISO-8859-1", u"caf\u00E9", "caf\xE9"},
        {"windows-1252", u"5\u20AC", "5\x80"},
        {"Shift_JIS", u"a\u3042", "a\x82\xA0"},
        {"ibm-037", u"aA1", "\x81\xC1\xF1"},
    };
    for (const Case& c : cases) {
        Conv conv(c.codepage);
        ASSERT_NE(conv.handle, nullptr) << c.codepage;
        Str s(c.text + Z + u"tail" + Z);
        const int size = S::getAsMBCSsize(s, conv.handle);
        EXPECT_EQ(size, static_cast<int>(c.expected.size())) << c.codepage;
        std::vector<char> buffer(c.expected.size() + 2, '\x55');
        EXPECT_FALSE(S::getAsMBCS(s, conv.handle, buffer.data(), size, 0)) << c.codepage;
        ASSERT_TRUE(S::getAsMBCS(s, conv.handle, buffer.data(), size + 1, 0)) << c.codepage;
        EXPECT_EQ(bytes(buffer, size + 2), c.expected + '\0' + '\x55') << c.codepage;
    }
}

TEST(CodepageExport, CapacityZeroOrNegativeWritesNothing) {
    Conv latin("ISO-8859-1");
    Str s(u"ab" + Z);
    char byte = 0x55;
    EXPECT_FALSE(S::getAsMBCS(s, latin.handle, &byte, 0, '?'));
    EXPECT_FALSE(S::getAsMBCS(s, latin.handle, &byte, -1, '?'));
    EXPECT_EQ(byte, 0x55);
}

TEST(CodepageExport, UnterminatedStringAndUnpairedSurrogate) {
    Conv latin("ISO-8859-1");
    static const char16_t abX[] = {'a', 'b', 'X', 0};
    Str ab(aliasOf(abX, 2));
    EXPECT_EQ(mbcs(ab, latin.handle, 0), "ab");

    // ICU's default callback substitutes a lone surrogate as it does an unmappable character.
    Str lone(u"a\xD800" + Z);
    char direct[8];
    UErrorCode status = U_ZERO_ERROR;
    const int n = ucnv_fromUChars(latin.icu(), direct, 8, u"a\xD800", -1, &status);
    EXPECT_EQ(mbcs(lone, latin.handle, 0), std::string(direct, n));
}

TEST(Substitution, BytesBelow0x80AreOverwrittenWhereverTheyCameFrom) {
    Conv latin("ISO-8859-1");
    ASSERT_EQ(S::getAsMBCSsize(Str(u"\u4E00" + Z), latin.handle), 1);
    Str s(u"a\u4E00\u001A?b" + Z);
    EXPECT_EQ(mbcs(s, latin.handle, 0), "a\x1A\x1A?b");
    EXPECT_EQ(mbcs(s, latin.handle, '?'), "a???b");
    EXPECT_EQ(mbcs(s, latin.handle, '\xA4'), "a\xA4\xA4?b");

    // EBCDIC: the substitution byte 0x3F is also U+001A's byte; '?' is 0x6F.
    Conv ebcdic("ibm-037");
    EXPECT_EQ(mbcs(s, ebcdic.handle, 0), "\x81\x3F\x3F\x6F\x82");
    EXPECT_EQ(mbcs(s, ebcdic.handle, '\x6F'), "\x81\x6F\x6F\x6F\x82");

    // A substitution byte 0x3F in an ASCII-based codepage takes every question mark along.
    Conv cp1252("windows-1252");
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setSubstChars(cp1252.icu(), "?", 1, &status);
    ASSERT_EQ(status, U_ZERO_ERROR);
    EXPECT_EQ(mbcs(s, cp1252.handle, '_'), "a_\x1A_b");
}

TEST(Substitution, BytesFrom0x80UpNeverMatch) {
    Conv sjis("Shift_JIS");
    Str s(u"H\u0100\u3042" + Z);
    EXPECT_EQ(mbcs(s, sjis.handle, 0), "H\xFC\xFC\x82\xA0");
    EXPECT_EQ(mbcs(s, sjis.handle, '?'), "H\xFC\xFC\x82\xA0");
    EXPECT_EQ(mbcs(s, sjis.handle, '\xFC'), "H\xFC\xFC\x82\xA0");

    Conv latin("ISO-8859-1");
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setSubstChars(latin.icu(), "\xBF", 1, &status);
    ASSERT_EQ(status, U_ZERO_ERROR);
    EXPECT_EQ(mbcs(Str(u"a\u4E00\u00BF" + Z), latin.handle, '?'), "a\xBF\xBF");
}

TEST(Substitution, ComparesEachByteWithEachSubstitutionByte) {
    // Two substitution bytes 0x81 0x48: only 0x48 can match, and it matches the letter H too.
    Conv sjis("Shift_JIS");
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setSubstChars(sjis.icu(), "\x81\x48", 2, &status);
    ASSERT_EQ(status, U_ZERO_ERROR);
    EXPECT_EQ(mbcs(Str(u"H\u0100h" + Z), sjis.handle, '_'), "_\x81_h");

    // A substitution byte 0x00 is overwritten inside the text; the zero after it stays.
    Conv latin("ISO-8859-1");
    status = U_ZERO_ERROR;
    ucnv_setSubstChars(latin.icu(), "\0", 1, &status);
    ASSERT_EQ(status, U_ZERO_ERROR);
    EXPECT_EQ(mbcs(Str(u"a\u4E00" + Z), latin.handle, 'x'), "ax");
}

TEST(Substitution, UnicodeSubstitutionStringReportsNoBytes) {
    Conv jis("ISO-2022-JP");
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setSubstString(jis.icu(), u"\u3013", 1, &status);
    ASSERT_EQ(status, U_ZERO_ERROR);
    Str s(u"a\u0100$B" + Z);
    const std::string plain = mbcs(s, jis.handle, 0);
    EXPECT_EQ(mbcs(s, jis.handle, '_'), plain);
    EXPECT_NE(plain.find('$'), std::string::npos);
}

TEST(DefaultCodepage, IsIcusDefaultConverterName) {
    EXPECT_EQ(S::getDefaultCodepage(), ucnv_getDefaultName());
    Conv conv(S::getDefaultCodepage());
    EXPECT_NE(conv.handle, nullptr);
}
