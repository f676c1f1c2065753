// One libFuzzer target for every family: the first input byte picks the family, the rest is
// decoded by FuzzedDataProvider into text, numbers, locales, settings and sizes. Each family
// checks the invariants that hold whatever ICU answers; a broken one aborts, which libFuzzer
// reports with the input that caused it. Export buffers have exactly the fuzzed capacity, so
// AddressSanitizer catches a write past it.
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
using DS = QOVAUnicodeDateTimeFormatterServices;

UnicodeString& str(void* h) { return *static_cast<UnicodeString*>(h); }
bool terminated(const UnicodeString& s) { return !s.isEmpty() && s.charAt(s.length() - 1) == 0; }
UnicodeString stripped(UnicodeString s) { return s.truncate(s.length() - (terminated(s) ? 1 : 0)), s; }

// The decoder of one input and the string handles it made.
struct Input : FuzzedDataProvider {
    using FuzzedDataProvider::FuzzedDataProvider;
    std::vector<void*> strings;
    ~Input() {
        for (void*& h : strings) SF::destroy(h);
    }
    void* keep(void* h) { return CHECK(h), strings.push_back(h), h; }
    // A string handle of up to `max` UTF-16 units of any value.
    void* text(size_t max) {
        std::u16string s;
        for (size_t n = ConsumeIntegralInRange<size_t>(0, max); s.size() < n && remaining_bytes();)
            s.push_back(ConsumeIntegral<char16_t>());
        return str(keep(SF::make())).setTo(s.data(), static_cast<int32_t>(s.size())), strings.back();
    }
    // A locale argument: null, "", "C", a known name or fuzzed text (kept in `name`).
    const char* locale(std::string& name) {
        const char* known[] = {"C", "", "en_US", "de_DE", "ar_EG", "ja_JP", "th_TH@numbers=thai", "c", "C.UTF-8"};
        name = ConsumeBool() ? PickValueInArray(known) : ConsumeRandomLengthString(24);
        return ConsumeBool() ? name.c_str() : nullptr;
    }
    // An enumeration value: near its rows, or any int.
    template <class E>
    E any(int rows) {
        return static_cast<E>(ConsumeBool() ? ConsumeIntegralInRange(-1, rows) : ConsumeIntegral<int>());
    }
};

// Factories, then access and the terminator rules on what they made, bogus strings included.
void strings(Input& in) {
    const char* codepages[] = {"UTF-8", "Shift_JIS", "UTF-16BE", "ibm-37", "ISO-2022-JP", "SCSU", "", nullptr};
    const std::string bytes = in.ConsumeRandomLengthString(256), name = in.ConsumeRandomLengthString(16);
    const int utf32[] = {in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(), 0},
              codePoint = in.ConsumeIntegral<int>();
    bool failed = in.ConsumeBool();
    void* made[] = {in.keep(SF::make(bytes.c_str(), in.ConsumeBool() ? name.c_str() : in.PickValueInArray(codepages))),
                    in.keep(SF::makeInvariant(bytes.c_str(), in.ConsumeIntegralInRange(-1, int(bytes.size())))),
                    in.keep(SF::make(utf32, failed)), in.keep(SF::make(codePoint)), in.text(64)};
    CHECK(!failed || str(made[2]).isEmpty());
    CHECK(str(made[3]).length() == (codePoint < 0 || codePoint > 0x10FFFF ? 0 : codePoint > 0xFFFF ? 2 : 1));
    for (void* h : made) {
        const UnicodeString before = str(h);
        const int i = in.ConsumeIntegral<int>();
        CHECK(SS::charAt(h, i) == (i < 0 || i >= before.length() ? 0xFFFF : before.charAt(i)));
        CHECK(str(in.keep(SF::makeCopy(h))) == before && SS::hashCode(h) == before.hashCode());
        SS::nullTerminateString(h);
        CHECK(before.isBogus() ||
              (terminated(str(h)) && str(h).startsWith(before) && str(h).length() <= before.length() + 1));
        SS::removeNullTerminator(h);
        CHECK(!terminated(str(h)) && before.startsWith(str(h)));
    }
}

