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
// formatting; which ones differs between ICU releases. Such findings are listed as ICU's and do
// not fail the sweep: a fault is ICU's when it happened in a frame of ICU's libraries (a fault
// inside the memory functions below is their caller's); a lost block is ICU's when the ICU
// function that the library called hands the caller nothing to own (format, parse, a setter).
// Under one that does (operator new, create*, clone, open), or from the library's own operator
// new, it was ours to free.
#include "QOVAicuC.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unicode/uclean.h>
#include <unicode/unistr.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

struct Site {
    void* frames[24];
    int depth = 0;
};
struct State {
    long counted = 0, failAt = 0;
    bool armed = false, reached = false, inAllocator = false;
    std::unordered_map<void*, Site>* icuBlocks = nullptr;  // blocks of a child's window still live
    void* newBlocks[8] = {};  // the library's operator new blocks, searchable without allocating
} g;

bool refuse() {
    if (!g.armed || ++g.counted != g.failAt) return false;
    return g.reached = true;
}
void note(void* p) {
    if (!p || !g.armed || !g.icuBlocks) return;
    Site& site = (*g.icuBlocks)[p];
    site.depth = backtrace(site.frames, 24);
}
bool inFile(const void* address, const char* part) {
    Dl_info info{};
    return dladdr(address, &info) && info.dli_fname && std::strstr(info.dli_fname, part);
}

extern "C" void* icuAlloc(const void*, size_t size) {
    g.inAllocator = true;
    void* p = refuse() ? nullptr : std::malloc(size);
    note(p);
    return g.inAllocator = false, p;
}
// A block that moves keeps the site where it was first allocated.
extern "C" void* icuRealloc(const void*, void* old, size_t size) {
    g.inAllocator = true;
    void* p = refuse() ? nullptr : std::realloc(old, size);
    const auto at = g.icuBlocks && p && old ? g.icuBlocks->extract(old) : decltype(g.icuBlocks->extract(old)){};
    at ? void((*g.icuBlocks)[p] = at.mapped()) : note(p);
    return g.inAllocator = false, p;
}
extern "C" void icuFree(const void*, void* p) {
    g.inAllocator = true;
    if (g.icuBlocks && p) g.icuBlocks->erase(p);
    std::free(p);
    g.inAllocator = false;
}

}  // namespace

