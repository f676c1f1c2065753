// Every exported operation with each of its handle arguments null in turn, the others valid:
// it returns its failure result, writes no output parameter (each holds a sentinel that must
// survive) and changes no string it was given. The one documented exception is
// QOVAUnicodeRegexServices::reset(matcher, input), which strips a non-null input first.
#include "support.h"

#include <gtest/gtest.h>
#include <unicode/numberformatter.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

using qtest::Str;
using SF = QOVAUnicodeStringFactory;
using SS = QOVAUnicodeStringServices;

void* const kSentinel = reinterpret_cast<void*>(static_cast<uintptr_t>(0x5A5A5A50));
constexpr int kIntSentinel = 0x5A5A;

// The exact content of each string, to compare before and after a call.
std::vector<std::u16string> snapshot(std::initializer_list<const Str*> strings) {
    std::vector<std::u16string> s;
    for (const Str* p : strings) s.push_back(p->units());
    return s;
}

// Two texts with a terminator and one without, so that a stray strip or terminate shows.
struct Texts {
    Str a{std::u16string_view(u"Abc\0", 4)};
    Str b{std::u16string_view(u"bcd\0\0", 5)};
    Str c{std::u16string_view(u"xyz")};
    std::vector<std::u16string> before = snapshot({&a, &b, &c});
    std::vector<std::u16string> now() const { return snapshot({&a, &b, &c}); }
};

TEST(NullHandles, StringFactory) {
    EXPECT_EQ(SF::makeCopy(nullptr), nullptr);
    void* h = nullptr;
    SF::destroy(h);
    EXPECT_EQ(h, nullptr);
}

TEST(NullHandles, StringTerminatorAndAccess) {
    Texts t;
    SS::nullTerminateString(nullptr);
    SS::removeNullTerminator(nullptr);
    EXPECT_EQ(SS::length(nullptr), 0);
    EXPECT_EQ(SS::charAt(nullptr, 0), 0xFFFF);
    EXPECT_EQ(SS::hashCode(nullptr), 0);
    EXPECT_EQ(t.now(), t.before);
}

TEST(NullHandles, StringSearchCompareAndEdit) {
    Texts t;
    for (void* str : {static_cast<void*>(nullptr), t.a.get()}) {
        void* needle = str ? nullptr : t.b.get();
        EXPECT_EQ(SS::indexOf(str, needle, 0), -1);
        EXPECT_EQ(SS::lastIndexOf(str, needle, 0), -1);
    }
    EXPECT_EQ(SS::indexOf(nullptr, static_cast<unsigned short>(0), 0), -1);
    EXPECT_EQ(SS::lastIndexOf(nullptr, static_cast<unsigned short>(0), 0), -1);
    EXPECT_FALSE(SS::convertToLower(nullptr));
    EXPECT_FALSE(SS::convertToUpper(nullptr));
    EXPECT_FALSE(SS::replace(nullptr, u'a', 0));
    // Each two-string operation with either side null; c has no terminator, so a stray
    // strip-and-terminate of the valid side would show.
    for (int side = 0; side < 2; ++side) {
        void* first = side == 0 ? nullptr : t.c.get();
        void* second = side == 0 ? t.c.get() : nullptr;
        int result = kIntSentinel;
        EXPECT_FALSE(SS::compareCodePointOrder(first, second, result));
        EXPECT_FALSE(SS::compareIgnoringCase(first, second, result));
        EXPECT_EQ(result, kIntSentinel);
        EXPECT_FALSE(SS::append(first, second));
        void* made = kSentinel;
        EXPECT_FALSE(SS::concatenate(first, second, made));
        EXPECT_EQ(made, kSentinel);
    }
    void* made = kSentinel;
    EXPECT_FALSE(SS::substring(nullptr, made, 0, 2));
    EXPECT_EQ(made, kSentinel);
    EXPECT_EQ(t.now(), t.before);
}

