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
#include "qkit.h"

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
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

struct Site { void* frames[24]; int depth = 0; };
static struct State {
    long counted = 0, failAt = 0;  // allocations of the run so far, and the one refused
    bool armed = false, reached = false, inAllocator = false;
    std::unordered_map<void*, Site>* icuBlocks = nullptr;  // blocks of a child's window still live
    void* newBlocks[8] = {};  // the library's operator new blocks, searchable without allocating
} g;

static bool refuse() { return g.armed && ++g.counted == g.failAt && (g.reached = true); }
static void note(void* p) {
    if (p && g.armed && g.icuBlocks) (*g.icuBlocks)[p].depth = backtrace((*g.icuBlocks)[p].frames, 24);
}
static bool in(const char* file, std::initializer_list<const char*> parts) {
    return std::any_of(parts.begin(), parts.end(), [&](const char* part) { return std::strstr(file, part); });
}

extern "C" void* icuAlloc(const void*, size_t size) {
    void* p = (g.inAllocator = true, refuse()) ? nullptr : std::malloc(size);
    return note(p), g.inAllocator = false, p;
}
// A block that moves keeps the site where it was first allocated: its entry is taken out before
// the move (a freed address is no key) and filed under the new address, or the old one if refused.
extern "C" void* icuRealloc(const void*, void* old, size_t size) {
    g.inAllocator = true;
    auto at = g.icuBlocks && old ? g.icuBlocks->extract(old) : decltype(g.icuBlocks->extract(old)){};
    void* p = refuse() ? nullptr : std::realloc(old, size);
    at ? void((at.key() = p ? p : old, g.icuBlocks->insert(std::move(at)))) : note(p);
    return g.inAllocator = false, p;
}
extern "C" void icuFree(const void*, void* p) {
    if (g.inAllocator = true, g.icuBlocks && p) g.icuBlocks->erase(p);
    std::free(p), g.inAllocator = false;
}

