// One libFuzzer target for every family: the first input byte picks the family, the rest is
// decoded by FuzzedDataProvider into text, numbers, locales, settings and sizes. Each family
// checks the invariants that hold whatever ICU answers; a broken one aborts, and libFuzzer
// reports the input and the stack of the check. Export buffers have exactly the fuzzed
// capacity, so AddressSanitizer catches a write past it; it also reports every lost handle.
#include "qkit.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <unicode/regex.h>

#define CHECK(c) ((c) ? void() : __builtin_trap())

using icu::UnicodeString;

using qkit::str;
static bool terminated(const UnicodeString& s) { return !s.isEmpty() && s[s.length() - 1] == 0; }

// The decoder of one input, and the string handles it made, destroyed with it.
struct Input : FuzzedDataProvider {
    using FuzzedDataProvider::FuzzedDataProvider;
    std::vector<void*> strings;
    std::string name;  // of the locale
    ~Input() { for (void*& h : strings) SF::destroy(h); }
    void* keep(void* h) { return CHECK(h), strings.push_back(h), h; }
    void* text(size_t max) {  // up to `max` UTF-16 units of any value, read from aligned string storage
        const std::string b = ConsumeRandomLengthString(2 * max);
        return &str(keep(SF::make())).setTo(reinterpret_cast<const char16_t*>(b.data()), int(b.size() / 2));
    }
    const char* locale() {  // null, "", "C", a known name or fuzzed text
        name = ConsumeBool() ? ConsumeBool() ? "ar_EG" : "th_TH@numbers=thai" : ConsumeRandomLengthString(24);
        return ConsumeBool() ? name.c_str() : nullptr;
    }
    // An enumerator: near its rows, or any int.
    int any(int rows) { return ConsumeBool() ? ConsumeIntegralInRange(-1, rows) : ConsumeIntegral<int>(); }
};

// Factories, then access and the terminator rules on what they made, bogus strings included.
static void strings(Input&& in) {
    const std::string bytes = in.ConsumeRandomLengthString(256), page = in.ConsumeRandomLengthString(16);
    const int utf32[] = {in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(), 0}, cp = in.ConsumeIntegral<int>();
    bool failed = in.ConsumeBool();
    void* m[] = {in.keep(SF::make(bytes.c_str(), in.ConsumeBool() ? page.c_str() : "Shift_JIS")),
                    in.keep(SF::makeInvariant(bytes.c_str(), in.ConsumeIntegralInRange(-1, int(bytes.size())))),
                    in.keep(SF::make(cp)), in.keep(SF::make(utf32, failed)), in.keep(SF::makeCopy(in.text(64)))};
    CHECK(str(m[2]).length() == (uint32_t(cp) > 0x10FFFF ? 0 : U16_LENGTH(cp)) && (!failed || str(m[3]).isEmpty()));
    for (void* h : m) {
        const UnicodeString before = str(h), &now = str(h);
        SS::nullTerminateString(h);  // then one U+0000 at the end, added only when missing
        CHECK(before.isBogus() || (terminated(now) && now.startsWith(before) && now.length() <= before.length() + 1));
        CHECK((SS::removeNullTerminator(h), !terminated(now) && before.startsWith(now)));
    }
}

