// Number parsing of fuzzed text for fuzzed locales, through all four result types. The text
// comes out trimmed and without plus signs, the error kind is only ever set to ErrorInvalid,
// and the unsigned result stays within 32 bits.
#include "fuzz_support.h"

namespace {

using PS = QOVAUnicodeStrToNumFormatterServices;

const char16_t* const kNumbers[] = {u"42", u" +1,234.5 ", u"-7", u"1e308", u"\u221E", u"-\u221E",
                                    u"NaN", u"3000000000", u"9223372036854775808", u"2,5", u"\u0661\u0662"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    bool nullLocale = false;
    const std::string locale = fuzz::localeName(in, nullLocale);
    void* p = QOVAUnicodeStrToNumFormatterFactory::make(nullLocale ? nullptr : locale.c_str());
    FUZZ_CHECK(p != nullptr);
    void* copy = QOVAUnicodeStrToNumFormatterFactory::makeCopy(p);
    FUZZ_CHECK(copy != nullptr);

    const std::u16string text = in.ConsumeBool() ? std::u16string(in.PickValueInArray(kNumbers)) : fuzz::units(in, 64);
    // The edit that every parse makes in place: trimmed, then every '+' removed.
    icu::UnicodeString edited(text.data(), static_cast<int32_t>(text.size()));
    edited.trim();
    edited.findAndReplace(icu::UnicodeString("+", ""), icu::UnicodeString("", ""));

    const int which = in.ConsumeIntegralInRange(0, 3);
    PS::ErrorType err = static_cast<PS::ErrorType>(in.ConsumeIntegralInRange(0, 2));
    const PS::ErrorType before = err;
    fuzz::Str s(fuzz::makeUnits(text)), t(fuzz::makeUnits(text));
    PS::ErrorType errCopy = before;
    switch (which) {
        case 0: {
            const double a = PS::FormatStrToDouble(p, s, err), b = PS::FormatStrToDouble(copy, t, errCopy);
            FUZZ_CHECK((a == b) || (a != a && b != b));
            break;
        }
        case 1: FUZZ_CHECK(PS::FormatStrToInt32_t(p, s, err) == PS::FormatStrToInt32_t(copy, t, errCopy)); break;
        case 2: FUZZ_CHECK(PS::FormatStrToInt64_t(p, s, err) == PS::FormatStrToInt64_t(copy, t, errCopy)); break;
        default: {
            const unsigned long v = PS::FormatStrToULong(p, s, err);
            FUZZ_CHECK(v <= 0xFFFFFFFFul && v == PS::FormatStrToULong(copy, t, errCopy));
        }
    }
    FUZZ_CHECK(err == before || err == PS::ErrorInvalid);
    FUZZ_CHECK(err == errCopy);
    FUZZ_CHECK(s.icu() == edited && t.icu() == edited);
    QOVAUnicodeStrToNumFormatterFactory::destroy(copy);
    QOVAUnicodeStrToNumFormatterFactory::destroy(p);
    return 0;
}