void* operator new(std::size_t size) {
    Dl_info info{};
    const bool ours = g.armed && dladdr(__builtin_return_address(0), &info) && in(info.dli_fname, {"libQOVAicuC"});
    void* p = ours && refuse() ? nullptr : std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    for (void*& block : g.newBlocks) if (ours && !block) return block = p;
    return p;
}
// Kept out of line: inlined, GCC would see std::free meet a pointer from operator new and warn.
__attribute__((noinline)) void operator delete(void* p) noexcept {
    for (void*& block : g.newBlocks) block = p && block == p ? nullptr : block;
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

using icu::UnicodeString;
using namespace std::literals;
using U = std::u16string;
using Outcome = std::vector<U>;
const U kFailed = u"<failure result>";

using qkit::str;
static U num(long long v) { const std::string s = std::to_string(v); return {s.begin(), s.end()}; }

// One run: it makes its inputs outside the window, calls the operations inside it, and releases
// every handle it kept, the latest first, when it ends. k counts over all windows of a run.
struct Run {
    explicit Run(bool faulted) : faulted(faulted) { g.counted = 0; }
    ~Run() { for (auto h = handles_.rbegin(); h != handles_.rend(); ++h) h->second(h->first); }
    // A string handle that aliases `units` read-only, so that any edit of it must allocate.
    void* s(std::u16string_view units) { return &str(keep(SF::make())).setTo(false, units.data(), int(units.size())); }
    void* keep(void* h, void (*release)(void*&) = SF::destroy) { return handles_.emplace_back(h, release).first; }
    template <class Calls> void window(Calls&& calls) { g.armed = true, calls(), g.armed = false; }
    // Under a refused allocation `value` counts as the failure result when `failure` holds
    // (always, for a part that ICU may degrade silently: it is then checked only without one).
    U orFailed(bool failure, U value) const { return faulted && failure ? kFailed : value; }
    U text(void* h) const { return str(h).isBogus() ? kFailed : U(str(h).getBuffer(), str(h).length()); }
    // A made string: null, and under a refused allocation an empty one, are the failure result.
    U made(void* h) { return h ? orFailed(str(keep(h)).isEmpty(), text(h)) : kFailed; }
    // Formatted output: under a refused allocation ICU may fall back to other data or stop early,
    // so then any text in terminated form (one U+0000, at the end) is accepted, for dates one
    // without U+202F.
    U output(void* h, bool date = false) const {
        const UnicodeString& s = str(h);
        const bool terminated = s.indexOf(char16_t(0)) == s.length() - 1 && (!date || s.indexOf(char16_t(0x202F)) < 0);
        return orFailed(s.isBogus() || s.isEmpty() || terminated, text(h));
    }
    const bool faulted;
    std::vector<std::pair<void*, void (*)(void*&)>> handles_;
};

// Longer than a string's inline storage, so that every copy and edit needs a buffer.
constexpr auto kBody = u"Stra\u00DFe und gro\u00DFe Fl\u00FCsse, 0123456789 \U0001F600 abcdefghij"sv;
constexpr auto kTerminated = u"Stra\u00DFe und gro\u00DFe Fl\u00FCsse, 0123456789 \U0001F600 abcdefghij\0"sv;
constexpr long long kSeconds = 1700000000;

// What a formatter made in a window formats afterwards.
static U formatted(Run& r, void* f, bool date) {
    void* out = r.s(u""sv);
    date ? DS::FormatDateTimeToString(f, out, kSeconds) : NS::FormatDouble(f, out, -12345.678, true, false);
    return r.output(out, date);
}
void* (*const kDates[])(void*) = {[](void*) { return DF::make("en_US"); }, [](void* z) { return DF::make("de_DE", z); },
                                       [](void* z) { return DF::make(DF::StyleFull, DF::StyleFull, "ja_JP", z); }};

// A row per family: its factories, copies and services, each in the window at least once.
const std::pair<const char*, Outcome (*)(Run&)> kOperations[] = {
    // The inputs of concatenate stay unterminated when it fails, so they are not compared.
    {"strings: make, services, export, converter", [](Run& r) -> Outcome {
         const std::string bytes(40, 'y');
         void* s[] = {r.s(kBody), r.s(kTerminated), r.s(kTerminated), r.s(kBody),
                      r.s(kTerminated), r.s(kBody), r.s(kTerminated), r.s(kTerminated)};
         void *h[4] = {}, *made[2] = {&r, &r}, *conv = nullptr;
         char out[2][128] = {};
         bool failed = true, done[2] = {}, opened = false;
         int v[4] = {};
         r.window([&] {
             h[0] = SF::make(bytes.c_str(), "Shift_JIS"), h[1] = SF::makeInvariant(bytes.c_str(), -1);
             h[2] = SF::make(reinterpret_cast<const int*>(std::u32string(40, U'\U0001F600').c_str()), failed);
             h[3] = SF::makeCopy(s[0]), SS::nullTerminateString(s[0]), SS::removeNullTerminator(s[1]);
             v[0] = SS::indexOf(s[3], s[0], 0), SS::compareIgnoringCase(s[2], s[3], v[1]);
             v[2] = SS::convertToUpper(s[2]) + 2 * SS::append(s[3], s[1]);
             v[3] = SS::concatenate(s[4], s[5], made[0]) + 2 * SS::substring(s[6], made[1], 3, 30);
             done[0] = SS::getAsUTF8(s[7], out[0], SS::getAsUTF8size(s[7]) + 1);
             if ((opened = CV::open("ISO-2022-JP", conv)))
                 done[1] = SS::getAsMBCS(s[7], conv, out[1], SS::getAsMBCSsize(s[7], conv) + 1, '?') &&
                           CV::reset(conv);
             done[1] = CV::close(conv) && done[1];
         });
         Outcome o{num(failed), num(v[1]), r.orFailed(v[0] < 0, num(v[0])), num(v[2])};
         for (int i = 0; i < 4; ++i) o.push_back(r.made(h[i])), o.push_back(r.text(s[i]));
         for (int i = 0; i < 2; ++i)
             o.insert(o.end(), {v[3] >> i & 1 ? r.text(r.keep(made[i])) : made[i] == &r ? kFailed : u"changed",
                                i && !opened ? kFailed : num(done[i]) + U(out[i], out[i] + std::strlen(out[i]))});
         return o;
     }},
    // A failed setting leaves ICU's error state, after which formatting gives the failure result.
    {"number formatter: make, makeCopy, settings, formatting", [](Run& r) -> Outcome {
         void *source = r.keep(NF::make("de_DE"), NF::destroy), *f[3] = {}, *out[] = {r.s(u"x"sv), r.s(u"x"sv)};
         char decimal[] = "-98765432109876543210.123456789";
         static long long slots[] = {7, 9};  // the 8-byte argument slots of a numeric setting
         NS::SetUnitType(source, NS::UnitKilogram);
         r.window([&] {
             f[0] = NF::make("fr_FR"), f[1] = NF::make("C"), f[2] = NF::makeCopy(source);
             NS::SetIntegerWidthType(f[0], NS::IntegerWidthZeroFillTruncate, reinterpret_cast<char*>(slots));
             NS::SetNotationType(f[0], NS::NotationCompactLong), NS::SetSignDisplayType(f[0], NS::SignAccountingAlways);
             NS::SetUnitWidthType(f[0], NS::UnitWidthFullName), NS::SetUnitType(f[0], NS::UnitMeter);
             NS::FormatDecimal(source, out[0], decimal), NS::FormatInt(source, out[1], 9223372036854775807LL);
         });
         NS::SetUnitType(source, NS::UnitNone);  // the copy is independent of its source
         Outcome o{r.output(out[0]), r.output(out[1])};
         for (void* h : f) o.push_back(h ? formatted(r, r.keep(h, NF::destroy), false) : kFailed);
         return o;
     }},
    // Under a refused allocation ICU may build a parser's number format from fallback data, so
    // only parsers made before the window must read the numbers.
    {"number parser: make, makeCopy, parse", [](Run& r) -> Outcome {
         void *p[] = {r.keep(PF::make("en_US"), PF::destroy), r.keep(PF::make("ar_EG"), PF::destroy)}, *made[2] = {};
         void* text[] = {r.s(u" +1234567.5+  \0"sv), r.s(u"-42\0"sv), r.s(u" +3000000000"sv), r.s(u"-1 "sv),
                        r.s(u"4711"sv)};
         PS::ErrorType e[5] = {};
         long long v[4] = {};
         r.window([&] {
             made[0] = r.keep(PF::make("ar_EG"), PF::destroy), made[1] = r.keep(PF::makeCopy(p[1]), PF::destroy);
             v[0] = static_cast<long long>(PS::FormatStrToDouble(p[0], text[0], e[0]) * 10);
             v[1] = PS::FormatStrToInt32_t(p[1], text[1], e[1]), v[2] = PS::FormatStrToInt64_t(p[0], text[2], e[2]);
             v[3] = static_cast<long long>(PS::FormatStrToULong(p[1], text[3], e[3]));
         });
         Outcome o;
         for (void* h : made)
             o.push_back(r.orFailed(true, h ? num(PS::FormatStrToInt32_t(h, text[4], e[4])) : kFailed));
         for (int i = 0; i < 4; ++i)
             o.insert(o.end(), {r.orFailed(!v[i], num(v[i])), r.orFailed(e[i] == PS::ErrorInvalid, num(e[i])),
                                r.text(text[i])});
         return o;
     }},
    // A copy whose clone ICU could not make holds nothing and formats nothing. The parse status is
    // not examined: under a refused allocation the value is whatever ICU's parse got to, and only
    // the unchanged text can be checked.
    {"date-time: make, makeCopy, format, parse", [](Run& r) -> Outcome {
         void *zone = r.s(u"America/New_York"sv), *f[3], *text[3], *out[3], *made[4] = {};
         long long ms[3];
         for (int i = 0; i < 3; ++i) f[i] = r.keep(kDates[i](zone), DF::destroy), text[i] = r.s(u""sv);
         for (int i = 0; i < 3; ++i) DS::FormatDateTimeToString(f[i], text[i], kSeconds), out[i] = r.s(u"x"sv);
         r.window([&] {
             for (int i = 0; i < 4; ++i) made[i] = i < 3 ? kDates[i](zone) : DF::makeCopy(f[2]);
             for (int i = 0; i < 3; ++i)
                 DS::FormatDateTimeToString(f[i], out[i], kSeconds), ms[i] = DS::FormatStringToDateTime(f[i], text[i]);
         });
         Outcome o{r.text(zone)};
         for (void* h : made) o.push_back(h ? formatted(r, r.keep(h, DF::destroy), true) : kFailed);
         for (int i = 0; i < 3; ++i)
             o.insert(o.end(), {r.output(out[i], true), r.orFailed(true, num(ms[i])), r.text(text[i])});
         return o;
     }},
    // A matcher made and used through every service, on a pattern with a set operation and a
    // property. ICU's replacement and split loops swallow the status of their find: under a
    // refused allocation they may stop early, report success, or give fewer fields, of which all
    // but the last are still ICU's.
    {"regex: make, every service", [](Run& r) -> Outcome {
         void *p = r.s(u"[\\p{L}&&[^aeiou]]+\0"sv), *in = r.s(u"a quick brown fox \u00E9t\u00E9 jumps"sv), *m[2] = {};
         void *out[] = {r.s(u"previous"sv), r.s(u""sv), r.s(u""sv)}, *w = r.s(u"<$0>\0"sv), *ab = r.s(u"ab\0\0"sv);
         UnicodeString fields[4];
         int v[9] = {};
         r.window([&] {
             m[0] = RF::make(p, in, 0), m[1] = RF::make(p, 0), v[0] = RS::find(m[0]), v[1] = RS::start(m[0]);
             v[2] = RS::group(m[0], out[0]), v[3] = RS::lookingAt(m[0]), v[4] = RS::matches(m[0], 1);
             v[5] = RS::replaceAll(m[0], w, out[1]), v[6] = RS::replaceFirst(m[0], w, out[2]);
             v[7] = RS::split(m[0], in, fields, 4), RS::reset(m[0]), v[8] = RS::reset(m[0], ab) && RS::reset(m[0], 1);
         });
         if (r.keep(m[1], RF::destroy), !r.keep(m[0], RF::destroy)) return {kFailed};
         Outcome o{r.text(p), r.orFailed(!v[0], num(v[1])), r.orFailed(!v[2], r.text(out[0])),
                   r.orFailed(!v[3], num(v[3])), r.orFailed(!v[4], num(v[4])), r.orFailed(!v[5], r.output(out[1])),
                   r.orFailed(!v[6], r.output(out[2])), r.text(w), r.orFailed(true, num(v[7])), num(v[8]), r.text(ab),
                   m[1] && RS::reset(m[1], in) && RS::find(m[1]) ? num(RS::start(m[1])) : kFailed};
         for (int i = 0; i < 4; ++i) o.push_back(r.orFailed(i + 1 >= v[7], r.text(&fields[i])));
         return o;
     }},
};

// The run's handles go before the outcome is returned.
static Outcome outcome(Outcome (*op)(Run&), bool faulted) { Run r(faulted); return op(r); }
// Under a refused allocation each part may be the failure result, or the whole outcome may be.
static bool accepted(const Outcome& got, const Outcome& ref, bool faulted) {
    const auto same = [&](const U& a, const U& b) { return a == b || (faulted && a == kFailed); };
    return std::equal(got.begin(), got.end(), ref.begin(), ref.end(), same) || (faulted && got == Outcome{kFailed});
}

// What a child reports. icu: the fault, or every lost block, was ICU's; part: the first part of
// the outcome that differs; where, caller: the frame of the fault or of the lost block's
// allocation, and the library's frame under it.
struct Record { bool completed, reached, accepted, icu; int lost, part; char where[200], caller[200]; };
static int reportFd = -1;

// From frame `first` outward: the first frame outside the C and C++ runtimes (for a fault) or
// the ICU function nearest to the library (for an allocation), then the innermost library frame,
// a hidden helper named by its offset.
static void describe(void* const* frames, int n, int first, bool fault, Record& r) {
    for (Dl_info dl{}; first < n; ++first) {
        if (!dladdr(frames[first], &dl) || !dl.dli_fname ||
            in(dl.dli_fname, {"libc.so", "libstdc++", "libgcc", "libasan", "libubsan"}) ||
            (g.inAllocator && in(dl.dli_fname, {program_invocation_short_name})))
            continue;
        const auto offset = size_t(static_cast<char*>(frames[first]) - static_cast<char*>(dl.dli_fbase));
        if (in(dl.dli_fname, {"libQOVAicuC"}))
            return void(dl.dli_sname ? std::snprintf(r.caller, sizeof r.caller, "%s", dl.dli_sname)
                                       : std::snprintf(r.caller, sizeof r.caller, "libQOVAicuC+0x%zx", offset));
        const bool icu = in(dl.dli_fname, {"libicu"});
        if ((fault && !r.where[0]) || (!fault && icu && dl.dli_sname))
            r.icu |= icu, std::snprintf(r.where, sizeof r.where, "%s", dl.dli_sname ? dl.dli_sname : dl.dli_fname);
    }
}

extern "C" void onFault(int, siginfo_t*, void* context) {
    Record r{};
    void *frames[64], *pc = context;  // the interrupted instruction; elsewhere the walk starts at the handler
#if defined(__x86_64__)
    pc = reinterpret_cast<void*>(static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_RIP]);
#endif
    int n = backtrace(frames, 64), first = 0;  // where the unwinder lists pc, or the handler
    for (int i = 0; i < n; ++i) first = frames[i] == pc ? i : first;
    frames[first] = pc, r.reached = g.reached, describe(frames, n, first, true, r);
    (void)!write(reportFd, &r, sizeof r), _exit(3);
}

