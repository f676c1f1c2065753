// Date-time formatters with fuzzed styles (any value reaches ICU), locales and zone IDs;
// formatting of any count of seconds and parsing of fuzzed text. Output is terminated and
// never holds U+202F; parsing leaves its text unchanged; a copy behaves like its source.
#include "fuzz_support.h"

namespace {

using DF = QOVAUnicodeDateTimeFormatterFactory;
using DS = QOVAUnicodeDateTimeFormatterServices;

const char16_t* const kZones[] = {u"GMT", u"America/New_York", u"Asia/Kolkata", u"Europe/Berlin",
                                  u"Australia/Lord_Howe", u"Etc/GMT+14", u"GMT+05:30", u"UTC",
                                  u"no/such_zone", u"", u"Pacific/Chatham"};

DF::DateTimeStyle style(FuzzedDataProvider& in) {
    return static_cast<DF::DateTimeStyle>(in.ConsumeBool() ? in.ConsumeIntegralInRange(-1, 3)
                                                           : in.ConsumeIntegral<int>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    bool nullLocale = false;
    const std::string locale = fuzz::localeName(in, nullLocale);
    const char* loc = nullLocale ? nullptr : locale.c_str();
    const std::u16string zoneId = in.ConsumeBool() ? std::u16string(in.PickValueInArray(kZones)) : fuzz::units(in, 32);
    fuzz::Str zone(fuzz::makeUnits(zoneId));
    void* f = nullptr;
    switch (in.ConsumeIntegralInRange(0, 2)) {
        case 0: f = DF::make(loc); break;
        case 1: f = DF::make(loc, zone); break;
        default: {
            const DF::DateTimeStyle date = style(in), time = style(in);
            f = DF::make(date, time, loc, zone);
        }
    }
    FUZZ_CHECK(zone.icu() == icu::UnicodeString(zoneId.data(), static_cast<int32_t>(zoneId.size())));
    if (!f) return 0;
    void* copy = DF::makeCopy(f);
    FUZZ_CHECK(copy != nullptr);

    const long long seconds = in.ConsumeBool() ? in.ConsumeIntegralInRange<long long>(-(1LL << 36), 1LL << 36)
                                               : in.ConsumeIntegral<long long>();
    fuzz::Str out, again;
    DS::FormatDateTimeToString(f, out, seconds);
    DS::FormatDateTimeToString(copy, again, seconds);
    const icu::UnicodeString& o = out.icu();
    FUZZ_CHECK(!o.isEmpty() && o.charAt(o.length() - 1) == 0 && o.indexOf(char16_t(0x202F)) < 0);
    FUZZ_CHECK(o == again.icu());

    // Parse the formatted text back, or fuzzed text; neither string changes.
    fuzz::Str text(in.ConsumeBool() ? QOVAUnicodeStringFactory::makeCopy(out) : fuzz::makeUnits(fuzz::units(in, 64)));
    const icu::UnicodeString before = text.icu();
    const long long ms = DS::FormatStringToDateTime(f, text);
    FUZZ_CHECK(ms == DS::FormatStringToDateTime(copy, text));
    FUZZ_CHECK(text.icu() == before);
    DF::destroy(copy);
    DF::destroy(f);
    FUZZ_CHECK(f == nullptr);
    return 0;
}
