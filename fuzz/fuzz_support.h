// Shared helpers of the fuzz targets: input decoding and invariant checks. A broken invariant
// aborts, which libFuzzer reports as a crash with the input that caused it.
#pragma once

#include "QOVAicuC.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <unicode/unistr.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#define FUZZ_CHECK(cond)                                                                     \
    do {                                                                                     \
        if (!(cond)) {                                                                       \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)

namespace fuzz {

inline icu::UnicodeString& str(void* h) { return *static_cast<icu::UnicodeString*>(h); }

// Owns one string handle; null only when the factory failed, which it must not here.
class Str {
public:
    explicit Str(void* h) : h_(h) { FUZZ_CHECK(h_ != nullptr); }
    Str() : Str(QOVAUnicodeStringFactory::make()) {}
    Str(const Str&) = delete;
    Str& operator=(const Str&) = delete;
    ~Str() { QOVAUnicodeStringFactory::destroy(h_); }
    operator void*() const { return h_; }
    icu::UnicodeString& icu() const { return str(h_); }

private:
    void* h_;
};

// Up to `max` UTF-16 units of fuzz data, any values (U+0000 and lone surrogates included).
inline std::u16string units(FuzzedDataProvider& in, size_t max) {
    const size_t n = in.ConsumeIntegralInRange<size_t>(0, max);
    std::u16string s;
    for (size_t i = 0; i < n && in.remaining_bytes() > 0; ++i) s.push_back(in.ConsumeIntegral<char16_t>());
    return s;
}

// A string handle with exactly these units.
inline void* makeUnits(const std::u16string& s) {
    void* h = QOVAUnicodeStringFactory::make();
    FUZZ_CHECK(h != nullptr);
    str(h).setTo(s.data(), static_cast<int32_t>(s.size()));
    return h;
}

// A locale argument: null, "", "C", a known name or fuzzed text.
inline std::string localeName(FuzzedDataProvider& in, bool& isNull) {
    static const char* const known[] = {"C", "", "en_US", "de_DE", "fr_FR", "ar_EG", "hi_IN",
                                        "ja_JP", "th_TH@numbers=thai", "c", "C.UTF-8", "xx_YY"};
    isNull = false;
    switch (in.ConsumeIntegralInRange(0, 2)) {
        case 0: isNull = true; return {};
        case 1: return in.PickValueInArray(known);
        default: return in.ConsumeRandomLengthString(24);
    }
}

}  // namespace fuzz
