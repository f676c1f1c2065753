// The counting allocators: ICU's memory functions and the replaceable global operator new and
// delete of the whole process (the library and ICU included). Counting is per thread, so that
// threads never share a counter and the counting itself adds no contention.
#include "alloc_count.h"

#include <unicode/uclean.h>

#include <cstdlib>
#include <new>

namespace qbench {
namespace {

thread_local AllocTally tally;

inline void count(std::size_t size) noexcept {
    ++tally.count;
    tally.bytes += size;
}

void* U_CALLCONV icuAlloc(const void*, size_t size) {
    count(size);
    return std::malloc(size);
}

void* U_CALLCONV icuRealloc(const void*, void* block, size_t size) {
    count(size);
    return std::realloc(block, size);
}

void U_CALLCONV icuFree(const void*, void* block) { std::free(block); }

void* countedNew(std::size_t size) noexcept {
    count(size);
    return std::malloc(size == 0 ? 1 : size);
}

void* countedAlignedNew(std::size_t size, std::align_val_t align) noexcept {
    count(size);
    const auto a = static_cast<std::size_t>(align);
    const std::size_t rounded = (size + a - 1) / a * a;
    return std::aligned_alloc(a, rounded == 0 ? a : rounded);
}

}  // namespace

AllocTally& threadTally() noexcept { return tally; }

bool installIcuCounting() noexcept {
    UErrorCode status = U_ZERO_ERROR;
    u_setMemoryFunctions(nullptr, icuAlloc, icuRealloc, icuFree, &status);
    return U_SUCCESS(status);
}

}  // namespace qbench

void* operator new(std::size_t size) {
    if (void* p = qbench::countedNew(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return qbench::countedNew(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return qbench::countedNew(size);
}
void* operator new(std::size_t size, std::align_val_t align) {
    if (void* p = qbench::countedAlignedNew(size, align)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t align) { return ::operator new(size, align); }
void* operator new(std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
    return qbench::countedAlignedNew(size, align);
}
void* operator new[](std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
    return qbench::countedAlignedNew(size, align);
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
