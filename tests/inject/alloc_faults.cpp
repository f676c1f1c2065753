// Allocation-failure sweep over every family of the library.
//
// Each operation of the table runs in a child process (fork) with the k-th allocation of its
// window refused, for k = 1, 2, ... until a run no longer reaches k. Allocations are counted
// through ICU's memory functions (installed first thing in main, before ICU's first allocation)
// and through the standard operator new where the library calls it itself (number formatter
// objects, format-handle holders). A run passes when each part of its outcome equals the
// unfaulted run's or is the operation's failure result, and no block of ours is lost.
//
// ICU does not survive every refused allocation, and loses blocks in some failure paths of its
// formatting; the amount differs between ICU releases. Such findings are listed as ICU's and do
// not fail the sweep: a fault is ICU's when it happened in a frame of ICU's libraries; a lost
// block is ICU's when the ICU function that the library called hands the caller nothing to own
// (format, parse, a setter). Under one that does (operator new, create*, clone, open), or from
// the library's own operator new, it was ours to free. Set ALLOC_FAULTS_ONLY to a part of an
// operation's name to sweep only the matching ones.
#include "QOVAicuC.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <signal.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unicode/uclean.h>
#include <unicode/unistr.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

struct Faults {
    long counted = 0, failAt = 0;
    bool armed = false, reached = false;
} faults;

// Set while ICU's memory functions run: a fault in them (ICU freeing what is no block of its
// own) is then the fault of their caller.
bool inAllocator = false;
struct AllocatorScope {
    AllocatorScope() { inAllocator = true; }
    ~AllocatorScope() { inAllocator = false; }
};

bool refuse() {
    if (!faults.armed || ++faults.counted != faults.failAt) return false;
    faults.reached = true;
    return true;
}

// Where a block of a child's window was allocated, kept while the block is live. ICU's blocks
// go into a map; the few that the library takes from operator new into a small array, which
// operator delete can search without allocating.
struct Site {
    void* frames[32];
    int depth;
};
std::unordered_map<void*, Site>* icuSites;
struct NewBlock {
    void* block;
    Site site;
} newBlocks[16];

void record(Site& site) { site.depth = backtrace(site.frames, 32); }

bool inFile(const void* address, const char* part) {
    Dl_info info{};
    return dladdr(address, &info) && info.dli_fname && std::strstr(info.dli_fname, part);
}

extern "C" void* icuAlloc(const void*, size_t size) {
    AllocatorScope scope;
    if (refuse()) return nullptr;
    void* p = std::malloc(size);
    if (p && icuSites && faults.armed) record((*icuSites)[p]);
    return p;
}

extern "C" void* icuRealloc(const void*, void* old, size_t size) {
    AllocatorScope scope;
    if (refuse()) return nullptr;
    const auto at = icuSites && old ? icuSites->find(old) : decltype(icuSites->end()){};
    const bool tracked = icuSites && old && at != icuSites->end();
    const Site site = tracked ? at->second : Site{};
    if (tracked) icuSites->erase(at);
    void* p = std::realloc(old, size);
    if (tracked) (*icuSites)[p ? p : old] = site;
    else if (p && icuSites && faults.armed) record((*icuSites)[p]);
    return p;
}

extern "C" void icuFree(const void*, void* p) {
    AllocatorScope scope;
    if (icuSites && p) icuSites->erase(p);
    std::free(p);
}

}  // namespace

