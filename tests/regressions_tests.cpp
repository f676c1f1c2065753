// Regression tests for defects that the hardening suites found, each named after what broke.
#include "support.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>

#include <string>

namespace {

// Found by fuzzing the date-time factory: a locale id whose language part has twelve or more
// characters (any bytes) makes a bogus icu::Locale, and building a date format for it crashed
// the process inside ICU. Such an id now makes no formatter.
TEST(Regression, DateTimeMakeCrashedOnALocaleIdThatIcuCannotHold) {
    using DF = QOVAUnicodeDateTimeFormatterFactory;
    const std::string names[] = {"abcdefghijkl", "\x8c\x61\xed\x69\x6e\x8c\x8c\x6d\x69\x8d\x69\x8c",
                                 std::string(40, 'q') + "_US"};
    qtest::Str zone(std::u16string_view(u"Europe/Paris"));
    for (const std::string& name : names) {
        ASSERT_TRUE(icu::Locale(name.c_str()).isBogus()) << name;
        EXPECT_EQ(DF::make(name.c_str()), nullptr);
        EXPECT_EQ(DF::make(name.c_str(), zone), nullptr);
        EXPECT_EQ(DF::make(DF::StyleShort, DF::StyleNone, name.c_str(), zone), nullptr);
    }
    // One character less is a locale that ICU holds (without data: its fallback formats).
    void* f = DF::make("abcdefghijk");
    EXPECT_NE(f, nullptr);
    DF::destroy(f);
}

}  // namespace