TEST(NullHandles, StringExport) {
    Texts t;
    void* converter = nullptr;
    ASSERT_TRUE(QOVAUnicodeCodepageConverter::open("ISO-8859-1", converter));
    // Buffers filled with a pattern that no export writes.
    std::vector<unsigned short> u16(8, 0xEEEE);
    std::vector<char> bytes(8, '#');
    std::vector<int> u32(8, kIntSentinel);
    std::vector<wchar_t> wide(8, L'#');
    const auto u16Before = u16;
    const auto bytesBefore = bytes;
    const auto u32Before = u32;
    const auto wideBefore = wide;

    EXPECT_EQ(SS::getAsUTF16size(nullptr), 0);
    EXPECT_EQ(SS::getAsUTF8size(nullptr), 0);
    EXPECT_EQ(SS::getAsUTF32size(nullptr), 0);
    EXPECT_EQ(SS::getAsWCSsize(nullptr), 0);
    EXPECT_EQ(SS::getAsMBCSsize(nullptr, converter), 0);
    EXPECT_EQ(SS::getAsMBCSsize(t.a, nullptr), 0);

    EXPECT_FALSE(SS::getAsUTF16(nullptr, u16.data(), 8));
    EXPECT_FALSE(SS::getAsUTF8(nullptr, bytes.data(), 8));
    EXPECT_FALSE(SS::getAsUTF32(nullptr, u32.data(), 8));
    EXPECT_FALSE(SS::getAsWCS(nullptr, wide.data(), 8));
    EXPECT_FALSE(SS::getAsMBCS(nullptr, converter, bytes.data(), 8, '?'));
    EXPECT_FALSE(SS::getAsMBCS(t.a, nullptr, bytes.data(), 8, '?'));
    EXPECT_EQ(u16, u16Before);
    EXPECT_EQ(bytes, bytesBefore);
    EXPECT_EQ(u32, u32Before);
    EXPECT_EQ(wide, wideBefore);

    EXPECT_FALSE(SS::getAsUTF16(t.a, nullptr, 8));
    EXPECT_FALSE(SS::getAsUTF8(t.a, nullptr, 8));
    EXPECT_FALSE(SS::getAsUTF32(t.a, nullptr, 8));
    EXPECT_FALSE(SS::getAsWCS(t.a, nullptr, 8));
    EXPECT_FALSE(SS::getAsMBCS(t.a, converter, nullptr, 8, '?'));
    EXPECT_EQ(t.now(), t.before);
    EXPECT_TRUE(QOVAUnicodeCodepageConverter::close(converter));
}

TEST(NullHandles, CodepageConverter) {
    void* converter = nullptr;
    EXPECT_FALSE(QOVAUnicodeCodepageConverter::reset(nullptr));
    EXPECT_FALSE(QOVAUnicodeCodepageConverter::close(converter));
    EXPECT_EQ(converter, nullptr);
}
using RF = QOVAUnicodeRegexFactory;
using RS = QOVAUnicodeRegexServices;

TEST(NullHandles, RegexFactory) {
    Str pattern(std::u16string_view(u"b+\0", 3));
    Str input(std::u16string_view(u"abbc\0", 5));
    EXPECT_EQ(RF::make(nullptr, input, 0), nullptr);
    EXPECT_EQ(RF::make(pattern, nullptr, 0), nullptr);
    EXPECT_EQ(RF::make(nullptr, 0), nullptr);
    // Refused before the strings are stripped: both keep their terminators.
    EXPECT_EQ(pattern.units(), std::u16string(u"b+\0", 3));
    EXPECT_EQ(input.units(), std::u16string(u"abbc\0", 5));
    void* matcher = nullptr;
    RF::destroy(matcher);
    EXPECT_EQ(matcher, nullptr);
}

// A matcher after one successful find of "bb" at 1..3 in "abbc"; a refused call must leave
// that match in place.
TEST(NullHandles, RegexServices) {
    Str pattern(std::u16string_view(u"b+"));
    Str input(std::u16string_view(u"abbc"));
    void* m = RF::make(pattern, input, 0);
    ASSERT_NE(m, nullptr);
    ASSERT_TRUE(RS::find(m));
    Texts t;

    EXPECT_FALSE(RS::find(nullptr));
    EXPECT_FALSE(RS::find(nullptr, 0));
    EXPECT_FALSE(RS::lookingAt(nullptr));
    EXPECT_FALSE(RS::lookingAt(nullptr, 0));
    EXPECT_FALSE(RS::matches(nullptr));
    EXPECT_FALSE(RS::matches(nullptr, 0));
    EXPECT_EQ(RS::start(nullptr), -1);
    EXPECT_EQ(RS::end(nullptr), -1);
    RS::reset(nullptr);
    EXPECT_FALSE(RS::reset(nullptr, 0));

    EXPECT_FALSE(RS::group(nullptr, t.c));
    EXPECT_FALSE(RS::group(m, nullptr));
    for (int which = 0; which < 3; ++which) {
        void* matcher = which == 0 ? nullptr : m;
        void* replacement = which == 1 ? nullptr : t.a.get();
        void* output = which == 2 ? nullptr : t.c.get();
        EXPECT_FALSE(RS::replaceAll(matcher, replacement, output));
        EXPECT_FALSE(RS::replaceFirst(matcher, replacement, output));
        void* dest = which == 2 ? nullptr : t.c.get();
        void* text = which == 1 ? nullptr : t.b.get();
        EXPECT_EQ(RS::split(matcher, text, dest, 1), 0);
    }
    EXPECT_FALSE(RS::reset(m, nullptr));
    EXPECT_EQ(t.now(), t.before);
    EXPECT_EQ(input.units(), u"abbc");
    // The match of before every refused call is still the matcher's last match.
    EXPECT_EQ(RS::start(m), 1);
    EXPECT_EQ(RS::end(m), 3);

    // The documented exception: reset with a null matcher strips a non-null input anyway.
    EXPECT_FALSE(RS::reset(nullptr, t.b));
    EXPECT_EQ(t.b.units(), u"bcd");
    RF::destroy(m);
}
using NF = QOVAUnicodeNumFormatterFactory;
using NS = QOVAUnicodeNumFormatterServices;

