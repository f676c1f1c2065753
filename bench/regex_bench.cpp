// Regular expressions over the sized sample text: a find loop over every number, replaceAll of
// every number, and a split at every run of spaces; the library's operations next to the same
// RegexMatcher calls.
#include "alloc_count.h"
#include "support.h"


#include <unicode/regex.h>

#include <memory>

using icu::RegexMatcher;
using icu::UnicodeString;

namespace {

std::size_t units(const benchmark::State& state) { return static_cast<std::size_t>(state.range(0)); }

const std::u16string kNumbers = u"[0-9]+";
const std::u16string kSpaces = u"\\s+";
const std::u16string kReplacement = u"#";

// A matcher handle for `pattern` bound to a terminated input handle (which make strips).
struct LibMatcher {
    void* pattern;
    void* input;
    void* matcher;
    LibMatcher(const std::u16string& p, const std::u16string& text)
        : pattern(qbench::terminated(p)), input(qbench::terminated(text)),
          matcher(RF::make(pattern, input, 0)) {}
    ~LibMatcher() {
        RF::destroy(matcher);
        SF::destroy(input);
        SF::destroy(pattern);
    }
};

struct IcuMatcher {
    UnicodeString input;
    std::unique_ptr<RegexMatcher> matcher;
    IcuMatcher(const std::u16string& p, const std::u16string& text) : input(qbench::icu16(text)) {
        UErrorCode status = U_ZERO_ERROR;
        matcher = std::make_unique<RegexMatcher>(qbench::icu16(p), input, 0, status);
    }
};

// --- find loop: every match of the text, from the start -------------------------------------

void findLoopLib(benchmark::State& state) {
    LibMatcher m(kNumbers, qbench::sampleText(units(state)));
    qbench::measure(state, [&] {
        RS::reset(m.matcher);
        int found = 0;
        while (RS::find(m.matcher)) ++found;
        benchmark::DoNotOptimize(found);
    });
}

void findLoopIcu(benchmark::State& state) {
    IcuMatcher m(kNumbers, qbench::sampleText(units(state)));
    qbench::measure(state, [&] {
        m.matcher->reset();
        int found = 0;
        UErrorCode status = U_ZERO_ERROR;
        while (m.matcher->find(status) && U_SUCCESS(status)) ++found;
        benchmark::DoNotOptimize(found);
    });
}

// --- replaceAll into an output string -------------------------------------------------------

void replaceAllLib(benchmark::State& state) {
    LibMatcher m(kNumbers, qbench::sampleText(units(state)));
    void* replacement = qbench::terminated(kReplacement);
    void* output = SF::make();
    qbench::measure(state, [&] { benchmark::DoNotOptimize(RS::replaceAll(m.matcher, replacement, output)); });
    SF::destroy(output);
    SF::destroy(replacement);
}

void replaceAllIcu(benchmark::State& state) {
    IcuMatcher m(kNumbers, qbench::sampleText(units(state)));
    const UnicodeString replacement = qbench::icu16(kReplacement);
    UnicodeString output;
    qbench::measure(state, [&] {
        UErrorCode status = U_ZERO_ERROR;
        output = m.matcher->replaceAll(replacement, status);
        benchmark::DoNotOptimize(status);
    });
}

// A private copy of the replacement without its terminator; the output terminated.
void replaceAllSpec(benchmark::State& state) {
    IcuMatcher m(kNumbers, qbench::sampleText(units(state)));
    const UnicodeString replacement = qbench::icu16(kReplacement + u'\0');
    UnicodeString output;
    qbench::measure(state, [&] {
        UnicodeString with(replacement);
        qbench::stripTerminator(with);
        UErrorCode status = U_ZERO_ERROR;
        output = m.matcher->replaceAll(with, status);
        qbench::terminate(output);
        benchmark::DoNotOptimize(status);
    });
}

// --- split at runs of white space into an array with room for every field -------------------

int32_t fieldCount(const std::u16string& text) {
    IcuMatcher m(kSpaces, text);
    int32_t matches = 0;
    UErrorCode status = U_ZERO_ERROR;
    while (m.matcher->find(status)) ++matches;
    return matches + 2;  // fields, plus one element that stays unused
}

void splitLib(benchmark::State& state) {
    const std::u16string text = qbench::sampleText(units(state));
    const int32_t capacity = fieldCount(text);
    LibMatcher m(kSpaces, u"");
    void* input = qbench::terminated(text);
    auto fields = std::make_unique<UnicodeString[]>(static_cast<std::size_t>(capacity));
    qbench::measure(state, [&] { benchmark::DoNotOptimize(RS::split(m.matcher, input, fields.get(), capacity)); });
    SF::destroy(input);
}

void splitIcu(benchmark::State& state) {
    const std::u16string text = qbench::sampleText(units(state));
    const int32_t capacity = fieldCount(text);
    IcuMatcher m(kSpaces, u"");
    const UnicodeString input = qbench::icu16(text);
    auto fields = std::make_unique<UnicodeString[]>(static_cast<std::size_t>(capacity));
    qbench::measure(state, [&] {
        UErrorCode status = U_ZERO_ERROR;
        benchmark::DoNotOptimize(m.matcher->split(input, fields.get(), capacity, status));
    });
}

// A private copy of the input without its terminator is split.
void splitSpec(benchmark::State& state) {
    const std::u16string text = qbench::sampleText(units(state));
    const int32_t capacity = fieldCount(text);
    IcuMatcher m(kSpaces, u"");
    const UnicodeString input = qbench::icu16(text + u'\0');
    auto fields = std::make_unique<UnicodeString[]>(static_cast<std::size_t>(capacity));
    qbench::measure(state, [&] {
        UnicodeString copy(input);
        qbench::stripTerminator(copy);
        UErrorCode status = U_ZERO_ERROR;
        benchmark::DoNotOptimize(m.matcher->split(copy, fields.get(), capacity, status));
    });
}

}  // namespace

QBENCH_PAIR("regex find loop", findLoopLib, findLoopIcu, qbench::sizes);
QBENCH_TRIPLE("regex replaceAll", replaceAllLib, replaceAllIcu, replaceAllSpec, qbench::sizes);
QBENCH_TRIPLE("regex split", splitLib, splitIcu, splitSpec, qbench::sizes);
