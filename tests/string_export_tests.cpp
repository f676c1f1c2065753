// Export of string handles to UTF-16, UTF-8, UTF-32, wide characters and codepages: the size
// conventions, where the exported text ends, exact-size buffers, refusals and the substitution
// pass.
#include "support.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <algorithm>
#include <tuple>

using F = QOVAUnicodeStringFactory;
using S = QOVAUnicodeStringServices;
using C = QOVAUnicodeCodepageConverter;
using qtest::Str;
using namespace std::literals;
static_assert(sizeof(wchar_t) == 4, "wide expectations below count UTF-32 units");

namespace {

constexpr int kMark = 0x55;

// One export call into `capacity` units followed by two spare ones, all pre-filled with kMark
// so that writes past the text show.
template <class Unit, class Get>
std::pair<bool, std::vector<Unit>> run(Get get, int capacity) {
    std::vector<Unit> buffer(static_cast<size_t>(std::max(capacity, 0)) + 2, Unit(kMark));
    const bool ok = get(buffer.data(), capacity);
    return {ok, buffer};
}

// The size leaves the zero out: a buffer of exactly the size fails, size + 1 receives the text,
// a zero and nothing more.
template <class Unit, class Get>
void expectSizeConvention(int size, Get get, std::vector<Unit> expected) {
    ASSERT_EQ(size, static_cast<int>(expected.size()));
    EXPECT_FALSE(run<Unit>(get, size).first);
    const auto [ok, buffer] = run<Unit>(get, size + 1);
    EXPECT_TRUE(ok);
    expected.push_back(Unit(0));
    expected.resize(expected.size() + 2, Unit(kMark));
    EXPECT_EQ(buffer, expected);
}

// UTF-8, UTF-32 and wide export of one string; wide units are UTF-32 here.
void expectText(void* s, const std::string& utf8, const std::vector<int>& cps) {
    expectSizeConvention(S::getAsUTF8size(s), [&](char* b, int c) { return S::getAsUTF8(s, b, c); },
                         std::vector<char>(utf8.begin(), utf8.end()));
    expectSizeConvention(S::getAsUTF32size(s), [&](int* b, int c) { return S::getAsUTF32(s, b, c); }, cps);
    expectSizeConvention(S::getAsWCSsize(s), [&](wchar_t* b, int c) { return S::getAsWCS(s, b, c); },
                         std::vector<wchar_t>(cps.begin(), cps.end()));
}

// A string that aliases the first `length` of `memory` (no copy), so that a read past its units
// would read the units that follow.
void* aliasOf(const std::u16string& memory, int length) {
    return new icu::UnicodeString(false, memory.data(), length);
}

// The refusals of one of the UTF-8, UTF-32 and wide exports.
template <class Unit>
void expectRefusals(int (*size)(void*), bool (*get)(void*, Unit*, int)) {
    Str s(u"ab\0"s), zero(u"\0"s), bogus(F::make("x", "no-such-codepage"));
    Unit buffer[4] = {Unit(kMark), Unit(kMark), Unit(kMark), Unit(kMark)};
    EXPECT_EQ(size(nullptr), 0);
    EXPECT_EQ(size(bogus), 0);
    EXPECT_FALSE(get(nullptr, buffer, 4));
    EXPECT_FALSE(get(s, nullptr, 4));
    EXPECT_FALSE(get(bogus, buffer, 4));
    for (int capacity : {-1, INT_MIN}) EXPECT_FALSE(get(s, buffer, capacity));
    EXPECT_FALSE(get(zero, buffer, 0));  // not even the zero fits
    EXPECT_EQ(std::count(buffer, buffer + 4, Unit(kMark)), 4);
    // Unpaired surrogates cannot be converted (the buffer may hold a partial result).
    for (const std::u16string& t : {u"a\xD800\0"s, u"\xDC00\0"s, u"\xDE00\xD83D\0"s}) {
        Str bad(t);
        EXPECT_EQ(size(bad), 0);
        EXPECT_FALSE(get(bad, buffer, 4));
    }
}

// An open converter, closed at the end of the test.
struct Conv {
    void* handle = nullptr;
    explicit Conv(const char* name) { C::open(name, handle); }
    ~Conv() { C::close(handle); }
    UConverter* icu() const { return static_cast<UConverter*>(handle); }
};

// getAsMBCS with the size convention checked; the bytes before the zero, or a failure marker.
std::string mbcs(void* str, void* converter, char substitute) {
    const int size = S::getAsMBCSsize(str, converter);
    const auto get = [&](char* b, int c) { return S::getAsMBCS(str, converter, b, c, substitute); };
    if (run<char>(get, size).first) return "<fits without the zero>";
    const auto [ok, buffer] = run<char>(get, size + 1);
    if (!ok) return "<failed>";
    if (buffer[size] != '\0' || buffer[size + 1] != kMark) return "<bad end>";
    return std::string(buffer.data(), static_cast<size_t>(size));
}

}  // namespace