// After the run u_cleanup() empties ICU's caches, so that a block of the window still live is
// lost: ours when the library took it from operator new or received it to own from ICU.
static void findLost(Record& r) {
    for (void* block : g.newBlocks)
        if (block && ++r.lost) std::strcpy(r.where, "operator new"), std::strcpy(r.caller, "the library");
    if (g.icuBlocks->empty() || (u_cleanup(), r.icu = r.lost == 0, false)) return;
    for (const auto& [block, site] : *g.icuBlocks) {
        Record at{};
        describe(site.frames, site.depth, 0, false, at);
        const bool ours = !at.caller[0] || in(at.where, {"_Znw", "_Zna", "create", "clone", "open", "Instance"});
        if (r.lost++ == 0 || (ours && r.icu)) std::swap(r.where, at.where), std::swap(r.caller, at.caller);
        r.icu = r.icu && !ours;
    }
}

// Runs the operation with the k-th allocation refused (none for k = 0) in a child process. A
// child that ends without a report (a time-out, or a signal the handler does not take) counts as
// a fault of unknown origin.
static Record inChild(Outcome (*op)(Run&), long k, const Outcome& ref) {
    int fds[2], status = 0;
    Record rec{};
    if (pipe(fds) != 0) std::abort();
    if (std::fflush(stdout), fork() == 0) {
        struct sigaction sa {};
        sa.sa_sigaction = onFault, sa.sa_flags = SA_SIGINFO;
        for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) sigaction(sig, &sa, nullptr);
        alarm(30), reportFd = fds[1], g.failAt = k, g.icuBlocks = new std::unordered_map<void*, Site>();
        const Outcome got = outcome(op, k != 0);
        rec.completed = true, rec.reached = g.reached, rec.accepted = accepted(got, ref, k != 0);
        rec.part = int(std::mismatch(got.begin(), got.end(), ref.begin(), ref.end()).first - got.begin());
        findLost(rec), (void)!write(fds[1], &rec, sizeof rec), _exit(0);
    }
    const bool reported = (close(fds[1]), read(fds[0], &rec, sizeof rec) == ssize_t(sizeof rec));
    if (close(fds[0]), wait(&status), !reported)
        rec = Record{}, rec.reached = true, rec.lost = -1,
        std::sprintf(rec.where, "a child that ended with status %d", status);
    return rec;
}