// Services and exports in fuzzed order on two strings and a converter.
static void services(Input&& in) {
    void *pool[] = {in.text(64), in.text(64)}, *conv = nullptr, *made = nullptr;
    // Named codepages (the stateful ones and those the export counts itself among them) or fuzzed names.
    const char* pages[] = {"Shift_JIS", "ibm-37", "ISO-2022-JP", "SCSU", "windows-1252", "UTF-16BE",
                           "ISCII,version=2", "x11-compound-text", "", nullptr};
    CHECK(CV::open(in.ConsumeBool() ? in.PickValueInArray(pages) : in.locale(), conv) == !!conv);
    for (int step = 0; step < 16 && in.remaining_bytes(); ++step) {
        void *a = in.PickValueInArray(pool), *b = in.PickValueInArray(pool);
        int i = in.ConsumeIntegralInRange(-2, 70), n = in.ConsumeIntegralInRange(-2, 70), at = -1, order = 0;
        std::vector<int> utf32(n > 0 ? n : 0);  // exactly the capacity given, in bytes for the 8-bit forms
        const auto bytes = reinterpret_cast<char*>(utf32.data()) + 3 * utf32.size();
        switch (in.ConsumeIntegralInRange(0, 7)) {
            case 0: at = in.ConsumeBool() ? SS::indexOf(a, b, i) : SS::lastIndexOf(a, uint16_t(n & 3), i); break;
            case 1: CHECK(SS::compareIgnoringCase(a, b, order) && SS::convertToLower(b)); break;
            case 2: CHECK(SS::append(a, b) && terminated(str(a)) && terminated(str(b))); break;
            case 3: CHECK(SS::concatenate(a, b, made) && terminated(str(in.keep(made)))); break;
            case 4: CHECK(SS::substring(a, made, i, n) && str(in.keep(made)).length() <= (n > 0 ? n : 0) + 1); break;
            case 5: CHECK(!SS::getAsUTF8(a, bytes, n) || bytes[SS::getAsUTF8size(a)] == 0); break;
            case 6: CHECK(!SS::getAsUTF32(a, utf32.data(), n) || utf32[SS::getAsUTF32size(a)] == 0); break;
            default: CHECK(!SS::getAsMBCS(a, conv, bytes, n, '?') || bytes[SS::getAsMBCSsize(a, conv)] == 0);
        }
        CHECK(order * order <= 1 && at >= -1 && at < str(a).length() && SS::length(a) == str(a).length() - 1);
    }
    CHECK(!conv || (CV::close(conv) && !conv));
}

// Matchers from fuzzed patterns, flags and inputs, with ICU's own step limit so that catastrophic
// backtracking ends in a time-out failure instead of hanging the run: matches lie within the
// input, groups and replacements come out terminated, split fills no more fields than it was
// given, and the input stays as it was.
static void regex(Input&& in) {
    const unsigned flags = in.ConsumeBool() ? in.ConsumeIntegral<unsigned>() : in.ConsumeIntegralInRange(0u, 0x3FFu);
    void *pattern = in.text(64), *input = in.text(256), *with = in.text(16), *out = in.text(0);
    void* m = in.ConsumeBool() ? RF::make(pattern, input, flags) : RF::make(pattern, flags);
    UErrorCode status = U_ZERO_ERROR;
    if (CHECK(!terminated(str(pattern))), !m) return;
    qkit::matcher(m).setTimeLimit(20, status), CHECK(RS::reset(m, input));
    const UnicodeString text = str(input);  // as the matcher sees it
    const int at = in.ConsumeIntegralInRange(-2, text.length() + 2), capacity = in.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < 64 && (i ? RS::find(m) : RS::find(m, at)); ++i) {
        const int start = RS::start(m), end = RS::end(m);
        CHECK(start >= 0 && start <= end && end <= text.length() && RS::group(m, out) && terminated(str(out)));
    }
    in.ConsumeBool() ? RS::replaceAll(m, with, out) : RS::replaceFirst(m, with, out);
    std::vector<UnicodeString> fields(size_t(capacity), UnicodeString(u'#'));
    const int n = RS::split(m, input, fields.data(), capacity);
    CHECK(terminated(str(out)) && n >= 0 && n <= capacity && (n == capacity || fields[size_t(n)] == u"#"));
    CHECK(str(input) == text && RS::reset(m, input)), RF::destroy(m);
}

