// Export of a terminated string to UTF-8, UTF-32 and windows-1252 bytes: the library's
// operation next to the ICU conversion it calls, into a buffer sized as the caller sizes it
// (the *size result plus one), at the four text sizes.
#include "alloc_count.h"
#include "support.h"


#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <vector>

using icu::UnicodeString;

namespace {

std::size_t units(const benchmark::State& state) { return static_cast<std::size_t>(state.range(0)); }

// The direct-ICU side keeps the text as ICU users do, without a terminator, and passes its
// length; the library reads up to the terminator (source length -1).

void utf8Lib(benchmark::State& state) {
    void* text = qbench::terminated(qbench::sampleText(units(state)));
    std::vector<char> buffer(static_cast<std::size_t>(SS::getAsUTF8size(text)) + 1);
    const int capacity = static_cast<int>(buffer.size());
    qbench::measure(state, [&] { benchmark::DoNotOptimize(SS::getAsUTF8(text, buffer.data(), capacity)); });
    SF::destroy(text);
}

void utf8Icu(benchmark::State& state) {
    const UnicodeString text = qbench::icu16(qbench::sampleText(units(state)));
    std::vector<char> buffer(qbench::sampleUtf8(units(state)).size() + 1);
    const auto capacity = static_cast<int32_t>(buffer.size());
    qbench::measure(state, [&] {
        UErrorCode status = U_ZERO_ERROR;
        int32_t length = 0;
        u_strToUTF8(buffer.data(), capacity, &length, text.getBuffer(), text.length(), &status);
        benchmark::DoNotOptimize(status);
    });
}

// The terminated text read up to its terminator (source length -1), as prescribed.
void utf8Spec(benchmark::State& state) {
    const UnicodeString text = qbench::icu16(qbench::sampleText(units(state)) + u'\0');
    std::vector<char> buffer(qbench::sampleUtf8(units(state)).size() + 1);
    const auto capacity = static_cast<int32_t>(buffer.size());
    qbench::measure(state, [&] {
        UErrorCode status = U_ZERO_ERROR;
        int32_t length = 0;
        u_strToUTF8(buffer.data(), capacity, &length, text.getBuffer(), -1, &status);
        benchmark::DoNotOptimize(status);
    });
}

void utf32Lib(benchmark::State& state) {
    void* text = qbench::terminated(qbench::sampleText(units(state)));
    std::vector<int> buffer(static_cast<std::size_t>(SS::getAsUTF32size(text)) + 1);
    const int capacity = static_cast<int>(buffer.size());
    qbench::measure(state, [&] { benchmark::DoNotOptimize(SS::getAsUTF32(text, buffer.data(), capacity)); });
    SF::destroy(text);
}

void utf32Icu(benchmark::State& state) {
    const UnicodeString text = qbench::icu16(qbench::sampleText(units(state)));
    std::vector<UChar32> buffer(units(state) + 1);
    const auto capacity = static_cast<int32_t>(buffer.size());
    qbench::measure(state, [&] {
        UErrorCode status = U_ZERO_ERROR;
        int32_t length = 0;
        u_strToUTF32(buffer.data(), capacity, &length, text.getBuffer(), text.length(), &status);
        benchmark::DoNotOptimize(status);
    });
}

void utf32Spec(benchmark::State& state) {
    const UnicodeString text = qbench::icu16(qbench::sampleText(units(state)) + u'\0');
    std::vector<UChar32> buffer(units(state) + 1);
    const auto capacity = static_cast<int32_t>(buffer.size());
    qbench::measure(state, [&] {
        UErrorCode status = U_ZERO_ERROR;
        int32_t length = 0;
        u_strToUTF32(buffer.data(), capacity, &length, text.getBuffer(), -1, &status);
        benchmark::DoNotOptimize(status);
    });
}

// windows-1252 holds every character of the sample text, so no byte is substituted; with a
// substitute character the library then only runs its pass over the output bytes, which the
// second pair measures against the same pass written out.
void mbcsLib(benchmark::State& state, char substitute) {
    void* text = qbench::terminated(qbench::sampleText(units(state)));
    void* converter = nullptr;
    CV::open("windows-1252", converter);
    std::vector<char> buffer(static_cast<std::size_t>(SS::getAsMBCSsize(text, converter)) + 1);
    const int capacity = static_cast<int>(buffer.size());
    qbench::measure(state, [&] {
        benchmark::DoNotOptimize(SS::getAsMBCS(text, converter, buffer.data(), capacity, substitute));
    });
    CV::close(converter);
    SF::destroy(text);
}

// `terminated`: the prescribed form, the terminated text read up to its terminator.
void mbcsIcu(benchmark::State& state, char substitute, bool terminated) {
    const UnicodeString text = qbench::icu16(qbench::sampleText(units(state)) +
                                               std::u16string(terminated ? 1 : 0, u'\0'));
    const int32_t sourceLength = terminated ? -1 : text.length();
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open("windows-1252", &status);
    std::vector<char> buffer(units(state) + 1);
    const auto capacity = static_cast<int32_t>(buffer.size());
    qbench::measure(state, [&] {
        status = U_ZERO_ERROR;
        const int32_t n = ucnv_fromUChars(converter, buffer.data(), capacity, text.getBuffer(),
                                          sourceLength, &status);
        if (substitute != 0 && status == U_ZERO_ERROR) {
            char subst[4];
            int8_t count = sizeof subst;
            UErrorCode substStatus = U_ZERO_ERROR;
            ucnv_getSubstChars(converter, subst, &count, &substStatus);
            for (int32_t i = 0; i < n; ++i) {
                for (int8_t k = 0; k < count; ++k) {
                    if (buffer[i] == static_cast<unsigned char>(subst[k])) buffer[i] = substitute;
                }
            }
        }
        benchmark::DoNotOptimize(n);
    });
    ucnv_close(converter);
}

void mbcsPlainLib(benchmark::State& state) { mbcsLib(state, 0); }
void mbcsPlainIcu(benchmark::State& state) { mbcsIcu(state, 0, false); }
void mbcsPlainSpec(benchmark::State& state) { mbcsIcu(state, 0, true); }
void mbcsSubstLib(benchmark::State& state) { mbcsLib(state, '?'); }
void mbcsSubstIcu(benchmark::State& state) { mbcsIcu(state, '?', false); }
void mbcsSubstSpec(benchmark::State& state) { mbcsIcu(state, '?', true); }

}  // namespace

QBENCH_TRIPLE("getAsUTF8", utf8Lib, utf8Icu, utf8Spec, qbench::sizes);
QBENCH_TRIPLE("getAsUTF32", utf32Lib, utf32Icu, utf32Spec, qbench::sizes);
QBENCH_TRIPLE("getAsMBCS(windows-1252)", mbcsPlainLib, mbcsPlainIcu, mbcsPlainSpec, qbench::sizes);
QBENCH_TRIPLE("getAsMBCS(windows-1252, substitute '?')", mbcsSubstLib, mbcsSubstIcu, mbcsSubstSpec,
              qbench::sizes);
