// The benchmark program: installs the counting allocators before ICU's first allocation, runs
// the registered benchmarks, and after the usual console output prints two tables: each
// operation through the library next to its direct-ICU twin (median of the repetitions when
// there are several), and the cost per UTF-16 unit of the sized benchmarks.
#include "alloc_count.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Measure {
    bool present = false;
    double ns = 0;     // wall time per operation (median of the repetitions)
    double minNs = 0;  // wall time per operation of the fastest repetition
    double cpuNs = 0;  // CPU time per operation
    double allocs = 0;
    double order = 0;  // registration order, for printing in it
};

struct Row {
    std::string op;       // operation name without the /lib or /icu suffix
    std::string arg;      // benchmark argument (text size), if any
    std::string threads;  // "threads:N", if set
    Measure lib, icu, spec;
};

class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) collect(run);
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        printPairs();
        printScaling();
        printThreads();
    }

private:
    void collect(const Run& run) {
        if (run.error_occurred) return;
        const bool aggregate = run.run_type == Run::RT_Aggregate;
        const bool median = aggregate && run.aggregate_name == "median";
        const bool fastest = aggregate && run.aggregate_name == "min";
        const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
        if (!median && !fastest && !single) return;
        const std::string& fn = run.run_name.function_name;
        const std::size_t slash = fn.rfind('/');
        if (slash == std::string::npos) return;
        const std::string side = fn.substr(slash + 1);
        if (side != "lib" && side != "icu" && side != "spec") return;
        const std::string key = fn.substr(0, slash) + "|" + run.run_name.args + "|" + run.run_name.threads;
        auto found = index_.find(key);
        if (found == index_.end()) {
            found = index_.emplace(key, rows_.size()).first;
            rows_.push_back(Row{fn.substr(0, slash), run.run_name.args, run.run_name.threads, {}, {}, {}});
        }
        Row& row = rows_[found->second];
        Measure& m = side == "lib" ? row.lib : side == "icu" ? row.icu : row.spec;
        const double toNs = 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        if (fastest) {
            m.minNs = run.GetAdjustedRealTime() * toNs;
            return;
        }
        m.present = true;
        m.ns = run.GetAdjustedRealTime() * toNs;
        if (single) m.minNs = m.ns;
        m.cpuNs = run.GetAdjustedCPUTime() * toNs;
        m.order = static_cast<double>(run.family_index) + static_cast<double>(run.per_family_instance_index) / 1e6;
        const auto allocs = run.counters.find("allocs");
        m.allocs = allocs == run.counters.end() ? 0 : allocs->second.value;
    }

    static std::string label(const Row& r) {
        std::string s = r.op;
        if (!r.arg.empty()) s += " [" + r.arg + "]";
        if (!r.threads.empty()) s += " " + r.threads;
        return s;
    }

    static std::string number(double v, const char* format) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, format, v);
        return buffer;
    }

    void sortRows() {
        std::sort(rows_.begin(), rows_.end(), [](const Row& a, const Row& b) {
            return (a.lib.present ? a.lib.order : a.icu.order) < (b.lib.present ? b.lib.order : b.icu.order);
        });
    }

    static std::string ratio(double a, double b) {
        if (a <= 0 || b <= 0) return "-";
        const double r = a / b;
        return number(r, "%.3f") + (r > 1.05 ? " *" : "");
    }

    void printPairs() {
        sortRows();
        std::ostream& out = GetOutputStream();
        out << "\n| operation | library ns/op | ICU twin ns/op | ratio | ratio, fastest runs | CPU-time ratio "
               "| allocs library / twin | twin + prescribed steps ns/op | ratio to it | ratio to it, fastest "
               "runs | its allocs |\n"
               "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
        for (const Row& r : rows_) {
            if (!r.lib.present || !r.icu.present) continue;
            out << "| " << label(r) << " | " << number(r.lib.ns, "%.1f") << " | " << number(r.icu.ns, "%.1f")
                << " | " << ratio(r.lib.ns, r.icu.ns) << " | " << ratio(r.lib.minNs, r.icu.minNs) << " | "
                << number(r.lib.cpuNs / r.icu.cpuNs, "%.3f") << " | " << number(r.lib.allocs, "%.2f")
                << " / " << number(r.icu.allocs, "%.2f") << (r.lib.allocs > r.icu.allocs + 0.005 ? " *" : "")
                << " | ";
            if (r.spec.present) {
                out << number(r.spec.ns, "%.1f") << " | " << ratio(r.lib.ns, r.spec.ns) << " | "
                    << ratio(r.lib.minNs, r.spec.minNs) << " | " << number(r.spec.allocs, "%.2f") << " |\n";
            } else {
                out << "- | - | - | - |\n";
            }
        }
        out << "(ns/op: median wall time of the repetitions; ratios: library / other, wall time, of the "
               "medians or of the fastest repetitions; * above 1.05, or more allocations than the twin)\n";
        printSummary();
    }

    // The geometric means of the ratios over many rows: noise that lengthens one side or the
    // other in single rows cancels out, work that the library adds everywhere does not.
    void printSummary() {
        double logTwin = 0, logSpec = 0, logTwinOfSpecRows = 0;
        int twinRows = 0, specRows = 0;
        for (const Row& r : rows_) {
            if (!r.lib.present || !r.icu.present || r.op.rfind("call", 0) == 0 || r.op == "length")
                continue;
            logTwin += std::log(r.lib.ns / r.icu.ns);
            ++twinRows;
            if (!r.spec.present) continue;
            logSpec += std::log(r.lib.ns / r.spec.ns);
            logTwinOfSpecRows += std::log(r.lib.ns / r.icu.ns);
            ++specRows;
        }
        if (twinRows == 0) return;
        std::ostream& out = GetOutputStream();
        out << "Geometric mean of library / twin over " << twinRows
            << " rows (the call and length rows left out): " << number(std::exp(logTwin / twinRows), "%.3f")
            << "\n";
        if (specRows == 0) return;
        out << "Over the " << specRows << " rows with prescribed steps: library / twin "
            << number(std::exp(logTwinOfSpecRows / specRows), "%.3f")
            << ", library / (twin + prescribed steps) " << number(std::exp(logSpec / specRows), "%.3f") << "\n";
    }

    // For the sized benchmarks: ns per UTF-16 unit of the library call at each size, which stays
    // flat when the cost grows linearly with the text.
    void printScaling() {
        std::map<std::string, std::vector<const Row*>> byOp;
        std::vector<std::string> order;
        for (const Row& r : rows_) {
            if (r.arg.empty() || !r.threads.empty() || !r.lib.present) continue;
            if (byOp[r.op].empty()) order.push_back(r.op);
            byOp[r.op].push_back(&r);
        }
        if (order.empty()) return;
        std::ostream& out = GetOutputStream();
        out << "\n| operation (library) | size | ns/op | ns per unit |\n|---|---:|---:|---:|\n";
        for (const std::string& op : order) {
            for (const Row* r : byOp[op]) {
                const double units = std::stod(r->arg);
                out << "| " << op << " | " << r->arg << " | " << number(r->lib.ns, "%.1f") << " | "
                    << number(r->lib.ns / units, "%.3f") << " |\n";
            }
        }
    }

    // For the benchmarks run on one and on two threads (each thread with handles of its own): the
    // throughput gained by the second thread, for the library and for the twin, and the CPU time
    // that one operation takes with two threads against one. A library without shared state
    // gains what ICU itself gains, and its operations take no more CPU time when two threads run
    // them at once (a contended lock or a cache line passed between cores would add to it),
    // however busy the machine is.
    void printThreads() {
        std::map<std::string, std::pair<const Row*, const Row*>> byOp;
        std::vector<std::string> order;
        for (const Row& r : rows_) {
            if (r.threads != "threads:1" && r.threads != "threads:2") continue;
            auto& slot = byOp[r.op + r.arg];
            if (!slot.first && !slot.second) order.push_back(r.op + r.arg);
            (r.threads == "threads:1" ? slot.first : slot.second) = &r;
        }
        if (order.empty()) return;
        std::ostream& out = GetOutputStream();
        out << "\n| operation | library speed-up, 2 threads | twin speed-up, 2 threads | library CPU time per op, "
               "2 threads / 1 | twin CPU time per op, 2 threads / 1 |\n|---|---:|---:|---:|---:|\n";
        for (const std::string& op : order) {
            const auto [one, two] = byOp[op];
            if (!one || !two || !one->lib.present || !two->lib.present || !one->icu.present ||
                !two->icu.present)
                continue;
            out << "| " << one->op << " | " << number(one->lib.ns / two->lib.ns, "%.2f") << " | "
                << number(one->icu.ns / two->icu.ns, "%.2f") << " | "
                << number(two->lib.cpuNs / one->lib.cpuNs, "%.2f") << " | "
                << number(two->icu.cpuNs / one->icu.cpuNs, "%.2f") << " |\n";
        }
    }

    std::vector<Row> rows_;
    std::map<std::string, std::size_t> index_;
};

}  // namespace

int main(int argc, char** argv) {
    // Before anything can make ICU allocate: ICU accepts its memory functions only then.
    if (!qbench::installIcuCounting()) {
        std::fprintf(stderr, "ICU refused the counting allocator: it had already allocated\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
