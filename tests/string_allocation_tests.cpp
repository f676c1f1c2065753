// concatenate and substring when ICU's allocator has no room for the new string. ICU takes
// replacement memory functions only before its first allocation in the process, so they are
// installed while this executable's globals are constructed.
#include "support.h"

#include <gtest/gtest.h>
#include <unicode/uclean.h>

#include <cstdlib>

namespace {

bool exhausted = false;

void* allocate(const void*, size_t size) { return exhausted ? nullptr : std::malloc(size); }
void* reallocate(const void*, void* p, size_t size) {
    return exhausted ? nullptr : std::realloc(p, size);
}
void release(const void*, void* p) { std::free(p); }

const UErrorCode installed = [] {
    UErrorCode status = U_ZERO_ERROR;
    u_setMemoryFunctions(nullptr, allocate, reallocate, release, &status);
    return status;
}();

// Runs `call` with ICU's allocator exhausted.
template <class Call>
bool withoutMemory(Call call) {
    exhausted = true;
    const bool result = call();
    exhausted = false;
    return result;
}

}  // namespace

using S = QOVAUnicodeStringServices;
using qtest::Str;

static const std::u16string Z(1, u'\0');

TEST(OutOfMemory, MemoryFunctionsAreInstalled) { ASSERT_EQ(installed, U_ZERO_ERROR); }

// The new string is allocated before the inputs are stripped, so a failure leaves them as they
// were.
TEST(OutOfMemory, ConcatenateFailsAndChangesNothing) {
    ASSERT_EQ(installed, U_ZERO_ERROR);
    Str first(u"ab" + Z + Z), second(u"cd");
    void* result = &exhausted;
    EXPECT_FALSE(withoutMemory([&] { return S::concatenate(first, second, result); }));
    EXPECT_EQ(result, static_cast<void*>(&exhausted));
    EXPECT_EQ(first.units(), u"ab" + Z + Z);
    EXPECT_EQ(second.units(), u"cd");
}

TEST(OutOfMemory, SubstringFailsAndKeepsResult) {
    ASSERT_EQ(installed, U_ZERO_ERROR);
    Str str(u"abcd" + Z);
    void* result = &exhausted;
    EXPECT_FALSE(withoutMemory([&] { return S::substring(str, result, 1, 2); }));
    EXPECT_EQ(result, static_cast<void*>(&exhausted));
    EXPECT_EQ(str.units(), u"abcd" + Z);
}
