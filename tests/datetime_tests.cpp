// Date-time formatter handles: zones, styles, the output's shape, parsing; and the format
// handles that date-time formatters and number parsers share: copies, release, empty holders.
// Expected texts come from ICU formatters configured directly, terminated and with U+202F
// replaced here, independently of the library.
#include "format_handle_support.h"
#include "support.h"

#include <gtest/gtest.h>
#include <unicode/datefmt.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <climits>
#include <memory>

using F = QOVAUnicodeDateTimeFormatterFactory;
using S = QOVAUnicodeDateTimeFormatterServices;
using P = QOVAUnicodeStrToNumFormatterFactory;
using qtest::Handle;
using qtest::Str;
using icu::DateFormat;
using namespace std::literals;

namespace {

constexpr long long kBeforeNewYorkDst = 1615705199;  // 2021-03-14 01:59:59 EST
constexpr long long kSummer = 1625097600;             // 2021-07-01 00:00:00 UTC

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
    std::u16string s = raw(f, seconds) + u'\0';
    std::replace(s.begin(), s.end(), u'\u202F', u' ');
    return s;
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

TEST(DateTimeZone, GmtWithoutAZoneNamedZonesWithDstUnknownIdsAtOffsetZero) {
    ScopedDefaultZone tokyo(u"Asia/Tokyo");
    Handle gmt{F::make("en_US")};
    EXPECT_EQ(formatted(gmt, 0), expected(*direct(2, 2, "en_US", u"GMT"), 0));
    EXPECT_NE(formatted(gmt, 0), expected(*direct(2, 2, "en_US", u"Asia/Tokyo"), 0));

    Str ny(u"America/New_York");
    Handle h{F::make("en_US", ny)};
    EXPECT_EQ(formatted(h, kBeforeNewYorkDst), formatted(gmt, kBeforeNewYorkDst - 5 * 3600));
    EXPECT_EQ(formatted(h, kBeforeNewYorkDst + 1), formatted(gmt, kBeforeNewYorkDst + 1 - 4 * 3600));
    EXPECT_EQ(ny.units(), u"America/New_York");  // only read

    // A terminated id is not an id that ICU knows either.
    for (const std::u16string& id : {u"No/Such_Zone"s, u"America/New_York\0"s}) {
        Str zone(id);
        Handle unknown{F::make("en_US", zone)};
        ASSERT_NE(unknown.h, nullptr);
        EXPECT_EQ(formatted(unknown, kSummer), formatted(gmt, kSummer));
        EXPECT_EQ(zone.units(), id);
    }
    EXPECT_EQ(F::make("en_US", nullptr), nullptr);
    EXPECT_EQ(F::make(F::StyleFull, F::StyleShort, "en_US", nullptr), nullptr);
}

TEST(DateTimeStyle, EveryIcuStylePairReachesIcuDateFirstAndOtherNumbersMakeNothing) {
    Str zone(u"Asia/Kolkata");
    // StyleNone leaves a part out; the relative styles (128..131) are ICU's date styles.
    const int styles[] = {F::StyleNone, F::StyleFull, F::StyleLong, F::StyleMedium, F::StyleShort,
                          DateFormat::kFullRelative, DateFormat::kShortRelative};
    ASSERT_NE(expected(*direct(F::StyleShort, F::StyleFull, "en_US", u"GMT"), 0),
              expected(*direct(F::StyleFull, F::StyleShort, "en_US", u"GMT"), 0));
    for (int date : styles)
        for (int time : styles) {
            Handle h{F::make(F::DateTimeStyle(date), F::DateTimeStyle(time), "en_US", zone)};
            ASSERT_NE(h.h, nullptr) << date << "," << time;
            EXPECT_EQ(formatted(h, 86399), expected(*direct(date, time, "en_US", u"Asia/Kolkata"), 86399))
                << date << "," << time;
        }
    // Some of these (date style -2) would send ICU into endless recursion.
    for (int bad : {-2, -128, 4, 8, 9, 127, 132, 255, 256, INT_MAX, INT_MIN}) {
        EXPECT_EQ(F::make(F::DateTimeStyle(bad), F::StyleShort, "en_US", zone), nullptr) << bad;
        EXPECT_EQ(F::make(F::StyleShort, F::DateTimeStyle(bad), "en_US", zone), nullptr) << bad;
    }
}

TEST(DateTimeFormat, OutputIsIcusTextForAnySecondCountTerminatedWithPlainSpacesForU202F) {
    Str gmt(u"GMT");
    Handle h{F::make(F::StyleShort, F::StyleShort, "en_US", gmt)};
    const auto icuShort = direct(3, 3, "en_US", u"GMT");
    ASSERT_NE(raw(*icuShort, 0).find(u'\u202F'), std::u16string::npos);  // ICU 72 writes one
    const std::u16string out = formatted(h, 0);
    EXPECT_EQ(out, expected(*icuShort, 0));
    EXPECT_EQ(out.find(u'\u202F'), std::u16string::npos);
    for (long long s : {-1LL, 1LL, -86400LL, -62135596800LL, LLONG_MIN, LLONG_MAX})
        EXPECT_EQ(formatted(h, s), expected(*icuShort, s)) << s;
    // Other spaces stay as ICU wrote them.
    Handle es{F::make(F::StyleFull, F::StyleFull, "es_US", gmt)};
    const auto icuEs = direct(0, 0, "es_US", u"GMT");
    ASSERT_NE(raw(*icuEs, 0).find(u'\u00A0'), std::u16string::npos);
    EXPECT_EQ(formatted(es, 0), expected(*icuEs, 0));
}

TEST(DateTimeParse, RoundTripsGiveMillisecondsReadingAnUnchangedText) {
    Str ny(u"America/New_York");
    for (const char* locale : {"en_US", "de_DE", "ja_JP"}) {
        Handle h{F::make(locale, ny)};
        for (long long s : {0LL, 1LL, -86400LL, kBeforeNewYorkDst, kBeforeNewYorkDst + 1, kSummer}) {
            Str text(formatted(h, s));  // terminated, with plain spaces
            EXPECT_EQ(S::FormatStringToDateTime(h, text), s * 1000) << locale << " " << s;
            EXPECT_EQ(text.units(), formatted(h, s));
        }
    }
    Handle h{F::make("en_US")};
    const std::u16string one = formatted(h, 1);
    Str trailing(one.substr(0, one.size() - 1) + u" and more"), junk(u"no date here");
    EXPECT_EQ(S::FormatStringToDateTime(h, trailing), 1000);
    EXPECT_EQ(S::FormatStringToDateTime(h, junk), 0);
}

TEST(DateTimeHandles, LocaleArgumentRule) {
    qtest::ScopedDefaultLocale german("de_DE");
    const auto icuFor = [](const icu::Locale& l) { return expected(*direct(2, 2, l, u"GMT"), 0); };
    const std::u16string posix = icuFor("en_US_POSIX");
    ASSERT_NE(icuFor(icu::Locale::getDefault()), posix);
    EXPECT_EQ(formatted(Handle{F::make(nullptr)}, 0), icuFor(icu::Locale::getDefault()));
    EXPECT_EQ(formatted(Handle{F::make("")}, 0), icuFor(icu::Locale::getDefault()));
    EXPECT_EQ(formatted(Handle{F::make("C")}, 0), posix);
    EXPECT_EQ(formatted(Handle{F::make("c")}, 0), icuFor(icu::Locale("c")));
    EXPECT_NE(icuFor(icu::Locale("c")), posix);
}

// Date-time formatters and number parsers are both format handles: either factory copies and
// destroys either kind, and a copy outlives its source.
TEST(FormatHandles, EitherFactoryCopiesAndDestroysEitherKind) {
    Str zone(u"Europe/Paris");
    void* source[] = {F::make(F::StyleLong, F::StyleFull, "fr_FR", zone), P::make("de_DE")};
    const std::u16string text = formatted(source[0], kSummer);
    const Handle copies[] = {{F::makeCopy(source[0])}, {P::makeCopy(source[0])},
                             {F::makeCopy(source[1])}, {P::makeCopy(source[1])}};
    for (int twice = 0; twice < 2; ++twice) {  // a nulled variable: nothing happens
        P::destroy(source[0]);
        F::destroy(source[1]);
        EXPECT_EQ(source[0], nullptr);
        EXPECT_EQ(source[1], nullptr);
    }
    EXPECT_EQ(formatted(copies[0], kSummer), text);
    EXPECT_EQ(formatted(copies[1], kSummer), text);
    for (int k : {2, 3}) {
        Str number(u"2,5");
        QOVAUnicodeStrToNumFormatterServices::ErrorType err{};
        EXPECT_EQ(QOVAUnicodeStrToNumFormatterServices::FormatStrToDouble(copies[k], number, err), 2.5);
    }
    EXPECT_EQ(F::makeCopy(nullptr), nullptr);
    EXPECT_EQ(P::makeCopy(nullptr), nullptr);
}

// A handle that holds no formatter (a copy whose clone ICU could not make) acts like a null
// one, and its copies hold nothing either.
TEST(FormatHandles, NullAndEmptyHandlesChangeNothing) {
    Handle h{F::make("en_US")}, empty{qtest::emptyFormatHandle()};
    ASSERT_TRUE(qtest::holdsNothing(empty));
    Str out(u"keep"), one(formatted(h, 1));
    for (void* f : {static_cast<void*>(nullptr), empty.h}) {
        S::FormatDateTimeToString(f, out, 0);
        EXPECT_EQ(S::FormatStringToDateTime(f, one), 0);
    }
    S::FormatDateTimeToString(h, nullptr, 0);
    EXPECT_EQ(S::FormatStringToDateTime(h, nullptr), 0);
    EXPECT_EQ(out.units(), u"keep");
    Handle copy{P::makeCopy(empty)};
    ASSERT_NE(copy.h, nullptr);
    EXPECT_TRUE(qtest::holdsNothing(copy));
}
