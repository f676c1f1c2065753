// The terminator rules that every family relies on.
#include "support.h"

#include <gtest/gtest.h>

using S = QOVAUnicodeStringServices;
using qtest::Str;

static const std::u16string Z(1, u'\0');

TEST(NullTerminate, AddsExactlyOneUnitWhenMissing) {
    Str empty;
    S::nullTerminateString(empty);
    EXPECT_EQ(empty.units(), Z);

    Str ab(u"ab");
    S::nullTerminateString(ab);
    EXPECT_EQ(ab.units(), u"ab" + Z);
    S::nullTerminateString(ab);  // already terminated: unchanged
    EXPECT_EQ(ab.units(), u"ab" + Z);

    Str several(u"ab" + Z + Z);
    S::nullTerminateString(several);
    EXPECT_EQ(several.units(), u"ab" + Z + Z);

    Str inner(u"a" + Z + u"b");
    S::nullTerminateString(inner);
    EXPECT_EQ(inner.units(), u"a" + Z + u"b" + Z);

    S::nullTerminateString(nullptr);
}

TEST(RemoveTerminator, RemovesEveryTrailingZeroOnly) {
    Str two(u"ab" + Z + Z);
    S::removeNullTerminator(two);
    EXPECT_EQ(two.units(), u"ab");

    Str leading(Z + u"a");
    S::removeNullTerminator(leading);
    EXPECT_EQ(leading.units(), Z + u"a");

    Str zeros(Z + Z + Z);
    S::removeNullTerminator(zeros);
    EXPECT_EQ(zeros.units(), u"");

    Str plain(u"ab");
    S::removeNullTerminator(plain);
    EXPECT_EQ(plain.units(), u"ab");

    S::removeNullTerminator(nullptr);
}

TEST(TerminatorRules, BogusStringsStayAsTheyAre) {
    Str bogus(QOVAUnicodeStringFactory::make("x", "no-such-codepage"));
    ASSERT_TRUE(bogus.icu().isBogus());
    S::nullTerminateString(bogus);
    S::removeNullTerminator(bogus);
    EXPECT_TRUE(bogus.icu().isBogus());
    EXPECT_EQ(bogus.icu().length(), 0);
}

TEST(Access, LengthCountsAllButOneUnit) {
    EXPECT_EQ(S::length(Str(u"abc" + Z)), 3);
    EXPECT_EQ(S::length(Str(u"abc")), 2);
    EXPECT_EQ(S::length(Str()), -1);
    EXPECT_EQ(S::length(Str(u"a" + Z + Z)), 2);
    EXPECT_EQ(S::length(nullptr), 0);
}

TEST(Access, CharAtComparesTheIndexUnsigned) {
    Str s(u"ab" + Z);
    EXPECT_EQ(S::charAt(s, 0), u'a');
    EXPECT_EQ(S::charAt(s, S::length(s)), 0);  // the terminator
    EXPECT_EQ(S::charAt(s, 3), 0xFFFF);
    EXPECT_EQ(S::charAt(s, -1), 0xFFFF);
    EXPECT_EQ(S::charAt(s, INT_MIN), 0xFFFF);
    EXPECT_EQ(S::charAt(nullptr, 0), 0xFFFF);
}

TEST(Access, HashCoversTheTerminator) {
    Str plain(u"abc"), terminated(u"abc" + Z), same(u"abc" + Z);
    EXPECT_EQ(S::hashCode(terminated), S::hashCode(same));
    EXPECT_EQ(S::hashCode(terminated), terminated.icu().hashCode());
    EXPECT_NE(S::hashCode(plain), S::hashCode(terminated));
    EXPECT_EQ(S::hashCode(nullptr), 0);
}
