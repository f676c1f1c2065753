// Every exported operation with each of its handle arguments null in turn, the others valid:
// it returns its failure result, writes no output parameter (each holds a sentinel that must
// survive) and changes no string it was given. The one documented exception is
// QOVAUnicodeRegexServices::reset(matcher, input), which strips a non-null input first.
#include "support.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

using qtest::Str;
using SF = QOVAUnicodeStringFactory;
using SS = QOVAUnicodeStringServices;

void* const kSentinel = reinterpret_cast<void*>(static_cast<uintptr_t>(0x5A5A5A50));
constexpr int kIntSentinel = 0x5A5A;

// The exact content of each string, to compare before and after a call.
std::vector<std::u16string> snapshot(std::initializer_list<const Str*> strings) {
    std::vector<std::u16string> s;
    for (const Str* p : strings) s.push_back(p->units());
    return s;
}

// Two texts with a terminator and one without, so that a stray strip or terminate shows.
struct Texts {
    Str a{std::u16string_view(u"Abc\0", 4)};
    Str b{std::u16string_view(u"bcd\0\0", 5)};
    Str c{std::u16string_view(u"xyz")};
    std::vector<std::u16string> before = snapshot({&a, &b, &c});
    std::vector<std::u16string> now() const { return snapshot({&a, &b, &c}); }
};

TEST(NullHandles, StringFactory) {
    EXPECT_EQ(SF::makeCopy(nullptr), nullptr);
    void* h = nullptr;
    SF::destroy(h);
    EXPECT_EQ(h, nullptr);
}

TEST(NullHandles, StringTerminatorAndAccess) {
    Texts t;
    SS::nullTerminateString(nullptr);
    SS::removeNullTerminator(nullptr);
    EXPECT_EQ(SS::length(nullptr), 0);
    EXPECT_EQ(SS::charAt(nullptr, 0), 0xFFFF);
    EXPECT_EQ(SS::hashCode(nullptr), 0);
    EXPECT_EQ(t.now(), t.before);
}

}  // namespace
