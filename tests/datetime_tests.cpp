// Date-time formatter handles: zones, styles, the output's shape, parsing, copies and release.
// Expected texts come from ICU formatters configured directly, terminated and with U+202F
// replaced here, independently of the library.
#include "format_handle_support.h"
#include "support.h"

#include <gtest/gtest.h>
#include <unicode/datefmt.h>
#include <unicode/timezone.h>

#include <climits>
#include <memory>

using F = QOVAUnicodeDateTimeFormatterFactory;
using S = QOVAUnicodeDateTimeFormatterServices;
using qtest::Str;
using icu::DateFormat;

namespace {

constexpr long long kBeforeNewYorkDst = 1615705199;  // 2021-03-14 01:59:59 EST
constexpr long long kSummer = 1625097600;             // 2021-07-01 00:00:00 UTC

// Owns one format handle for the duration of a test.
struct Handle {
    void* h;
    ~Handle() { F::destroy(h); }
    operator void*() const { return h; }
};

std::unique_ptr<DateFormat> direct(int date, int time, const icu::Locale& locale, const char16_t* zone) {
    std::unique_ptr<DateFormat> f(DateFormat::createDateTimeInstance(
        static_cast<DateFormat::EStyle>(date), static_cast<DateFormat::EStyle>(time), locale));
    f->adoptTimeZone(icu::TimeZone::createTimeZone(zone));
    return f;
}

std::u16string raw(const DateFormat& f, long long seconds) {
    icu::UnicodeString s;
    f.format(static_cast<double>(seconds) * 1000.0, s);
    return std::u16string(s.getBuffer(), static_cast<size_t>(s.length()));
}

// ICU's text as the library hands it back.
std::u16string expected(const DateFormat& f, long long seconds) {
    std::u16string s = raw(f, seconds);
    for (char16_t& c : s)
        if (c == 0x202F) c = u' ';
    return s + u'\0';
}

std::u16string formatted(void* formatter, long long seconds) {
    Str out(u"earlier content");
    S::FormatDateTimeToString(formatter, out, seconds);
    return out.units();
}

// Sets ICU's default zone for the duration of a test.
struct ScopedDefaultZone {
    std::unique_ptr<icu::TimeZone> saved{icu::TimeZone::createDefault()};
    explicit ScopedDefaultZone(const char16_t* id) { icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone(id)); }
    ~ScopedDefaultZone() { icu::TimeZone::adoptDefault(saved.release()); }
};

}  // namespace

TEST(DateTimeZone, OneArgumentMakeIsGmtWhateverTheDefaultZone) {
    ScopedDefaultZone tokyo(u"Asia/Tokyo");
    Handle h{F::make("en_US")};
    const auto gmt = direct(2, 2, "en_US", u"GMT");
    EXPECT_EQ(formatted(h, 0), expected(*gmt, 0));
    EXPECT_NE(formatted(h, 0), expected(*direct(2, 2, "en_US", u"Asia/Tokyo"), 0));
}

TEST(DateTimeZone, NewYorkIsFiveThenFourHoursBehindAcrossTheDstChange) {
    Str id(u"America/New_York");
    Handle ny{F::make("en_US", id)};
    Handle gmt{F::make("en_US")};
    EXPECT_EQ(formatted(ny, kBeforeNewYorkDst), formatted(gmt, kBeforeNewYorkDst - 5 * 3600));
    EXPECT_EQ(formatted(ny, kBeforeNewYorkDst + 1), formatted(gmt, kBeforeNewYorkDst + 1 - 4 * 3600));
    EXPECT_EQ(formatted(ny, kSummer), expected(*direct(2, 2, "en_US", u"America/New_York"), kSummer));
    EXPECT_EQ(id.units(), u"America/New_York");  // only read
}

TEST(DateTimeZone, UnknownIdsGiveOffsetZeroNotNull) {
    Handle gmt{F::make("en_US")};
    // A terminated id is not an id that ICU knows either.
    for (std::u16string id : {std::u16string(u"No/Such_Zone"), std::u16string(u"America/New_York\0", 17)}) {
        Str zone(id);
        Handle h{F::make("en_US", zone)};
        ASSERT_NE(h.h, nullptr);
        EXPECT_EQ(formatted(h, kSummer), formatted(gmt, kSummer));
        EXPECT_EQ(zone.units(), id);
    }
}

