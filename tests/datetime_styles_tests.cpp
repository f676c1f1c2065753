// Every date and time style number from -200 to 300 reaches ICU, paired with a plain style and
// with none, except the date styles that send ICU 72 into endless recursion, which make
// nothing. The sweep runs in a child process under an alarm, so that a number that crashes or
// hangs ICU fails this test instead of ending the run.
#include "support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
#endif

using F = QOVAUnicodeDateTimeFormatterFactory;
using qtest::Str;

namespace {

// The date styles of the range that recursed without end in ICU 72.1 when probed one by one.
bool refused(int dateStyle) { return dateStyle >= -128 && dateStyle <= -2 && dateStyle != -5; }

// One style pair: null exactly for a refused date style, otherwise a formatter whose text of
// an instant is more than the terminator. Empty when all is well.
std::string check(int date, int time, void* zone) {
    void* h = F::make(F::DateTimeStyle(date), F::DateTimeStyle(time), "en_US", zone);
    Str out;
    if (h) QOVAUnicodeDateTimeFormatterServices::FormatDateTimeToString(h, out, 86399);
    F::destroy(h);
    if (refused(date) ? out.units().empty() : out.units().size() > 1) return "";
    return " " + std::to_string(date) + "/" + std::to_string(time);
}

std::string sweep() {
    Str zone(u"GMT");
    std::string failures;
    for (int partner : {F::StyleMedium, F::StyleNone})
        for (int style = -200; style <= 300; ++style)
            failures += check(style, partner, zone) + check(partner, style, zone);
    return failures;
}

}  // namespace

TEST(DateTimeStyles, EveryNumberMakesAFormatterButTheRecursingDateStyles) {
#if defined(_WIN32)
    EXPECT_EQ(sweep(), "");
#else
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        alarm(60);
        const std::string failures = sweep();
        if (!failures.empty()) std::fprintf(stderr, "failing date/time styles:%s\n", failures.c_str());
        _exit(failures.empty() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "see the failing styles above";
#endif
}
