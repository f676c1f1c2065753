// Allocation counting for the benchmarks: every allocation that ICU makes through its allocator
// (u_setMemoryFunctions) and every global operator new in the process is counted per thread, so
// that a benchmark reports how many allocations one operation makes.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

namespace qbench {

struct AllocTally {
    std::uint64_t count = 0;  // allocations (malloc, realloc, operator new)
    std::uint64_t bytes = 0;  // bytes requested by them
};

// This thread's running tally.
AllocTally& threadTally() noexcept;

// Routes ICU's allocations through the counters. Must run before ICU's first allocation in the
// process (first thing in main); returns false when ICU refuses (it has already allocated).
bool installIcuCounting() noexcept;

// Counts the allocations of this thread from construction to report(), which stores them per
// iteration in the counters "allocs" and "alloc_bytes" (summed over threads, divided by the
// iterations of all threads).
class AllocMeter {
public:
    AllocMeter() noexcept : start_(threadTally()) {}
    void report(benchmark::State& state) const {
        const AllocTally end = threadTally();
        const double count = static_cast<double>(end.count - start_.count);
        const double bytes = static_cast<double>(end.bytes - start_.bytes);
        state.counters["allocs"] = benchmark::Counter(count, benchmark::Counter::kAvgIterations);
        state.counters["alloc_bytes"] = benchmark::Counter(bytes, benchmark::Counter::kAvgIterations);
    }

private:
    AllocTally start_;
};

// The measuring loop of every benchmark: one untimed, uncounted call of `op` first, so that
// one-time work (an ICU cache filled, a buffer grown to its working capacity) counts neither in
// the time nor in the allocations of the operation; then the timed loop, counted.
template <class Op>
inline void measure(benchmark::State& state, Op&& op) {
    op();
    AllocMeter meter;
    for (auto _ : state) op();
    meter.report(state);
}

}  // namespace qbench