TEST(DateTimeZone, NullZoneGivesNull) {
    EXPECT_EQ(F::make("en_US", nullptr), nullptr);
    EXPECT_EQ(F::make(F::StyleFull, F::StyleShort, "en_US", nullptr), nullptr);
}

TEST(DateTimeStyle, EveryIcuStylePairReachesIcuUnchangedDateFirst) {
    Str gmt(u"GMT");
    // StyleNone leaves a part out; the relative styles (128..131) are ICU's date styles.
    const int styles[] = {F::StyleNone, F::StyleFull, F::StyleLong, F::StyleMedium, F::StyleShort,
                          DateFormat::kFullRelative, DateFormat::kShortRelative};
    for (int date : styles)
        for (int time : styles) {
            Handle h{F::make(F::DateTimeStyle(date), F::DateTimeStyle(time), "en_US", gmt)};
            ASSERT_NE(h.h, nullptr) << date << "," << time;
            EXPECT_EQ(formatted(h, 86399), expected(*direct(date, time, "en_US", u"GMT"), 86399))
                << date << "," << time;
        }
    const auto shortFull = direct(F::StyleShort, F::StyleFull, "en_US", u"GMT");
    const auto fullShort = direct(F::StyleFull, F::StyleShort, "en_US", u"GMT");
    ASSERT_NE(expected(*shortFull, 0), expected(*fullShort, 0));
    Handle swapped{F::make(F::StyleFull, F::StyleShort, "en_US", gmt)};
    EXPECT_EQ(formatted(swapped, 0), expected(*fullShort, 0));
}

TEST(DateTimeStyle, NumbersIcuDoesNotNameMakeNoFormatter) {
    // Some of them (date style -2) send ICU into endless recursion.
    Str gmt(u"GMT");
    for (int bad : {-2, -128, 4, 8, 9, 127, 132, 255, 256, INT_MAX, INT_MIN}) {
        EXPECT_EQ(F::make(F::DateTimeStyle(bad), F::StyleShort, "en_US", gmt), nullptr) << bad;
        EXPECT_EQ(F::make(F::StyleShort, F::DateTimeStyle(bad), "en_US", gmt), nullptr) << bad;
    }
}

TEST(DateTimeFormat, OutputIsIcuTextTerminatedWithPlainSpacesForU202F) {
    Str gmt(u"GMT");
    Handle h{F::make(F::StyleShort, F::StyleShort, "en_US", gmt)};
    const auto icuShort = direct(3, 3, "en_US", u"GMT");
    ASSERT_NE(raw(*icuShort, 0).find(u'\u202F'), std::u16string::npos);  // ICU 72 writes one
    const std::u16string out = formatted(h, 0);
    EXPECT_EQ(out, expected(*icuShort, 0));
    EXPECT_EQ(out.size(), raw(*icuShort, 0).size() + 1);
    EXPECT_EQ(out.back(), u'\0');
    EXPECT_EQ(out.find(u'\u202F'), std::u16string::npos);

    // Other spaces stay as ICU wrote them.
    Handle es{F::make(F::StyleFull, F::StyleFull, "es_US", gmt)};
    const auto icuEs = direct(0, 0, "es_US", u"GMT");
    ASSERT_NE(raw(*icuEs, 0).find(u'\u00A0'), std::u16string::npos);
    EXPECT_EQ(formatted(es, 0), expected(*icuEs, 0));
}

TEST(DateTimeFormat, NegativeAndExtremeSecondCounts) {
    Handle h{F::make("de_DE")};
    const auto icu = direct(2, 2, "de_DE", u"GMT");
    for (long long s : {-1LL, -86400LL, -62135596800LL, LLONG_MIN, LLONG_MAX})
        EXPECT_EQ(formatted(h, s), expected(*icu, s)) << s;
    EXPECT_NE(formatted(h, -1), formatted(h, 0));
}

