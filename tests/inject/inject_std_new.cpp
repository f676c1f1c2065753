// Allocation failures of the standard allocator: the global operator new is replaced here and
// throws std::bad_alloc on its Nth call while armed. The factories whose objects come from it
// (number formatter make and makeCopy, the holders of date-time formatter and number parser
// handles) must then return null and lose nothing: every block that operator new handed out
// during a run has gone back through operator delete once its handles are destroyed.
#include "QOVAicuC.h"

#include <unicode/unistr.h>

#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

struct NewHeap {
    long live = 0;
    long counted = 0;
    long failAt = 0;
    bool armed = false;
    bool reached = false;
};
NewHeap heap;

bool refuse() {
    if (!heap.armed || ++heap.counted != heap.failAt) return false;
    heap.reached = true;
    return true;
}

void* allocate(std::size_t size) {
    if (refuse()) throw std::bad_alloc();
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    ++heap.live;
    return p;
}

void release(void* p) noexcept {
    if (!p) return;
    --heap.live;
    std::free(p);
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }

namespace {

long injected = 0;
int failures = 0;

// Sweeps one factory: `make` returns a handle (or null), `release` destroys it, `works`
// checks that a handle made without a fault does its job.
template <class Make, class Release, class Works>
void sweep(const char* name, Make make, Release destroy, Works works) {
    {
        void* h = make();
        if (!h || !works(h)) {
            std::printf("FAIL %s: unfaulted make gives no working handle\n", name);
            ++failures;
        }
        destroy(h);
    }
    long runs = 0;
    for (long n = 1;; ++n) {
        const long before = heap.live;
        heap.failAt = n;
        heap.counted = 0;
        heap.reached = false;
        heap.armed = true;
        void* h = make();
        heap.armed = false;
        const bool reached = heap.reached;
        const bool madeAnyway = h != nullptr;
        destroy(h);
        if (!reached) break;
        ++runs;
        if (madeAnyway) {
            std::printf("FAIL %s: operator new call %ld threw, yet a handle came back\n", name, n);
            ++failures;
        }
        if (heap.live != before) {
            std::printf("FAIL %s: operator new call %ld threw: %ld blocks lost\n", name, n, heap.live - before);
            ++failures;
        }
    }
    injected += runs;
    std::printf("  %-44s %5ld runs\n", name, runs);
}

}  // namespace

int main() {
    using NF = QOVAUnicodeNumFormatterFactory;
    using PF = QOVAUnicodeStrToNumFormatterFactory;
    using DF = QOVAUnicodeDateTimeFormatterFactory;
    auto formats = [](void* f) {
        void* out = QOVAUnicodeStringFactory::make();
        QOVAUnicodeNumFormatterServices::FormatInt(f, out, 1234);
        const bool ok = static_cast<icu::UnicodeString*>(out)->length() > 1;
        QOVAUnicodeStringFactory::destroy(out);
        return ok;
    };
    auto parses = [](void* p) {
        void* text = QOVAUnicodeStringFactory::makeInvariant("42", -1);
        auto err = QOVAUnicodeStrToNumFormatterServices::ErrorNone;
        const bool ok = QOVAUnicodeStrToNumFormatterServices::FormatStrToInt32_t(p, text, err) == 42;
        QOVAUnicodeStringFactory::destroy(text);
        return ok;
    };
    auto formatsTime = [](void* f) {
        void* out = QOVAUnicodeStringFactory::make();
        QOVAUnicodeDateTimeFormatterServices::FormatDateTimeToString(f, out, 0);
        const bool ok = static_cast<icu::UnicodeString*>(out)->length() > 1;
        QOVAUnicodeStringFactory::destroy(out);
        return ok;
    };
    auto destroyNumber = [](void* h) { NF::destroy(h); };
    auto destroyFormat = [](void* h) { DF::destroy(h); };

    void* zone = QOVAUnicodeStringFactory::makeInvariant("America/New_York", -1);
    void* numberSource = NF::make("de_DE");
    void* parserSource = PF::make("de_DE");
    void* timeSource = DF::make("de_DE", zone);

    sweep("NumFormatter make", [] { return NF::make("en_US"); }, destroyNumber, formats);
    sweep("NumFormatter makeCopy", [&] { return NF::makeCopy(numberSource); }, destroyNumber, formats);
    sweep("StrToNum make", [] { return PF::make("en_US"); }, destroyFormat, parses);
    sweep("StrToNum makeCopy", [&] { return PF::makeCopy(parserSource); }, destroyFormat, parses);
    sweep("DateTime make(locale)", [] { return DF::make("en_US"); }, destroyFormat, formatsTime);
    sweep("DateTime make(locale, zone)", [&] { return DF::make("en_US", zone); }, destroyFormat, formatsTime);
    sweep("DateTime make(styles, locale, zone)",
          [&] { return DF::make(DF::StyleFull, DF::StyleShort, "fr_FR", zone); }, destroyFormat, formatsTime);
    sweep("DateTime makeCopy", [&] { return DF::makeCopy(timeSource); }, destroyFormat, formatsTime);

    NF::destroy(numberSource);
    PF::destroy(parserSource);
    DF::destroy(timeSource);
    QOVAUnicodeStringFactory::destroy(zone);
    std::printf("operator new: %ld injected-failure runs, %d failures\n", injected, failures);
    return failures == 0 ? 0 : 1;
}
