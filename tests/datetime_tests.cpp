// Date-time formatter handles: the locale rule, zones, styles, the output's shape, parsing; and
// the format handles that date-time formatters and number parsers share. Expected texts come
// from ICU formatters configured directly, terminated and with U+202F replaced here.
#include "support.h"

#include <unicode/datefmt.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <memory>

using F = QOVAUnicodeDateTimeFormatterFactory;
using S = QOVAUnicodeDateTimeFormatterServices;
using P = QOVAUnicodeStrToNumFormatterFactory;
using Handle = qtest::Owned<F::destroy>;
using namespace qtest;

namespace {

constexpr long long kBeforeNewYorkDst = 1615705199;  // 2021-03-14 01:59:59 EST
constexpr long long kSummer = 1625097600;             // 2021-07-01 00:00:00 UTC

std::u16string raw(int date, int time, const icu::Locale& locale, const char16_t* zone, long long seconds) {
    std::unique_ptr<icu::DateFormat> f(icu::DateFormat::createDateTimeInstance(
        icu::DateFormat::EStyle(date), icu::DateFormat::EStyle(time), locale));
    f->adoptTimeZone(icu::TimeZone::createTimeZone(zone));
    icu::UnicodeString s;
    f->format(double(seconds) * 1000.0, s);
    return text(s);
}

// ICU's text as the library hands it back.
std::u16string expected(int date, int time, const icu::Locale& locale, const char16_t* zone, long long seconds) {
    std::u16string s = raw(date, time, locale, zone, seconds) + u'\0';
    std::replace(s.begin(), s.end(), u'\u202F', u' ');
    return s;
}

std::u16string formatted(void* formatter, long long seconds) {
    Str out(u"earlier content");
    S::FormatDateTimeToString(formatter, out, seconds);
    return out.units();
}

}  // namespace

// Besides the locale rule: a locale id whose language part has twelve or more characters makes a
// bogus icu::Locale, and building a date format for it crashed the process inside ICU (found by
// fuzzing the factory). Such an id makes no formatter; one character less is a locale ICU holds.
TEST(DateTimeFactory, LocaleRuleAndMakeCrashedOnALocaleIdIcuCannotHold) {
    expectLocaleRule([](const char* name) { return formatted(Handle{F::make(name)}, 0); },
                     [](const icu::Locale& l) { return expected(2, 2, l, u"GMT", 0); });
    Str zone(u"Europe/Paris");
    for (const std::string name : {"abcdefghijkl", "\x8c\x61\xed\x69\x6e\x8c\x8c\x6d\x69\x8d\x69\x8c", "qqqqqqqqqqqqqqqq_US"}) {
        ASSERT_TRUE(icu::Locale(name.c_str()).isBogus()) << name;
        EXPECT_FALSE(F::make(name.c_str()) || F::make(name.c_str(), zone) ||
                     F::make(F::StyleShort, F::StyleNone, name.c_str(), zone));
    }
    EXPECT_NE(Handle{F::make("abcdefghijk")}.h, nullptr);
}

// No zone is GMT (not the default zone); a named zone keeps its daylight saving; an unknown id,
// a terminated id among them, is offset zero; a null zone makes nothing. The zone is only read.
TEST(DateTimeFactory, ZonesGmtNamedAndUnknown) {
    std::unique_ptr<icu::TimeZone> saved(icu::TimeZone::createDefault());
    icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone(u"Asia/Tokyo"));
    Handle gmt{F::make("en_US")};
    const std::u16string atZero = formatted(gmt, 0);
    icu::TimeZone::adoptDefault(saved.release());
    EXPECT_EQ(atZero, expected(2, 2, "en_US", u"GMT", 0));
    Str ny(u"America/New_York");
    Handle h{F::make("en_US", ny)};
    EXPECT_EQ(formatted(h, kBeforeNewYorkDst), formatted(gmt, kBeforeNewYorkDst - 5 * 3600));
    EXPECT_EQ(formatted(h, kBeforeNewYorkDst + 1), formatted(gmt, kBeforeNewYorkDst + 1 - 4 * 3600));
    EXPECT_EQ(ny.units(), u"America/New_York");
    for (const std::u16string& id : {u"No/Such_Zone"s, u"America/New_York\0"s}) {
        Str zone(id);
        Handle unknown{F::make("en_US", zone)};
        EXPECT_EQ(formatted(unknown, kSummer), formatted(gmt, kSummer));
        EXPECT_EQ(zone.units(), id);
    }
    EXPECT_FALSE(F::make("en_US", nullptr) || F::make(F::StyleFull, F::StyleShort, "en_US", nullptr));
}

