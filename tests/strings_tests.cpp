// String handles: the make overloads, the terminator rules, access, search, comparison, case
// mapping, editing and the export to encodings. Null handles are rows of the tables (kNull).
#include "support.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <optional>
#include <tuple>
#include <vector>

using namespace qtest;
using US = unsigned short;

namespace {

// An unknown codepage gives a bogus string: a string without a buffer.
void* bogus() { return SF::make("x", "no-such-codepage"); }

constexpr int kMark = 0x55;

// An export of `text` plus a zero (UTF-16: `zero` false, its size counts every unit): capacities below
// 1 fail writing nothing, a buffer one short and a null buffer fail, a buffer that fits or is larger
// receives the units and the zero, and nothing more. No text: size 0 and every export fails.
template <class Unit, class Get, class Text>
void expectExport(int size, Get get, const std::optional<Text>& text, bool zero = true) {
    const auto run = [&](int capacity) {  // into `capacity` units plus two spare, all kMark beforehand
        std::vector<Unit> buffer(static_cast<size_t>(capacity > 0 ? capacity : 0) + 2, Unit(kMark));
        const bool ok = get(buffer.data(), capacity);
        return std::pair(ok, buffer);
    };
    for (int c : {0, -1, INT_MIN}) EXPECT_EQ(run(c), std::pair(false, std::vector(2, Unit(kMark)))) << c;
    EXPECT_TRUE(text || (size == 0 && !run(3).first));
    if (!text) return;
    std::vector<Unit> expected(text->begin(), text->end());
    if (zero) expected.push_back(Unit(0));
    const int fit = static_cast<int>(expected.size());
    ASSERT_EQ(size + zero, fit);
    EXPECT_FALSE(run(fit - 1).first || get(nullptr, fit) || !run(fit).first);
    expected.resize(static_cast<size_t>(fit) + 4, Unit(kMark));
    EXPECT_EQ(run(fit + 2), std::pair(true, expected));
}

// The wide form of the text before the first U+0000: its code points where wchar_t has 32 bits
// (none when it cannot be converted), its UTF-16 units as they are where wchar_t has 16.
std::optional<std::wstring> wide(const std::u16string& text, const std::optional<std::vector<int>>& cps) {
    if (sizeof(wchar_t) == 2) return std::wstring(text.begin(), std::find(text.begin(), text.end(), u'\0'));
    return cps ? std::optional(std::wstring(cps->begin(), cps->end())) : std::nullopt;
}

}  // namespace

