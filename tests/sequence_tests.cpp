// Long runs of calls on one handle, failures mixed with successes, against a fresh handle for
// every call: a failed call must leave nothing in a handle that changes a later result.
#include "support.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

using qtest::Str;
using namespace std::literals;

namespace {

// A step's name, and the step itself, which renders everything it observes as text.
using Step = std::pair<const char*, std::function<std::string(void*)>>;

std::string utf8(void* str) { std::string s; return qtest::ustr(str).toUTF8String(s); }

// Every suffix of the run goes through one handle, so each failing step meets the handle at
// every call count up to its place in the run; each result must be that of a fresh handle.
template <class Make, class Destroy>
void expectSameAsFresh(Make make, Destroy destroy, const std::vector<Step>& steps) {
    for (size_t first = 0; first < steps.size(); ++first) {
        void* kept = make();
        for (size_t i = first; i < steps.size(); ++i) {
            void* fresh = make();
            EXPECT_EQ(steps[i].second(kept), steps[i].second(fresh))
                << steps[i].first << " as call " << i - first + 1 << " of the handle";
            destroy(fresh);
        }
        destroy(kept);
    }
}

using NF = QOVAUnicodeNumFormatterServices;
Step decimal(const char* text) {
    return {text, [=](void* f) { Str out; NF::FormatDecimal(f, out, const_cast<char*>(text)); return utf8(out); }};
}
Step integer(long long v) {
    return {"int", [=](void* f) { Str out; NF::FormatInt(f, out, v); return utf8(out); }};
}
Step real(double v, bool keep) {
    return {"double", [=](void* f) { Str out; NF::FormatDouble(f, out, v, keep, false); return utf8(out); }};
}

using RS = QOVAUnicodeRegexServices;
// What the matcher shows of its last match after `op`.
Step matcherStep(const char* name, std::function<bool(void*)> op) {
    return {name, [=](void* m) {
        Str group;
        const bool found = op(m), grouped = RS::group(m, group);
        return std::to_string(found) + std::to_string(RS::start(m)) + "," +
               std::to_string(RS::end(m)) + (grouped ? utf8(group) : "-");
    }};
}

using PS = QOVAUnicodeStrToNumFormatterServices;
// A double and an int parse of one text, each on its own copy, since a parse edits its text.
Step parsed(const char16_t* text) {
    return {"parse", [=](void* p) {
        PS::ErrorType e[2] = {};
        Str a(text), b(text);
        return std::to_string(PS::FormatStrToDouble(p, a, e[0])) + " " +
               std::to_string(PS::FormatStrToInt32_t(p, b, e[1])) + std::to_string(e[0] + 2 * e[1]);
    }};
}

using DS = QOVAUnicodeDateTimeFormatterServices;
// The instant as text, and that text (terminator included) read back.
Step roundTrip(long long seconds) {
    return {"format", [=](void* f) {
        Str out;
        DS::FormatDateTimeToString(f, out, seconds);
        return utf8(out) + std::to_string(DS::FormatStringToDateTime(f, out));
    }};
}
Step dateParse(const char16_t* text) {
    return {"parse", [=](void* f) { Str t(text); return std::to_string(DS::FormatStringToDateTime(f, t)); }};
}

// The codepage bytes and the size that one export reports, or its failure.
Step exported(std::u16string_view text, int capacity) {
    return {"export", [=](void* c) {
        Str str(text);
        std::vector<char> bytes(static_cast<size_t>(capacity) + 1, 'z');
        const bool ok = QOVAUnicodeStringServices::getAsMBCS(str, c, bytes.data(), capacity, '?');
        return std::to_string(QOVAUnicodeStringServices::getAsMBCSsize(str, c)) +
               (ok ? std::string(bytes.data()) : "-");
    }};
}

}  // namespace

// ICU's number formatter used to build its fast path on the third call even when that call
// failed, and every later call failed with it.
TEST(Sequences, NumberFormatterStaysUsableAfterFailures) {
    // A digit count that ICU rejects fails the formatting until the unlimited precision, which
    // formats the other steps' values as the default one does, replaces it.
    const Step rejectedPrecision{"precision", [](void* f) {
        int slots[2] = {-1, 0};
        NF::SetPrecisionType(f, NF::PrecisionFixedFraction, reinterpret_cast<char*>(slots));
        Str out;
        NF::FormatDouble(f, out, 1.25, true, false);
        NF::SetPrecisionType(f, NF::PrecisionUnlimited, nullptr);
        return utf8(out);
    }};
    expectSameAsFresh([] { return QOVAUnicodeNumFormatterFactory::make("en_US"); },
                      QOVAUnicodeNumFormatterFactory::destroy,
                      {decimal("1"), decimal("2"), decimal("x"), decimal("3"), integer(42),
                       real(5, true), decimal(""), real(1.5, false), decimal("1e5"),
                       rejectedPrecision, decimal("-"), integer(-7), real(2.5, true),
                       decimal("12.5")});
}

