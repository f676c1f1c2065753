// Long runs of calls on one handle, failures mixed with successes, against a fresh handle for
// every call: a failed call must leave nothing in a handle that changes a later result.
#include "support.h"

#include <gtest/gtest.h>

#include <functional>

using qtest::Str;
using namespace std::literals;

// A call on a handle, which renders everything it observes as text.
using Step = std::function<std::string(void*)>;

static std::string utf8(void* str) { std::string s; return qkit::str(str).toUTF8String(s); }

// Every suffix of the run goes through one handle, so each failing step meets the handle at
// every call count up to its place in the run; each result must be that of a fresh handle.
template <class Make, class Destroy>
static void expectSameAsFresh(Make make, Destroy destroy, const std::vector<Step>& steps) {
    for (size_t first = 0; first < steps.size(); ++first) {
        void* kept = make();
        for (size_t i = first; i < steps.size(); ++i) {
            void* fresh = make();
            EXPECT_EQ(steps[i](kept), steps[i](fresh)) << "step " << i << " as call " << i - first + 1;
            destroy(fresh);
        }
        destroy(kept);
    }
}

// A formatting call's text: of a decimal string, an integer, a double with or without its precision kept.
static Step fmt(const char* s) {
    return [=](void* f) { Str o; NS::FormatDecimal(f, o, const_cast<char*>(s)); return utf8(o); };
}
static Step fmt(long long v) { return [=](void* f) { Str o; NS::FormatInt(f, o, v); return utf8(o); }; }
static Step fmt(double v, bool keep) {
    return [=](void* f) { Str o; NS::FormatDouble(f, o, v, keep, false); return utf8(o); };
}

// What the matcher shows of its last match after `op`; SEEN makes one of an expression of the matcher m.
#define SEEN(...) seen([&](void* m) { return __VA_ARGS__; })
static Step seen(std::function<bool(void*)> op) {
    return [=](void* m) {
        Str g;
        const std::string ok = std::to_string(op(m));  // before the matcher is looked at
        return ok + std::to_string(RS::start(m)) + "," + std::to_string(RS::end(m)) + (RS::group(m, g) ? utf8(g) : "-");
    };
}

// A text read; the instant as text and that text, terminator included, read back.
static Step date(std::u16string s) {
    return [=](void* f) { Str t(s); return std::to_string(DS::FormatStringToDateTime(f, t)); };
}
static Step date(long long s) {
    return [=](void* f) { Str o; DS::FormatDateTimeToString(f, o, s); return utf8(o) + date(o.units())(f); };
}

// ICU's number formatter used to build its fast path on the third call even when that call
// failed, and every later call failed with it.
TEST(Sequences, EveryHandleStaysUsableAfterFailures) {
    // A digit count that ICU rejects fails the formatting until the unlimited precision, which
    // formats the other steps' values as the default one does, replaces it.
    const Step rejectedPrecision = [](void* f) {
        int slots[2] = {-1, 0};
        NS::SetPrecisionType(f, NS::PrecisionFixedFraction, reinterpret_cast<char*>(slots));
        const std::string out = fmt(1.25, true)(f);
        NS::SetPrecisionType(f, NS::PrecisionUnlimited, nullptr);
        return out;
    };
    expectSameAsFresh([] { return NF::make("en_US"); },
                      NF::destroy, {fmt("1"), fmt("2"), fmt("x"), fmt("3"), fmt(42LL),
                      fmt(5, true), fmt(""), fmt(1.5, false), fmt("1e5"), rejectedPrecision, fmt("-"), fmt(-7LL),
                      fmt(2.5, true), fmt("12.5")});

    Str pattern(u"(a|b)*c"), input(u"abc bc ac x"), with(u"<$1>"), ref9(u"$9"), out, deep(std::u16string(300000, u'a'));
    expectSameAsFresh(
        [&] { return RF::make(pattern, input, 0); }, RF::destroy,
        {SEEN(RS::find(m, 0)), SEEN(RS::find(m, -1)), SEEN(RS::find(m, 99)), SEEN(RS::reset(m, 4) && RS::find(m)),
         SEEN(RS::replaceFirst(m, ref9, Str())), SEEN(RS::reset(m, -2)), SEEN(RS::lookingAt(m, 4)),
         // a match too deep for ICU's backtracking limit, then the input back
         SEEN(RS::reset(m, deep) && RS::matches(m, 0) ? false : RS::reset(m, input)), SEEN(RS::matches(m, 99)),
         SEEN(RS::replaceAll(m, with, out) && out.units() == u"<b> <b> <a> x\0"s), SEEN(RS::matches(m, 0))});

    std::vector<Step> parses, exports;
    for (const char16_t* text : {u"12", u"abc", u"", u"1e3 x", u"-5.5", u"\u221E", u"1,234", u"+7", u"--"})
        parses.push_back([=](void* p) {  // a double and an int parse, each of its own copy, as a parse edits its text
            PS::ErrorType e[2] = {};
            Str a(text), b(text);
            const std::string d = std::to_string(PS::FormatStrToDouble(p, a, e[0])) + " ";
            const std::string i = std::to_string(PS::FormatStrToInt32_t(p, b, e[1])) + ",";
            return d + i + std::to_string(e[0] + 2 * e[1]);
        });
    expectSameAsFresh([] { return PF::make("en_US"); },
                      PF::destroy, parses);

    Str zone(u"America/New_York");
    expectSameAsFresh([&] { return DF::make("en_US", zone); },
                      DF::destroy, {date(0), date(u"garbage"), date(u""),
                      date(1LL << 40), date(u"Feb 30, 2001"), date(-86400), date(u"13:99"), date(951782400)});

    // The codepage bytes and the size that one export reports, or its failure.
    const std::pair<std::u16string_view, int> conversions[] = {{u"a\u65E5b\0"sv, 3}, {u"abc\0"sv, 8},
        {u"\u65E5\u672C\0"sv, 4}, {u"\U0001F600x\0"sv, 8}, {u"\u65E5\0"sv, 16}, {u"x\0"sv, 1}};
    for (auto [text, capacity] : conversions)
        exports.push_back([=](void* c) {
            Str str(text);
            std::string bytes(static_cast<size_t>(capacity) + 1, 'z');
            const bool ok = SS::getAsMBCS(str, c, bytes.data(), capacity, '?');
            return std::to_string(SS::getAsMBCSsize(str, c)) + (ok ? bytes.c_str() : "-");
        });
    expectSameAsFresh([] { void* c = nullptr; CV::open("ISO-2022-JP", c); return c; }, CV::close, exports);
}

// split with a capacity below 1 used to make the text the matcher's input before ICU refused
// it, so the matcher lost its own input and position.
TEST(Sequences, SplitBelowOneCapacityLeavesTheMatcherAlone) {
    Str pattern(u","), input(u"a,b,c"), field(u"kept");
    for (int capacity : {0, -1}) {
        void* m = RF::make(pattern, input, 0);
        EXPECT_TRUE(RS::find(m) && RS::split(m, input, field, capacity) == 0 && field.units() == u"kept");
        EXPECT_TRUE(RS::find(m) && RS::start(m) == 3) << capacity;
        RF::destroy(m);
    }
}
