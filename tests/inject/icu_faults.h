// Allocation-failure injection through ICU's own allocator.
//
// install() hands ICU counting memory functions; it must run first thing in main, before ICU's
// first allocation. A sweep then runs one operation again and again, failing its 1st, 2nd, ...
// ICU allocation, until a run completes without reaching the fault. Each run must end in an
// accepted outcome (the check is the run's own) and lose no memory: every handle the run made
// has been destroyed by its end, so after u_cleanup() (which empties ICU's caches, where a
// failed run may legitimately have left an entry) exactly as many ICU blocks are live as after
// an unfaulted run. Before the sweep one unfaulted run in this process warms ICU's caches
// (locale data, zones, converters), so that the faulted runs meet ICU's steady state.
//
// Each faulted run happens in a child process. ICU 72 itself does not survive every refused
// allocation: some of its own failure paths dereference the null they were given (for example
// RegexPattern::zap after a failed UVector, DecimalQuantity::ensureCapacity, the resource
// bundle lookups of SimpleDateFormat::construct). A child that faults is classified by the
// frame the fault happened in: inside ICU's libraries it is counted and listed as an ICU
// defect met on the way (with the library operation that called into ICU); anywhere else, our
// library or the test, it fails the sweep. Lost blocks are classified the same way, by the ICU
// function that the library called when they were allocated: under one that hands the caller
// an object to own (operator new, create*, clone, open) they were the library's to free and
// fail the sweep; under any other (format, parse) ICU lost them itself (ICU 72 does, in some
// failure paths of its number formatting), and they are listed. Children also keep ICU's
// caches of the parent clean of whatever a failed run left in them.
#pragma once

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <signal.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>
#include <unicode/uclean.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <unordered_map>