TEST(Sequences, OtherHandlesStayUsableAfterFailures) {
    Str pattern(u"(a|b)*c"), input(u"abc bc ac x"), with(u"<$1>"), ref9(u"$9");
    Str deep(std::u16string(300000, u'a'));  // deep enough for ICU's backtracking limit
    const Step overflow{"deep", [&](void* m) {
        const bool matched = RS::reset(m, deep) && RS::matches(m, 0);
        return std::to_string(matched) + std::to_string(RS::reset(m, input));
    }};
    expectSameAsFresh([&] { return QOVAUnicodeRegexFactory::make(pattern, input, 0); },
                      QOVAUnicodeRegexFactory::destroy,
                      {matcherStep("find 0", [](void* m) { return RS::find(m, 0); }),
                       matcherStep("find -1", [](void* m) { return RS::find(m, -1); }),
                       matcherStep("find 99", [](void* m) { return RS::find(m, 99); }),
                       matcherStep("reset 4", [](void* m) { return RS::reset(m, 4) && RS::find(m); }),
                       matcherStep("bad ref", [&](void* m) { Str o; return RS::replaceFirst(m, ref9, o); }),
                       overflow,
                       matcherStep("reset -2", [](void* m) { return RS::reset(m, -2); }),
                       matcherStep("lookingAt 4", [](void* m) { return RS::lookingAt(m, 4); }),
                       matcherStep("replace", [&](void* m) {
                           Str o;
                           return RS::replaceAll(m, with, o) && o.units() == u"<b> <b> <a> x\0"s;
                       }),
                       matcherStep("matches 99", [](void* m) { return RS::matches(m, 99); }),
                       matcherStep("matches 0", [](void* m) { return RS::matches(m, 0); })});

    expectSameAsFresh([] { return QOVAUnicodeStrToNumFormatterFactory::make("en_US"); },
                      QOVAUnicodeStrToNumFormatterFactory::destroy,
                      {parsed(u"12"), parsed(u"abc"), parsed(u""), parsed(u"1e3 x"), parsed(u"-5.5"),
                       parsed(u"\u221E"), parsed(u"1,234"), parsed(u"+7"), parsed(u"--")});

    Str zone(u"America/New_York");
    expectSameAsFresh([&] { return QOVAUnicodeDateTimeFormatterFactory::make("en_US", zone); },
                      QOVAUnicodeDateTimeFormatterFactory::destroy,
                      {roundTrip(0), dateParse(u"garbage"), dateParse(u""), roundTrip(1LL << 40),
                       dateParse(u"Feb 30, 2001"), roundTrip(-86400), dateParse(u"13:99"),
                       roundTrip(951782400)});

    using C = QOVAUnicodeCodepageConverter;
    expectSameAsFresh([] { void* c = nullptr; C::open("ISO-2022-JP", c); return c; },
                      [](void*& c) { C::close(c); },
                      {exported(u"a\u65E5b\0"sv, 3), exported(u"abc\0"sv, 8),
                       exported(u"\u65E5\u672C\0"sv, 4), exported(u"\U0001F600x\0"sv, 8),
                       exported(u"\u65E5\0"sv, 16), exported(u"x\0"sv, 1)});
}

// split with a capacity below 1 used to make the text the matcher's input before ICU refused
// it, so the matcher lost its own input and position.
TEST(Sequences, SplitBelowOneCapacityLeavesTheMatcherAlone) {
    Str pattern(u","), input(u"a,b,c"), field(u"kept");
    for (int capacity : {0, -1}) {
        void* m = QOVAUnicodeRegexFactory::make(pattern, input, 0);
        ASSERT_TRUE(RS::find(m));
        EXPECT_TRUE(RS::split(m, input, field, capacity) == 0 && field.units() == u"kept");
        EXPECT_TRUE(RS::find(m) && RS::start(m) == 3) << capacity;
        QOVAUnicodeRegexFactory::destroy(m);
    }
}