// Services and exports in fuzzed order on a pool of three strings and a converter.
void services(Input& in) {
    void* pool[] = {in.text(64), in.text(64), in.text(64)};
    const char* names[] = {"UTF-8", "ISO-8859-1", "Shift_JIS", "ibm-37", "UTF-16", "ISO-2022-JP", "GB18030"};
    const std::string name = in.ConsumeBool() ? in.PickValueInArray(names) : in.ConsumeRandomLengthString(16);
    void* converter = nullptr;
    CHECK(QOVAUnicodeCodepageConverter::open(name.c_str(), converter) == (converter != nullptr));
    for (int step = 0; step < 24 && in.remaining_bytes(); ++step) {
        void *a = in.PickValueInArray(pool), *b = in.PickValueInArray(pool), *made = nullptr;
        const int i = in.ConsumeIntegralInRange(-2, 70), n = in.ConsumeIntegralInRange(-2, 70), capacity = n;
        const unsigned short unit = in.ConsumeIntegralInRange<unsigned short>(0, 3);
        std::unique_ptr<char[]> bytes(new char[capacity > 0 ? capacity : 0]);
        std::unique_ptr<int[]> utf32(new int[capacity > 0 ? capacity : 0]);
        int order = 0, at = -1;
        switch (in.ConsumeIntegralInRange(0, 9)) {
            case 0: SS::nullTerminateString(a), SS::removeNullTerminator(b); break;
            case 1: at = in.ConsumeBool() ? SS::indexOf(a, b, i) : SS::lastIndexOf(a, unit, i); break;
            case 2:
                CHECK((in.ConsumeBool() ? SS::compareCodePointOrder(a, b, order)
                                        : SS::compareIgnoringCase(a, b, order)) &&
                      order >= -1 && order <= 1);
                break;
            case 3:
                CHECK(in.ConsumeBool() ? SS::convertToLower(a) : SS::replace(a, unit, in.ConsumeIntegral<uint16_t>()));
                break;
            case 4: CHECK(SS::append(a, b) && terminated(str(a)) && terminated(str(b))); break;
            case 5: CHECK(SS::concatenate(a, b, made) && terminated(str(in.keep(made)))); break;
            case 6: CHECK(SS::substring(a, made, i, n) && str(in.keep(made)).length() <= (n > 0 ? n : 0) + 1); break;
            case 7: CHECK(!SS::getAsUTF8(a, bytes.get(), capacity) || bytes[SS::getAsUTF8size(a)] == 0); break;
            case 8: CHECK(!SS::getAsUTF32(a, utf32.get(), capacity) || utf32[SS::getAsUTF32size(a)] == 0); break;
            default:
                CHECK(!SS::getAsMBCS(a, converter, bytes.get(), capacity, in.ConsumeIntegral<char>()) ||
                      bytes[SS::getAsMBCSsize(a, converter)] == 0);
        }
        CHECK(at >= -1 && at < str(a).length() && SS::length(a) == str(a).length() - 1);
    }
    CHECK(!converter || (QOVAUnicodeCodepageConverter::close(converter) && !converter));
}

