// Number formatters with fuzzed locales, settings (any 32-bit enumeration value, any slot
// bytes), units, decimal text, doubles and integers. Whatever the settings, formatting leaves
// either a terminated text or ICU's empty failure result, and a copy formats like its source.
#include "fuzz_support.h"

#include <cstring>

namespace {

using NS = QOVAUnicodeNumFormatterServices;

template <class E>
E anyValue(FuzzedDataProvider& in, int rows) {
    return static_cast<E>(in.ConsumeBool() ? in.ConsumeIntegralInRange(-1, rows) : in.ConsumeIntegral<int>());
}

void applySetting(FuzzedDataProvider& in, void* f) {
    // Two 8-byte slots: small digit counts most of the time, any bytes otherwise.
    char slots[16];
    if (in.ConsumeBool()) {
        const int64_t a = in.ConsumeIntegralInRange(-2, 40), b = in.ConsumeIntegralInRange(-2, 40);
        std::memcpy(slots, &a, 8);
        std::memcpy(slots + 8, &b, 8);
        if (in.ConsumeBool()) {
            const double inc = in.ConsumeFloatingPoint<double>();
            std::memcpy(slots, &inc, 8);
        }
    } else {
        for (char& c : slots) c = in.ConsumeIntegral<char>();
    }
    switch (in.ConsumeIntegralInRange(0, 7)) {
        case 0: NS::SetGroupingType(f, anyValue<NS::GroupingType>(in, 5)); break;
        case 1: NS::SetIntegerWidthType(f, anyValue<NS::IntegerWidthType>(in, 2), slots); break;
        case 2: NS::SetNotationType(f, anyValue<NS::NotationType>(in, 5)); break;
        case 3: NS::SetPrecisionType(f, anyValue<NS::PrecisionType>(in, 13), slots); break;
        case 4: NS::SetRoundingModeType(f, anyValue<NS::RoundingModeType>(in, 8)); break;
        case 5: NS::SetSignDisplayType(f, anyValue<NS::SignDisplayType>(in, 7)); break;
        case 6: NS::SetUnitWidthType(f, anyValue<NS::UnitWidthType>(in, 5)); break;
        default: NS::SetUnitType(f, anyValue<NS::UnitType>(in, 103));
    }
}

// Terminated text, or ICU's failure result: nothing at all.
void checkOutput(const icu::UnicodeString& out) {
    FUZZ_CHECK(out.isEmpty() || out.charAt(out.length() - 1) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    bool nullLocale = false;
    const std::string locale = fuzz::localeName(in, nullLocale);
    void* f = QOVAUnicodeNumFormatterFactory::make(nullLocale ? nullptr : locale.c_str());
    FUZZ_CHECK(f != nullptr);
    const int settings = in.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < settings; ++i) applySetting(in, f);

    void* copy = QOVAUnicodeNumFormatterFactory::makeCopy(f);
    FUZZ_CHECK(copy != nullptr);
    fuzz::Str out, again(QOVAUnicodeStringFactory::make(u'x'));
    for (int i = 0; i < 3; ++i) {
        switch (in.ConsumeIntegralInRange(0, 2)) {
            case 0: {
                std::string text = in.ConsumeRandomLengthString(64);
                char* decimal = in.ConsumeBool() ? nullptr : text.data();
                NS::FormatDecimal(f, out, decimal);
                NS::FormatDecimal(copy, again, decimal);
                break;
            }
            case 1: {
                const double v = in.ConsumeFloatingPoint<double>();
                const bool a = in.ConsumeBool(), b = in.ConsumeBool();
                NS::FormatDouble(f, out, v, a, b);
                NS::FormatDouble(copy, again, v, a, b);
                break;
            }
            default: {
                const long long v = in.ConsumeIntegral<long long>();
                NS::FormatInt(f, out, v);
                NS::FormatInt(copy, again, v);
            }
        }
        checkOutput(out.icu());
        FUZZ_CHECK(out.icu() == again.icu());
    }
    QOVAUnicodeNumFormatterFactory::destroy(copy);
    QOVAUnicodeNumFormatterFactory::destroy(f);
    FUZZ_CHECK(f == nullptr && copy == nullptr);
    return 0;
}