void* operator new(std::size_t size) {
    const bool ours = g.armed && inFile(__builtin_return_address(0), "libQOVAicuC");
    void* p = ours && refuse() ? nullptr : std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    for (void*& block : g.newBlocks)
        if (ours && !block) return block = p;
    return p;
}
void operator delete(void* p) noexcept {
    for (void*& block : g.newBlocks)
        if (p && block == p) block = nullptr;
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
std::string utf8(const std::u16string& units) {
    std::string s;
    return UnicodeString(units.data(), static_cast<int32_t>(units.size())).toUTF8String(s);
}

// One run: it makes its inputs outside the window, calls the operations inside it, and
// releases every handle it kept, the latest first, when it ends.
class Run {
public:
    explicit Run(bool faulted) : faulted(faulted) { g.counted = 0; }  // k counts over all windows of a run
    ~Run() {
        for (auto h = handles_.rbegin(); h != handles_.rend(); ++h) h->second(h->first);
    }
    // A string handle that aliases `units` read-only, so that any edit of it must allocate.
    void* s(std::u16string_view units) {
        void* h = keep(QOVAUnicodeStringFactory::make());
        return str(h).setTo(false, units.data(), static_cast<int32_t>(units.size())), h;
    }
    void* keep(void* h, void (*release)(void*&) = QOVAUnicodeStringFactory::destroy) {
        return handles_.emplace_back(h, release).first;
    }
    template <class Calls>
    void window(Calls&& calls) {
        g.armed = true;
        calls();
        g.armed = false;
    }
    // Under a refused allocation `value` counts as the failure result when `failure` holds
    // (always, for a part that ICU may degrade silently: it is then checked only without one).
    std::u16string orFailed(bool failure, std::u16string value) const { return faulted && failure ? kFailed : value; }
    std::u16string text(void* h) const {
        return str(h).isBogus() ? kFailed : std::u16string(str(h).getBuffer(), static_cast<size_t>(str(h).length()));
    }
    // A made string: null, and under a refused allocation an empty one, are the failure result.
    std::u16string made(void* h) { return h ? orFailed(str(keep(h)).isEmpty(), text(h)) : kFailed; }
    // Formatted output: under a refused allocation ICU may fall back to other data or stop
    // early, so then any text in terminated form (one U+0000, at the end) is accepted, for
    // dates one without U+202F.
    std::u16string output(void* h, bool date = false) const {
        const UnicodeString& s = str(h);
        const bool terminated = s.indexOf(char16_t(0)) == s.length() - 1 && (!date || s.indexOf(char16_t(0x202F)) < 0);
        return orFailed(s.isBogus() || s.isEmpty() || terminated, text(h));
    }
    const bool faulted;

private:
    std::vector<std::pair<void*, void (*)(void*&)>> handles_;
};

using namespace std::literals;
using SF = QOVAUnicodeStringFactory;
using SS = QOVAUnicodeStringServices;
using RS = QOVAUnicodeRegexServices;
using NF = QOVAUnicodeNumFormatterFactory;
using NS = QOVAUnicodeNumFormatterServices;
using PF = QOVAUnicodeStrToNumFormatterFactory;
using PS = QOVAUnicodeStrToNumFormatterServices;
using DF = QOVAUnicodeDateTimeFormatterFactory;
using DS = QOVAUnicodeDateTimeFormatterServices;

// Longer than a string's inline storage, so that every copy and edit needs a buffer.
constexpr auto kBody = u"Stra\u00DFe und gro\u00DFe Fl\u00FCsse, 0123456789 \U0001F600 abcdefghij"sv;
constexpr auto kTerminated = u"Stra\u00DFe und gro\u00DFe Fl\u00FCsse, 0123456789 \U0001F600 abcdefghij\0"sv;
constexpr auto kHaystack = u"ab Stra\u00DFe und gro\u00DFe Fl\u00FCsse, 0123456789 \U0001F600 abcdefghij\0"sv;
// Patterns that make ICU allocate in different places: sets and properties, back references
// with case folding (flag 2), deep backtracking.
constexpr std::tuple<std::u16string_view, std::u16string_view, unsigned> kPatterns[] = {
    {u"[\\p{L}&&[^aeiou]]+\0"sv, u"a quick brown fox \u00E9t\u00E9 jumps"sv, 0},
    {u"(\\w+)\\s+\\1"sv, u"this is IS a test test of repeats"sv, 2},
    {u"(a|b)*c"sv, u"abababababababababababababababababababababababababc"sv, 0}};
constexpr long long kSeconds = 1700000000;

char* slots(int a, int b) {  // 8-byte argument slots for the settings that take numbers
    static long long buffer[2];
    return buffer[0] = a, buffer[1] = b, reinterpret_cast<char*>(buffer);
}
std::u16string numberFormatted(Run& r, void* f) {
    void* out = r.s(u""sv);
    return NS::FormatDouble(f, out, -12345.678, true, false), r.output(out);
}
std::u16string dateFormatted(Run& r, void* f) {
    void* out = r.s(u""sv);
    return DS::FormatDateTimeToString(f, out, kSeconds), r.output(out, true);
}
void* (*const kDateMakers[])(void*) = {
    [](void*) { return DF::make("en_US"); }, [](void* zone) { return DF::make("de_DE", zone); },
    [](void* zone) { return DF::make(DF::StyleFull, DF::StyleFull, "ja_JP", zone); }};

std::vector<std::pair<std::string, std::function<Outcome(Run&)>>> operations() {
    std::vector<std::pair<std::string, std::function<Outcome(Run&)>>> ops{
        {"string factory",
         [](Run& r) -> Outcome {
             const std::string bytes(40, 'y');
             const std::u16string units(40, u'\u00E9');
             std::vector<int> utf32(40, 0x1F600);
             utf32.push_back(0);
             void* source = r.s(kBody);
             void* h[6] = {};
             bool failed = true;
             r.window([&] {
                 h[0] = SF::make(bytes.c_str(), "Shift_JIS"),
                 h[1] = SF::make(reinterpret_cast<const unsigned short*>(units.c_str()));
                 h[2] = SF::makeInvariant(bytes.c_str(), -1), h[3] = SF::makeCopy(source),
                 h[4] = SF::make(utf32.data(), failed);
                 h[5] = SF::make(0x1F600);
             });
             return {r.made(h[0]), r.made(h[1]), r.made(h[2]), r.made(h[3]), r.made(h[4]), num(failed), r.made(h[5])};
         }},
        // The inputs of concatenate stay unterminated when it fails, so they are not compared.
        {"string services",
         [](Run& r) -> Outcome {
             void* s[] = {r.s(kBody),       r.s(kTerminated), r.s(kTerminated), r.s(kHaystack),
                          r.s(kBody),       r.s(kBody),       r.s(kTerminated), r.s(kBody),
                          r.s(kTerminated), r.s(kTerminated), r.s(kBody),       r.s(kTerminated)};
             void* made[2] = {&r, &r};
             int v[6] = {};
             r.window([&] {
                 SS::nullTerminateString(s[0]), SS::removeNullTerminator(s[1]), v[0] = SS::replace(s[2], 0, u'z');
                 v[1] = SS::indexOf(s[3], s[4], 0), v[2] = SS::lastIndexOf(s[3], s[5], 0),
                 SS::compareIgnoringCase(s[6], s[7], v[3]);
                 v[4] = SS::convertToUpper(s[6]) + 2 * SS::append(s[8], s[7]);
                 v[5] = SS::concatenate(s[9], s[10], made[0]) + 2 * SS::substring(s[11], made[1], 3, 30);
             });
             Outcome o{num(v[3]), r.orFailed(v[1] < 0, num(v[1])), r.orFailed(v[2] < 0, num(v[2])), num(v[0]),
                       num(v[4])};
             for (int i = 0; i < 9; ++i) o.push_back(r.text(s[i]));
             for (int i = 0; i < 2; ++i)
                 o.push_back(v[5] >> i & 1 ? r.text(r.keep(made[i])) : made[i] == &r ? kFailed : u"changed");
             return o;
         }},
        {"string export, converter open, reset, close",
         [](Run& r) -> Outcome {
             void* s = r.s(kTerminated);
             char bytes[3][128] = {};
             void* converters[2] = {&r, &r};
             bool done[3] = {};
             r.window([&] {
                 done[2] = SS::getAsUTF8(s, bytes[2], SS::getAsUTF8size(s) + 1);
                 for (int i = 0; i < 2; ++i)
                     if (QOVAUnicodeCodepageConverter::open(i ? "ISO-2022-JP" : "Shift_JIS", converters[i]))
                         done[i] =
                             SS::getAsMBCS(s, converters[i], bytes[i], SS::getAsMBCSsize(s, converters[i]) + 1, '?') &&
                             QOVAUnicodeCodepageConverter::reset(converters[i]) &&
                             QOVAUnicodeCodepageConverter::close(converters[i]);
             });
             Outcome o;
             for (int i = 0; i < 3; ++i)
                 o.push_back(i < 2 && !converters[i]
                                 ? kFailed
                                 : num(done[i]) + std::u16string(bytes[i], bytes[i] + std::strlen(bytes[i])));
             return o;
         }},
        // Under a refused allocation ICU may build a parser's number format from fallback data,
        // so only a parser made without one must read the number.
        {"number formatter and parser make, makeCopy",
         [](Run& r) -> Outcome {
             void* source[] = {r.keep(NF::make("de_DE"), NF::destroy), r.keep(PF::make("ar_EG"), PF::destroy)};
             NS::SetUnitType(source[0], NS::UnitKilogram);
             void *f[4] = {}, *p[3] = {};
             r.window([&] {
                 f[0] = NF::make("de_DE"), f[1] = NF::make("ar_EG"), f[2] = NF::make("C"),
                 f[3] = NF::makeCopy(source[0]);
                 p[0] = PF::make("en_US"), p[1] = PF::make("ar_EG"), p[2] = PF::makeCopy(source[1]);
             });
             NS::SetUnitType(source[0], NS::UnitNone);  // the copy is independent of its source
             Outcome o;
             for (void* h : f) o.push_back(h ? numberFormatted(r, r.keep(h, NF::destroy)) : kFailed);
             for (void* h : p) {
                 PS::ErrorType err = PS::ErrorNone;
                 o.push_back(
                     h ? r.orFailed(true, num(PS::FormatStrToInt32_t(r.keep(h, PF::destroy), r.s(u" 4711 "sv), err)))
                       : kFailed);
             }
             return o;
         }},
        // A failed setting leaves ICU's error state, after which formatting gives the failure result.
        {"number settings, formatting",
         [](Run& r) -> Outcome {
             void* f[] = {r.keep(NF::make("fr_FR"), NF::destroy), r.keep(NF::make("de_DE"), NF::destroy)};
             NS::SetUnitType(f[1], NS::UnitCurrencyUSD);
             void* out[] = {r.s(u"x"sv), r.s(u"x"sv), r.s(u"x"sv)};
             char decimal[] = "-98765432109876543210.123456789";
             r.window([&] {
                 NS::SetGroupingType(f[0], NS::GroupingMin2),
                     NS::SetIntegerWidthType(f[0], NS::IntegerWidthZeroFillTruncate, slots(7, 9));
                 NS::SetNotationType(f[0], NS::NotationCompactLong),
                     NS::SetPrecisionType(f[0], NS::PrecisionMinMaxSignificantDigits, slots(2, 4));
                 NS::SetRoundingModeType(f[0], NS::RoundingCeiling),
                     NS::SetSignDisplayType(f[0], NS::SignAccountingAlways);
                 NS::SetUnitWidthType(f[0], NS::UnitWidthFullName), NS::SetUnitType(f[0], NS::UnitMeter);
                 NS::FormatDecimal(f[1], out[0], decimal), NS::FormatDouble(f[1], out[1], -1234.5678, false, false);
                 NS::FormatInt(f[1], out[2], 9223372036854775807LL);
             });
             return {numberFormatted(r, f[0]), r.output(out[0]), r.output(out[1]), r.output(out[2])};
         }},
        {"number parse",
         [](Run& r) -> Outcome {
             void* p[] = {r.keep(PF::make("en_US"), PF::destroy), r.keep(PF::make("ar_EG"), PF::destroy)};
             void* text[] = {r.s(u" +1234567.5+  \0"sv), r.s(u"-42\0"sv), r.s(u" +3000000000"sv), r.s(u"-1 "sv)};
             PS::ErrorType err[4] = {};
             long long v[4] = {};
             r.window([&] {
                 v[0] = static_cast<long long>(PS::FormatStrToDouble(p[0], text[0], err[0]) * 10);
                 v[1] = PS::FormatStrToInt32_t(p[1], text[1], err[1]),
                 v[2] = PS::FormatStrToInt64_t(p[0], text[2], err[2]);
                 v[3] = static_cast<long long>(PS::FormatStrToULong(p[1], text[3], err[3]));
             });
             Outcome o;
             for (int i = 0; i < 4; ++i)
                 o.insert(o.end(), {r.orFailed(v[i] == 0, num(v[i])),
                                    r.orFailed(err[i] == PS::ErrorInvalid, num(err[i])), r.text(text[i])});
             return o;
         }},
        // A copy whose clone ICU could not make holds nothing and formats nothing.
        {"date-time make, makeCopy",
         [](Run& r) -> Outcome {
             void* zone = r.s(u"America/New_York"sv);
             void* source = r.keep(kDateMakers[2](zone), DF::destroy);
             void* f[4] = {};
             r.window([&] {
                 f[0] = kDateMakers[0](zone), f[1] = kDateMakers[1](zone), f[2] = kDateMakers[2](zone),
                 f[3] = DF::makeCopy(source);
             });
             Outcome o{r.text(zone)};
             for (void* h : f) o.push_back(h ? dateFormatted(r, r.keep(h, DF::destroy)) : kFailed);
             return o;
         }},
        // The parse status is not examined: under a refused allocation the value is whatever
        // ICU's parse got to, and only the unchanged text can be checked.
        {"date-time format, parse",
         [](Run& r) -> Outcome {
             void* zone = r.s(u"Asia/Tokyo"sv);
             void *f[3], *text[3], *out[3];
             long long ms[3];
             for (int i = 0; i < 3; ++i)
                 f[i] = r.keep(kDateMakers[i](zone), DF::destroy), text[i] = r.s(u""sv), out[i] = r.s(u"x"sv);
             for (int i = 0; i < 3; ++i) DS::FormatDateTimeToString(f[i], text[i], kSeconds);
             r.window([&] {
                 for (int i = 0; i < 3; ++i)
                     DS::FormatDateTimeToString(f[i], out[i], kSeconds),
                         ms[i] = DS::FormatStringToDateTime(f[i], text[i]);
             });
             Outcome o;
             for (int i = 0; i < 3; ++i)
                 o.insert(o.end(), {r.output(out[i], true), r.orFailed(true, num(ms[i])), r.text(text[i])});
             return o;
         }},
    };
    // One matcher per pattern, made and used through every service. ICU's replacement and split
    // loops swallow the status of their find: under a refused allocation they may stop early,
    // report success, or give fewer fields, of which all but the last are still ICU's.
    for (const auto& [pattern, input, flags] : kPatterns) {
        ops.emplace_back("regex /" + utf8(std::u16string(pattern)) + "/", [=](Run& r) -> Outcome {
            void* p = r.s(pattern);
            void* in = r.s(input);
            void* out[] = {r.s(u"previous"sv), r.s(u""sv), r.s(u""sv)};
            void* with = r.s(u"<$0>\0"sv);
            void* other = r.s(u"ab\0\0"sv);
            void* m[2] = {};
            UnicodeString fields[4];
            int v[9] = {};
            r.window([&] {
                m[0] = QOVAUnicodeRegexFactory::make(p, in, flags), m[1] = QOVAUnicodeRegexFactory::make(p, flags);
            });
            if (m[1]) r.keep(m[1], QOVAUnicodeRegexFactory::destroy);
            if (!m[0]) return {kFailed};
            r.keep(m[0], QOVAUnicodeRegexFactory::destroy);
            r.window([&] {
                v[0] = RS::find(m[0]), v[1] = RS::start(m[0]), v[2] = RS::group(m[0], out[0]),
                v[3] = RS::lookingAt(m[0]);
                v[4] = RS::matches(m[0], 1), v[5] = RS::replaceAll(m[0], with, out[1]),
                v[6] = RS::replaceFirst(m[0], with, out[2]);
                v[7] = RS::split(m[0], in, fields, 4), RS::reset(m[0]),
                v[8] = RS::reset(m[0], other) && RS::reset(m[0], 1);
            });
            Outcome o{r.text(p),
                      r.orFailed(!v[0], num(v[1])),
                      r.orFailed(!v[2], r.text(out[0])),
                      r.orFailed(!v[3], num(v[3])),
                      r.orFailed(!v[4], num(v[4])),
                      r.orFailed(!v[5], r.output(out[1])),
                      r.orFailed(!v[6], r.output(out[2])),
                      r.text(with),
                      r.orFailed(true, num(v[7])),
                      num(v[8]),
                      r.text(other),
                      m[1] && RS::reset(m[1], in) && RS::find(m[1]) ? num(RS::start(m[1])) : kFailed};
            for (int i = 0; i < 4; ++i) o.push_back(r.orFailed(i + 1 >= v[7], r.text(&fields[i])));
            return o;
        });
    }
    return ops;
}

bool accepted(const Outcome& got, const Outcome& ref, bool faulted) {
    if (got == ref || (faulted && got == Outcome{kFailed})) return true;
    for (size_t i = 0; faulted && got.size() == ref.size() && i < got.size(); ++i)
        if (got[i] != ref[i] && got[i] != kFailed) return false;
    return faulted && got.size() == ref.size();
}

// What a child reports: its outcome, and where a fault happened or a lost block was allocated.
struct Record {
    bool completed, reached, accepted, icu;  // icu: the fault, or every lost block, was ICU's
    int lost;
    char where[200], caller[200], detail[400];
};
int reportFd = -1;

// From frame `first` outward: the first frame outside the C and C++ runtimes (for a fault) or
// the ICU function nearest to the library (for an allocation), then the innermost library frame.
void describe(void* const* frames, int n, int first, bool fault, Record& r) {
    for (int i = first; i < n; ++i) {
        Dl_info info{};
        if (!dladdr(frames[i], &info) || !info.dli_fname) continue;
        bool runtime = g.inAllocator && std::strstr(info.dli_fname, program_invocation_short_name);
        for (const char* lib : {"libc.so", "libstdc++", "libgcc", "libasan", "libubsan"})
            runtime |= std::strstr(info.dli_fname, lib) != nullptr;
        const bool inIcu = std::strstr(info.dli_fname, "libicu") != nullptr;
        if (runtime) continue;
        if (std::strstr(info.dli_fname, "libQOVAicuC")) {  // a hidden helper is named by its offset
            const auto offset = static_cast<size_t>(static_cast<char*>(frames[i]) - static_cast<char*>(info.dli_fbase));
            info.dli_sname ? std::snprintf(r.caller, sizeof r.caller, "%s", info.dli_sname)
                           : std::snprintf(r.caller, sizeof r.caller, "libQOVAicuC+0x%zx", offset);
            return;
        }
        if ((fault && !r.where[0]) || (!fault && inIcu && info.dli_sname)) {
            std::snprintf(r.where, sizeof r.where, "%s", info.dli_sname ? info.dli_sname : info.dli_fname);
            r.icu = fault ? inIcu : r.icu;
        }
    }
}

std::string demangled(const char* name) {
    int status = 0;
    char* d = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string s = status == 0 && d ? d : name;
    return std::free(d), s;
}

extern "C" void onFault(int, siginfo_t*, void* context) {
    Record r{};
    r.reached = g.reached;
    void* frames[64];
    const int n = backtrace(frames, 64);
#if defined(__x86_64__)
    const auto pc = reinterpret_cast<void*>(static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_RIP]);
#else
    void* const pc = (void(context), nullptr);  // elsewhere the walk starts at the handler
#endif
    int first = 0;  // the interrupted frame; when the unwinder did not list it, the handler's
    for (int i = 0; i < n; ++i) first = frames[i] == pc ? i : first;
    frames[first] = pc;
    describe(frames, n, first, true, r);
    (void)!write(reportFd, &r, sizeof r);
    _exit(3);
}

