// Date-time formatter handles: the locale rule, zones, styles, the output's shape, parsing; and
// the format handles that date-time formatters and number parsers share. Expected texts come
// from ICU formatters configured directly, terminated and with U+202F replaced here.
#include "support.h"

#include <unicode/datefmt.h>
#include <unicode/timezone.h>

#include <memory>
#include <tuple>

using Handle = qtest::Owned<DF::destroy>;
using namespace qtest;

namespace {

constexpr long long kBeforeNewYorkDst = 1615705199;  // 2021-03-14 01:59:59 EST
constexpr long long kSummer = 1625097600;             // 2021-07-01 00:00:00 UTC

// ICU's text as the library hands it back (terminated, U+202F made a space); with asLibrary false
// exactly as ICU writes it.
std::u16string expected(int date, int time, const icu::Locale& locale, const char16_t* zone, long long seconds,
                        bool asLibrary = true) {
    using icu::DateFormat;
    std::unique_ptr<DateFormat> f(DateFormat::createDateTimeInstance(DateFormat::EStyle(date), DateFormat::EStyle(time), locale));
    f->adoptTimeZone(icu::TimeZone::createTimeZone(zone));
    icu::UnicodeString s;
    f->format(double(seconds) * 1000.0, s);
    if (asLibrary) s.append(u'\0').findAndReplace(icu::UnicodeString(u'\u202F'), icu::UnicodeString(u' '));
    return text(s);
}

std::u16string formatted(void* formatter, long long seconds) {
    Str out(u"earlier content");
    DS::FormatDateTimeToString(formatter, out, seconds);
    return out.units();
}

}  // namespace

// The locale rule, where no zone argument means GMT whatever the default zone. Besides: a locale id
// whose language part has twelve or more characters makes a bogus icu::Locale, and building a date
// format for it crashed the process inside ICU (found by fuzzing the factory). Such an id makes no
// formatter; one character less is a locale ICU holds.
TEST(DateTimeFactory, LocaleRuleAndMakeCrashedOnALocaleIdIcuCannotHold) {
    std::unique_ptr<icu::TimeZone> saved(icu::TimeZone::createDefault());
    icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone(u"Asia/Tokyo"));
    expectLocaleRule([](const char* name) { return formatted(Handle{DF::make(name)}, 0); },
                     [](const icu::Locale& l) { return expected(2, 2, l, u"GMT", 0); });
    icu::TimeZone::adoptDefault(saved.release());
    Str zone(u"Europe/Paris");
    for (const char* name : {"abcdefghijkl", "\x8c\x61\xed\x69\x6e\x8c\x8c\x6d\x69\x8d\x69\x8c", "qqqqqqqqqqqqqqqq_US"})
        EXPECT_TRUE(icu::Locale(name).isBogus() && !DF::make(name) && !DF::make(name, zone) &&
                    !DF::make(DF::StyleShort, DF::StyleNone, name, zone)) << name;
    EXPECT_NE(Handle{DF::make("abcdefghijk")}.h, nullptr);
}

// Against a formatter without a zone (GMT): a named zone keeps its daylight saving; an unknown id,
// a terminated id among them, is offset zero; a null zone makes nothing. The zone is only read.
TEST(DateTimeFactory, ZonesNamedAndUnknown) {
    Handle gmt{DF::make("en_US")};
    const std::tuple<std::u16string, long long, int> rows[] = {  // zone, seconds, offset from GMT in hours
        {u"America/New_York", kBeforeNewYorkDst, -5}, {u"America/New_York", kBeforeNewYorkDst + 1, -4},
        {u"No/Such_Zone", kSummer, 0}, {u"America/New_York\0"s, kSummer, 0}};
    for (const auto& [id, seconds, hours] : rows) {
        Str zone(id);
        EXPECT_EQ(formatted(Handle{DF::make("en_US", zone)}, seconds), formatted(gmt, seconds + hours * 3600));
        EXPECT_EQ(zone.units(), id);
    }
    EXPECT_FALSE(DF::make("en_US", nullptr) || DF::make(DF::StyleFull, DF::StyleShort, "en_US", nullptr));
}