// Matchers from fuzzed patterns, flags and inputs, with ICU's own step limit so that
// catastrophic backtracking ends in a time-out failure instead of hanging the run.
void regex(Input& in) {
    const unsigned flags = in.ConsumeBool() ? in.ConsumeIntegral<unsigned>() : in.ConsumeIntegralInRange(0u, 0x3FFu);
    void *pattern = in.text(64), *input = in.text(256), *with = in.text(16), *out = in.keep(SF::make());
    void* m = in.ConsumeBool() ? QOVAUnicodeRegexFactory::make(pattern, input, flags)
                               : QOVAUnicodeRegexFactory::make(pattern, flags);
    CHECK(!terminated(str(pattern)));
    if (!m) return;
    UErrorCode status = U_ZERO_ERROR;
    static_cast<icu::RegexMatcher*>(m)->setTimeLimit(20, status);
    CHECK(RS::reset(m, input));
    const UnicodeString text = str(input);
    const int at = in.ConsumeIntegralInRange(-2, text.length() + 2);
    for (int i = 0; i < 64 && (i ? RS::find(m) : RS::find(m, at)); ++i) {
        const int start = RS::start(m), end = RS::end(m);
        CHECK(start >= 0 && start <= end && end <= text.length() && RS::group(m, out));
        CHECK(stripped(str(out)) == stripped(UnicodeString(text, start, end - start)) && terminated(str(out)));
    }
    CHECK((!RS::lookingAt(m, at) || RS::start(m) == at) && (!RS::matches(m) || RS::end(m) == text.length()));
    in.ConsumeBool() ? RS::replaceAll(m, with, out) : RS::replaceFirst(m, with, out);
    CHECK(terminated(str(out)) && str(input) == text);
    const int capacity = in.ConsumeIntegralInRange(0, 8);
    std::vector<UnicodeString> fields(static_cast<size_t>(capacity), UnicodeString(u'#'));
    const int n = RS::split(m, input, fields.data(), capacity);
    CHECK(n >= 0 && n <= capacity && str(input) == text && (n == capacity || fields[size_t(n)] == UnicodeString(u'#')));
    CHECK(RS::reset(m, input));
    QOVAUnicodeRegexFactory::destroy(m);
}

// Formatters with any setting values and slot bytes: formatting leaves terminated text or ICU's
// empty failure result, and a copy formats like its source (the same calls on both, so that
// ICU's count of format calls stays alike).
void numbers(Input& in) {
    std::string name;
    void* f = QOVAUnicodeNumFormatterFactory::make(in.locale(name));
    CHECK(f);
    for (int i = in.ConsumeIntegralInRange(0, 6); i > 0; --i) {
        std::vector<char> slots = in.ConsumeBytes<char>(16);
        slots.resize(16);
        switch (in.ConsumeIntegralInRange(0, 7)) {
            case 0: NS::SetGroupingType(f, in.any<NS::GroupingType>(5)); break;
            case 1: NS::SetIntegerWidthType(f, in.any<NS::IntegerWidthType>(2), slots.data()); break;
            case 2: NS::SetNotationType(f, in.any<NS::NotationType>(5)); break;
            case 3: NS::SetPrecisionType(f, in.any<NS::PrecisionType>(13), slots.data()); break;
            case 4: NS::SetRoundingModeType(f, in.any<NS::RoundingModeType>(8)); break;
            case 5: NS::SetSignDisplayType(f, in.any<NS::SignDisplayType>(7)); break;
            case 6: NS::SetUnitWidthType(f, in.any<NS::UnitWidthType>(5)); break;
            default: NS::SetUnitType(f, in.any<NS::UnitType>(103));
        }
    }
    void* copy = QOVAUnicodeNumFormatterFactory::makeCopy(f);
    void* out[] = {in.keep(SF::make()), in.keep(SF::make(u'x'))};
    for (int i = 0; i < 3 && copy; ++i) {
        std::string decimal = in.ConsumeRandomLengthString(64);
        const double v = in.ConsumeFloatingPoint<double>();
        const long long n = in.ConsumeIntegral<long long>();
        const int call = in.ConsumeIntegralInRange(0, 3);
        for (void* h : {f, copy}) {
            void* o = out[h == copy];
            call == 0   ? NS::FormatDecimal(h, o, decimal.data())
            : call == 1 ? NS::FormatInt(h, o, n)
                        : NS::FormatDouble(h, o, v, call == 2, false);
        }
        CHECK((str(out[0]).isEmpty() || terminated(str(out[0]))) && str(out[0]) == str(out[1]));
    }
    CHECK(copy);
    QOVAUnicodeNumFormatterFactory::destroy(copy), QOVAUnicodeNumFormatterFactory::destroy(f);
}

