// Making strings from caller text: codepage bytes with any converter name, UTF-16, UTF-32,
// invariant characters, single units and code points; then the terminator rules and access
// on whatever came out, bogus strings included.
#include "fuzz_support.h"

#include <cstring>

namespace {

const char* const kCodepages[] = {"UTF-8", "ISO-8859-1", "Shift_JIS", "EUC-KR", "GB18030",
                                  "UTF-16BE", "UTF-32", "ibm-37", "windows-1252", "ISO-2022-JP",
                                  "SCSU", "BOCU-1", "US-ASCII", "x11-compound-text"};

void* makeOne(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 6)) {
        case 0: {  // bytes in a codepage; null and "" are ICU's default and invariant text
            std::string name;
            const char* codepage = nullptr;
            switch (in.ConsumeIntegralInRange(0, 3)) {
                case 0: break;
                case 1: codepage = ""; break;
                case 2: codepage = in.PickValueInArray(kCodepages); break;
                default: name = in.ConsumeRandomLengthString(20); codepage = name.c_str();
            }
            const std::string data = in.ConsumeRandomLengthString(256);
            return QOVAUnicodeStringFactory::make(in.ConsumeBool() ? nullptr : data.c_str(), codepage);
        }
        case 1: {  // UTF-16 up to the first zero unit
            std::u16string text = fuzz::units(in, 256);
            return QOVAUnicodeStringFactory::make(
                in.ConsumeBool() ? nullptr : reinterpret_cast<const unsigned short*>(text.c_str()));
        }
        case 2: {  // UTF-32 up to the first 0, any int values
            std::vector<int> text;
            const size_t n = in.ConsumeIntegralInRange<size_t>(0, 128);
            for (size_t i = 0; i < n && in.remaining_bytes() > 0; ++i)
                text.push_back(in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 0x10FFFF) : in.ConsumeIntegral<int>());
            text.push_back(0);
            bool failed = in.ConsumeBool();
            void* h = QOVAUnicodeStringFactory::make(in.ConsumeBool() ? nullptr : text.data(), failed);
            FUZZ_CHECK(h != nullptr);
            // A failed conversion gives an empty string; a converted one, one or two units
            // per value before the first 0.
            if (failed) FUZZ_CHECK(fuzz::str(h).isEmpty());
            return h;
        }
        case 3: {  // invariant characters, with a length within the bytes or -1
            const std::string data = in.ConsumeRandomLengthString(256);
            const int length = in.ConsumeBool() ? -1 : in.ConsumeIntegralInRange<int>(0, static_cast<int>(data.size()));
            return QOVAUnicodeStringFactory::makeInvariant(data.c_str(), length);
        }
        case 4: {
            const unsigned short unit = in.ConsumeIntegral<unsigned short>();
            void* h = QOVAUnicodeStringFactory::make(unit);
            FUZZ_CHECK(h && fuzz::str(h).length() == 1 && fuzz::str(h).charAt(0) == unit);
            return h;
        }
        case 5: {
            const int cp = in.ConsumeIntegral<int>();
            void* h = QOVAUnicodeStringFactory::make(cp);
            FUZZ_CHECK(h && fuzz::str(h).length() == ((cp < 0 || cp > 0x10FFFF) ? 0 : cp > 0xFFFF ? 2 : 1));
            return h;
        }
        default: return QOVAUnicodeStringFactory::make();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    fuzz::Str s(makeOne(in));
    icu::UnicodeString& u = s.icu();

    // Access: length is ICU's minus one, charAt compares its index unsigned.
    FUZZ_CHECK(QOVAUnicodeStringServices::length(s) == u.length() - 1);
    const int index = in.ConsumeIntegral<int>();
    const unsigned short unit = QOVAUnicodeStringServices::charAt(s, index);
    if (index < 0 || index >= u.length()) FUZZ_CHECK(unit == 0xFFFF);
    else FUZZ_CHECK(unit == u.charAt(index));
    FUZZ_CHECK(QOVAUnicodeStringServices::hashCode(s) == u.hashCode());

    // A copy holds the same units, bogus or not.
    void* copy = QOVAUnicodeStringFactory::makeCopy(s);
    FUZZ_CHECK(copy != nullptr && fuzz::str(copy) == u);
    QOVAUnicodeStringFactory::destroy(copy);
    FUZZ_CHECK(copy == nullptr);

    // Terminator rules: terminated form ends in exactly the units it had plus at most one
    // U+0000; stripping removes every trailing U+0000 and nothing else.
    const icu::UnicodeString before = u;
    QOVAUnicodeStringServices::nullTerminateString(s);
    if (!u.isBogus()) {
        FUZZ_CHECK(u.length() >= 1 && u.charAt(u.length() - 1) == 0);
        FUZZ_CHECK(u.length() - before.length() <= 1 && u.startsWith(before));
        FUZZ_CHECK(QOVAUnicodeStringServices::charAt(s, QOVAUnicodeStringServices::length(s)) == 0);
    }
    QOVAUnicodeStringServices::removeNullTerminator(s);
    FUZZ_CHECK(u.isEmpty() || u.charAt(u.length() - 1) != 0);
    FUZZ_CHECK(before.startsWith(u));
    return 0;
}
