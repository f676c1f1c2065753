// One libFuzzer target for every family: the first input byte picks the family, the rest is
// decoded by FuzzedDataProvider. Each family gets fuzzed text, numbers, locales, settings and
// sizes, and checks the invariants that hold whatever ICU answers; a broken one aborts, which
// libFuzzer reports with the input that caused it.
#include "QOVAicuC.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#define CHECK(cond) ((cond) ? void() : broken(__LINE__, #cond))

namespace {

[[noreturn]] void broken(int line, const char* what) {
    std::fprintf(stderr, "fuzz_families.cpp:%d: invariant broken: %s\n", line, what);
    std::abort();
}

using icu::UnicodeString;
using SF = QOVAUnicodeStringFactory;
using SS = QOVAUnicodeStringServices;
using RS = QOVAUnicodeRegexServices;
using NS = QOVAUnicodeNumFormatterServices;
using PS = QOVAUnicodeStrToNumFormatterServices;
using DF = QOVAUnicodeDateTimeFormatterFactory;

UnicodeString& str(void* h) { return *static_cast<UnicodeString*>(h); }
bool terminated(const UnicodeString& s) { return !s.isEmpty() && s.charAt(s.length() - 1) == 0; }
UnicodeString stripped(UnicodeString s) {
    while (terminated(s)) s.truncate(s.length() - 1);
    return s;
}

// String handles that the input's run owns, of up to `max` fuzzed UTF-16 units (any values).
struct Strings {
    std::vector<void*> all;
    ~Strings() {
        for (void*& h : all) SF::destroy(h);
    }
    void* add(void* h) { return CHECK(h), all.push_back(h), h; }
    void* units(FuzzedDataProvider& in, size_t max) {
        std::u16string s;
        for (size_t n = in.ConsumeIntegralInRange<size_t>(0, max); s.size() < n && in.remaining_bytes();) s.push_back(in.ConsumeIntegral<char16_t>());
        return str(add(SF::make())).setTo(s.data(), static_cast<int32_t>(s.size())), all.back();
    }
};

// A locale argument: null, "", "C", a known name or fuzzed text (kept in `name`).
const char* localeArgument(FuzzedDataProvider& in, std::string& name) {
    const char* known[] = {"C", "", "en_US", "de_DE", "ar_EG", "hi_IN", "ja_JP", "th_TH@numbers=thai", "c", "C.UTF-8", "xx_YY"};
    name = in.ConsumeBool() ? in.PickValueInArray(known) : in.ConsumeRandomLengthString(24);
    return in.ConsumeBool() ? name.c_str() : nullptr;
}
template <class E>
E anyValue(FuzzedDataProvider& in, int rows) {
    return static_cast<E>(in.ConsumeBool() ? in.ConsumeIntegralInRange(-1, rows) : in.ConsumeIntegral<int>());
}

// Factories, access and the terminator rules, bogus strings included.
void stringFactory(FuzzedDataProvider& in, Strings& s) {
    const char* codepages[] = {"UTF-8", "ISO-8859-1", "Shift_JIS", "UTF-16BE", "ibm-37", "ISO-2022-JP", "SCSU", "BOCU-1", "", nullptr};
    const std::string name = in.ConsumeBool() ? in.ConsumeRandomLengthString(20) : "";
    const std::string bytes = in.ConsumeRandomLengthString(256);
    std::vector<int> utf32;
    for (size_t n = in.ConsumeIntegralInRange(0, 64); utf32.size() < n && in.remaining_bytes();) utf32.push_back(in.ConsumeIntegral<int>());
    utf32.push_back(0);
    bool failed = in.ConsumeBool();
    const int codePoint = in.ConsumeIntegral<int>();
    void* made[] = {s.add(SF::make(bytes.c_str(), name.empty() ? in.PickValueInArray(codepages) : name.c_str())),
                    s.add(SF::makeInvariant(bytes.c_str(), in.ConsumeIntegralInRange<int>(-1, static_cast<int>(bytes.size())))),
                    s.add(SF::make(utf32.data(), failed)), s.add(SF::make(codePoint)), s.units(in, 64)};
    CHECK(!failed || str(made[2]).isEmpty());
    CHECK(str(made[3]).length() == (codePoint < 0 || codePoint > 0x10FFFF ? 0 : codePoint > 0xFFFF ? 2 : 1));
    for (void* h : made) {
        const UnicodeString before = str(h);
        const int index = in.ConsumeIntegral<int>();
        CHECK(SS::charAt(h, index) == (index < 0 || index >= before.length() ? 0xFFFF : before.charAt(index)));
        CHECK(str(s.add(SF::makeCopy(h))) == before && SS::hashCode(h) == before.hashCode());
        SS::nullTerminateString(h);
        CHECK(before.isBogus() || (terminated(str(h)) && str(h).length() - before.length() <= 1 && str(h).startsWith(before)));
        SS::removeNullTerminator(h);
        CHECK(!terminated(str(h)) && before.startsWith(str(h)));
    }
}

// Services and exports on a pool of three strings; every export buffer has exactly the fuzzed
// capacity, so AddressSanitizer catches a write past it.
void stringServices(FuzzedDataProvider& in, Strings& s) {
    void* pool[] = {s.units(in, 64), s.units(in, 64), s.units(in, 64)};
    void* converter = nullptr;
    const char* converters[] = {"UTF-8", "ISO-8859-1", "Shift_JIS", "ibm-37", "UTF-16", "ISO-2022-JP", "GB18030"};
    const std::string name = in.ConsumeBool() ? in.PickValueInArray(converters) : in.ConsumeRandomLengthString(16);
    CHECK(QOVAUnicodeCodepageConverter::open(name.c_str(), converter) == (converter != nullptr));
    for (int step = 0; step < 24 && in.remaining_bytes(); ++step) {
        void* a = in.PickValueInArray(pool);
        void* b = in.PickValueInArray(pool);
        const int i = in.ConsumeIntegralInRange(-2, 70), length = in.ConsumeIntegralInRange(-2, 70);
        const unsigned short unit = in.ConsumeIntegralInRange<unsigned short>(0, 3);
        const UnicodeString joined = stripped(str(a)) + stripped(str(b)) + UnicodeString(char16_t(0)), before = str(a);
        const int capacity = in.ConsumeIntegralInRange(-2, 300);
        const size_t n = static_cast<size_t>(capacity > 0 ? capacity : 0);
        std::unique_ptr<char[]> bytes(new char[n]);
        std::unique_ptr<unsigned short[]> utf16(new unsigned short[n]);
        std::unique_ptr<int[]> utf32(new int[n]);
        int result = 7, at = -1;
        void* made = nullptr;
        switch (in.ConsumeIntegralInRange(0, 12)) {
            case 0: SS::nullTerminateString(a), SS::removeNullTerminator(b); break;
            case 1: at = in.ConsumeBool() ? SS::indexOf(a, b, i) : SS::lastIndexOf(a, b, i); break;
            case 2: CHECK((at = in.ConsumeBool() ? SS::indexOf(a, unit, i) : SS::lastIndexOf(a, unit, i)) < 0 || str(a).charAt(at) == unit); break;
            case 3: CHECK((in.ConsumeBool() ? SS::compareCodePointOrder(a, b, result) : SS::compareIgnoringCase(a, b, result)) && result >= -1 && result <= 1); break;
            case 4: CHECK(in.ConsumeBool() ? SS::convertToLower(a) : SS::convertToUpper(a)); break;
            case 5: CHECK(SS::append(a, b) && str(a) == joined); break;
            case 6: CHECK(SS::concatenate(a, b, made) && str(s.add(made)) == joined); break;
            case 7: CHECK(SS::replace(a, unit, in.ConsumeIntegral<unsigned short>())); break;
            case 8:
                CHECK(SS::substring(a, made, i, length) && str(a) == before && str(s.add(made)).length() <= (length > 0 ? length : 0) + 1 && terminated(str(made)));
                break;
            case 9: CHECK(SS::getAsUTF16(a, utf16.get(), capacity) == (capacity >= SS::getAsUTF16size(a))); break;
            case 10: CHECK(!SS::getAsUTF8(a, bytes.get(), capacity) || bytes[SS::getAsUTF8size(a)] == 0); break;
            case 11: CHECK(!SS::getAsUTF32(a, utf32.get(), capacity) || capacity > SS::getAsUTF32size(a)); break;
            default:
                CHECK(!SS::getAsMBCS(a, converter, bytes.get(), capacity, in.ConsumeIntegral<char>()) || bytes[SS::getAsMBCSsize(a, converter)] == 0);
                CHECK(!converter || QOVAUnicodeCodepageConverter::reset(converter));
        }
        CHECK(at >= -1 && at < str(a).length() && SS::length(a) == str(a).length() - 1);
    }
    CHECK(!converter || (QOVAUnicodeCodepageConverter::close(converter) && !converter));
}

// Matchers from fuzzed patterns, flags and inputs, with ICU's own step limit so that
// catastrophic backtracking ends in a time-out failure instead of hanging the run.
void regex(FuzzedDataProvider& in, Strings& s) {
    const unsigned flags = in.ConsumeBool() ? in.ConsumeIntegral<unsigned>() : in.ConsumeIntegralInRange<unsigned>(0, 0x3FF);
    void* pattern = s.units(in, 64);
    void* input = s.units(in, 256);
    void* with = s.units(in, 16);
    void* out = s.add(SF::make());
    void* m = in.ConsumeBool() ? QOVAUnicodeRegexFactory::make(pattern, input, flags) : QOVAUnicodeRegexFactory::make(pattern, flags);
    CHECK(!terminated(str(pattern)));
    if (!m) return;
    UErrorCode status = U_ZERO_ERROR;
    static_cast<icu::RegexMatcher*>(m)->setTimeLimit(20, status);
    CHECK(RS::reset(m, input));
    const UnicodeString text = str(input), replacement = str(with);
    const int at = in.ConsumeIntegralInRange(-2, text.length() + 2);
    for (int i = 0; i < 64 && (i % 2 ? RS::find(m) : RS::find(m, at)); ++i) {
        const int start = RS::start(m), end = RS::end(m);
        CHECK(start >= 0 && start <= end && end <= text.length() && RS::group(m, out));
        CHECK(str(out) == UnicodeString(text, start, end - start).append(char16_t(0)) || str(out) == UnicodeString(text, start, end - start));
    }
    CHECK(!RS::lookingAt(m, at) || RS::start(m) == at);
    CHECK(!RS::matches(m) || RS::end(m) == text.length());
    in.ConsumeBool() ? RS::replaceAll(m, with, out) : RS::replaceFirst(m, with, out);
    CHECK(terminated(str(out)) && str(with) == replacement && str(input) == text);
    const int capacity = in.ConsumeIntegralInRange(0, 8);
    std::vector<UnicodeString> dest(static_cast<size_t>(capacity), UnicodeString(u'#'));
    const int fields = RS::split(m, input, dest.data(), capacity);
    CHECK(fields >= 0 && fields <= capacity && str(input) == text);
    for (int i = fields; i < capacity; ++i) CHECK(dest[static_cast<size_t>(i)] == UnicodeString(u'#'));
    RS::reset(m), CHECK(RS::reset(m, input)), RS::find(m), QOVAUnicodeRegexFactory::destroy(m);
}

// Formatters with any setting values and slot bytes; formatting leaves terminated text or ICU's
// empty failure result, and a copy formats like its source.
void numberFormat(FuzzedDataProvider& in, Strings& s) {
    std::string name;
    const char* locale = localeArgument(in, name);
    void* f = QOVAUnicodeNumFormatterFactory::make(locale);
    CHECK(f);
    for (int i = in.ConsumeIntegralInRange(0, 6); i > 0; --i) {
        std::vector<char> slots = in.ConsumeBytes<char>(16);
        slots.resize(16);
        switch (in.ConsumeIntegralInRange(0, 7)) {
            case 0: NS::SetGroupingType(f, anyValue<NS::GroupingType>(in, 5)); break;
            case 1: NS::SetIntegerWidthType(f, anyValue<NS::IntegerWidthType>(in, 2), slots.data()); break;
            case 2: NS::SetNotationType(f, anyValue<NS::NotationType>(in, 5)); break;
            case 3: NS::SetPrecisionType(f, anyValue<NS::PrecisionType>(in, 13), slots.data()); break;
            case 4: NS::SetRoundingModeType(f, anyValue<NS::RoundingModeType>(in, 8)); break;
            case 5: NS::SetSignDisplayType(f, anyValue<NS::SignDisplayType>(in, 7)); break;
            case 6: NS::SetUnitWidthType(f, anyValue<NS::UnitWidthType>(in, 5)); break;
            default: NS::SetUnitType(f, anyValue<NS::UnitType>(in, 103));
        }
    }
    void* copy = QOVAUnicodeNumFormatterFactory::makeCopy(f);
    CHECK(copy);
    void* out[] = {s.add(SF::make()), s.add(SF::make(u'x'))};
    for (int i = 0; i < 3; ++i) {  // the same call on both, so that ICU's call count stays alike
        std::string decimal = in.ConsumeRandomLengthString(64);
        const double v = in.ConsumeFloatingPoint<double>();
        const long long n = in.ConsumeIntegral<long long>();
        const bool a = in.ConsumeBool(), b = in.ConsumeBool();
        const int call = in.ConsumeIntegralInRange(0, 2);
        for (void* h : {f, copy})
            call == 0 ? NS::FormatDecimal(h, out[h == copy], decimal.data()) : call == 1 ? NS::FormatDouble(h, out[h == copy], v, a, b) : NS::FormatInt(h, out[h == copy], n);
        CHECK((str(out[0]).isEmpty() || terminated(str(out[0]))) && str(out[0]) == str(out[1]));
    }
    QOVAUnicodeNumFormatterFactory::destroy(copy), QOVAUnicodeNumFormatterFactory::destroy(f);
}

// Parsing: the text comes out trimmed without plus signs, the error kind is only ever set to
// ErrorInvalid, a copy parses like its source, and the unsigned result stays within 32 bits.
void numberParse(FuzzedDataProvider& in, Strings& s) {
    std::string name;
    const char* locale = localeArgument(in, name);
    void* p = QOVAUnicodeStrToNumFormatterFactory::make(locale);
    void* copy = DF::makeCopy(p);
    CHECK(p && copy);
    void* text[] = {s.units(in, 64), nullptr};
    UnicodeString edited = str(text[0]);
    edited.trim().findAndReplace(UnicodeString(u'+'), UnicodeString());
    text[1] = s.add(SF::makeCopy(text[0]));
    const PS::ErrorType initial = static_cast<PS::ErrorType>(in.ConsumeIntegralInRange(0, 2));
    PS::ErrorType err[] = {initial, initial};
    double v[2];
    const int which = in.ConsumeIntegralInRange(0, 3);
    for (int i = 0; i < 2; ++i) {
        void* h = i ? copy : p;
        v[i] = which == 0 ? PS::FormatStrToDouble(h, text[i], err[i]) : which == 1 ? PS::FormatStrToInt32_t(h, text[i], err[i])
             : which == 2 ? static_cast<double>(PS::FormatStrToInt64_t(h, text[i], err[i])) : PS::FormatStrToULong(h, text[i], err[i]);
    }
    CHECK((v[0] == v[1] || (v[0] != v[0] && v[1] != v[1])) && (which < 3 || (v[0] >= 0 && v[0] <= 4294967295.0)));
    CHECK(err[0] == err[1] && (err[0] == initial || err[0] == PS::ErrorInvalid) && str(text[0]) == edited && str(text[1]) == edited);
    DF::destroy(copy), DF::destroy(p);
}

// Date-time formatters with any style values, locales and zone ids: output is terminated
// without U+202F, parsing leaves its text unchanged, and a copy behaves like its source.
void dateTime(FuzzedDataProvider& in, Strings& s) {
    std::string name;
    const char* locale = localeArgument(in, name);
    const char16_t* zones[] = {u"GMT", u"America/New_York", u"Asia/Kolkata", u"Australia/Lord_Howe", u"Etc/GMT+14", u"GMT+05:30", u"no/such", u""};
    void* zone = in.ConsumeBool() ? s.add(SF::make(reinterpret_cast<const unsigned short*>(in.PickValueInArray(zones)))) : s.units(in, 32);
    const UnicodeString zoneId = str(zone);
    const auto date = anyValue<DF::DateTimeStyle>(in, 3), time = anyValue<DF::DateTimeStyle>(in, 3);
    const int form = in.ConsumeIntegralInRange(0, 2);
    void* f = form == 0 ? DF::make(locale) : form == 1 ? DF::make(locale, zone) : DF::make(date, time, locale, zone);
    CHECK(str(zone) == zoneId);
    if (!f) return;
    void* copy = DF::makeCopy(f);
    CHECK(copy);
    const long long seconds = in.ConsumeBool() ? in.ConsumeIntegralInRange<long long>(-(1LL << 36), 1LL << 36) : in.ConsumeIntegral<long long>();
    void* out[] = {s.add(SF::make()), s.add(SF::make())};
    QOVAUnicodeDateTimeFormatterServices::FormatDateTimeToString(f, out[0], seconds);
    QOVAUnicodeDateTimeFormatterServices::FormatDateTimeToString(copy, out[1], seconds);
    CHECK(terminated(str(out[0])) && str(out[0]).indexOf(char16_t(0x202F)) < 0 && str(out[0]) == str(out[1]));
    void* text = in.ConsumeBool() ? out[0] : s.units(in, 64);
    const UnicodeString before = str(text);
    const long long ms = QOVAUnicodeDateTimeFormatterServices::FormatStringToDateTime(f, text);
    CHECK(ms == QOVAUnicodeDateTimeFormatterServices::FormatStringToDateTime(copy, text) && str(text) == before);
    DF::destroy(copy), DF::destroy(f), CHECK(!f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    void (*const families[])(FuzzedDataProvider&, Strings&) = {stringFactory, stringServices, regex, numberFormat, numberParse, dateTime};
    FuzzedDataProvider in(data + 1, size - 1);
    Strings strings;
    families[data[0] % 6](in, strings);
    return 0;
}