// After the run u_cleanup() empties ICU's caches, so that a block of the window still live is
// lost: ours when the library took it from operator new or received it to own from ICU.
void findLost(Record& r) {
    for (void* block : g.newBlocks)
        if (block && ++r.lost) std::strcpy(r.where, "operator new"), std::strcpy(r.caller, "the library");
    if (g.icuBlocks->empty()) return;
    u_cleanup();
    r.icu = r.lost == 0;
    for (const auto& [block, site] : *g.icuBlocks) {
        Record at{};
        describe(site.frames, site.depth, 0, false, at);
        const std::string entry = demangled(at.where);
        bool ours = !at.caller[0];
        for (const char* owning : {"operator new", "create", "clone", "open", "Instance"})
            ours |= entry.find(owning) != std::string::npos;
        if (r.lost++ == 0 || (ours && r.icu))
            std::memcpy(r.where, at.where, sizeof r.where), std::memcpy(r.caller, at.caller, sizeof r.caller);
        r.icu = r.icu && !ours;
    }
}

Record inChild(const std::function<Outcome(Run&)>& op, long k, const Outcome& ref) {
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    std::fflush(stdout);
    Record rec{};
    if (fork() == 0) {
        reportFd = fds[1];
        struct sigaction sa {};
        sa.sa_sigaction = onFault;
        sa.sa_flags = SA_SIGINFO;
        for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) sigaction(sig, &sa, nullptr);
        alarm(30);
        g.icuBlocks = new std::unordered_map<void*, Site>();
        g.failAt = k;
        Outcome got;
        {
            Run r(k != 0);
            got = op(r);
        }
        rec.completed = true, rec.reached = g.reached, rec.accepted = accepted(got, ref, k != 0);
        const size_t i =
            static_cast<size_t>(std::mismatch(got.begin(), got.end(), ref.begin(), ref.end()).first - got.begin());
        std::snprintf(rec.detail, sizeof rec.detail, "part %zu is '%s', not '%s'", i,
                      utf8(i < got.size() ? got[i] : u"").c_str(), utf8(i < ref.size() ? ref[i] : u"").c_str());
        findLost(rec);
        (void)!write(fds[1], &rec, sizeof rec);
        _exit(0);
    }
    close(fds[1]);
    const bool reported = read(fds[0], &rec, sizeof rec) == static_cast<ssize_t>(sizeof rec);
    int status = 0;
    close(fds[0]), wait(&status);
    if (!reported) {  // a time-out, or a signal that the handler does not take
        rec = Record{}, rec.reached = true, rec.lost = -1;
        std::snprintf(rec.where, sizeof rec.where, "a child that ended with status %d", status);
    }
    return rec;
}

}  // namespace

