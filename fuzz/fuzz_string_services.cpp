// Sequences of string services and exports on a small pool of strings, with fuzzed units,
// indexes, lengths and capacities. Every export buffer is allocated with exactly the capacity
// passed, so AddressSanitizer catches a write past it.
#include "fuzz_support.h"

#include <memory>

namespace {

constexpr int kPool = 3;

const char* const kConverters[] = {"UTF-8", "ISO-8859-1", "US-ASCII", "Shift_JIS", "ibm-37",
                                   "windows-1252", "UTF-16", "ISO-2022-JP", "GB18030"};

// The text of a string as the encoding exports read it: up to the first U+0000 unit.
icu::UnicodeString textPart(const icu::UnicodeString& s) {
    const int32_t zero = s.indexOf(char16_t(0));
    return zero < 0 ? s : icu::UnicodeString(s, 0, zero);
}

icu::UnicodeString stripped(icu::UnicodeString s) {
    int32_t n = s.length();
    while (n > 0 && s.charAt(n - 1) == 0) --n;
    s.truncate(n);
    return s;
}

// A capacity near the size (so that the boundary is hit often), or any small value.
int capacityNear(FuzzedDataProvider& in, int size) {
    return in.ConsumeBool() ? size + in.ConsumeIntegralInRange(-2, 2) : in.ConsumeIntegralInRange(-4, 300);
}

template <class T>
std::unique_ptr<T[]> bufferOf(int capacity) {
    return std::unique_ptr<T[]>(new T[capacity > 0 ? static_cast<size_t>(capacity) : 0]);
}

void exportOne(FuzzedDataProvider& in, void* s, void* converter) {
    const icu::UnicodeString& u = fuzz::str(s);
    switch (in.ConsumeIntegralInRange(0, 4)) {
        case 0: {
            const int size = QOVAUnicodeStringServices::getAsUTF16size(s);
            FUZZ_CHECK(size == u.length());
            const int cap = capacityNear(in, size);
            auto buf = bufferOf<unsigned short>(cap);
            const bool ok = QOVAUnicodeStringServices::getAsUTF16(s, buf.get(), cap);
            FUZZ_CHECK(ok == (cap >= size));
            if (ok) FUZZ_CHECK(u.compare(reinterpret_cast<const char16_t*>(buf.get()), size) == 0);
            break;
        }
        case 1: {
            const int size = QOVAUnicodeStringServices::getAsUTF8size(s);
            const int cap = capacityNear(in, size + 1);
            auto buf = bufferOf<char>(cap);
            if (QOVAUnicodeStringServices::getAsUTF8(s, buf.get(), cap)) {
                FUZZ_CHECK(cap >= size + 1 && buf[size] == 0);
                FUZZ_CHECK(textPart(u) == icu::UnicodeString::fromUTF8(icu::StringPiece(buf.get(), size)));
            }
            break;
        }
        case 2: {
            const int size = QOVAUnicodeStringServices::getAsUTF32size(s);
            const int cap = capacityNear(in, size + 1);
            auto buf = bufferOf<int>(cap);
            if (QOVAUnicodeStringServices::getAsUTF32(s, buf.get(), cap)) {
                FUZZ_CHECK(cap >= size + 1 && buf[size] == 0);
                FUZZ_CHECK(textPart(u) == icu::UnicodeString::fromUTF32(buf.get(), size));
            }
            break;
        }
        case 3: {
            const int size = QOVAUnicodeStringServices::getAsWCSsize(s);
            const int cap = capacityNear(in, size + 1);
            auto buf = bufferOf<wchar_t>(cap);
            if (QOVAUnicodeStringServices::getAsWCS(s, buf.get(), cap)) FUZZ_CHECK(cap >= size + 1 && buf[size] == 0);
            break;
        }
        default: {
            if (!converter) break;
            const int size = QOVAUnicodeStringServices::getAsMBCSsize(s, converter);
            const int cap = capacityNear(in, size + 1);
            auto buf = bufferOf<char>(cap);
            const char substitute = in.ConsumeIntegral<char>();
            const bool ok = QOVAUnicodeStringServices::getAsMBCS(s, converter, buf.get(), cap, substitute);
            if (ok) FUZZ_CHECK(cap >= size + 1 && buf[size] == 0);
            if (cap <= 0) FUZZ_CHECK(!ok);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    void* pool[kPool];
    for (void*& h : pool) h = fuzz::makeUnits(fuzz::units(in, 64));
    void* converter = nullptr;
    {
        std::string name = in.ConsumeBool() ? std::string(in.PickValueInArray(kConverters))
                                            : in.ConsumeRandomLengthString(16);
        const bool opened = QOVAUnicodeCodepageConverter::open(name.c_str(), converter);
        FUZZ_CHECK(opened == (converter != nullptr));
    }

    for (int step = 0; step < 24 && in.remaining_bytes() > 0; ++step) {
        void* a = pool[in.ConsumeIntegralInRange(0, kPool - 1)];
        void* b = pool[in.ConsumeIntegralInRange(0, kPool - 1)];
        const int i = in.ConsumeBool() ? in.ConsumeIntegralInRange(-2, 70) : in.ConsumeIntegral<int>();
        const int n = in.ConsumeBool() ? in.ConsumeIntegralInRange(-2, 70) : in.ConsumeIntegral<int>();
        const unsigned short unit = in.ConsumeBool() ? in.ConsumeIntegralInRange<unsigned short>(0, 3) : in.ConsumeIntegral<unsigned short>();
        int result = 0x5A5A;
        switch (in.ConsumeIntegralInRange(0, 14)) {
            case 0: QOVAUnicodeStringServices::nullTerminateString(a); break;
            case 1: QOVAUnicodeStringServices::removeNullTerminator(a); break;
            case 2: {
                const int at = QOVAUnicodeStringServices::indexOf(a, b, i);
                FUZZ_CHECK(at == -1 || (at >= 0 && at < fuzz::str(a).length()));
                break;
            }
            case 3: (void)QOVAUnicodeStringServices::lastIndexOf(a, b, i); break;
            case 4: {
                const int at = QOVAUnicodeStringServices::indexOf(a, unit, i);
                FUZZ_CHECK(at == -1 || fuzz::str(a).charAt(at) == unit);
                break;
            }
            case 5: {
                const int at = QOVAUnicodeStringServices::lastIndexOf(a, unit, i);
                FUZZ_CHECK(at == -1 || fuzz::str(a).charAt(at) == unit);
                break;
            }
            case 6:
                FUZZ_CHECK(QOVAUnicodeStringServices::compareCodePointOrder(a, b, result));
                FUZZ_CHECK(result >= -1 && result <= 1);
                break;
            case 7:
                FUZZ_CHECK(QOVAUnicodeStringServices::compareIgnoringCase(a, b, result));
                FUZZ_CHECK(result >= -1 && result <= 1);
                break;
            case 8: FUZZ_CHECK(in.ConsumeBool() ? QOVAUnicodeStringServices::convertToLower(a)
                                               : QOVAUnicodeStringServices::convertToUpper(a)); break;
            case 9: {
                // Both come out terminated: the target with the joined text, the source as it was.
                icu::UnicodeString expected = stripped(fuzz::str(a)) + stripped(fuzz::str(b));
                icu::UnicodeString source = stripped(fuzz::str(b));
                FUZZ_CHECK(QOVAUnicodeStringServices::append(a, b));
                FUZZ_CHECK(fuzz::str(a) == expected.append(char16_t(0)));
                if (a != b) FUZZ_CHECK(fuzz::str(b) == source.append(char16_t(0)));
                break;
            }
            case 10: {
                void* joined = nullptr;
                icu::UnicodeString expected = stripped(fuzz::str(a)) + stripped(fuzz::str(b));
                FUZZ_CHECK(QOVAUnicodeStringServices::concatenate(a, b, joined));
                fuzz::Str owner(joined);
                FUZZ_CHECK(owner.icu() == expected.append(char16_t(0)));
                break;
            }
            case 11: {
                FUZZ_CHECK(QOVAUnicodeStringServices::replace(a, unit, in.ConsumeIntegral<unsigned short>()));
                break;
            }
            case 12: {
                void* part = nullptr;
                const icu::UnicodeString whole = fuzz::str(a);
                FUZZ_CHECK(QOVAUnicodeStringServices::substring(a, part, i, n));
                fuzz::Str owner(part);
                FUZZ_CHECK(fuzz::str(a) == whole);
                // At most n units from max(i, 0), clipped to the end, then terminated.
                const int64_t s = i < 0 ? 0 : i;
                const int64_t take = (n < 0 || s >= whole.length()) ? 0 : std::min<int64_t>(n, whole.length() - s);
                icu::UnicodeString expected(whole, static_cast<int32_t>(take ? s : 0), static_cast<int32_t>(take));
                if (expected.isEmpty() || expected.charAt(expected.length() - 1) != 0) expected.append(char16_t(0));
                FUZZ_CHECK(owner.icu() == expected);
                break;
            }
            case 13: exportOne(in, a, converter); break;
            default:
                if (converter) FUZZ_CHECK(QOVAUnicodeCodepageConverter::reset(converter));
        }
        FUZZ_CHECK(QOVAUnicodeStringServices::length(a) == fuzz::str(a).length() - 1);
    }
    if (converter) FUZZ_CHECK(QOVAUnicodeCodepageConverter::close(converter) && converter == nullptr);
    for (void*& h : pool) QOVAUnicodeStringFactory::destroy(h);
    return 0;
}