// Formatters with any setting values and slot bytes, and their copies: formatting leaves
// terminated text or ICU's empty failure result.
static void numbers(Input&& in) {
    void *f = NF::make(in.locale()), *copy = nullptr, *out = in.text(0);
    std::string s = in.ConsumeBytesAsString(16) + std::string(16, '\0');  // the argument slots
    NS::SetIntegerWidthType(f, NS::IntegerWidthType(in.any(2)), &s[0]), NS::SetUnitType(f, NS::UnitType(in.any(103)));
    NS::SetPrecisionType(f, NS::PrecisionType(in.any(13)), &s[8]), NS::SetGroupingType(f, NS::GroupingType(in.any(5)));
    NS::SetSignDisplayType(f, NS::SignDisplayType(in.any(7))), NS::SetNotationType(f, NS::NotationType(in.any(5)));
    NS::SetUnitWidthType(f, NS::UnitWidthType(in.any(5))), NS::SetRoundingModeType(f, NS::RoundingModeType(in.any(8)));
    CHECK(f && (copy = NF::makeCopy(f)));
    const auto ok = [&] { return str(out).isEmpty() || terminated(str(out)); };
    CHECK((NS::FormatDecimal(copy, out, in.ConsumeRandomLengthString(64).data()), ok()));
    CHECK((NS::FormatInt(in.ConsumeBool() ? f : copy, out, in.ConsumeIntegral<long long>()), ok()));
    CHECK((NS::FormatDouble(f, out, in.ConsumeFloatingPoint<double>(), in.ConsumeBool(), in.ConsumeBool()), ok()));
    NF::destroy(f), NF::destroy(copy);
}

// Parsing through a parser or its copy: the text comes out trimmed without plus signs, the error
// kind is only ever set to ErrorInvalid, and the unsigned result stays within 32 bits.
static void parsing(Input&& in) {
    void *p = PF::make(in.locale()), *t = in.text(64);
    void* q = (CHECK(p), PF::makeCopy(p));  // a copy
    const UnicodeString edited = UnicodeString(str(t)).trim().findAndReplace(u"+", u"");
    auto e = PS::ErrorType(in.ConsumeIntegralInRange(0, 2)), initial = e;
    const int kind = in.ConsumeIntegralInRange(0, 3);  // the copy parses the whole numbers
    const double v = kind == 0 ? PS::FormatStrToDouble(p, t, e) : kind == 1 ? PS::FormatStrToInt32_t(q, t, e)
                     : kind == 2 ? double(PS::FormatStrToInt64_t(q, t, e)) : double(PS::FormatStrToULong(p, t, e));
    CHECK(q && str(t) == edited && (kind < 3 || v <= 4294967295.0) && (e == initial || e == PS::ErrorInvalid));
    PF::destroy(p), PF::destroy(q);
}

// Date-time formatters with any style values, locales and zone ids, and their copies: output is
// terminated without U+202F, and parsing leaves its text unchanged.
static void dates(Input&& in) {
    const char* locale = in.locale();
    void* zone = in.ConsumeBool() ? in.text(32) : in.keep(SF::makeInvariant("Asia/Kolkata", -1));
    const auto date = DF::DateTimeStyle(in.any(3)), time = DF::DateTimeStyle(in.any(3));
    const int form = in.ConsumeIntegralInRange(0, 2);
    void *f = form == 0 ? DF::make(locale) : form == 1 ? DF::make(locale, zone) : DF::make(date, time, locale, zone);
    if (!f) return;
    void *copy = DF::makeCopy(f), *out = in.text(0), *text = in.text(64), *h = in.ConsumeBool() ? f : copy;
    DS::FormatDateTimeToString(h, out, in.ConsumeIntegral<long long>() >> in.ConsumeIntegralInRange(0, 63));
    CHECK(copy && str(out).indexOf(u'\u202F') < 0 && terminated(str(out)));
    const UnicodeString before = str(text = in.ConsumeBool() ? out : text);
    CHECK((DS::FormatStringToDateTime(h, text), str(text) == before)), DF::destroy(f), DF::destroy(copy);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    void (*const families[])(Input&&) = {strings, services, regex, numbers, parsing, dates};
    return size ? families[data[0] % 6](Input(data + 1, size - 1)), 0 : 0;
}