// Every unit, terminator included, into a buffer of exactly the size; nothing written after.
TEST(Utf16Export, CopiesEveryUnitIntoExactlyTheSize) {
    for (const std::u16string& t : {u"abc\0"s, u"abc"s, u"a\0\U0001F600\0"s, u""s}) {
        Str s(t);
        const auto get = [&](unsigned short* b, int c) { return S::getAsUTF16(s, b, c); };
        const int size = S::getAsUTF16size(s);
        ASSERT_EQ(size, static_cast<int>(t.size()));
        std::vector<unsigned short> expected(t.begin(), t.end());
        expected.resize(t.size() + 2, kMark);
        EXPECT_EQ(run<unsigned short>(get, size), std::pair(true, expected));
        if (size > 0) {
            EXPECT_EQ(run<unsigned short>(get, size - 1),
                      std::pair(false, std::vector<unsigned short>(t.size() + 1, kMark)));
        }
    }
    // Refusals write nothing; a bogus string is a copy of no units here.
    Str s(u"ab"), bogus(F::make("x", "no-such-codepage"));
    unsigned short unit = kMark;
    EXPECT_EQ(S::getAsUTF16size(nullptr), 0);
    EXPECT_FALSE(S::getAsUTF16(nullptr, &unit, 4) || S::getAsUTF16(s, nullptr, 4));
    EXPECT_FALSE(S::getAsUTF16(s, &unit, INT_MIN) || S::getAsUTF16(Str(), &unit, -1));
    EXPECT_EQ(S::getAsUTF16size(bogus), 0);
    EXPECT_TRUE(S::getAsUTF16(bogus, &unit, 0));
    EXPECT_EQ(unit, kMark);
}

// The text before the first U+0000, of strings that end in one and of strings that do not.
TEST(TextExport, TextBeforeTheFirstZeroAndNothingPastTheUnits) {
    const std::tuple<std::u16string, int, std::string, std::vector<int>> rows[] = {  // memory, length
        {u"a\u00E9\u20AC\U0001F600\0"s, 6, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
         {'a', 0xE9, 0x20AC, 0x1F600}},
        {u"a\0b\0"s, 4, "a", {'a'}},           {u"xy\0\0\0"s, 5, "xy", {'x', 'y'}},
        {u"\0"s, 1, "", {}},                    {u"X", 0, "", {}},
        {u"abcXY", 3, "abc", {'a', 'b', 'c'}}, {u"a\0bX"s, 3, "a", {'a'}},
    };
    for (const auto& row : rows) {
        const auto& [memory, length, utf8, cps] = row;
        SCOPED_TRACE(&row - rows);
        expectText(Str(aliasOf(memory, length)), utf8, cps);
    }
    std::string utf8;
    for (int i = 0; i < 1 << 16; ++i) utf8 += "\xC3\xA9";
    expectText(Str(std::u16string(1 << 16, u'\u00E9') + u"\0"s), utf8, std::vector<int>(1 << 16, 0xE9));
}

TEST(TextExport, RefusalsWriteNothing) {
    expectRefusals(S::getAsUTF8size, S::getAsUTF8);
    expectRefusals(S::getAsUTF32size, S::getAsUTF32);
    expectRefusals(S::getAsWCSsize, S::getAsWCS);
}