void* operator new(std::size_t size) {
    const bool ours = faults.armed && inFile(__builtin_return_address(0), "libQOVAicuC");
    if (ours && refuse()) throw std::bad_alloc();
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    for (NewBlock& b : newBlocks)
        if (ours && !b.block) {
            b.block = p;
            record(b.site);
            break;
        }
    return p;
}
void operator delete(void* p) noexcept {
    for (NewBlock& b : newBlocks)
        if (p && b.block == p) b.block = nullptr;
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

using icu::UnicodeString;
using Outcome = std::vector<std::u16string>;
const std::u16string kFailed = u"<failure result>";

UnicodeString& str(void* h) { return *static_cast<UnicodeString*>(h); }
std::u16string num(long long v) {
    const std::string s = std::to_string(v);
    return {s.begin(), s.end()};
}

// One run of an operation: it makes its inputs outside the window, calls the operation inside
// it, and releases every handle it kept when it ends.
class Run {
public:
    explicit Run(bool faulted) : faulted_(faulted) {}
    ~Run() {
        for (auto& [handle, release] : handles_) release(handle);
        for (void*& s : strings_) QOVAUnicodeStringFactory::destroy(s);
    }
    // A string handle that aliases `units` read-only, so that any edit of it must allocate.
    void* s(std::u16string_view units) {
        void* h = QOVAUnicodeStringFactory::make();
        str(h).setTo(false, units.data(), static_cast<int32_t>(units.size()));
        return keep(h);
    }
    void* keep(void* string) { return strings_.emplace_back(string); }
    void* keep(void* handle, void (*release)(void*&)) { return handles_.emplace_back(handle, release).first; }
    template <class Call>
    auto window(Call&& call) {
        faults.counted = 0;
        faults.armed = true;
        auto result = call();
        faults.armed = false;
        return result;
    }
    bool faulted() const { return faulted_; }
    // Under a refused allocation `value` counts as the failure result when `failure` holds.
    std::u16string orFailed(bool failure, std::u16string value) const { return faulted_ && failure ? kFailed : value; }
    // A part that ICU may degrade silently under a refused allocation: checked only without one.
    std::u16string loose(std::u16string value) const { return orFailed(true, value); }
    std::u16string flag(bool value) const { return orFailed(!value, num(value)); }
    std::u16string text(void* h) const {
        const UnicodeString& s = str(h);
        return s.isBogus() ? kFailed : std::u16string(s.getBuffer(), static_cast<size_t>(s.length()));
    }
    // A made string: null, and under a refused allocation an empty one, are the failure result.
    std::u16string made(void* h) { return h ? orFailed(str(keep(h)).isEmpty(), text(h)) : kFailed; }
    // Output of formatting: under a refused allocation ICU may fall back to other data or stop
    // early, so then any text in terminated form (one U+0000, at the end) is accepted, and for
    // dates one without U+202F.
    std::u16string output(void* h, bool date = false) const {
        const UnicodeString& s = str(h);
        const bool wellFormed = s.isBogus() || s.isEmpty() ||
                                (s.indexOf(char16_t(0)) == s.length() - 1 && (!date || s.indexOf(char16_t(0x202F)) < 0));
        return orFailed(wellFormed, text(h));
    }

private:
    bool faulted_;
    std::vector<void*> strings_;
    std::vector<std::pair<void*, void (*)(void*&)>> handles_;
};

std::string utf8(const Outcome& o) {
    std::string s;
    for (const auto& part : o) UnicodeString(part.data(), static_cast<int32_t>(part.size())).toUTF8String(s.empty() ? s : s += " | ");
    return s;
}

struct Op {
    std::string name;
    std::function<Outcome(Run&)> run;
};

using namespace std::literals;
using SF = QOVAUnicodeStringFactory;
using SS = QOVAUnicodeStringServices;
using RF = QOVAUnicodeRegexFactory;
using RS = QOVAUnicodeRegexServices;
using NF = QOVAUnicodeNumFormatterFactory;
using NS = QOVAUnicodeNumFormatterServices;
using PF = QOVAUnicodeStrToNumFormatterFactory;
using PS = QOVAUnicodeStrToNumFormatterServices;
using DF = QOVAUnicodeDateTimeFormatterFactory;
using DS = QOVAUnicodeDateTimeFormatterServices;

constexpr auto kBody = u"Stra\u00DFe und gro\u00DFe Fl\u00FCsse, 0123456789 \U0001F600 abcdefghij"sv;
constexpr auto kTerminated = u"Stra\u00DFe und gro\u00DFe Fl\u00FCsse, 0123456789 \U0001F600 abcdefghij\0"sv;

void strings(std::vector<Op>& ops) {
    ops.push_back({"string make(bytes, codepage), make(UTF-16), makeInvariant, makeCopy", [](Run& r) -> Outcome {
        const std::string bytes(40, 'y');
        const std::u16string units(40, u'\u00E9');
        void* source = r.s(kBody);
        void* made[] = {nullptr, nullptr, nullptr, nullptr, nullptr};
        r.window([&] {
            made[0] = SF::make(bytes.c_str(), "Shift_JIS");
            made[1] = SF::make(bytes.c_str(), nullptr);
            made[2] = SF::make(reinterpret_cast<const unsigned short*>(units.c_str()));
            made[3] = SF::makeInvariant(bytes.c_str(), -1);
            return made[4] = SF::makeCopy(source);
        });
        return {r.made(made[0]), r.made(made[1]), r.made(made[2]), r.made(made[3]), r.made(made[4])};
    }});
    ops.push_back({"string make(UTF-32)", [](Run& r) -> Outcome {
        std::vector<int> utf32(40, 0x1F600);
        utf32.push_back(0);
        bool failed = true;
        void* h = r.window([&] { return SF::make(utf32.data(), failed); });
        return {r.made(h), num(failed)};
    }});
    ops.push_back({"string nullTerminateString, removeNullTerminator, replace", [](Run& r) -> Outcome {
        void* a = r.s(kBody);
        void* b = r.s(kTerminated);
        void* c = r.s(kTerminated);
        const bool replaced = r.window([&] {
            SS::nullTerminateString(a);
            SS::removeNullTerminator(b);
            return SS::replace(c, 0, u'z');
        });
        return {r.text(a), r.text(b), num(replaced), r.text(c)};
    }});
    ops.push_back({"string indexOf, lastIndexOf, compare", [](Run& r) -> Outcome {
        static const std::u16string haystack = u"ab"s + std::u16string(kBody) + u"ab" + std::u16string(kTerminated);
        void* s = r.s(haystack);
        void* needles[] = {r.s(kBody), r.s(kBody)};
        void* other = r.s(u"STRASSE UND GROSSE FL\u00DCSSE, 0123456789 \U0001F600 ABCDEFGHIJ\0"sv);
        void* compared[] = {r.s(kTerminated), r.s(kTerminated)};
        int order[] = {7, 7};
        const auto [first, last] = r.window([&] {
            SS::compareIgnoringCase(compared[0], other, order[0]);
            SS::compareCodePointOrder(compared[1], other, order[1]);
            return std::pair{SS::indexOf(s, needles[0], 0), SS::lastIndexOf(s, needles[1], 0)};
        });
        return {r.orFailed(first < 0, num(first)), r.orFailed(last < 0, num(last)), r.text(needles[0]),
                r.text(needles[1]), num(order[0]), num(order[1])};
    }});
    ops.push_back({"string convertToUpper, convertToLower, append", [](Run& r) -> Outcome {
        void* upper = r.s(kTerminated);
        void* lower = r.s(kTerminated);
        void* target = r.s(kTerminated);
        void* source = r.s(kBody);
        const auto done = r.window([&] {
            return std::vector<bool>{SS::convertToUpper(upper), SS::convertToLower(lower), SS::append(target, source)};
        });
        return {num(done[0]), r.text(upper), num(done[1]), r.text(lower), num(done[2]), r.text(target), r.text(source)};
    }});
    for (bool concatenate : {true, false}) {
        ops.push_back({concatenate ? "string concatenate" : "string substring", [=](Run& r) -> Outcome {
            void* a = r.s(kTerminated);
            void* b = r.s(kBody);
            void* result = &r;
            const bool done = r.window([&] { return concatenate ? SS::concatenate(a, b, result) : SS::substring(a, result, 3, 30); });
            if (!done) return {result == &r ? kFailed : u"result changed on failure"};
            return {r.text(r.keep(result)), r.text(a)};
        }});
    }
    ops.push_back({"string export to UTF-8, UTF-16, UTF-32, wide characters", [](Run& r) -> Outcome {
        void* s = r.s(kTerminated);
        char utf8[128];
        unsigned short utf16[128];
        int utf32[128];
        wchar_t wide[128];
        const auto done = r.window([&] {
            return std::vector<bool>{SS::getAsUTF8(s, utf8, SS::getAsUTF8size(s) + 1), SS::getAsUTF16(s, utf16, SS::getAsUTF16size(s)),
                                     SS::getAsUTF32(s, utf32, SS::getAsUTF32size(s) + 1), SS::getAsWCS(s, wide, SS::getAsWCSsize(s) + 1)};
        });
        return {num(done[0]), std::u16string(utf8, utf8 + std::strlen(utf8)), num(done[1]), num(done[2]), num(done[3]), num(utf32[10])};
    }});
    for (const char* name : {"Shift_JIS", "ISO-2022-JP", "ibm-37"}) {
        ops.push_back({"converter open, export, reset, close: "s + name, [=](Run& r) -> Outcome {
            void* s = r.s(kTerminated);
            void* converter = &r;
            char bytes[256] = {};
            const auto done = r.window([&]() -> std::vector<bool> {
                if (!QOVAUnicodeCodepageConverter::open(name, converter)) return {};
                const int size = SS::getAsMBCSsize(s, converter);
                return {SS::getAsMBCS(s, converter, bytes, size + 1, '?'), QOVAUnicodeCodepageConverter::reset(converter),
                        QOVAUnicodeCodepageConverter::close(converter)};
            });
            if (done.empty()) return {converter ? u"converter not nulled" : kFailed};
            return {num(done[0] && done[1] && done[2] && !converter), std::u16string(bytes, bytes + std::strlen(bytes))};
        }});
    }
}

// Patterns that make ICU allocate in different places: sets and properties, back references
// with case folding, deep backtracking.
struct Pattern {
    std::u16string_view pattern, input;
    unsigned int flags;
};
constexpr Pattern kPatterns[] = {
    {u"[\\p{L}&&[^aeiou]]+\0"sv, u"a quick brown fox \u00E9t\u00E9 jumps"sv, 0},
    {u"(\\w+)\\s+\\1"sv, u"this is IS a test test of repeats"sv, 2 /* UREGEX_CASE_INSENSITIVE */},
    {u"(a|b)*c"sv, u"abababababababababababababababababababababababababc"sv, 0},
};

void regex(std::vector<Op>& ops) {
    for (const Pattern& p : kPatterns) {
        const std::string tag = " /" + utf8({std::u16string(p.pattern)}) + "/";
        // A matcher made outside the window, and what find reports through it.
        auto matcher = [p](Run& r) { return r.keep(RF::make(r.s(p.pattern), r.s(p.input), p.flags), RF::destroy); };
        auto found = [](Run& r, void* m) { return r.orFailed(!RS::find(m), num(RS::start(m)) + u".." + num(RS::end(m))); };
        ops.push_back({"regex make" + tag, [=](Run& r) -> Outcome {
            void* pattern = r.s(p.pattern);
            void* input = r.s(p.input);
            void* made[2] = {};
            r.window([&] { return made[0] = RF::make(pattern, input, p.flags), made[1] = RF::make(pattern, p.flags); });
            if (made[1]) RS::reset(made[1], input);
            return {made[0] ? found(r, r.keep(made[0], RF::destroy)) : kFailed,
                    made[1] ? found(r, r.keep(made[1], RF::destroy)) : kFailed, r.text(pattern)};
        }});
        ops.push_back({"regex find, group, lookingAt, matches" + tag, [=](Run& r) -> Outcome {
            void* m = matcher(r);
            void* out = r.s(u"previous"sv);
            return r.window([&]() -> Outcome {
                const std::u16string at = found(r, m);
                const bool grouped = RS::group(m, out);
                return {at, r.orFailed(!grouped, r.text(out)), r.flag(RS::lookingAt(m)), r.flag(RS::matches(m, 1)),
                        r.flag(RS::find(m, 0))};
            });
        }});
        ops.push_back({"regex replaceAll, replaceFirst" + tag, [=](Run& r) -> Outcome {
            void* m = matcher(r);
            void* with = r.s(u"<$0>\0"sv);
            void* all = r.s(u""sv);
            void* first = r.s(u""sv);
            const auto done = r.window([&] { return std::pair{RS::replaceAll(m, with, all), RS::replaceFirst(m, with, first)}; });
            return {r.flag(done.first), r.output(all), r.flag(done.second), r.output(first), r.text(with)};
        }});
        // ICU's split loop swallows the status of its find: under a refused allocation it may
        // stop early and report fewer fields, of which all but the last are still ICU's.
        ops.push_back({"regex split, reset" + tag, [=](Run& r) -> Outcome {
            void* m = matcher(r);
            void* input = r.s(p.input);
            void* other = r.s(u"ab\0\0"sv);
            UnicodeString fields[4];
            const auto [n, reset] = r.window([&] {
                const int n = RS::split(m, input, fields, 4);
                RS::reset(m);
                return std::pair{n, RS::reset(m, other) && RS::reset(m, 1)};
            });
            Outcome o{r.loose(num(n)), num(reset), r.text(other)};
            for (int i = 0; i < 4; ++i) o.push_back(i + 1 < n ? r.text(&fields[i]) : r.loose(r.text(&fields[i])));
            return o;
        }});
    }
}

// 8-byte argument slots for the settings that take numbers.
char* slots(int a, int b) {
    static long long buffer[2];
    buffer[0] = a;
    buffer[1] = b;
    return reinterpret_cast<char*>(buffer);
}

std::u16string formatted(Run& r, void* f) {
    void* out = r.s(u""sv);
    NS::FormatDouble(f, out, -12345.678, true, false);
    return r.output(out);
}

void numbers(std::vector<Op>& ops) {
    for (const char* locale : {"de_DE", "ar_EG", "C"}) {
        ops.push_back({"number formatter make, makeCopy "s + locale, [=](Run& r) -> Outcome {
            void* source = r.keep(NF::make(locale), NF::destroy);
            NS::SetUnitType(source, NS::UnitKilogram);
            void* made[2] = {};
            r.window([&] { return made[0] = NF::make(locale), made[1] = NF::makeCopy(source); });
            NS::SetUnitType(source, NS::UnitNone);  // the copy is independent of its source
            return {made[0] ? formatted(r, r.keep(made[0], NF::destroy)) : kFailed,
                    made[1] ? formatted(r, r.keep(made[1], NF::destroy)) : kFailed};
        }});
    }
    const std::pair<const char*, void (*)(void*)> settings[] = {
        {"SetGroupingType", [](void* f) { NS::SetGroupingType(f, NS::GroupingOff); }},
        {"SetIntegerWidthType", [](void* f) { NS::SetIntegerWidthType(f, NS::IntegerWidthZeroFillTruncate, slots(7, 9)); }},
        {"SetNotationType", [](void* f) { NS::SetNotationType(f, NS::NotationCompactLong); }},
        {"SetPrecisionType", [](void* f) { NS::SetPrecisionType(f, NS::PrecisionMinMaxSignificantDigits, slots(2, 4)); }},
        {"SetRoundingModeType", [](void* f) { NS::SetRoundingModeType(f, NS::RoundingCeiling); }},
        {"SetSignDisplayType", [](void* f) { NS::SetSignDisplayType(f, NS::SignAccountingAlways); }},
        {"SetUnitWidthType", [](void* f) { NS::SetUnitWidthType(f, NS::UnitWidthFullName); }},
        {"SetUnitType(meter)", [](void* f) { NS::SetUnitType(f, NS::UnitMeter); }},
        {"SetUnitType(USD)", [](void* f) { NS::SetUnitType(f, NS::UnitCurrencyUSD); }},
        {"SetUnitType(permille)", [](void* f) { NS::SetUnitType(f, NS::UnitNonePermille); }},
    };
    // A setting meets a formatter that already has one; a failed one leaves ICU's error state,
    // after which formatting gives the failure result.
    for (const auto& [name, set] : settings) {
        ops.push_back({"number "s + name, [set = set](Run& r) -> Outcome {
            void* f = r.keep(NF::make("fr_FR"), NF::destroy);
            NS::SetGroupingType(f, NS::GroupingMin2);
            r.window([&] { return set(f), 0; });
            return {formatted(r, f)};
        }});
    }
    ops.push_back({"number FormatDecimal, FormatDouble, FormatInt", [](Run& r) -> Outcome {
        void* f = r.keep(NF::make("de_DE"), NF::destroy);
        NS::SetUnitType(f, NS::UnitCurrencyUSD);
        void* out[] = {r.s(u"x"sv), r.s(u"x"sv), r.s(u"x"sv)};
        char decimal[] = "-98765432109876543210.123456789";
        r.window([&] {
            NS::FormatDecimal(f, out[0], decimal);
            NS::FormatDouble(f, out[1], -1234.5678, false, false);
            return NS::FormatInt(f, out[2], 9223372036854775807LL), 0;
        });
        return {r.output(out[0]), r.output(out[1]), r.output(out[2])};
    }});
    for (const char* locale : {"en_US", "ar_EG"}) {
        // Under a refused allocation ICU may build the parser's number format from fallback
        // data, so only a parser made without one must read the number.
        ops.push_back({"number parser make, makeCopy "s + locale, [=](Run& r) -> Outcome {
            void* source = r.keep(PF::make(locale), PF::destroy);
            void* made[2] = {};
            r.window([&] { return made[0] = PF::make(locale), made[1] = PF::makeCopy(source); });
            Outcome o;
            for (void* p : made) {
                PS::ErrorType err = PS::ErrorNone;
                o.push_back(p ? r.loose(num(PS::FormatStrToInt32_t(r.keep(p, PF::destroy), r.s(u" 4711 "sv), err))) : kFailed);
            }
            return o;
        }});
        ops.push_back({"number parse, four result types "s + locale, [=](Run& r) -> Outcome {
            void* p = r.keep(PF::make(locale), PF::destroy);
            void* text[] = {r.s(u" +1234567.5+  \0"sv), r.s(u"-42\0"sv), r.s(u" +3000000000"sv), r.s(u"-1 "sv)};
            PS::ErrorType err[] = {PS::ErrorNone, PS::ErrorNone, PS::ErrorNone, PS::ErrorNone};
            const auto v = r.window([&] {
                return std::vector<long long>{static_cast<long long>(PS::FormatStrToDouble(p, text[0], err[0]) * 10),
                                              PS::FormatStrToInt32_t(p, text[1], err[1]), PS::FormatStrToInt64_t(p, text[2], err[2]),
                                              static_cast<long long>(PS::FormatStrToULong(p, text[3], err[3]))};
            });
            Outcome o;
            for (int i = 0; i < 4; ++i)
                o.insert(o.end(), {r.orFailed(v[i] == 0, num(v[i])), r.orFailed(err[i] == PS::ErrorInvalid, num(err[i])), r.text(text[i])});
            return o;
        }});
    }
}

void dates(std::vector<Op>& ops) {
    const std::pair<const char*, void* (*)(void*)> makers[] = {
        {"make(en_US)", [](void*) { return DF::make("en_US"); }},
        {"make(de_DE, zone)", [](void* zone) { return DF::make("de_DE", zone); }},
        {"make(full, full, ja_JP, zone)", [](void* zone) { return DF::make(DF::StyleFull, DF::StyleFull, "ja_JP", zone); }},
    };
    constexpr long long kSeconds = 1700000000;
    auto formatted = [](Run& r, void* f) {
        void* out = r.s(u""sv);
        DS::FormatDateTimeToString(f, out, kSeconds);
        return out;
    };
    for (const auto& [name, make] : makers) {
        // A made handle, or a copy whose clone ICU could not make (it then formats nothing).
        ops.push_back({"date-time "s + name + ", makeCopy", [=, make = make](Run& r) -> Outcome {
            void* zone = r.s(u"America/New_York"sv);
            void* source = r.keep(make(zone), DF::destroy);
            void* made[2] = {};
            r.window([&] { return made[0] = make(zone), made[1] = DF::makeCopy(source); });
            return {made[0] ? r.output(formatted(r, r.keep(made[0], DF::destroy)), true) : kFailed,
                    made[1] ? r.output(formatted(r, r.keep(made[1], DF::destroy)), true) : kFailed, r.text(zone)};
        }});
        ops.push_back({"date-time FormatDateTimeToString, FormatStringToDateTime "s + name, [=, make = make](Run& r) -> Outcome {
            void* f = r.keep(make(r.s(u"Asia/Tokyo"sv)), DF::destroy);
            void* text = formatted(r, f);
            void* out = r.s(u"x"sv);
            // The parse status is not examined: under a refused allocation the value is
            // whatever ICU's parse got to, and only the unchanged text can be checked.
            const long long ms = r.window([&] { return DS::FormatDateTimeToString(f, out, kSeconds), DS::FormatStringToDateTime(f, text); });
            return {r.output(out, true), r.loose(num(ms)), r.text(text)};
        }});
    }
}

// What a child reports about its run.
struct Record {
    bool completed, reached, accepted, icu;  // icu: the fault, or every lost block, was ICU's
    int lost;
    char where[200], caller[200], detail[300];
};
int reportFd = -1;

bool inRuntime(const char* file) {
    if (inAllocator && file && std::strstr(file, program_invocation_short_name)) return true;
    for (const char* lib : {"libc.so", "libstdc++", "libgcc", "libasan", "libubsan", "libtsan"})
        if (file && std::strstr(file, lib)) return true;
    return false;
}

// From frame `first` outward: the first frame outside the C and C++ runtimes (a fault site) or
// the ICU function nearest to the library (an allocation site), and the library frame below.
void describe(void* const* frames, int n, int first, bool fault, Record& r) {
    for (int i = first; i < n; ++i) {
        Dl_info info{};
        if (!dladdr(frames[i], &info) || inRuntime(info.dli_fname)) continue;
        const bool inIcu = std::strstr(info.dli_fname, "libicu") != nullptr;
        if (std::strstr(info.dli_fname, "libQOVAicuC")) {
            // A hidden helper has no dynamic symbol; its offset in the library names it.
            const auto offset = static_cast<size_t>(static_cast<char*>(frames[i]) - static_cast<char*>(info.dli_fbase));
            info.dli_sname ? std::snprintf(r.caller, sizeof r.caller, "%s", info.dli_sname)
                           : std::snprintf(r.caller, sizeof r.caller, "libQOVAicuC+0x%zx", offset);
            return;
        }
        if ((fault && !r.where[0]) || (!fault && inIcu && info.dli_sname)) {
            std::snprintf(r.where, sizeof r.where, "%s", info.dli_sname ? info.dli_sname : info.dli_fname);
            if (fault) r.icu = inIcu;
        }
    }
}

std::string demangled(const char* name) {
    int status = 0;
    char* d = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string s = status == 0 && d ? d : name;
    std::free(d);
    return s;
}

extern "C" void onFault(int, siginfo_t*, void* context) {
    Record r{};
    r.reached = faults.reached;
    void* frames[64];
    const int n = backtrace(frames, 64);
    const auto pc = reinterpret_cast<void*>(static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_RIP]);
    int first = 0;  // the interrupted frame; when the unwinder did not list it, the handler's
    for (int i = 0; i < n; ++i)
        if (frames[i] == pc) first = i;
    frames[first] = pc;
    describe(frames, n, first, true, r);
    (void)!write(reportFd, &r, sizeof r);
    _exit(3);
}