// Parsing: the text comes out trimmed without plus signs, the error kind is only ever set to
// ErrorInvalid, a copy parses like its source, and the unsigned result stays within 32 bits.
void parsing(Input& in) {
    std::string name;
    void* p[] = {QOVAUnicodeStrToNumFormatterFactory::make(in.locale(name)), nullptr};
    CHECK(p[0] && (p[1] = DF::makeCopy(p[0])));
    void* text[] = {in.text(64), nullptr};
    text[1] = in.keep(SF::makeCopy(text[0]));
    UnicodeString edited = str(text[0]);
    edited.trim().findAndReplace(UnicodeString(u'+'), UnicodeString());
    const auto initial = static_cast<PS::ErrorType>(in.ConsumeIntegralInRange(0, 2));
    const int kind = in.ConsumeIntegralInRange(0, 3);
    PS::ErrorType err[] = {initial, initial};
    double v[2];
    for (int i = 0; i < 2; ++i)
        v[i] = kind == 0   ? PS::FormatStrToDouble(p[i], text[i], err[i])
               : kind == 1 ? PS::FormatStrToInt32_t(p[i], text[i], err[i])
               : kind == 2 ? static_cast<double>(PS::FormatStrToInt64_t(p[i], text[i], err[i]))
                           : PS::FormatStrToULong(p[i], text[i], err[i]);
    CHECK((v[0] == v[1] || (v[0] != v[0] && v[1] != v[1])) && (kind < 3 || (v[0] >= 0 && v[0] <= 4294967295.0)));
    CHECK(err[0] == err[1] && (err[0] == initial || err[0] == PS::ErrorInvalid));
    CHECK(str(text[0]) == edited && str(text[1]) == edited);
    DF::destroy(p[0]), DF::destroy(p[1]);
}

// Date-time formatters with any style values, locales and zone ids: output is terminated
// without U+202F, parsing leaves its text unchanged, and a copy behaves like its source.
void dates(Input& in) {
    std::string name;
    const char* locale = in.locale(name);
    const char16_t* zones[] = {u"GMT",        u"America/New_York", u"Asia/Kolkata", u"Australia/Lord_Howe",
                               u"Etc/GMT+14", u"GMT+05:30",        u"no/such",      u""};
    void* zone = in.ConsumeBool()
                     ? in.keep(SF::make(reinterpret_cast<const unsigned short*>(in.PickValueInArray(zones))))
                     : in.text(32);
    const UnicodeString zoneId = str(zone);
    const auto date = in.any<DF::DateTimeStyle>(3), time = in.any<DF::DateTimeStyle>(3);
    const int form = in.ConsumeIntegralInRange(0, 2);
    void* f[] = {form == 0   ? DF::make(locale)
                 : form == 1 ? DF::make(locale, zone)
                             : DF::make(date, time, locale, zone),
                 nullptr};
    CHECK(str(zone) == zoneId);
    if (!f[0]) return;
    CHECK((f[1] = DF::makeCopy(f[0])));
    const long long seconds =
        in.ConsumeBool() ? in.ConsumeIntegralInRange(-(1LL << 36), 1LL << 36) : in.ConsumeIntegral<long long>();
    void* out[] = {in.keep(SF::make()), in.keep(SF::make())};
    for (int i = 0; i < 2; ++i) DS::FormatDateTimeToString(f[i], out[i], seconds);
    CHECK(terminated(str(out[0])) && str(out[0]).indexOf(char16_t(0x202F)) < 0 && str(out[0]) == str(out[1]));
    void* text = in.ConsumeBool() ? out[0] : in.text(64);
    const UnicodeString before = str(text);
    CHECK(DS::FormatStringToDateTime(f[0], text) == DS::FormatStringToDateTime(f[1], text) && str(text) == before);
    DF::destroy(f[0]), DF::destroy(f[1]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    void (*const families[])(Input&) = {strings, services, regex, numbers, parsing, dates};
    Input in(data + 1, size - 1);
    families[data[0] % 6](in);
    return 0;
}
