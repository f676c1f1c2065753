// Four threads run the work of every family at once, each with handles of its own, and check each
// result against the one the same work gave before the threads started: state that one handle
// shares with another shows here as a changed result, and as a data race under .ci/stages/tsan.
#include "support.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using qtest::Str;
using U = std::u16string;
using V = std::u16string_view;

U number(double v) { const std::string s = std::to_string(v); return U(s.begin(), s.end()); }

U (*const kWork[])() = {
    [] {  // make from a codepage, copy, concatenate, upper case, export through a converter
        Str a(SF::make("gr\xfc\xdf", "ISO-8859-1")), b(SF::makeCopy(a));
        void *made = nullptr, *conv = nullptr;
        char bytes[16] = {};
        SS::concatenate(a, b, made), SS::convertToUpper(made), CV::open("latin1", conv);
        SS::getAsMBCS(a, conv, bytes, sizeof bytes, '?'), CV::close(conv);
        return Str(made).units() + U(bytes, bytes + 5);
    },
    [] {
        Str pattern(V(u"(\\p{L}+)-(\\d+)")), in(V(u"ab-12 \u00E9t\u00E9-3 x-99y")), with(V(u"$2:$1")), out, group;
        void* m = RF::make(pattern, in, 0);
        RS::find(m), RS::group(m, group);
        RS::replaceAll(m, with, out), RF::destroy(m);
        return group.units() + out.units();
    },
    [] {  // a copy set apart from its source, and a parser
        void *f = NF::make("de_DE"), *copy = NF::makeCopy(f);
        void* parser = PF::make("de_DE");
        Str out[2], text(V(u" +1.234,5 "));
        NS::SetGroupingType(copy, NS::GroupingOff), NS::FormatInt(copy, out[0], -9876543210LL);
        NS::FormatDouble(f, out[1], -1234.5, false, false);
        auto err = PS::ErrorNone;
        const double v = PS::FormatStrToDouble(parser, text, err);
        NF::destroy(f), NF::destroy(copy);
        return PF::destroy(parser), out[0].units() + out[1].units() + number(v);
    },
    [] {
        Str zone(V(u"America/New_York")), out;
        void* f = DF::make("de_DE", zone);
        void* copy = DF::makeCopy(f);
        DS::FormatDateTimeToString(copy, out, 1700000000);
        const double ms = static_cast<double>(DS::FormatStringToDateTime(f, out));
        DF::destroy(f), DF::destroy(copy);
        return out.units() + number(ms);
    }};

TEST(Threads, EveryFamilyOnFourThreadsGivesItsResultAlone) {
    U alone[4];
    for (int i = 0; i < 4; ++i) EXPECT_GT((alone[i] = kWork[i]()).size(), 8u) << "family " << i;
    int wrong[4][4] = {};  // per thread and family, the results that differ from the one alone
    std::vector<std::thread> pool;
    for (int t = 0; t < 4; ++t)  // each thread starts at another family, so that families meet in ICU
        pool.emplace_back([&, t] {
            for (int i = t; i < t + 200; ++i) wrong[t][i % 4] += kWork[i % 4]() != alone[i % 4];
        });
    for (auto& th : pool) th.join();
    for (int t = 0; t < 16; ++t) EXPECT_EQ(wrong[t / 4][t % 4], 0) << "thread " << t / 4 << ", family " << t % 4;
}

}  // namespace