int main() {
    UErrorCode status = U_ZERO_ERROR;
    u_setMemoryFunctions(nullptr, icuAlloc, icuRealloc, icuFree, &status);
    if (U_FAILURE(status)) return std::printf("u_setMemoryFunctions: %s\n", u_errorName(status)), 2;
    backtrace(Site().frames, 1);  // loads the unwinder before any run counts allocations
    std::map<std::string, long> icuFindings;  // runs by what happened
    long total = 0, failures = 0;
    for (const auto& [name, op] : kOperations) {
        const Outcome ref = outcome(op, false);  // in this process, to warm ICU's caches for the children
        long k = 0;
        for (Record rec; (rec = inChild(op, k, ref)).reached || k == 0; ++k) {
            const std::string site = rec.where + " (called from "s + (rec.caller[0] ? rec.caller : "the test") + ")";
            std::string problem = !rec.completed ? "fault in " + site
                                  : rec.lost     ? std::to_string(rec.lost) + " blocks lost, allocated in " + site : "";
            if (rec.icu && k > 0 && !problem.empty()) ++icuFindings[problem + " in " + name], problem.clear();
            if (rec.completed && !rec.accepted) problem += " (part " + std::to_string(rec.part) + " differs)";
            if (!problem.empty()) ++failures, std::printf("FAIL %s, allocation %ld: %s\n", name, k, problem.c_str());
            if (rec.lost < 0 && ++k) break;  // a child that died unreported ends this operation's sweep
        }
        std::printf("  %-60s %4ld runs\n", name, k - 1), total += k - 1;
    }
    for (const auto& [what, runs] : icuFindings)
        std::printf("ICU under refused allocations, %ld runs: %s\n", runs, what.c_str());
    std::printf("%ld refused-allocation runs over %zu operations, %zu ICU findings, %ld failures\n", total,
                std::size(kOperations), icuFindings.size(), failures);
    return failures == 0 ? 0 : 1;
}