namespace inject {

struct IcuHeap {
    long live = 0;        // blocks handed out by alloc/realloc and not yet freed
    bool tracking = false;  // a child records where each block of its window was allocated
    long counted = 0;     // allocation requests since the fault was armed
    long failAt = 0;      // the request to refuse; 0: none
    bool armed = false;
    bool reached = false;  // the armed request was refused in this run
};

inline IcuHeap heap;

// Allocation sites of the blocks that a child's window allocated and has not freed (the map's
// own nodes come from operator new, not from ICU's allocator).
struct Site {
    void* frames[24];
    int depth;
};
inline std::unordered_map<void*, Site>* sites = nullptr;

inline void track(void* p) {
    if (!heap.tracking || !heap.armed || !p || !sites) return;
    Site site;
    site.depth = backtrace(site.frames, 24);
    (*sites)[p] = site;
}

inline void untrack(void* p) {
    if (sites) sites->erase(p);
}

// Why the last run's check refused its outcome, for the failure report.
inline std::string note;

// Accepts `ok`; otherwise notes `why` (with the text of the two strings when given).
inline bool expect(bool ok, const std::string& why) {
    if (!ok && note.empty()) note = why;
    return ok;
}

// A request counts only while armed, so that the run's own set-up and checks can allocate.
inline bool refuseThisRequest() {
    if (!heap.armed) return false;
    if (++heap.counted != heap.failAt) return false;
    heap.reached = true;
    return true;
}

extern "C" inline void* icuAlloc(const void*, size_t size) {
    if (refuseThisRequest()) return nullptr;
    void* p = std::malloc(size);
    if (p) ++heap.live;
    track(p);
    return p;
}

extern "C" inline void* icuRealloc(const void*, void* old, size_t size) {
    if (refuseThisRequest()) return nullptr;
    // The old block's address is only a key here; it is untracked before realloc can free it.
    const bool tracked = old && sites && sites->count(old);
    Site site{};
    if (tracked) {
        site = (*sites)[old];
        untrack(old);
    }
    void* p = std::realloc(old, size);
    if (p && !old) ++heap.live;
    if (p) track(p);
    else if (tracked) (*sites)[old] = site;
    return p;
}

extern "C" inline void icuFree(const void*, void* p) {
    if (!p) return;
    --heap.live;
    untrack(p);
    std::free(p);
}

inline void install() {
    UErrorCode status = U_ZERO_ERROR;
    u_setMemoryFunctions(nullptr, icuAlloc, icuRealloc, icuFree, &status);
    if (U_FAILURE(status)) {
        std::fprintf(stderr, "u_setMemoryFunctions failed: %s\n", u_errorName(status));
        std::exit(2);
    }
}

// Arms the fault for the part of a run that the operation itself is: the run makes its inputs,
// opens the window around the operation, closes it, then checks and releases.
class Window {
public:
    void open() {
        heap.counted = 0;
        heap.armed = true;
    }
    void close() { heap.armed = false; }
    // Whether this run is one with a refused allocation (checks that hold only without one ask).
    bool faulted() const { return heap.failAt != 0; }
};

inline bool inIcuLibrary(const char* path) { return path && std::strstr(path, "libicu"); }
inline bool inRuntime(const char* path) {
    return path && (std::strstr(path, "libc.so") || std::strstr(path, "libasan") ||
                    std::strstr(path, "libubsan") || std::strstr(path, "libstdc++") ||
                    std::strstr(path, "libgcc"));
}

// What a child reports about its run through a pipe.
struct Record {
    enum Kind : int { Completed, Crashed } kind;
    bool reached;
    bool accepted;
    long lost;
    bool inIcu;          // the fault happened in a frame of ICU's libraries
    char where[160];     // the faulting frame's symbol
    char caller[160];    // the innermost frame of this library on the stack
    char detail[240];    // the check's note
    bool leakInIcu;      // every lost block was lost inside ICU (see handsOverOwnership)
    long liveBeforeCleanup;
};

// An ICU function that hands the caller an object it owns: a block lost under such a call is
// the library's to free. Under any other call (format, parse, a setter) the library receives
// nothing to own, so a block lost there was lost by ICU itself.
inline bool handsOverOwnership(const char* entry) {
    return std::strstr(entry, "operator new") || std::strstr(entry, "create") ||
           std::strstr(entry, "clone") || std::strstr(entry, "Instance") || std::strstr(entry, "open");
}

// The library frame and the ICU function it called, for a stack of frames.
inline void describe(void* const* frames, int n, int first, char* where, size_t whereSize, char* caller,
                     size_t callerSize, bool* inIcu = nullptr) {
    bool decided = false;
    const char* lastIcu = nullptr;
    for (int i = first; i < n; ++i) {
        Dl_info info{};
        if (!dladdr(frames[i], &info)) continue;
        if (!decided && !inRuntime(info.dli_fname)) {
            decided = true;
            if (inIcu) *inIcu = inIcuLibrary(info.dli_fname);
            std::snprintf(where, whereSize, "%s", info.dli_sname ? info.dli_sname : info.dli_fname);
        }
        if (inIcuLibrary(info.dli_fname) && info.dli_sname) lastIcu = info.dli_sname;
        if (info.dli_fname && std::strstr(info.dli_fname, "libQOVAicuC")) {
            // A hidden helper has no dynamic symbol; its offset in the library names it.
            if (info.dli_sname) std::snprintf(caller, callerSize, "%s", info.dli_sname);
            else std::snprintf(caller, callerSize, "libQOVAicuC+0x%zx",
                               static_cast<size_t>(static_cast<const char*>(frames[i]) -
                                                   static_cast<const char*>(info.dli_fbase)));
            // For an allocation site the ICU entry point that the library called says more
            // than the allocator's frame.
            if (!inIcu && lastIcu) std::snprintf(where, whereSize, "%s", lastIcu);
            return;
        }
    }
}

inline int reportFd = -1;

// Crash handler of a child: finds the faulting frame and the library frame that called into
// it, reports them and ends the child.
extern "C" inline void onCrash(int, siginfo_t*, void* context) {
    Record r{};
    r.kind = Record::Crashed;
    void* frames[64];
    const int n = backtrace(frames, 64);
    const auto pc = reinterpret_cast<void*>(static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_RIP]);
    int first = 0;
    for (int i = 0; i < n; ++i)
        if (frames[i] == pc) first = i;
    frames[first] = pc;
    describe(frames, n, first, r.where, sizeof r.where, r.caller, sizeof r.caller, &r.inIcu);
    (void)!write(reportFd, &r, sizeof r);
    _exit(3);
}