// After the run: u_cleanup() empties ICU's caches, so that a block of the window still live is
// lost. Ours if the library took it from operator new or received it to own from ICU.
void findLost(Record& r) {
    for (const NewBlock& b : newBlocks)
        if (b.block && ++r.lost) {
            describe(b.site.frames, b.site.depth, 0, false, r);
            std::snprintf(r.where, sizeof r.where, "operator new");
        }
    if (icuSites->empty()) return;
    u_cleanup();
    r.icu = r.lost == 0;
    for (const auto& [block, site] : *icuSites) {
        Record at{};
        describe(site.frames, site.depth, 0, false, at);
        const std::string entry = demangled(at.where);
        bool ours = !at.caller[0];
        for (const char* owning : {"operator new", "create", "clone", "open", "Instance"}) ours |= entry.find(owning) != std::string::npos;
        if (r.lost++ == 0 || (ours && r.icu)) {
            std::memcpy(r.where, at.where, sizeof r.where);
            std::memcpy(r.caller, at.caller, sizeof r.caller);
        }
        r.icu = r.icu && !ours;
    }
}

bool accepted(const Outcome& got, const Outcome& ref, bool faulted) {
    if (got == ref) return true;
    if (!faulted) return false;
    if (got == Outcome{kFailed}) return true;
    if (got.size() != ref.size()) return false;
    for (size_t i = 0; i < got.size(); ++i)
        if (got[i] != ref[i] && got[i] != kFailed) return false;
    return true;
}