// Codepage bytes of the text before the first U+0000 (of the converter's own substitution bytes
// for characters the codepage lacks), with the size convention. When `substitute` is not 0,
// every output byte equal to a substitution byte below 0x80 becomes `substitute`: an output byte
// is compared signed and a substitution byte unsigned, so bytes from 0x80 up never match.
TEST(CodepageExport, BytesAndTheSubstitutionPass) {
    const struct {
        const char* codepage;
        std::string subst;  // set on the converter first unless empty
        std::u16string text;
        char substitute;
        std::string out;
    } rows[] = {
        {"ISO-8859-1", "", u"caf\u00E9", 0, "caf\xE9"},
        {"windows-1252", "", u"5\u20AC", 0, "5\x80"},
        {"Shift_JIS", "", u"a\u3042", 0, "a\x82\xA0"},
        {"ibm-037", "", u"aA1", 0, "\x81\xC1\xF1"},
        {"ISO-8859-1", "", u"a\u4E00\u001A?b", 0, "a\x1A\x1A?b"},
        {"ISO-8859-1", "", u"a\u4E00\u001A?b", '?', "a???b"},
        {"ISO-8859-1", "", u"a\u4E00\u001A?b", '\xA4', "a\xA4\xA4?b"},
        // EBCDIC: the substitution byte 0x3F is also U+001A's byte; '?' is 0x6F.
        {"ibm-037", "", u"a\u4E00\u001A?b", 0, "\x81\x3F\x3F\x6F\x82"},
        {"ibm-037", "", u"a\u4E00\u001A?b", '\x6F', "\x81\x6F\x6F\x6F\x82"},
        // A substitution byte 0x3F takes every question mark of the text along.
        {"windows-1252", "?", u"a\u4E00\u001A?b", '_', "a_\x1A_b"},
        // Substitution bytes from 0x80 up (Shift_JIS's 0xFC, 0xBF) are never overwritten.
        {"Shift_JIS", "", u"H\u0100\u3042", '?', "H\xFC\xFC\x82\xA0"},
        {"ISO-8859-1", "\xBF", u"a\u4E00\u00BF", '?', "a\xBF\xBF"},
        // Each byte against each substitution byte: of 0x81 0x48 only 0x48 matches, H included.
        {"Shift_JIS", "\x81\x48", u"H\u0100h", '_', "_\x81_h"},
        // A substitution byte 0x00 is overwritten inside the text; the zero after it stays.
        {"ISO-8859-1", "\0"s, u"a\u4E00", 'x', "ax"},
    };
    for (const auto& r : rows) {
        Conv conv(r.codepage);
        ASSERT_NE(conv.handle, nullptr) << r.codepage;
        UErrorCode status = U_ZERO_ERROR;
        if (!r.subst.empty()) ucnv_setSubstChars(conv.icu(), r.subst.data(), int8_t(r.subst.size()), &status);
        ASSERT_EQ(status, U_ZERO_ERROR);
        EXPECT_EQ(mbcs(Str(r.text + u"\0tail\0"s), conv.handle, r.substitute), r.out) << &r - rows;
    }
    // A converter set to substitute a Unicode string reports no substitution bytes.
    Conv jis("ISO-2022-JP");
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setSubstString(jis.icu(), u"\u3013", 1, &status);
    ASSERT_EQ(status, U_ZERO_ERROR);
    Str escapes(u"a\u0100$B\0"s);
    EXPECT_EQ(mbcs(escapes, jis.handle, '_'), mbcs(escapes, jis.handle, 0));
    EXPECT_EQ(S::getDefaultCodepage(), std::string(ucnv_getDefaultName()));
}

TEST(CodepageExport, RefusalsWriteNothingAndUnterminatedTextEndsWithItsUnits) {
    Conv latin("ISO-8859-1");
    Str s(u"ab\0"s), bogus(F::make("x", "no-such-codepage"));
    char b[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(S::getAsMBCSsize(nullptr, latin.handle) + S::getAsMBCSsize(s, nullptr), 0);
    EXPECT_EQ(S::getAsMBCSsize(bogus, latin.handle), 0);
    EXPECT_FALSE(S::getAsMBCS(nullptr, latin.handle, b, 4, '?') || S::getAsMBCS(s, nullptr, b, 4, '?'));
    EXPECT_FALSE(S::getAsMBCS(s, latin.handle, nullptr, 4, '?') ||
                 S::getAsMBCS(bogus, latin.handle, b, 4, '?'));
    EXPECT_FALSE(S::getAsMBCS(s, latin.handle, b, 0, '?') || S::getAsMBCS(s, latin.handle, b, -1, '?'));
    EXPECT_EQ(std::string(b, 4), "xxxx");
    EXPECT_EQ(s.units(), u"ab\0"s);
    const std::u16string memory(u"abX");
    EXPECT_EQ(mbcs(Str(aliasOf(memory, 2)), latin.handle, 0), "ab");
}