inline std::string demangled(const char* name) {
    int status = 0;
    char* d = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string s = status == 0 && d ? d : name;
    std::free(d);
    return s;
}

// Tally of one family: runs in which a fault was injected, ICU defects met, failures found.
struct Tally {
    explicit Tally(const char* name) : family(name) {}

    const char* family;
    long injected = 0;
    long operations = 0;
    long icuDefectRuns = 0;
    int failures = 0;
    struct Defect {
        long runs = 0;
        std::string first;  // the first run that met it: operation and allocation number
    };
    std::map<std::string, Defect> icuDefects;
    long icuLeakRuns = 0;
    long cleanLiveBeforeCleanup = 0;
    std::map<std::string, Defect> icuLeaks;

    // Runs `run(Window&)` (which returns whether its outcome is accepted) under the sweep.
    template <class Run>
    void sweep(const char* operation, Run&& run) {
        ++operations;
        const long injectedBefore = injected, defectsBefore = icuDefectRuns;
        Window w;
        heap.failAt = 0;
        note.clear();
        if (!run(w)) fail(operation, 0, ("unfaulted run: " + note).c_str());
        const Record clean = inChild(0, run);
        cleanLiveBeforeCleanup = clean.liveBeforeCleanup;
        if (clean.kind != Record::Completed || !clean.accepted)
            fail(operation, 0, "unfaulted run in a child fails");
        if (const char* replay = std::getenv("INJECT_REPLAY")) {
            const char* only = std::getenv("INJECT_OPERATION");
            if (!only || std::strcmp(only, operation) == 0) replayOne(operation, std::atol(replay), run);
            return;
        }
        for (long n = 1;; ++n) {
            const Record r = inChild(n, run);
            if (r.kind == Record::Completed && !r.reached) break;
            ++injected;
            if (r.kind == Record::Crashed) {
                const std::string site = demangled(r.where) + " (called from " +
                                         (r.caller[0] ? demangled(r.caller) : std::string("the test")) + ")";
                if (r.inIcu) {
                    ++icuDefectRuns;
                    Defect& d = icuDefects[site];
                    if (d.runs++ == 0) d.first = std::string(operation) + ", allocation " + std::to_string(n);
                } else {
                    fail(operation, n, ("crash in " + site).c_str());
                }
                continue;
            }
            if (!r.accepted) fail(operation, n, r.detail);
            if (r.liveBeforeCleanup != clean.liveBeforeCleanup && r.lost != clean.lost) {
                const std::string site = demangled(r.where) + " (called from " +
                                         (r.caller[0] ? demangled(r.caller) : std::string("the test")) + ")";
                if (r.leakInIcu) {
                    ++icuLeakRuns;
                    Defect& d = icuLeaks[site];
                    if (d.runs++ == 0) d.first = std::string(operation) + ", allocation " + std::to_string(n);
                } else {
                    fail(operation, n, (std::to_string(r.lost - clean.lost) + " ICU blocks lost, allocated under " + site).c_str());
                }
            }
        }
        std::printf("  %-56s %5ld runs", operation, injected - injectedBefore);
        if (icuDefectRuns > defectsBefore) std::printf(" (%ld ended in an ICU fault)", icuDefectRuns - defectsBefore);
        std::printf("\n");
    }

    // INJECT_REPLAY=N refuses the Nth allocation of the first operation (or of the one named by
    // INJECT_OPERATION) in this very process, so that a debugger sees a reported fault where it happens, and prints where each block that
    // the window allocated and never freed came from (after u_cleanup(), so the process ends
    // after the first operation).
    template <class Run>
    void replayOne(const char* operation, long n, Run& run) {
        std::printf("replaying allocation %ld of %s\n", n, operation);
        std::fflush(stdout);
        sites = new std::unordered_map<void*, Site>();
        heap.tracking = true;
        Window w;
        heap.failAt = n;
        heap.reached = false;
        note.clear();
        const bool accepted = run(w);
        w.close();
        heap.tracking = false;
        u_cleanup();
        std::printf("reached: %d, accepted: %d %s, %zu blocks of the window still live\n", heap.reached, accepted,
                    note.c_str(), sites->size());
        std::fflush(stdout);
        for (const auto& entry : *sites) {
            std::printf("-- block %p allocated at:\n", entry.first);
            std::fflush(stdout);
            backtrace_symbols_fd(entry.second.frames, entry.second.depth, 1);
        }
        std::exit(0);
    }

