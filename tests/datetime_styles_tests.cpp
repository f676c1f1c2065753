// Every date and time style number from -200 to 300 reaches ICU, paired with a plain style and
// with none, except the date styles that send ICU 72 into endless recursion, which make
// nothing. The sweep runs in a child process under an alarm, so that a number that crashes or
// hangs ICU fails this test instead of ending the run.
#include "support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>

#if !defined(_WIN32)
#include <unistd.h>
#endif


// The date styles of the range that recursed without end in ICU 72.1 when probed one by one.
static bool refused(int dateStyle) { return dateStyle >= -128 && dateStyle <= -2 && dateStyle != -5; }

// The style pairs that are not null exactly for a refused date style, or whose formatter's text
// of an instant is no more than the terminator.
static std::string sweep() {
    qtest::Str zone(u"GMT");
    std::string failures;
    for (int partner : {DF::StyleMedium, DF::StyleNone})
        for (int style = -200; style <= 300; ++style)
            for (const auto& [date, time] : {std::pair{style, partner}, std::pair{partner, style}}) {
                qtest::Str out;
                void* h = DF::make(DF::DateTimeStyle(date), DF::DateTimeStyle(time), "en_US", zone);
                if (h) DS::FormatDateTimeToString(h, out, 86399);
                DF::destroy(h);
                if (refused(date) ? !out.units().empty() : out.units().size() <= 1)
                    failures += " " + std::to_string(date) + "/" + std::to_string(time);
            }
    return failures;
}

TEST(DateTimeStyles, EveryNumberMakesAFormatterButTheRecursingDateStyles) {
#if defined(_WIN32)
    EXPECT_EQ(sweep(), "");
#else
    // The child writes the failing pairs, if any, to its stderr, which must stay empty.
    EXPECT_EXIT((alarm(60), std::fputs(sweep().c_str(), stderr), std::_Exit(0)), testing::ExitedWithCode(0), "^$");
#endif
}