TEST(NullHandles, NumberFormatter) {
    EXPECT_EQ(NF::makeCopy(nullptr), nullptr);
    void* none = nullptr;
    NF::destroy(none);
    EXPECT_EQ(none, nullptr);

    void* f = NF::make("en_US");
    ASSERT_NE(f, nullptr);
    Texts t;
    char decimal[] = "1234.5";
    NS::FormatDecimal(nullptr, t.c, decimal);
    NS::FormatDouble(nullptr, t.c, 1.5, true, false);
    NS::FormatInt(nullptr, t.c, 7);
    NS::FormatDecimal(f, nullptr, decimal);
    NS::FormatDouble(f, nullptr, 1.5, true, false);
    NS::FormatInt(f, nullptr, 7);
    EXPECT_EQ(t.now(), t.before);
    EXPECT_STREQ(decimal, "1234.5");

    // Settings with a null handle change nothing (and must not read the argument slots).
    char slots[16] = {};
    NS::SetGroupingType(nullptr, NS::GroupingOff);
    NS::SetIntegerWidthType(nullptr, NS::IntegerWidthZeroFill, slots);
    NS::SetNotationType(nullptr, NS::NotationScientific);
    NS::SetPrecisionType(nullptr, NS::PrecisionFixedFraction, slots);
    NS::SetRoundingModeType(nullptr, NS::RoundingCeiling);
    NS::SetSignDisplayType(nullptr, NS::SignAlways);
    NS::SetUnitWidthType(nullptr, NS::UnitWidthFullName);
    NS::SetUnitType(nullptr, NS::UnitMeter);
    // The valid handle still formats as a fresh en_US formatter does.
    NS::FormatInt(f, t.c, 1234567);
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString expected =
        icu::number::NumberFormatter::withLocale("en_US").formatInt(1234567, status).toString(status);
    expected.append(char16_t(0));
    EXPECT_EQ(t.c.icu(), expected);
    NF::destroy(f);
}

using PF = QOVAUnicodeStrToNumFormatterFactory;
using PS = QOVAUnicodeStrToNumFormatterServices;

TEST(NullHandles, NumberParser) {
    EXPECT_EQ(PF::makeCopy(nullptr), nullptr);
    void* none = nullptr;
    PF::destroy(none);
    EXPECT_EQ(none, nullptr);

    void* p = PF::make("en_US");
    ASSERT_NE(p, nullptr);
    // Spaces and plus signs that a real parse would trim and remove in place.
    Str text(std::u16string_view(u" +42 \0", 6));
    const std::u16string before = text.units();
    const auto sentinel = static_cast<PS::ErrorType>(kIntSentinel);
    for (int side = 0; side < 2; ++side) {
        void* parser = side == 0 ? nullptr : p;
        void* t = side == 0 ? text.get() : nullptr;
        PS::ErrorType err = sentinel;
        EXPECT_EQ(PS::FormatStrToDouble(parser, t, err), 0.0);
        EXPECT_EQ(PS::FormatStrToInt32_t(parser, t, err), 0);
        EXPECT_EQ(PS::FormatStrToInt64_t(parser, t, err), 0);
        EXPECT_EQ(PS::FormatStrToULong(parser, t, err), 0UL);
        EXPECT_EQ(err, sentinel);
    }
    EXPECT_EQ(text.units(), before);
    PF::destroy(p);
}
using DF = QOVAUnicodeDateTimeFormatterFactory;
using DS = QOVAUnicodeDateTimeFormatterServices;

TEST(NullHandles, DateTimeFormatter) {
    EXPECT_EQ(DF::make("en_US", nullptr), nullptr);
    EXPECT_EQ(DF::make(DF::StyleFull, DF::StyleShort, "en_US", nullptr), nullptr);
    EXPECT_EQ(DF::makeCopy(nullptr), nullptr);
    void* none = nullptr;
    DF::destroy(none);
    EXPECT_EQ(none, nullptr);

    void* f = DF::make("en_US");
    ASSERT_NE(f, nullptr);
    Texts t;
    DS::FormatDateTimeToString(nullptr, t.c, 0);
    DS::FormatDateTimeToString(f, nullptr, 0);
    EXPECT_EQ(DS::FormatStringToDateTime(nullptr, t.a), 0);
    EXPECT_EQ(DS::FormatStringToDateTime(f, nullptr), 0);
    EXPECT_EQ(t.now(), t.before);
    DF::destroy(f);
}

}  // namespace
