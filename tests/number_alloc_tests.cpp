// Formatter handles come from the standard allocator: this program replaces the global
// operator new and delete to watch them and to make an allocation fail on purpose.
#include "number_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

using namespace qtest;

// The replacements below pair operator new with malloc and operator delete with free; once
// they are inlined GCC sees a pointer from new reach free and warns, wrongly for this program.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {
bool failNext = false;  // the next operator new throws std::bad_alloc
size_t newCalls = 0;    // operator new calls for one formatter object's size, and the last one
void* lastNew = nullptr;
void* lastDelete = nullptr;
}  // namespace

void* operator new(std::size_t size) {
    void* p = failNext ? nullptr : std::malloc(size ? size : 1);
    failNext = false;
    if (!p) throw std::bad_alloc();
    if (size == sizeof(LNF)) {
        ++newCalls;
        lastNew = p;
    }
    return p;
}

void operator delete(void* p) noexcept {
    if (p) lastDelete = p;
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

TEST(FormatterAllocation, OperatorNewMakesAndCopiesOperatorDeleteDestroys) {
    newCalls = 0;
    void* f = NF::make("en_US");
    void* copy = NF::makeCopy(f);
    EXPECT_EQ(newCalls, 2u);  // one each, the formatter built in place
    EXPECT_EQ(lastNew, copy);
    void* const made[] = {f, copy};
    NF::destroy(f);
    EXPECT_EQ(lastDelete, made[0]);
    NF::destroy(copy);
    EXPECT_EQ(lastDelete, made[1]);
}

TEST(FormatterAllocation, BadAllocGivesNullAndLeavesTheSourceIntact) {
    failNext = true;
    EXPECT_EQ(NF::make("en_US"), nullptr);
    EXPECT_FALSE(failNext);  // the factory did ask for storage
    Fmt source("en_US");
    failNext = true;
    EXPECT_EQ(NF::makeCopy(source), nullptr);
    EXPECT_FALSE(failNext);
    EXPECT_EQ(formatInt(source, 1), u"1" + std::u16string(1, u'\0'));
}