int main() {
    UErrorCode status = U_ZERO_ERROR;
    u_setMemoryFunctions(nullptr, icuAlloc, icuRealloc, icuFree, &status);
    if (U_FAILURE(status)) return std::printf("u_setMemoryFunctions: %s\n", u_errorName(status)), 2;
    void* unwinder[1];
    backtrace(unwinder, 1);  // loads the unwinder before any run counts allocations
    const auto ops = operations();
    std::map<std::string, std::pair<long, std::string>> icuFindings;  // what: runs, first run
    long total = 0;
    int failures = 0;
    for (const auto& [name, op] : ops) {
        Outcome ref;
        {
            Run r(false);  // in this process, to warm ICU's caches for the children
            ref = op(r);
        }
        long runs = 0;
        for (long k = 0;; ++k) {
            const Record rec = inChild(op, k, ref);
            if (k > 0 && !rec.reached) break;
            runs += k > 0;
            const std::string site =
                demangled(rec.where) + " (called from " + (rec.caller[0] ? demangled(rec.caller) : "the test") + ")";
            std::string problem = !rec.completed ? "fault in " + site
                                  : rec.lost     ? std::to_string(rec.lost) + " blocks lost, allocated in " + site
                                                 : "";
            if (!problem.empty() && rec.icu && k > 0) {
                auto& [count, first] = icuFindings[problem];
                if (count++ == 0) first = name + ", allocation " + std::to_string(k);
                problem.clear();
            }
            if (rec.completed && !rec.accepted) problem += (problem.empty() ? "" : "; ") + std::string(rec.detail);
            if (!problem.empty() && ++failures <= 40)
                std::printf("FAIL %s, allocation %ld refused: %s\n", name.c_str(), k, problem.c_str());
            if (rec.lost < 0) break;  // a child that died unreported ends this operation's sweep
        }
        total += runs;
        std::printf("  %-60s %4ld runs\n", name.c_str(), runs);
    }
    for (const auto& [what, finding] : icuFindings)
        std::printf("ICU under refused allocations, %ld runs: %s; first: %s\n", finding.first, what.c_str(),
                    finding.second.c_str());
    std::printf("%ld refused-allocation runs over %zu operations, %zu ICU findings, %d failures\n", total, ops.size(),
                icuFindings.size(), failures);
    return failures == 0 ? 0 : 1;
}
