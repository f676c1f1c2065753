// Allocation-failure injection through ICU's own allocator.
//
// install() hands ICU counting memory functions; it must run first thing in main, before ICU's
// first allocation. A sweep then runs one operation again and again, failing its 1st, 2nd, ...
// ICU allocation, until a run completes without reaching the fault. Each run must end in an
// accepted outcome (the check is the run's own), and the live ICU allocations after the run
// must equal those before it: every handle the run made has been destroyed by then, so any
// difference is memory that a failure path lost. Before the sweep one unfaulted run warms
// ICU's caches (locale data, zones, converters), which otherwise would count as growth.
#pragma once

#include <unicode/uclean.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace inject {

struct IcuHeap {
    long live = 0;        // blocks handed out by alloc/realloc and not yet freed
    long counted = 0;     // allocation requests since the fault was armed
    long failAt = 0;      // the request to refuse; 0: none
    bool armed = false;
    bool reached = false;  // the armed request was refused in this run
};

inline IcuHeap heap;

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
    return p;
}

extern "C" inline void* icuRealloc(const void*, void* old, size_t size) {
    if (refuseThisRequest()) return nullptr;
    void* p = std::realloc(old, size);
    if (p && !old) ++heap.live;
    return p;
}

extern "C" inline void icuFree(const void*, void* p) {
    if (!p) return;
    --heap.live;
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
};

// Tally of one family: runs in which a fault was injected, and failures found.
struct Tally {
    const char* family;
    long injected = 0;
    long operations = 0;
    int failures = 0;

    // Runs `run(Window&)` (which returns whether its outcome is accepted) under the sweep.
    template <class Run>
    void sweep(const char* operation, Run&& run) {
        ++operations;
        const long injectedBefore = injected;
        Window w;
        heap.failAt = 0;
        if (!run(w)) fail(operation, 0, "unfaulted run gives a wrong result");
        for (long n = 1;; ++n) {
            const long before = heap.live;
            heap.failAt = n;
            heap.reached = false;
            const bool accepted = run(w);
            w.close();
            heap.failAt = 0;
            if (!heap.reached) break;
            ++injected;
            if (!accepted) fail(operation, n, "outcome is neither the result nor the failure result");
            if (heap.live != before) {
                char what[64];
                std::snprintf(what, sizeof what, "%ld ICU blocks lost", heap.live - before);
                fail(operation, n, what);
            }
        }
        std::printf("  %-44s %5ld runs\n", operation, injected - injectedBefore);
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
        std::printf("%s: %ld injected-failure runs over %ld operations, %d failures\n", family,
                    injected, operations, failures);
        return failures == 0 ? 0 : 1;
    }
};

}  // namespace inject