// Every pair of ICU's styles reaches ICU date first: StyleNone leaves a part out, 128 to 131 are
// ICU's relative date styles. Date styles that would send ICU into endless recursion make nothing
// (datetime_styles_tests probes every other number).
TEST(DateTimeFactory, EveryIcuStylePairReachesIcuDateFirstAndRecursingDateStylesMakeNothing) {
    Str zone(u"Asia/Kolkata");
    const int styles[] = {F::StyleNone, F::StyleFull, F::StyleLong, F::StyleMedium, F::StyleShort, 128, 129, 130, 131};
    ASSERT_NE(expected(3, 0, "en_US", u"GMT", 0), expected(0, 3, "en_US", u"GMT", 0));
    for (int date : styles)
        for (int time : styles) {
            Handle h{F::make(F::DateTimeStyle(date), F::DateTimeStyle(time), "en_US", zone)};
            ASSERT_NE(h.h, nullptr) << date << "," << time;
            EXPECT_EQ(formatted(h, 86399), expected(date, time, "en_US", u"Asia/Kolkata", 86399)) << date << "," << time;
        }
    for (int bad : {-2, -128, -300}) EXPECT_EQ(F::make(F::DateTimeStyle(bad), F::StyleShort, "en_US", zone), nullptr) << bad;
}

// ICU's text for any second count, terminated, with every U+202F made a plain space and other
// spaces (U+00A0) left as they are. The examples with those characters are picked among what
// this ICU's data writes.
TEST(DateTimeFormat, IcusTextForAnySecondCountWithPlainSpacesForU202F) {
    bool narrow = false;
    for (const char* locale : {"en_US", "es_US", "fr_FR", "en_CA", "ja_JP"})
        for (int style : {F::StyleFull, F::StyleShort}) {
            Str gmt(u"GMT");
            Handle h{F::make(F::DateTimeStyle(style), F::DateTimeStyle(style), locale, gmt)};
            for (long long s : {0LL, -1LL, 1LL, 43200LL, -62135596800LL, LLONG_MIN, LLONG_MAX}) {
                const std::u16string out = formatted(h, s);
                EXPECT_EQ(out, expected(style, style, locale, u"GMT", s)) << locale << " " << s;
                EXPECT_EQ(out.find(u'\u202F'), std::u16string::npos);
                narrow = narrow || raw(style, style, locale, u"GMT", s).find(u'\u202F') != std::u16string::npos;
            }
        }
    if (!narrow) GTEST_SKIP() << "no example with U+202F in this ICU's data";
}

TEST(DateTimeParse, RoundTripsGiveMillisecondsReadingAnUnchangedText) {
    Str ny(u"America/New_York");
    for (const char* locale : {"en_US", "de_DE", "ja_JP"}) {
        Handle h{F::make(locale, ny)};
        for (long long s : {0LL, -86400LL, kBeforeNewYorkDst, kBeforeNewYorkDst + 1, kSummer}) {
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

// Date-time formatters and number parsers are both format handles: either factory copies and
// destroys either kind, and a copy outlives its source. Null handles change nothing.
TEST(FormatHandles, EitherFactoryCopiesAndDestroysEitherKindNullHandlesChangeNothing) {
    Str zone(u"Europe/Paris");
    void* source[] = {F::make(F::StyleLong, F::StyleFull, "fr_FR", zone), P::make("de_DE")};
    const std::u16string text = formatted(source[0], kSummer);
    const Handle copies[] = {{F::makeCopy(source[0])}, {P::makeCopy(source[0])}, {F::makeCopy(source[1])},
                             {P::makeCopy(source[1])}};
    P::destroy(source[0]);
    F::destroy(source[1]);
    EXPECT_TRUE(!source[0] && !source[1] && !F::makeCopy(nullptr) && !P::makeCopy(nullptr));
    EXPECT_TRUE(formatted(copies[0], kSummer) == text && formatted(copies[1], kSummer) == text);
    for (int k : {2, 3}) {
        Str number(u"2,5");
        QOVAUnicodeStrToNumFormatterServices::ErrorType err{};
        EXPECT_EQ(QOVAUnicodeStrToNumFormatterServices::FormatStrToDouble(copies[k], number, err), 2.5);
    }
    Handle h{F::make("en_US")};
    Str out(u"keep"), one(formatted(h, 1));
    S::FormatDateTimeToString(nullptr, out, 0);
    EXPECT_EQ(S::FormatStringToDateTime(nullptr, one), 0);
    S::FormatDateTimeToString(h, nullptr, 0);
    EXPECT_EQ(S::FormatStringToDateTime(h, nullptr), 0);
    EXPECT_EQ(out.units(), u"keep");
}