TEST(DateTimeParse, RoundTripsGiveMilliseconds) {
    Str ny(u"America/New_York");
    for (const char* locale : {"en_US", "de_DE", "ja_JP"}) {
        Handle h{F::make(locale, ny)};
        for (long long s : {0LL, 1LL, -86400LL, kBeforeNewYorkDst, kBeforeNewYorkDst + 1, kSummer}) {
            Str text(formatted(h, s));  // terminated, with plain spaces
            EXPECT_EQ(S::FormatStringToDateTime(h, text), s * 1000) << locale << " " << s;
        }
    }
}

TEST(DateTimeParse, TextIsReadUnchangedAndTrailingCharactersIgnored) {
    Handle h{F::make("en_US")};
    Str terminated(formatted(h, 1));
    const std::u16string before = terminated.units();
    EXPECT_EQ(S::FormatStringToDateTime(h, terminated), 1000);
    EXPECT_EQ(terminated.units(), before);
    Str trailing(before.substr(0, before.size() - 1) + u" and more");
    EXPECT_EQ(S::FormatStringToDateTime(h, trailing), 1000);
    Str junk(u"no date here");
    EXPECT_EQ(S::FormatStringToDateTime(h, junk), 0);
}

TEST(DateTimeHandles, NullArgumentsChangeNothing) {
    Handle h{F::make("en_US")};
    Str out(u"keep");
    S::FormatDateTimeToString(nullptr, out, 0);
    S::FormatDateTimeToString(h, nullptr, 0);
    EXPECT_EQ(out.units(), u"keep");
    EXPECT_EQ(S::FormatStringToDateTime(nullptr, out), 0);
    EXPECT_EQ(S::FormatStringToDateTime(h, nullptr), 0);
}

TEST(DateTimeHandles, LocaleArgumentRule) {
    qtest::ScopedDefaultLocale german("de_DE");
    const auto de = expected(*direct(2, 2, icu::Locale::getDefault(), u"GMT"), 0);
    const auto posix = expected(*direct(2, 2, "en_US_POSIX", u"GMT"), 0);
    ASSERT_NE(de, posix);
    EXPECT_EQ(formatted(Handle{F::make(nullptr)}, 0), de);
    EXPECT_EQ(formatted(Handle{F::make("")}, 0), de);
    EXPECT_EQ(formatted(Handle{F::make("C")}, 0), posix);
    EXPECT_EQ(formatted(Handle{F::make("c")}, 0), expected(*direct(2, 2, icu::Locale("c"), u"GMT"), 0));
    EXPECT_NE(formatted(Handle{F::make("c")}, 0), posix);
}

TEST(DateTimeHandles, CopiesAreIndependentAndBothFactoriesCopyAndDestroy) {
    Str zone(u"Europe/Paris");
    void* source = F::make(F::StyleLong, F::StyleFull, "fr_FR", zone);
    const std::u16string text = formatted(source, kSummer);
    Handle copy{F::makeCopy(source)};
    Handle other{QOVAUnicodeStrToNumFormatterFactory::makeCopy(source)};
    QOVAUnicodeStrToNumFormatterFactory::destroy(source);
    EXPECT_EQ(source, nullptr);
    QOVAUnicodeStrToNumFormatterFactory::destroy(source);
    EXPECT_EQ(formatted(copy, kSummer), text);
    EXPECT_EQ(formatted(other, kSummer), text);
    EXPECT_EQ(F::makeCopy(nullptr), nullptr);
}

TEST(DateTimeHandles, HandleHoldingNoFormatterActsLikeNull) {
    Handle empty{qtest::emptyFormatHandle()};
    ASSERT_NE(empty.h, nullptr);
    ASSERT_TRUE(qtest::holdsNothing(empty));
    Str out(u"keep");
    S::FormatDateTimeToString(empty, out, 0);
    EXPECT_EQ(out.units(), u"keep");
    EXPECT_EQ(S::FormatStringToDateTime(empty, out), 0);
    Handle copy{F::makeCopy(empty)};
    ASSERT_NE(copy.h, nullptr);
    EXPECT_TRUE(qtest::holdsNothing(copy));
}
