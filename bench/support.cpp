#include "support.h"


#include <unicode/ustring.h>

#include <algorithm>
#include <vector>

namespace qbench {
namespace {

// Besides the median: the fastest repetition. On a machine shared with other work, time that
// does not belong to the operation only ever adds to a repetition, so the minimum is the
// estimate least disturbed by it.
double fastest(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

benchmark::internal::Benchmark* common(benchmark::internal::Benchmark* b) {
    return b->Unit(benchmark::kNanosecond)->ComputeStatistics("min", fastest);
}

}  // namespace

benchmark::internal::Benchmark* sizes(benchmark::internal::Benchmark* b) {
    return common(b->Arg(16)->Arg(1 << 10)->Arg(1 << 16)->Arg(1 << 20));
}

benchmark::internal::Benchmark* threads(benchmark::internal::Benchmark* b) {
    return common(b->Threads(1)->Threads(2));
}

benchmark::internal::Benchmark* single(benchmark::internal::Benchmark* b) { return common(b); }

std::u16string sampleText(std::size_t units) {
    static constexpr char16_t line[] =
        u"Caf\u00E9 receipts: 12,345.67 \u20AC paid on 2024-03-15 by M\u00FCller & Fran\u00E7ois, "
        u"the quick brown fox jumps over 987 lazy dogs; na\u00EFve fa\u00E7ade 42.\n";
    const std::u16string_view piece(line);
    std::u16string text;
    text.reserve(units);
    while (text.size() < units) text.append(piece.substr(0, units - text.size()));
    return text;
}

std::string sampleUtf8(std::size_t units) {
    const icu::UnicodeString text = icu16(sampleText(units));
    std::string bytes;
    text.toUTF8String(bytes);
    return bytes;
}

void* terminated(const icu::UnicodeString& text) {
    void* handle = SF::make();
    qkit::str(handle) = text;
    SS::nullTerminateString(handle);
    return handle;
}

void* terminated(const std::u16string& text) { return terminated(icu16(text)); }

}  // namespace qbench