Record inChild(const Op& op, long k, const Outcome& ref) {
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        reportFd = fds[1];
        struct sigaction sa {};
        sa.sa_sigaction = onFault;
        sa.sa_flags = SA_SIGINFO;
        for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) sigaction(sig, &sa, nullptr);
        alarm(30);
        icuSites = new std::unordered_map<void*, Site>();
        faults.failAt = k;
        Outcome got;
        {
            Run r(k != 0);
            got = op.run(r);
        }
        Record rec{};
        rec.completed = true;
        rec.reached = faults.reached;
        rec.accepted = accepted(got, ref, k != 0);
        std::snprintf(rec.detail, sizeof rec.detail, "outcome %s expected %s", utf8(got).c_str(), utf8(ref).c_str());
        findLost(rec);
        (void)!write(fds[1], &rec, sizeof rec);
        _exit(0);
    }
    close(fds[1]);
    Record rec{};
    const ssize_t got = read(fds[0], &rec, sizeof rec);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (got != static_cast<ssize_t>(sizeof rec)) {  // a time-out, or a signal the handler does not take
        rec = Record{};
        std::snprintf(rec.where, sizeof rec.where, "a child that ended with status %d", status);
    }
    return rec;
}

struct Finding {
    long runs = 0;
    std::string first;
};
std::map<std::string, Finding> icuFindings;
int failures = 0;
long totalRuns = 0;

