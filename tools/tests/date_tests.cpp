// qovaicu date: the three ways to make a formatter, every style, parsing, failures. Expected
// texts come from ICU's date format with the same locale, styles and zone.
#include "run_tool.h"

#include <gtest/gtest.h>
#include <unicode/datefmt.h>
#include <unicode/timezone.h>

#include <memory>
#include <string>

namespace {

using tooltest::run;

// ICU's text for `seconds`, with U+202F as a plain space, as the library writes it.
std::string icuText(icu::DateFormat::EStyle date, icu::DateFormat::EStyle time, const char* locale,
                    const char* zone, long long seconds) {
    std::unique_ptr<icu::DateFormat> f(icu::DateFormat::createDateTimeInstance(date, time, icu::Locale(locale)));
    EXPECT_NE(f, nullptr);
    if (!f) return {};
    f->adoptTimeZone(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(zone)));
    icu::UnicodeString text;
    f->format(static_cast<UDate>(seconds) * 1000.0, text);
    text.findAndReplace(icu::UnicodeString(static_cast<char16_t>(0x202F)), icu::UnicodeString(u' '));
    std::string out;
    text.toUTF8String(out);
    return out + "\n";
}

TEST(DateCommand, DefaultsToMediumStylesInGmt) {
    const auto r = run({"date", "--locale", "en_US", "0", "86399"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, icuText(icu::DateFormat::kMedium, icu::DateFormat::kMedium, "en_US", "GMT", 0) +
                         icuText(icu::DateFormat::kMedium, icu::DateFormat::kMedium, "en_US", "GMT", 86399));
    // The narrow no-break space of English times is a plain space in the output.
    EXPECT_EQ(r.out.find("\xE2\x80\xAF"), std::string::npos);
}

TEST(DateCommand, ZoneAndNegativeSeconds) {
    const auto r = run({"date", "-l", "en_US", "--zone", "America/New_York", "0", "-86400"});
    EXPECT_EQ(r.out, icuText(icu::DateFormat::kMedium, icu::DateFormat::kMedium, "en_US", "America/New_York", 0) +
                         icuText(icu::DateFormat::kMedium, icu::DateFormat::kMedium, "en_US",
                                 "America/New_York", -86400));
    // An unknown zone acts as offset zero.
    EXPECT_EQ(run({"date", "-l", "en_US", "-z", "Nowhere/Atlantis", "0"}).out,
              icuText(icu::DateFormat::kMedium, icu::DateFormat::kMedium, "en_US", "GMT", 0));
}

TEST(DateCommand, EveryDateAndTimeStyle) {
    const std::pair<const char*, icu::DateFormat::EStyle> styles[] = {
        {"full", icu::DateFormat::kFull},     {"long", icu::DateFormat::kLong},
        {"medium", icu::DateFormat::kMedium}, {"short", icu::DateFormat::kShort},
        {"none", icu::DateFormat::kNone}};
    for (const auto& [name, style] : styles) {
        const auto byDate = run({"date", "-l", "fr_FR", "-z", "Europe/Paris", "--date-style", name,
                                 "--time-style", "short", "1700000000"});
        EXPECT_EQ(byDate.out, icuText(style, icu::DateFormat::kShort, "fr_FR", "Europe/Paris", 1700000000)) << name;
        const auto byTime = run({"date", "-l", "fr_FR", "-z", "Europe/Paris", "--date-style", "short",
                                 "--time-style", name, "1700000000"});
        EXPECT_EQ(byTime.out, icuText(icu::DateFormat::kShort, style, "fr_FR", "Europe/Paris", 1700000000)) << name;
    }
    // Styles without a zone: GMT.
    EXPECT_EQ(run({"date", "-l", "en_US", "-d", "short", "3600"}).out,
              icuText(icu::DateFormat::kShort, icu::DateFormat::kMedium, "en_US", "GMT", 3600));
}

TEST(DateCommand, ParsesIntoMilliseconds) {
    // What the tool writes, it reads back: seconds in, milliseconds out.
    const auto formatted = run({"date", "-l", "en_US", "-z", "Asia/Tokyo", "1700000000"});
    std::string text = formatted.out.substr(0, formatted.out.size() - 1);
    const auto r = run({"date", "-l", "en_US", "-z", "Asia/Tokyo", "--parse", text});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1700000000000\n");
    // The epoch's own text is 0 and no failure.
    std::string epoch = icuText(icu::DateFormat::kMedium, icu::DateFormat::kMedium, "en_US", "GMT", 0);
    epoch.pop_back();
    const auto zero = run({"date", "-l", "en_US", "-p"}, epoch + "\n");
    EXPECT_EQ(zero.status, 0) << zero.err;
    EXPECT_EQ(zero.out, "0\n");
}

TEST(DateCommand, BadValuesAndOptions) {
    const auto garbage = run({"date", "-l", "en_US", "--parse", "yesterday-ish"});
    EXPECT_EQ(garbage.status, 1);
    EXPECT_EQ(garbage.out, "");
    EXPECT_NE(garbage.err.find("cannot read a date and time in 'yesterday-ish'"), std::string::npos)
        << garbage.err;
    const auto notSeconds = run({"date", "-l", "en_US", "12.5", "0"});
    EXPECT_EQ(notSeconds.status, 1);
    EXPECT_NE(notSeconds.err.find("'12.5' is not a whole number of seconds"), std::string::npos);
    EXPECT_EQ(notSeconds.out,
              icuText(icu::DateFormat::kMedium, icu::DateFormat::kMedium, "en_US", "GMT", 0));
    const auto style = run({"date", "--date-style", "tiny", "0"});
    EXPECT_EQ(style.status, 2);
    EXPECT_NE(style.err.find("unknown style 'tiny'"), std::string::npos) << style.err;
}

}  // namespace
