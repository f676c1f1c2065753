// Long runs of calls on one handle, failures mixed with successes, against a fresh handle for
// every call: a failed call must leave nothing in a handle that changes a later result.
#include "support.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using qtest::Str;
using namespace std::literals;

namespace {

// One step renders everything it observes as text; a family says how a handle is made.
struct Step {
    const char* name;
    std::function<std::string(void*)> run;
};
struct Family {
    std::function<void*()> make;
    std::function<void(void*&)> destroy;
    std::vector<Step> steps;
};

std::string utf8(void* str) { std::string s; return qtest::ustr(str).toUTF8String(s); }

// Every suffix of the run goes through one handle, so each failing step meets the handle at
// every call count up to its place in the run; each result must be that of a fresh handle.
void expectSameAsFresh(const Family& family) {
    const auto& steps = family.steps;
    for (size_t first = 0; first < steps.size(); ++first) {
        void* kept = family.make();
        for (size_t i = first; i < steps.size(); ++i) {
            void* fresh = family.make();
            EXPECT_EQ(steps[i].run(kept), steps[i].run(fresh))
                << steps[i].name << " as call " << i - first + 1 << " of the handle";
            family.destroy(fresh);
        }
        family.destroy(kept);
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
        const std::string failed = utf8(out);
        NF::SetPrecisionType(f, NF::PrecisionUnlimited, nullptr);
        NF::FormatInt(f, out, 3);
        return failed + "|" + utf8(out);
    }};
    expectSameAsFresh({[] { return QOVAUnicodeNumFormatterFactory::make("en_US"); },
                       QOVAUnicodeNumFormatterFactory::destroy,
                       {decimal("1"), decimal("2"), decimal("x"), decimal("3"), integer(42),
                        real(5, true), decimal(""), real(1.5, false), decimal("1e5"),
                        rejectedPrecision, decimal("-"), integer(-7), real(2.5, true),
                        decimal("12.5")}});
}
