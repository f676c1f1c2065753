// The optional C++ helpers of include/QOVAicuC/: owners, text conversion, typed settings, split.
#include "support.h"

#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/number_settings.hpp>
#include <QOVAicuC/split.hpp>
#include <QOVAicuC/text.hpp>

#include <gtest/gtest.h>
#include <unicode/numberformatter.h>

#include <cstring>
#include <type_traits>
#include <vector>

namespace {

// A release policy that records what it releases, so the owner's bookkeeping can be watched.
std::vector<void*> released;
struct Recording {
    static void apply(void*& h) {
        released.push_back(h);
        h = nullptr;
    }
};
using Recorded = qovaicuc::Owned<Recording>;

void* fake(int n) { return reinterpret_cast<void*>(static_cast<uintptr_t>(0x1000 * n)); }

TEST(Owned, ReleasesExactlyOnceWhateverPathTheHandleTakes) {
    static_assert(!std::is_copy_constructible_v<qovaicuc::String>);
    static_assert(!std::is_copy_assignable_v<qovaicuc::String>);
    static_assert(std::is_nothrow_move_constructible_v<qovaicuc::String>);
    static_assert(!std::is_convertible_v<qovaicuc::String, bool>, "bool conversion is explicit");
    released.clear();
    {
        Recorded a(fake(1));
        Recorded b(std::move(a));
        EXPECT_EQ(a.get(), nullptr);
        EXPECT_FALSE(a);
        EXPECT_EQ(b.get(), fake(1));
        Recorded c(fake(2));
        c = std::move(b);  // releases 2, takes 1
        EXPECT_EQ(b.get(), nullptr);
        EXPECT_EQ(released, std::vector<void*>{fake(2)});
        c = std::move(c);  // self-move keeps the handle
        EXPECT_EQ(c.get(), fake(1));
    }
    EXPECT_EQ(released, (std::vector<void*>{fake(2), fake(1)}));

    released.clear();
    {
        Recorded given(fake(3));
        void* mine = given.release();
        EXPECT_EQ(mine, fake(3));
        EXPECT_FALSE(given);
        Recorded reset(fake(4));
        reset.reset(fake(5));
        void*& slot = reset.put();
        EXPECT_EQ(slot, nullptr);
        slot = fake(6);  // as an operation with a void*& parameter would
        EXPECT_EQ(reset.get(), fake(6));
    }
    EXPECT_EQ(released, (std::vector<void*>{fake(4), fake(5), fake(6)}));
}

TEST(Owned, ReleasesRealHandlesThroughTheirFactories) {
    // Run under the sanitizers, a handle that is not released shows as a leak.
    qovaicuc::String s(QOVAUnicodeStringFactory::make());
    EXPECT_TRUE(s);
    qovaicuc::Converter c;
    ASSERT_TRUE(QOVAUnicodeCodepageConverter::open("ISO-8859-1", c.put()));
    EXPECT_TRUE(c);
    qovaicuc::NumberFormatter n(QOVAUnicodeNumFormatterFactory::make("en_US"));
    qovaicuc::DateTimeFormatter d(QOVAUnicodeDateTimeFormatterFactory::make("en_US"));
    qovaicuc::NumberParser p(QOVAUnicodeStrToNumFormatterFactory::make("en_US"));
    qovaicuc::String pattern = qovaicuc::fromUtf8("a+");
    qovaicuc::Matcher m(QOVAUnicodeRegexFactory::make(pattern.get(), 0));
    EXPECT_TRUE(n && d && p && m);
    // A string made by an operation with a void*& result is owned the same way.
    qovaicuc::String joined;
    ASSERT_TRUE(QOVAUnicodeStringServices::concatenate(pattern.get(), pattern.get(), joined.put()));
    EXPECT_EQ(qovaicuc::utf8(joined.get()), "a+a+");
}

TEST(Text, Utf8AndUtf16RoundTrip) {
    const std::string text = "Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80";
    qovaicuc::String s = qovaicuc::fromUtf8(text);
    EXPECT_EQ(qtest::units(s.get()), u"Grüße 😀" + std::u16string(1, u'\0'));
    EXPECT_EQ(qovaicuc::utf8(s.get()), text);
    EXPECT_EQ(qovaicuc::utf16(s.get()), u"Grüße 😀");
    qovaicuc::String back = qovaicuc::fromUtf16(u"Grüße 😀");
    EXPECT_EQ(qtest::units(back.get()), qtest::units(s.get()));
    // The empty text: one terminator unit, nothing else.
    qovaicuc::String empty = qovaicuc::fromUtf8("");
    EXPECT_EQ(qovaicuc::utf8(empty.get()), "");
    EXPECT_EQ(qovaicuc::utf16(empty.get()), u"");
}

TEST(Text, FollowTheSizeRulesOfEachExport) {
    // UTF-8 ends at the first U+0000; UTF-16 copies every unit and drops only the terminator.
    qtest::Str inner(std::u16string(u"a\0b\0\0", 5));
    EXPECT_EQ(qovaicuc::utf8(inner.get()), "a");
    EXPECT_EQ(qovaicuc::utf16(inner.get()), std::u16string(u"a\0b\0", 4));
    // Text without a terminator is exported whole and left as it is.
    qtest::Str bare(u"abc");
    EXPECT_EQ(qovaicuc::utf8(bare.get()), "abc");
    EXPECT_EQ(bare.units(), u"abc");
    // utf16 reads the string as it is: without a terminator, every unit is text.
    qtest::Str unterminated(u"xy");
    EXPECT_EQ(qovaicuc::utf16(unterminated.get()), u"xy");
}

TEST(Text, FailuresGiveNothing) {
    EXPECT_EQ(qovaicuc::utf8(nullptr), std::nullopt);
    EXPECT_EQ(qovaicuc::utf16(nullptr), std::nullopt);
    qtest::Str surrogate(std::u16string(u"a\xD800\0", 3));
    EXPECT_EQ(qovaicuc::utf8(surrogate.get()), std::nullopt);
    qovaicuc::String s = qovaicuc::fromUtf8("x");
    EXPECT_EQ(qovaicuc::codepage(s.get(), nullptr), std::nullopt);
}

TEST(Text, CodepageWithAndWithoutSubstitute) {
    qovaicuc::Converter latin1;
    ASSERT_TRUE(QOVAUnicodeCodepageConverter::open("ISO-8859-1", latin1.put()));
    qovaicuc::String s = qovaicuc::fromUtf8("\xC3\xA9\xE2\x82\xAC");  // é and the euro sign
    EXPECT_EQ(qovaicuc::codepage(s.get(), latin1.get()), "\xE9\x1A");
    EXPECT_EQ(qovaicuc::codepage(s.get(), latin1.get(), '?'), "\xE9?");
}

TEST(ArgumentSlots, IntsLittleEndianInTheLowBytesDoublesWhole) {
    qovaicuc::ArgumentSlots slots;
    slots.setInt(0, -2).setDouble(1, 0.05);
    const unsigned char low[8] = {0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(slots.data(), low, 8), 0);
    double d = 0;
    std::memcpy(&d, slots.data() + 8, 8);
    EXPECT_EQ(d, 0.05);
    qovaicuc::ArgumentSlots other;
    other.setInt(1, 0x01020304);
    const unsigned char second[16] = {0, 0, 0, 0, 0, 0, 0, 0, 4, 3, 2, 1, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(other.data(), second, 16), 0);
}

namespace nf = icu::number;

// The text of `value` through the handle, with its precision in force.
std::optional<std::string> formatted(void* fmt, double value) {
    qovaicuc::String out(QOVAUnicodeStringFactory::make());
    QOVAUnicodeNumFormatterServices::FormatDouble(fmt, out.get(), value, true, false);
    return qovaicuc::utf8(out.get());
}

std::string icuFormatted(const nf::LocalizedNumberFormatter& f, double value) {
    UErrorCode status = U_ZERO_ERROR;
    std::string out;
    f.formatDouble(value, status).toString(status).toUTF8String(out);
    return out;
}

TEST(TypedSettings, MatchIcusOwnSettings) {
    using N = QOVAUnicodeNumFormatterServices;
    const auto base = nf::NumberFormatter::withLocale(icu::Locale("en_US"));
    struct Case {
        void (*apply)(void*);
        nf::LocalizedNumberFormatter expected;
    };
    const Case cases[] = {
        {[](void* f) { qovaicuc::setPrecision(f, N::PrecisionInteger); }, base.precision(nf::Precision::integer())},
        {[](void* f) { qovaicuc::setPrecision(f, N::PrecisionFixedFraction, 3); },
         base.precision(nf::Precision::fixedFraction(3))},
        {[](void* f) { qovaicuc::setPrecision(f, N::PrecisionMinMaxSignificantDigits, 2, 3); },
         base.precision(nf::Precision::minMaxSignificantDigits(2, 3))},
        {[](void* f) { qovaicuc::setPrecision(f, N::PrecisionMinMaxFraction, 1, 2); },
         base.precision(nf::Precision::minMaxFraction(1, 2))},
        {[](void* f) { qovaicuc::setPrecisionIncrement(f, 0.05); }, base.precision(nf::Precision::increment(0.05))},
        {[](void* f) { qovaicuc::setPrecision(f, N::PrecisionIncrement, 5); }, base.precision(nf::Precision::increment(5))},
        {[](void* f) { qovaicuc::setIntegerWidth(f, 6); }, base.integerWidth(nf::IntegerWidth::zeroFillTo(6))},
        {[](void* f) { qovaicuc::setIntegerWidth(f, 1, 2); },
         base.integerWidth(nf::IntegerWidth::zeroFillTo(1).truncateAt(2))},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        qovaicuc::NumberFormatter fmt(QOVAUnicodeNumFormatterFactory::make("en_US"));
        cases[i].apply(fmt.get());
        for (double value : {1234.5678, 7.0, -0.126})
            EXPECT_EQ(formatted(fmt.get(), value), icuFormatted(cases[i].expected, value)) << i << " " << value;
    }
}

TEST(TypedSettings, RejectedDigitCountsFailLaterFormatting) {
    qovaicuc::NumberFormatter fmt(QOVAUnicodeNumFormatterFactory::make("en_US"));
    qovaicuc::setPrecision(fmt.get(), QOVAUnicodeNumFormatterServices::PrecisionFixedFraction, -1);
    // The failed result is ICU's bogus empty string, which has no text to export.
    EXPECT_EQ(formatted(fmt.get(), 5), std::nullopt);
    qovaicuc::setPrecision(fmt.get(), QOVAUnicodeNumFormatterServices::PrecisionFixedFraction, 1);
    EXPECT_EQ(formatted(fmt.get(), 5), "5.0");
    // A null formatter is left alone by every form.
    qovaicuc::setPrecision(nullptr, QOVAUnicodeNumFormatterServices::PrecisionInteger);
    qovaicuc::setPrecisionIncrement(nullptr, 0.5);
    qovaicuc::setIntegerWidth(nullptr, 1, 2);
}

TEST(Split, FieldsAsUtf8) {
    qovaicuc::String pattern = qovaicuc::fromUtf8(",");
    qovaicuc::Matcher m(QOVAUnicodeRegexFactory::make(pattern.get(), 0));
    ASSERT_TRUE(m);
    qovaicuc::String input = qovaicuc::fromUtf8("a,\xC3\xA9,,c");
    EXPECT_EQ(qovaicuc::split(m.get(), input.get()), (std::vector<std::string>{"a", "\xC3\xA9", "", "c"}));
    EXPECT_EQ(qovaicuc::split(m.get(), input.get(), 2), (std::vector<std::string>{"a", "\xC3\xA9,,c"}));
    // The caller's input keeps its terminator.
    EXPECT_EQ(QOVAUnicodeStringServices::length(input.get()), 6);
    qovaicuc::String empty = qovaicuc::fromUtf8("");
    EXPECT_EQ(qovaicuc::split(m.get(), empty.get()), std::vector<std::string>{});
    EXPECT_EQ(qovaicuc::split(nullptr, input.get()), std::nullopt);
    EXPECT_EQ(qovaicuc::split(m.get(), nullptr), std::nullopt);
}

}  // namespace
