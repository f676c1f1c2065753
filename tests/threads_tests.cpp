// Several threads at once, each making, using and destroying its own handles of every kind.
// The library keeps no state between calls, so every thread's transcript must equal the one
// that the same work gives on a single thread. Run under ThreadSanitizer by .ci/stages/tsan.
#include "support.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Transcript = std::vector<std::u16string>;

std::u16string number(long long v) {
    const std::string s = std::to_string(v);
    return std::u16string(s.begin(), s.end());
}

// Strings: every factory form, the terminator rules and access.
Transcript stringWork() {
    Transcript t;
    const int utf32[] = {0x48, 0x1F600, 0x69, 0};
    const unsigned short utf16[] = {0x61, 0xD83D, 0xDE00, 0};
    bool failed = true;
    void* made[] = {
        QOVAUnicodeStringFactory::make(),
        QOVAUnicodeStringFactory::make(static_cast<unsigned short>(0xD800)),
        QOVAUnicodeStringFactory::make(0x1F600),
        QOVAUnicodeStringFactory::make("gr\xfc\xdf", "ISO-8859-1"),
        QOVAUnicodeStringFactory::make("\x82\xa0\x82\xa2", "Shift_JIS"),
        QOVAUnicodeStringFactory::make(utf16),
        QOVAUnicodeStringFactory::make(utf32, failed),
        QOVAUnicodeStringFactory::makeInvariant("invariant", -1),
    };
    t.push_back(number(failed));
    for (void*& h : made) {
        void* copy = QOVAUnicodeStringFactory::makeCopy(h);
        QOVAUnicodeStringServices::nullTerminateString(copy);
        t.push_back(qtest::units(copy));
        t.push_back(number(QOVAUnicodeStringServices::length(copy)));
        t.push_back(number(QOVAUnicodeStringServices::hashCode(copy)));
        t.push_back(number(QOVAUnicodeStringServices::charAt(copy, 1)));
        QOVAUnicodeStringServices::removeNullTerminator(copy);
        t.push_back(qtest::units(copy));
        QOVAUnicodeStringFactory::destroy(copy);
        QOVAUnicodeStringFactory::destroy(h);
    }
    return t;
}

// Runs `work` on `threads` threads at once, `rounds` times each, and expects every transcript
// to equal the single-threaded one.
void expectSameOnEveryThread(const std::function<Transcript()>& work, int threads = 4, int rounds = 20) {
    const Transcript expected = work();
    ASSERT_FALSE(expected.empty());
    std::vector<int> mismatches(static_cast<size_t>(threads), 0);
    std::vector<std::thread> pool;
    for (int i = 0; i < threads; ++i)
        pool.emplace_back([&, i] {
            for (int r = 0; r < rounds; ++r)
                if (work() != expected) ++mismatches[static_cast<size_t>(i)];
        });
    for (auto& th : pool) th.join();
    for (int i = 0; i < threads; ++i) EXPECT_EQ(mismatches[static_cast<size_t>(i)], 0) << "thread " << i;
}

TEST(Threads, StringsOnSeveralThreads) { expectSameOnEveryThread(stringWork); }

// Every family's work on its own thread at the same time, twice over.
TEST(Threads, AllFamiliesAtOnce) {
    const std::vector<std::function<Transcript()>> families = {stringWork};
    std::vector<Transcript> expected;
    for (const auto& f : families) expected.push_back(f());
    std::vector<int> mismatches(families.size() * 2, 0);
    std::vector<std::thread> pool;
    for (size_t i = 0; i < mismatches.size(); ++i)
        pool.emplace_back([&, i] {
            const size_t f = i % families.size();
            for (int r = 0; r < 20; ++r)
                if (families[f]() != expected[f]) ++mismatches[i];
        });
    for (auto& th : pool) th.join();
    for (size_t i = 0; i < mismatches.size(); ++i) EXPECT_EQ(mismatches[i], 0) << "worker " << i;
}

}  // namespace
