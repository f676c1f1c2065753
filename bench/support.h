// Shared pieces of the benchmarks: sample texts, string handles, registration of pairs.
//
// Every operation is measured twice: once through the library's interface ("lib") and once as
// the same work done with direct ICU calls ("icu", its twin: what a program using ICU itself
// writes to get the same result from the same data). A pair is registered under one operation
// name with the suffixes /lib and /icu; the report pairs them by that name. Where the library's
// contract prescribes work beyond the twin's (terminators, private copies, text preparation), a
// third variant /spec does exactly that work with direct ICU calls.
#pragma once

#include "qkit.h"

#include <benchmark/benchmark.h>
#include <unicode/unistr.h>

#include <cstddef>
#include <string>

namespace qbench {

// Text sizes of the scaling benchmarks, in UTF-16 units: 16, 1 Ki, 64 Ki and 1 Mi.
benchmark::internal::Benchmark* sizes(benchmark::internal::Benchmark* b);
// One and two threads, each thread with handles of its own.
benchmark::internal::Benchmark* threads(benchmark::internal::Benchmark* b);
benchmark::internal::Benchmark* single(benchmark::internal::Benchmark* b);

// `units` UTF-16 units of mixed prose: ASCII words, digits, Latin-1 letters and the euro sign,
// every character of it in windows-1252, none outside the BMP.
std::u16string sampleText(std::size_t units);
// The same text in UTF-8.
std::string sampleUtf8(std::size_t units);

// A string handle holding `text` in terminated form, as the library hands strings back.
void* terminated(const icu::UnicodeString& text);
void* terminated(const std::u16string& text);

inline icu::UnicodeString icu16(const std::u16string& text) {
    return icu::UnicodeString(text.data(), static_cast<int32_t>(text.size()));
}

// The two terminator steps, written as direct ICU calls: the "prescribed" variants (suffix /spec)
// do the twin's work plus every step that the library's contract adds (these, private copies,
// text preparation), so that library against /spec shows what the handle layer itself costs.
inline void stripTerminator(icu::UnicodeString& s) {
    int32_t n = s.length();
    while (n > 0 && s.charAt(n - 1) == 0) --n;
    if (n != s.length()) s.truncate(n);
}

inline void terminate(icu::UnicodeString& s) {
    const int32_t n = s.length();
    if (n >= 1 && s.charAt(n - 1) == 0) return;
    s.append(static_cast<char16_t>(0));
}

// Registers `lib` as "<op>/lib" and `icu` as "<op>/icu", each called with `args` after the
// state, both shaped by `configure`.
template <class Configure, class Lib, class Icu, class... Args>
void registerPair(const std::string& op, Configure configure, Lib lib, Icu icu, Args... args) {
    configure(benchmark::RegisterBenchmark((op + "/lib").c_str(), lib, args...));
    configure(benchmark::RegisterBenchmark((op + "/icu").c_str(), icu, args...));
}

// The same with a third variant, `spec`, registered as "<op>/spec".
template <class Configure, class Lib, class Icu, class Spec, class... Args>
void registerTriple(const std::string& op, Configure configure, Lib lib, Icu icu, Spec spec,
                    Args... args) {
    registerPair(op, configure, lib, icu, args...);
    configure(benchmark::RegisterBenchmark((op + "/spec").c_str(), spec, args...));
}

}  // namespace qbench

// Registers `libFn` as "<op>/lib" and `icuFn` as "<op>/icu", both shaped by `configure`.
#define QBENCH_PAIR(op, libFn, icuFn, configure)                                                   \
    [[maybe_unused]] static benchmark::internal::Benchmark* const qbenchReg_##libFn =             \
        configure(benchmark::RegisterBenchmark(op "/lib", libFn));                                 \
    [[maybe_unused]] static benchmark::internal::Benchmark* const qbenchReg_##icuFn =             \
        configure(benchmark::RegisterBenchmark(op "/icu", icuFn))

// The same with a third variant, `specFn`, registered as "<op>/spec".
#define QBENCH_TRIPLE(op, libFn, icuFn, specFn, configure)                                         \
    QBENCH_PAIR(op, libFn, icuFn, configure);                                                      \
    [[maybe_unused]] static benchmark::internal::Benchmark* const qbenchReg_##specFn =            \
        configure(benchmark::RegisterBenchmark(op "/spec", specFn))