void sweep(const Op& op) {
    Outcome ref;
    {
        Run r(false);  // in this process: warms ICU's caches for the children
        ref = op.run(r);
    }
    long runs = 0;
    for (long k = 0;; ++k) {
        const Record rec = inChild(op, k, ref);
        if (k > 0 && !rec.reached) break;
        runs += k > 0;
        const std::string site = demangled(rec.where) + " (called from " + (rec.caller[0] ? demangled(rec.caller) : "the test") + ")";
        std::string problem = !rec.completed ? "fault in " + site
                              : rec.lost      ? std::to_string(rec.lost) + " blocks lost, allocated in " + site
                                              : "";
        if (!problem.empty() && rec.icu && k > 0) {
            Finding& f = icuFindings[problem];
            if (f.runs++ == 0) f.first = op.name + ", allocation " + std::to_string(k);
            problem.clear();
        }
        if (rec.completed && !rec.accepted) problem += (problem.empty() ? "" : "; ") + std::string(rec.detail);
        if (!problem.empty() && ++failures <= 40) std::printf("FAIL %s, allocation %ld refused: %s\n", op.name.c_str(), k, problem.c_str());
    }
    totalRuns += runs;
    std::printf("  %-72s %4ld runs\n", op.name.c_str(), runs);
}

}  // namespace

int main() {
    UErrorCode status = U_ZERO_ERROR;
    u_setMemoryFunctions(nullptr, icuAlloc, icuRealloc, icuFree, &status);
    if (U_FAILURE(status)) {
        std::printf("u_setMemoryFunctions failed: %s\n", u_errorName(status));
        return 2;
    }
    void* unwinder[1];
    backtrace(unwinder, 1);  // loads the unwinder before any run counts allocations
    std::vector<Op> ops;
    strings(ops);
    regex(ops);
    numbers(ops);
    dates(ops);
    const char* only = std::getenv("ALLOC_FAULTS_ONLY");
    for (const Op& op : ops)
        if (!only || op.name.find(only) != std::string::npos) sweep(op);
    for (const auto& [what, f] : icuFindings)
        std::printf("ICU under refused allocations, %ld runs: %s; first: %s\n", f.runs, what.c_str(), f.first.c_str());
    std::printf("%ld refused-allocation runs over %zu operations, %zu ICU findings, %d failures\n", totalRuns, ops.size(),
                icuFindings.size(), failures);
    return failures == 0 ? 0 : 1;
}
