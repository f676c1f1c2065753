// String making, search, comparison and editing: the library's operation next to the ICU calls
// it stands for, at the four text sizes.
#include "alloc_count.h"
#include "support.h"


#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <vector>

using icu::UnicodeString;

namespace {

std::size_t units(const benchmark::State& state) { return static_cast<std::size_t>(state.range(0)); }

// --- the floor of every operation: a call into the library, and length() through a handle ---

// An exported function that does nothing but return 1, against a constant: the cost of calling
// across the shared library's boundary (an indirect jump through the procedure linkage table,
// no inlining).
void callLib(benchmark::State& state) {
    qbench::measure(state, [&] { benchmark::DoNotOptimize(QOVAicuC_InternalMarker()); });
}

void callIcu(benchmark::State& state) {
    qbench::measure(state, [&] { benchmark::DoNotOptimize(1); });
}

void lengthLib(benchmark::State& state) {
    void* text = qbench::terminated(qbench::sampleText(16));
    qbench::measure(state, [&] { benchmark::DoNotOptimize(SS::length(text)); });
    SF::destroy(text);
}

void lengthIcu(benchmark::State& state) {
    UnicodeString text = qbench::icu16(qbench::sampleText(16) + u'\0');
    benchmark::DoNotOptimize(&text);
    qbench::measure(state, [&] { benchmark::DoNotOptimize(text.length() - 1); });
}

// --- making a string from UTF-8 codepage bytes, then releasing it ---------------------------

void makeUtf8Lib(benchmark::State& state) {
    const std::string bytes = qbench::sampleUtf8(units(state));
    qbench::measure(state, [&] {
        void* h = SF::make(bytes.c_str(), "UTF-8");
        benchmark::DoNotOptimize(h);
        SF::destroy(h);
    });
}

void makeUtf8Icu(benchmark::State& state) {
    const std::string bytes = qbench::sampleUtf8(units(state));
    qbench::measure(state, [&] {
        auto* s = new UnicodeString(bytes.c_str(), "UTF-8");
        benchmark::DoNotOptimize(s);
        delete s;
    });
}

// --- making a string from NUL-terminated UTF-16 ---------------------------------------------

void makeUtf16Lib(benchmark::State& state) {
    const std::u16string text = qbench::sampleText(units(state));
    const auto* data = reinterpret_cast<const unsigned short*>(text.c_str());
    qbench::measure(state, [&] {
        void* h = SF::make(data);
        benchmark::DoNotOptimize(h);
        SF::destroy(h);
    });
}

void makeUtf16Icu(benchmark::State& state) {
    const std::u16string text = qbench::sampleText(units(state));
    qbench::measure(state, [&] {
        auto* s = new UnicodeString(text.c_str());
        benchmark::DoNotOptimize(s);
        delete s;
    });
}

// --- making a string from 0-terminated UTF-32 -----------------------------------------------

std::vector<int> utf32(std::size_t n) {
    const std::u16string text = qbench::sampleText(n);
    return std::vector<int>(text.begin(), text.end());  // BMP only: one code point per unit
}

void makeUtf32Lib(benchmark::State& state) {
    std::vector<int> text = utf32(units(state));
    text.push_back(0);
    qbench::measure(state, [&] {
        bool failed = false;
        void* h = SF::make(text.data(), failed);
        benchmark::DoNotOptimize(h);
        SF::destroy(h);
    });
}

// ICU's own UTF-32 factory, given the same 0-terminated text.
void makeUtf32Icu(benchmark::State& state) {
    std::vector<int> text = utf32(units(state));
    text.push_back(0);
    qbench::measure(state, [&] {
        auto* s = new UnicodeString(UnicodeString::fromUTF32(text.data(), -1));
        benchmark::DoNotOptimize(s);
        delete s;
    });
}

// The conversion as prescribed: a preflight for the length, an exactly sized temporary buffer
// from ICU's allocator, the conversion into it, and a string made from the buffer.
void makeUtf32Spec(benchmark::State& state) {
    std::vector<int> text = utf32(units(state));
    text.push_back(0);
    const auto* source = reinterpret_cast<const UChar32*>(text.data());
    qbench::measure(state, [&] {
        int32_t n = 0;
        UErrorCode status = U_ZERO_ERROR;
        u_strFromUTF32(nullptr, 0, &n, source, -1, &status);
        auto* buffer = static_cast<char16_t*>(icu::UMemory::operator new[]((static_cast<size_t>(n) + 1) * 2));
        status = U_ZERO_ERROR;
        u_strFromUTF32(buffer, n + 1, nullptr, source, -1, &status);
        auto* s = new UnicodeString(static_cast<const char16_t*>(buffer));
        icu::UMemory::operator delete[](buffer);
        benchmark::DoNotOptimize(s);
        delete s;
    });
}

// --- indexOf with a string needle that does not occur: a search of the whole text -----------

const std::u16string kNeedle = u"zebra crossing";

void indexOfLib(benchmark::State& state) {
    void* hay = qbench::terminated(qbench::sampleText(units(state)));
    void* needle = qbench::terminated(kNeedle);
    qbench::measure(state, [&] { benchmark::DoNotOptimize(SS::indexOf(hay, needle, 0)); });
    SF::destroy(needle);
    SF::destroy(hay);
}

void indexOfIcu(benchmark::State& state) {
    const UnicodeString hay = qbench::icu16(qbench::sampleText(units(state)));
    const UnicodeString needle = qbench::icu16(kNeedle);
    qbench::measure(state, [&] { benchmark::DoNotOptimize(hay.indexOf(needle, 0)); });
}

// The needle stripped for the search and terminated again.
void indexOfSpec(benchmark::State& state) {
    const UnicodeString hay = qbench::icu16(qbench::sampleText(units(state)) + u'\0');
    UnicodeString needle = qbench::icu16(kNeedle + u'\0');
    qbench::measure(state, [&] {
        qbench::stripTerminator(needle);
        benchmark::DoNotOptimize(hay.indexOf(needle, 0));
        qbench::terminate(needle);
    });
}

// --- compareIgnoringCase of a text and its upper-case form (equal, so read to the end) ------

UnicodeString upper(std::size_t n) {
    UnicodeString text = qbench::icu16(qbench::sampleText(n));
    text.toUpper(icu::Locale::getRoot());
    return text;
}

void compareIgnoringCaseLib(benchmark::State& state) {
    void* a = qbench::terminated(qbench::sampleText(units(state)));
    void* b = qbench::terminated(upper(units(state)));
    qbench::measure(state, [&] {
        int result = 2;
        SS::compareIgnoringCase(a, b, result);
        benchmark::DoNotOptimize(result);
    });
    SF::destroy(a);
    SF::destroy(b);
}

void compareIgnoringCaseIcu(benchmark::State& state) {
    const UnicodeString a = qbench::icu16(qbench::sampleText(units(state)));
    const UnicodeString b = upper(units(state));
    qbench::measure(state, [&] {
        int result = a.caseCompare(b, U_FOLD_CASE_DEFAULT | U_COMPARE_CODE_POINT_ORDER);
        benchmark::DoNotOptimize(result);
    });
}

// --- append of a sized text to a short target; both sides cut the target back afterwards, so
// every iteration starts from the same state and appends into the capacity the first one grew.

const std::u16string kPrefix = u"Entry: ";

void appendLib(benchmark::State& state) {
    void* target = qbench::terminated(kPrefix);
    void* source = qbench::terminated(qbench::sampleText(units(state)));
    const auto keep = static_cast<int32_t>(kPrefix.size());
    qbench::measure(state, [&] {
        SS::append(target, source);
        qkit::str(target).truncate(keep);
    });
    SF::destroy(target);
    SF::destroy(source);
}

void appendIcu(benchmark::State& state) {
    UnicodeString target = qbench::icu16(kPrefix);
    const UnicodeString source = qbench::icu16(qbench::sampleText(units(state)));
    const auto keep = static_cast<int32_t>(kPrefix.size());
    qbench::measure(state, [&] {
        target.append(source);
        target.truncate(keep);
    });
}

// Both strings stripped before and terminated after the append.
void appendSpec(benchmark::State& state) {
    UnicodeString target = qbench::icu16(kPrefix);
    UnicodeString source = qbench::icu16(qbench::sampleText(units(state)) + u'\0');
    const auto keep = static_cast<int32_t>(kPrefix.size());
    qbench::measure(state, [&] {
        qbench::stripTerminator(target);
        qbench::stripTerminator(source);
        target.append(source);
        qbench::terminate(target);
        qbench::terminate(source);
        target.truncate(keep);
    });
}

// --- concatenate two texts of the size into a new string, then release it -------------------

void concatenateLib(benchmark::State& state) {
    void* a = qbench::terminated(qbench::sampleText(units(state)));
    void* b = qbench::terminated(qbench::sampleText(units(state)));
    qbench::measure(state, [&] {
        void* joined = nullptr;
        SS::concatenate(a, b, joined);
        benchmark::DoNotOptimize(joined);
        SF::destroy(joined);
    });
    SF::destroy(a);
    SF::destroy(b);
}

void concatenateIcu(benchmark::State& state) {
    const UnicodeString a = qbench::icu16(qbench::sampleText(units(state)));
    const UnicodeString b = qbench::icu16(qbench::sampleText(units(state)));
    qbench::measure(state, [&] {
        auto* joined = new UnicodeString(a + b);
        benchmark::DoNotOptimize(joined);
        delete joined;
    });
}

// A new empty string, both inputs stripped, the joined text moved into it, all three terminated.
void concatenateSpec(benchmark::State& state) {
    UnicodeString a = qbench::icu16(qbench::sampleText(units(state)) + u'\0');
    UnicodeString b = qbench::icu16(qbench::sampleText(units(state)) + u'\0');
    qbench::measure(state, [&] {
        auto* joined = new UnicodeString();
        qbench::stripTerminator(a);
        qbench::stripTerminator(b);
        *joined = a + b;
        qbench::terminate(a);
        qbench::terminate(b);
        qbench::terminate(*joined);
        benchmark::DoNotOptimize(joined);
        delete joined;
    });
}

// --- substring: the middle half of the text into a new string, then release it --------------

void substringLib(benchmark::State& state) {
    void* text = qbench::terminated(qbench::sampleText(units(state)));
    const int start = static_cast<int>(units(state) / 4);
    const int length = static_cast<int>(units(state) / 2);
    qbench::measure(state, [&] {
        void* part = nullptr;
        SS::substring(text, part, start, length);
        benchmark::DoNotOptimize(part);
        SF::destroy(part);
    });
    SF::destroy(text);
}

void substringIcu(benchmark::State& state) {
    const UnicodeString text = qbench::icu16(qbench::sampleText(units(state)));
    const auto start = static_cast<int32_t>(units(state) / 4);
    const auto length = static_cast<int32_t>(units(state) / 2);
    qbench::measure(state, [&] {
        auto* part = new UnicodeString(text, start, length);
        benchmark::DoNotOptimize(part);
        delete part;
    });
}

// A new empty string whose whole range is replaced by the range of the source, terminated.
void substringSpec(benchmark::State& state) {
    const UnicodeString text = qbench::icu16(qbench::sampleText(units(state)) + u'\0');
    const auto start = static_cast<int32_t>(units(state) / 4);
    const auto length = static_cast<int32_t>(units(state) / 2);
    qbench::measure(state, [&] {
        auto* part = new UnicodeString();
        part->replace(0, part->length(), text, start, length);
        qbench::terminate(*part);
        benchmark::DoNotOptimize(part);
        delete part;
    });
}

}  // namespace

QBENCH_PAIR("call (marker export)", callLib, callIcu, qbench::single);
QBENCH_PAIR("length", lengthLib, lengthIcu, qbench::single);
QBENCH_PAIR("make(UTF-8 bytes)+destroy", makeUtf8Lib, makeUtf8Icu, qbench::sizes);
QBENCH_PAIR("make(UTF-16)+destroy", makeUtf16Lib, makeUtf16Icu, qbench::sizes);
QBENCH_TRIPLE("make(UTF-32)+destroy", makeUtf32Lib, makeUtf32Icu, makeUtf32Spec, qbench::sizes);
QBENCH_TRIPLE("indexOf(string needle)", indexOfLib, indexOfIcu, indexOfSpec, qbench::sizes);
QBENCH_PAIR("compareIgnoringCase", compareIgnoringCaseLib, compareIgnoringCaseIcu, qbench::sizes);
QBENCH_TRIPLE("append", appendLib, appendIcu, appendSpec, qbench::sizes);
QBENCH_TRIPLE("concatenate+destroy", concatenateLib, concatenateIcu, concatenateSpec, qbench::sizes);
QBENCH_TRIPLE("substring+destroy", substringLib, substringIcu, substringSpec, qbench::sizes);