// Every pair of ICU's styles reaches ICU date first: StyleNone leaves a part out, 128 to 131 are
// ICU's relative date styles. The text is ICU's for any second count, terminated, with every U+202F
// made a plain space and other spaces (U+00A0) left as they are; the examples with those characters
// are picked among what this ICU's data writes. Date styles that would send ICU into endless
// recursion make nothing (datetime_styles_tests probes every other number).
TEST(DateTimeFormat, EveryIcuStylePairReachesIcuDateFirstWithPlainSpacesForU202F) {
    Str zone(u"Asia/Kolkata");
    const int styles[] = {DF::StyleNone, DF::StyleFull, DF::StyleLong, DF::StyleMedium, DF::StyleShort, 128, 129, 130, 131};
    bool narrow = false;
    for (const char* locale : {"en_US", "es_US", "ja_JP"})
        for (int date : styles)
            for (int time : styles) {
                Handle h{DF::make(DF::DateTimeStyle(date), DF::DateTimeStyle(time), locale, zone)};
                for (long long s : {86399LL, -62135596800LL, LLONG_MIN, LLONG_MAX}) {
                    const std::u16string icu = expected(date, time, locale, u"Asia/Kolkata", s, false);
                    EXPECT_EQ(formatted(h, s), expected(date, time, locale, u"Asia/Kolkata", s)) << date << "," << time;
                    narrow |= icu.find(u'\u202F') != std::u16string::npos;
                }
            }
    for (int bad : {-2, -128, -300})
        EXPECT_EQ(DF::make(DF::DateTimeStyle(bad), DF::StyleShort, "en_US", zone), nullptr) << bad;
    if (!narrow) GTEST_SKIP() << "no example with U+202F in this ICU's data";
}

// Parsing reads a formatted text back as milliseconds, leaves the text as it is and stops at
// what does not belong to the date; a text without a date gives 0.
TEST(DateTimeParse, RoundTripsGiveMillisecondsReadingAnUnchangedText) {
    Handle h{DF::make("de_DE", Str(u"America/New_York"))};
    for (long long s : {0LL, -86400LL, kBeforeNewYorkDst, kBeforeNewYorkDst + 1, kSummer}) {
        Str text(formatted(h, s));  // terminated, with plain spaces
        EXPECT_TRUE(DS::FormatStringToDateTime(h, text) == s * 1000 && text.units() == formatted(h, s)) << s;
    }
    Str trailing(formatted(h, 1) + u" and more"), junk(u"no date here");
    EXPECT_TRUE(DS::FormatStringToDateTime(h, trailing) == 1000 && DS::FormatStringToDateTime(h, junk) == 0);
}

// Date-time formatters and number parsers are both format handles: either factory copies and
// destroys either kind, and a copy outlives its source. Null handles change nothing.
TEST(FormatHandles, EitherFactoryCopiesAndDestroysEitherKindNullHandlesChangeNothing) {
    Str zone(u"Europe/Paris"), number(u"2,5");
    void* src[] = {DF::make(DF::StyleLong, DF::StyleFull, "fr_FR", zone), PF::make("de_DE")};
    const std::u16string text = formatted(src[0], kSummer);
    const Handle copy[] = {{DF::makeCopy(src[0])}, {PF::makeCopy(src[0])}, {DF::makeCopy(src[1])}, {PF::makeCopy(src[1])}};
    PF::destroy(src[0]);
    DF::destroy(src[1]);
    EXPECT_TRUE(!src[0] && !src[1] && !DF::makeCopy(nullptr) && !PF::makeCopy(nullptr));
    EXPECT_TRUE(formatted(copy[0], kSummer) == text && formatted(copy[1], kSummer) == text);
    PS::ErrorType err{};
    for (int k : {2, 3}) EXPECT_EQ(PS::FormatStrToDouble(copy[k], number, err), 2.5);
    DS::FormatDateTimeToString(copy[0], nullptr, 0);  // no output string: nothing to write to
    EXPECT_TRUE(formatted(nullptr, 0) == u"earlier content" && !DS::FormatStringToDateTime(nullptr, zone) &&
                !DS::FormatStringToDateTime(copy[0], nullptr));
}