    // One run in a child process, with the Nth ICU allocation of its window refused (none for
    // 0). The child reports the outcome, and, after u_cleanup(), how many ICU blocks are live
    // and where the first block that its window allocated and never freed came from.
    template <class Run>
    Record inChild(long n, Run& run) {
        int fds[2];
        if (pipe(fds) != 0) std::abort();
        std::fflush(stdout);
        const pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            reportFd = fds[1];
            struct sigaction sa {};
            sa.sa_sigaction = onCrash;
            sa.sa_flags = SA_SIGINFO;
            for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) sigaction(sig, &sa, nullptr);
            alarm(60);
            sites = new std::unordered_map<void*, Site>();
            heap.tracking = true;
            Window w;
            Record r{};
            note.clear();
            heap.failAt = n;
            heap.reached = false;
            r.accepted = run(w);
            w.close();
            heap.tracking = false;
            r.kind = Record::Completed;
            r.reached = heap.reached;
            std::snprintf(r.detail, sizeof r.detail, "%s", note.c_str());
            // u_cleanup() is slow; it is needed only to tell a lost block from a cache entry.
            r.liveBeforeCleanup = heap.live;
            if (n == 0 || heap.live != cleanLiveBeforeCleanup) u_cleanup();
            r.lost = heap.live;
            // Where the lost blocks of the window were allocated: the first one that the
            // library was to free, or else the first one.
            r.leakInIcu = !sites->empty();
            for (auto& entry : *sites) {
                Record at{};
                describe(entry.second.frames, entry.second.depth, 0, at.where, sizeof at.where, at.caller,
                         sizeof at.caller);
                const bool ours = !at.caller[0] || handsOverOwnership(at.where);
                if (ours || !r.where[0]) {
                    std::memcpy(r.where, at.where, sizeof r.where);
                    std::memcpy(r.caller, at.caller, sizeof r.caller);
                }
                if (ours) {
                    r.leakInIcu = false;
                    break;
                }
            }
            (void)!write(fds[1], &r, sizeof r);
            _exit(0);
        }
        close(fds[1]);
        Record r{};
        const ssize_t got = read(fds[0], &r, sizeof r);
        close(fds[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        if (got != static_cast<ssize_t>(sizeof r)) {
            // The child died without a report: a sanitizer's exit, a time-out or a signal that
            // the handler does not take. Never accepted.
            r = Record{};
            r.kind = Record::Crashed;
            std::snprintf(r.where, sizeof r.where, "a child that ended with status %d", status);
        }
        return r;
    }

    void fail(const char* operation, long n, const char* what) {
        ++failures;
        if (failures <= 50)
            std::printf("FAIL %s / %s: allocation %ld refused: %s\n", family, operation, n, what);
    }

    // Ends the executable: u_cleanup() releases ICU's caches, after which nothing may be left.
    int finish() {
        u_cleanup();
        if (heap.live != 0) {
            std::printf("FAIL %s: %ld ICU blocks still live after u_cleanup()\n", family, heap.live);
            ++failures;
        }
        for (const auto& [site, d] : icuDefects)
            std::printf("ICU fault on a refused allocation, %ld runs: %s; first: %s\n", d.runs, site.c_str(),
                        d.first.c_str());
        for (const auto& [site, d] : icuLeaks)
            std::printf("ICU lost blocks on a refused allocation, %ld runs: allocated in %s; first: %s\n", d.runs,
                        site.c_str(), d.first.c_str());
        std::printf("%s: %ld injected-failure runs over %ld operations (%ld ended in an ICU fault, %ld lost blocks "
                    "inside ICU), %d failures\n",
                    family, injected, operations, icuDefectRuns, icuLeakRuns, failures);
        return failures == 0 ? 0 : 1;
    }
};

}  // namespace inject