// Every overload gives exactly the expected units and never a terminator of its own. A unit is
// widened without sign; invariant text of a given length reads past a NUL, a negative one stops at
// it; UTF-32 with a value that is no scalar value, or a null text, fails with an empty string.
TEST(StringMake, EachOverloadGivesExactlyItsUnits) {
    const US utf16[] = {0x48, 0xD83D, 0xDE00, 0x69, 0, 0x70, 0};
    const int cps[] = {0x48, 0x1F600, 0x10FFFF, 0, 0x41}, bad1[] = {0x41, 0xD800, 0}, bad2[] = {0x41, 0x110000, 0},
              none[] = {0, 0x41};
    bool failed[] = {true, true, false, true, false};
    const std::pair<void*, std::u16string> rows[] = {
        {SF::make(), u""}, {SF::make(US{0}), u"\0"s}, {SF::make(US{0xFFFF}), u"\xFFFF"}, {SF::make(0xDC00), u"\xDC00"},
        {SF::make(0x1F600), u"\xD83D\xDE00"}, {SF::make(-1), u""}, {SF::make(0x110000), u""}, {bogus(), u""},
        {SF::make(utf16), u"H\xD83D\xDE00i"}, {SF::make("\x82\xA0", "Shift_JIS"), u"\u3042"}, {SF::make((US*)0), u""},
        {SF::make("ab\0cd", "UTF-8"), u"ab"}, {SF::make((char*)nullptr, "UTF-8"), u""}, {SF::makeCopy(nullptr), kNull},
        {SF::makeInvariant("a\0b", 3), u"a\0b"s}, {SF::makeInvariant("a\0b", -1), u"a"},
        {SF::make((int*)nullptr, failed[0]), u""}, {SF::make(bad1, failed[1]), u""}, {SF::make(bad2, failed[3]), u""},
        {SF::make(cps, failed[2]), u"H\xD83D\xDE00\xDBFF\xDFFF"}, {SF::make(none, failed[4]), u""},
        {SF::makeCopy(Str(u"ab\0c\0"s)), u"ab\0c\0"s}, {SF::makeInvariant(nullptr, -1), u""},
    };
    for (size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(adopt(rows[i].first), rows[i].second) << "row " << i;
    EXPECT_TRUE(failed[0] && failed[1] && !failed[2] && failed[3] && !failed[4]);
}

// A null codepage is ICU's default converter, "" the invariant conversion and a name that
// codepage: the same bytes read three different ways. The default is made Greek where this ICU
// build lets it change (a build fixed to UTF-8 ignores ucnv_setDefaultName).
TEST(StringMake, NullEmptyAndNamedCodepagesDiffer) {
    const std::string saved = ucnv_getDefaultName();
    ucnv_setDefaultName("ISO-8859-7");
    const char* bytes = "\xE2\x82\xAC";
    const std::u16string byDefault = adopt(SF::make(bytes, nullptr)), invariant = adopt(SF::make(bytes, ""));
    const std::string defaultName = ucnv_getDefaultName(), reported = SS::getDefaultCodepage();
    ucnv_setDefaultName(saved.c_str());
    EXPECT_EQ(std::tuple(byDefault, adopt(SF::make(bytes, "windows-1252")), invariant, reported),
              std::tuple(text(icu::UnicodeString(bytes, defaultName.c_str())), u"\u00E2\u201A\u00AC"s,
                         text(icu::UnicodeString(bytes, -1, US_INV)), defaultName));
    EXPECT_TRUE(invariant != byDefault && invariant != u"\u00E2\u201A\u00AC" && byDefault != u"\u00E2\u201A\u00AC");
}

// length counts every unit but one (0 for null); charAt and hashCode see every unit, the terminator included.
TEST(StringTerminator, TerminateAddsOneZeroStripRemovesAllAndAccessSeesTheTerminator) {
    const std::tuple<std::u16string, std::u16string, std::u16string> rows[] = {  // terminated, stripped
        {u"", u"\0"s, u""}, {u"ab", u"ab\0"s, u"ab"}, {u"ab\0"s, u"ab\0"s, u"ab"}, {u"ab\0\0"s, u"ab\0\0"s, u"ab"},
        {u"a\0b"s, u"a\0b\0"s, u"a\0b"s}, {u"\0"s, u"\0"s, u""}, {kNull, kNull, kNull},
    };
    for (const auto& [in, terminated, stripped] : rows) {
        Str t(in), s(in);
        EXPECT_EQ(SS::length(t), in == kNull ? 0 : static_cast<int>(in.size()) - 1);
        SS::nullTerminateString(t);
        SS::removeNullTerminator(s);
        EXPECT_EQ(std::pair(t.units(), s.units()), std::pair(terminated, stripped));
    }
    Str s(u"ab\0"s);
    for (const auto& [at, unit] : {std::pair{2, 0}, {3, 0xFFFF}, {INT_MIN, 0xFFFF}}) EXPECT_EQ(SS::charAt(s, at), unit);
    EXPECT_TRUE(SS::charAt(nullptr, 0) == 0xFFFF && SS::hashCode(nullptr) == 0 && SS::hashCode(s) == s.icu().hashCode());
}

// The searched string is taken whole (its terminator can be found); the needle is searched
// without its trailing zeros and comes out with exactly one (a null haystack leaves it alone).
TEST(StringSearch, NeedleTextInTheWholeStringNeedleTerminatedAfterwards) {
    const std::u16string hay = u"ab\0c\uFFFDab\0"s;
    const std::tuple<std::u16string, std::u16string, int, int, int> rows[] = {
        {hay, u"ab", 0, 0, 5}, {hay, u"ab", 1, 5, 5}, {hay, u"ab", INT_MAX, -1, -1}, {hay, u"c\0\0"s, 0, 3, 3},
        {hay, u"b\0c\0"s, 0, 1, 1}, {hay, u"\0\0"s, 0, -1, -1}, {kNull, u"ab\0\0"s, 0, -1, -1}, {hay, kNull, 0, -1, -1},
    };
    for (const auto& [str, needle, start, first, last] : rows) {
        Str s(str), forward(needle), backward(needle);
        const size_t end = needle.find_last_not_of(u'\0') + 1;  // (0 for zeros only)
        const std::u16string after = str == kNull || needle == kNull ? needle : needle.substr(0, end) + u'\0';
        EXPECT_EQ(std::pair(SS::indexOf(s, forward, start), SS::lastIndexOf(s, backward, start)), std::pair(first, last));
        EXPECT_TRUE(forward.units() == after && backward.units() == after && s.units() == str) << start;
    }
    // A unit is widened without sign: 0 finds the terminator, 0xFFFD is no negative value.
    const std::tuple<std::u16string, US, int, int, int> units[] = {
        {hay, 0, 0, 2, 7}, {hay, 0, 3, 7, 7}, {hay, 0xFFFD, 0, 4, 4}, {hay, 'c', 3, 3, 3}, {kNull, 0, 0, -1, -1}};
    for (const auto& [str, unit, start, first, last] : units) {
        Str s(str);
        EXPECT_EQ(std::pair(SS::indexOf(s, unit, start), SS::lastIndexOf(s, unit, start)), std::pair(first, last));
    }
}

// Whole contents, terminators included, in code point order (not unit order); neither input changes;
// a null handle leaves `result` alone. Default folding keeps dotless i apart.
TEST(StringCompare, CodePointOrderWithAndWithoutCaseFolding) {
    const std::tuple<std::u16string, std::u16string, int, int> rows[] = {
        {u"a\0"s, u"a", 1, 1}, {u"ABC\0"s, u"abc\0"s, -1, 0}, {u"ABC\0"s, u"abc", -1, 1}, {u"I", u"\u0131", -1, -1},
        {u"Stra\u00DFe", u"STRASSE", 1, 0}, {u"\U0001F600", u"\uFFFF", 1, 1}, {kNull, u"a", 7, 7}, {u"a", kNull, 7, 7},
    };
    for (const auto& [first, second, order, folded] : rows) {
        Str a(first), b(second);
        int result[2] = {7, 7};
        const bool ok = first != kNull && second != kNull;
        EXPECT_TRUE(SS::compareCodePointOrder(a, b, result[0]) == ok && SS::compareIgnoringCase(a, b, result[1]) == ok);
        EXPECT_TRUE(result[0] == order && result[1] == folded && a.units() == first && b.units() == second);
    }
}

// In place, with the default locale (Turkish: dotted capital I, dotless small i), terminators kept.
TEST(StringCaseMapping, InPlaceWithTheDefaultLocaleKeepingTheTerminators) {
    ScopedDefaultLocale turkish("tr");
    Str upper(u"istanbul\0\0"s), lower(u"I\u0130\u00DF");  // lower case, not case folding: sharp s stays
    EXPECT_TRUE(SS::convertToUpper(upper) && SS::convertToLower(lower) && !SS::convertToLower(nullptr) &&
                !SS::convertToUpper(nullptr));
    EXPECT_TRUE(upper.units() == u"\u0130STANBUL\0\0"s && lower.units() == u"\u0131i\u00DF");
}

// append and concatenate join the texts and leave every input and result with one terminator.
TEST(StringEditing, AppendAndConcatenateJoinTextsAndTerminateEveryString) {
    const std::u16string rows[][5] = {  // first, second, joined, first and second afterwards
        {u"ab", u"cd", u"abcd\0"s, u"ab\0"s, u"cd\0"s},    {u"ab\0\0"s, u"cd\0"s, u"abcd\0"s, u"ab\0"s, u"cd\0"s},
        {u"x\0y"s, u"", u"x\0y\0"s, u"x\0y\0"s, u"\0"s},    {u"\0\0"s, u"", u"\0"s, u"\0"s, u"\0"s},
        {kNull, u"cd", kNull, kNull, u"cd"},                {u"ab", kNull, u"ab", u"ab", kNull},
    };
    for (const auto& [first, second, joined, firstAfter, secondAfter] : rows) {
        const bool ok = first != kNull && second != kNull;
        Str target(first), source(second), a(first), b(second);
        void* result = nullptr;
        EXPECT_TRUE(SS::append(target, source) == ok && target.units() == joined && source.units() == secondAfter);
        EXPECT_TRUE(SS::concatenate(a, b, result) == ok && adopt(result) == (ok ? joined : kNull));
        EXPECT_TRUE(a.units() == firstAfter && b.units() == secondAfter);
    }
    // A bogus string joins as ICU leaves it (no text): the calls succeed as for any other string.
    Str bad(bogus()), bad2(bogus()), x(u"x");
    void* joined = nullptr;
    EXPECT_TRUE(SS::append(bad, x) && SS::concatenate(bad2, x, joined) && joined);
    adopt(joined);
}

// Every unit is replaced, terminators included; replacing 0 terminates again, replacing by 0
// cuts after the first zero even without a match.
TEST(StringEditing, ReplaceEveryUnit) {
    const std::tuple<std::u16string, US, US, std::u16string> rows[] = {
        {u"banana\0"s, 'a', 'b', u"bbnbnb\0"s}, {u"ab\0"s, 0, 'x', u"abx\0"s}, {u"abcb\0"s, 'b', 0, u"a\0"s},
        {u"ab\0\0"s, 'z', 0, u"ab\0"s}, {u"ab", 'z', 0, u"ab"}, {u"ab", 0, 0, u"ab\0"s}, {kNull, 0, 1, kNull},
        {u"\xD800" u"a\xD800\0"s, 0xD800, '-', u"-a-\0"s},
    };
    for (const auto& [in, from, to, out] : rows) {
        Str s(in);
        EXPECT_TRUE(SS::replace(s, from, to) == (in != kNull) && s.units() == out) << from << "->" << to;
    }
}

// The range is clipped to the whole content without overflow; the source is not changed.
TEST(StringEditing, SubstringClipsAndTerminatesItsResult) {
    const std::tuple<std::u16string, int, int, std::u16string> rows[] = {
        {u"abcd\0"s, 1, 2, u"bc\0"s}, {u"abcd\0"s, -5, 2, u"ab\0"s}, {u"abcd\0"s, 2, 100, u"cd\0"s},
        {u"abcd\0"s, 0, -1, u"\0"s}, {u"abcd\0"s, 3, INT_MAX, u"d\0"s}, {u"abcd\0"s, INT_MAX, INT_MAX, u"\0"s},
        {u"abcd\0"s, INT_MIN, INT_MAX, u"abcd\0"s}, {u"ab\0\0"s, 1, 3, u"b\0\0"s}, {kNull, 0, 1, kNull},
    };
    for (const auto& [in, start, length, out] : rows) {
        Str s(in);
        void* part = nullptr;
        EXPECT_TRUE(SS::substring(s, part, start, length) == (in != kNull) && s.units() == in);
        EXPECT_EQ(adopt(part), out) << start << ", " << length;
    }
}

// --- Export -----------------------------------------------------------------------------------

// UTF-16: every unit, terminator included. The others: the text before the first U+0000, of strings
// that end in one and of strings that do not (a string aliasing the first `length` units of its memory
// shows a read past its units). Unpaired surrogates cannot be converted, except that where wchar_t has
// 16 bits ICU's wide conversion copies them as they are; null handles and bogus strings give nothing.
TEST(Export, EveryUnitOrTheTextBeforeTheFirstZeroSizesAndRefusals) {
    const std::tuple<std::u16string, int, std::optional<std::string>, std::optional<std::vector<int>>> rows[] = {
        {u"a\u00E9\u20AC\U0001F600\0"s, 6, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", {{'a', 0xE9, 0x20AC, 0x1F600}}},
        {u"a\0b\0"s, 4, "a", {{'a'}}}, {u"xy\0\0"s, 4, "xy", {{'x', 'y'}}}, {u"\0"s, 1, "", std::vector<int>()},
        {u"X", 0, "", std::vector<int>()}, {u"abcXY", 3, "abc", {{'a', 'b', 'c'}}}, {u"a\0bX"s, 3, "a", {{'a'}}},
        {u"a\xD800\0"s, 3, {}, {}}, {u"\xDE00\xD83D\0"s, 3, {}, {}}, {kNull, 0, {}, {}}, {u"-bogus-"s, 0, {}, {}},
    };
    for (const auto& [memory, length, utf8, cps] : rows) {
        const bool none = memory == kNull || memory == u"-bogus-";
        const std::u16string text = memory.substr(0, size_t(length));
        Str s(memory == u"-bogus-" ? bogus()
                                   : memory == kNull ? nullptr : new icu::UnicodeString(false, memory.data(), length));
        if (length > 0 || memory == kNull)  // (an empty string fits into no units at all)
            expectExport<US>(SS::getAsUTF16size(s), [&](US* b, int c) { return SS::getAsUTF16(s, b, c); },
                             memory == kNull ? std::nullopt : std::optional(text), false);
        expectExport<char>(SS::getAsUTF8size(s), [&](char* b, int c) { return SS::getAsUTF8(s, b, c); }, utf8);
        expectExport<int>(SS::getAsUTF32size(s), [&](int* b, int c) { return SS::getAsUTF32(s, b, c); }, cps);
        expectExport<wchar_t>(SS::getAsWCSsize(s), [&](wchar_t* b, int c) { return SS::getAsWCS(s, b, c); },
                     none ? std::nullopt : wide(text, cps));
    }
}

// Codepage bytes of the text before the first U+0000 (the converter's substitution bytes for
// characters the codepage lacks). With a substitute (`by`) not 0 every output byte equal to a
// substitution byte below 0x80 becomes `by`: bytes from 0x80 up never match, whether char is
// signed or not. "UTF-16" and "UTF-32" write a byte order mark and the host's byte order, the
// others their own order; UTF-32's substitution bytes hold two zeros, so `by` takes every zero.
TEST(CodepageExport, BytesSizesAndTheSubstitutionPass) {
    struct Row { const char* name; std::string subst; std::u16string text; char by; std::optional<std::string> out; };
    const bool be = U_IS_BIG_ENDIAN;
    const Row rows[] = {
        {"ISO-8859-1", "\x7F", u"a\u4E00\u007F", '?', "a??"},
        {"ISO-8859-1", "\x80", u"a\u4E00\u0080", '?', "a\x80\x80"},
        {"UTF-16", "", u"a\u4E00", '?', be ? "\xFE\xFF\0a\x4E\0"s : "\xFF\xFE" "a\0\0\x4E"s},
        {"UTF-16BE", "", u"a\xD800", '?', "\0a\xFF\xFD"s}, {"UTF-16LE", "", u"a\xD800", '?', "a\0\xFD\xFF"s},
        {"UTF-32", "", u"a\xD800", '?', be ? "??\xFE\xFF???a??\xFF\xFD" : "\xFF\xFE??a???\xFD\xFF??"},
        {"UTF-32", "", u"a", 0, be ? "\0\0\xFE\xFF\0\0\0a"s : "\xFF\xFE\0\0" "a\0\0\0"s},
        {"UTF-32BE", "", u"a", 0, "\0\0\0a"s}, {"UTF-32LE", "", u"a\xD800", '?', "a???\xFD\xFF??"},
        {"ISO-8859-1", "", u"a\u4E00\u001A?b", 0, "a\x1A\x1A?b"}, {"ISO-8859-1", "", u"a\u4E00\u001A?b", '?', "a???b"},
        {"ibm-037", "", u"a\u4E00\u001A?b", '\x6F', "\x81\x6F\x6F\x6F\x82"},  // 0x3F: U+001A and subst.; '?' 0x6F
        {"windows-1252", "?", u"a\u4E00\u001A?b", '_', "a_\x1A_b"},  // takes the text's '?' along
        {"ISO-8859-1", "\xBF", u"a\u4E00\u00BF", '?', "a\xBF\xBF"},
        {"Shift_JIS", "\x81\x48", u"H\u0100h", '_', "_\x81_h"}, {"ISO-8859-1", "\0"s, u"a\u4E00", 'x', "ax"},
        {"ISO-8859-1", "", kNull, '?', {}},
    };
    for (const auto& r : rows) {
        void* conv = nullptr;
        ASSERT_TRUE(CV::open(r.name, conv));
        UErrorCode status = U_ZERO_ERROR;  // no substitution bytes given: ICU refuses, the converter's stay
        ucnv_setSubstChars(qkit::converter(conv), r.subst.data(), int8_t(r.subst.size()), &status);
        Str s(r.text == kNull ? kNull : r.text + u"\0tail\0"s), b(bogus());
        const auto get = [&](char* b, int c) { return SS::getAsMBCS(s, conv, b, c, r.by); };
        expectExport<char>(SS::getAsMBCSsize(s, conv), get, r.out);
        char byte = kMark;  // without a converter, or of a bogus string: nothing
        EXPECT_FALSE(SS::getAsMBCSsize(s, nullptr) || SS::getAsMBCS(s, nullptr, &byte, 1, '?') ||
                     SS::getAsMBCSsize(b, conv) || SS::getAsMBCS(b, conv, &byte, 1, '?') || byte != kMark);
        CV::close(conv);
    }
}

// --- At the 2 GiB edge --------------------------------------------------------------------------

// One string of 2^30 units U+0800 and a terminator (2 GiB), built once: its UTF-8 (and the UTF-8
// codepage) export is 3 * 2^30 bytes, past INT32_MAX, and doubling it passes INT32_MAX units.
// Sizes give 0, exports fail within their buffer, joins fail and leave every string as it was.
// (UTF-32 and wide exports count at most the string's units and cannot pass INT32_MAX.)
TEST(LargeStrings, ExportsPastIntMaxFailAndJoinsPastIntMaxFailLeavingTheirStrings) {
    constexpr int32_t kUnits = 1 << 30;
    Str s(new icu::UnicodeString(kUnits + 1, UChar32(0x800), kUnits));
    if (s.icu().isBogus() || !s.icu().append(char16_t(0)).length()) GTEST_SKIP() << "no memory for 2^30 units (2 GiB)";
    void *conv = nullptr, *joined = &joined;
    ASSERT_TRUE(CV::open("UTF-8", conv));
    char bytes[17] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kMark};
    EXPECT_TRUE(SS::getAsUTF8size(s) == 0 && !SS::getAsUTF8(s, bytes, 16) && SS::getAsMBCSsize(s, conv) == 0 &&
                !SS::getAsMBCS(s, conv, bytes, 16, '?') && bytes[16] == kMark);
    EXPECT_FALSE(SS::append(s, s) || SS::concatenate(s, s, joined));
    EXPECT_TRUE(joined == &joined && s.icu().length() == kUnits + 1 && s.icu().charAt(kUnits) == 0);
    CV::close(conv);
}
