// qovaicu parse: every type, the error kind, the text preparation, failures.
#include "run_tool.h"

#include <gtest/gtest.h>

namespace {

using tooltest::run;

TEST(ParseCommand, ReadsWithTheLocalesSeparators) {
    const auto r = run({"parse", "--locale", "de_DE", "1.234,5", "2,5"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1234.5\tnone\n2.5\tnone\n");
    EXPECT_EQ(run({"parse", "-l", "C", "2.5"}).out, "2.5\tnone\n");
    EXPECT_EQ(run({"parse", "-l", "en_US", "1,234.5"}).out, "1234.5\tnone\n");
}

TEST(ParseCommand, EveryTypeWithTheLibrarysConversions) {
    EXPECT_EQ(run({"parse", "-l", "en_US", "--type", "double", "2.9", "-2.9"}).out, "2.9\tnone\n-2.9\tnone\n");
    EXPECT_EQ(run({"parse", "-l", "en_US", "--type", "int32", "2.9", "-2.9", "3000000000"}).out,
              "2\tnone\n-2\tnone\n-1294967296\tnone\n");
    EXPECT_EQ(run({"parse", "-l", "en_US", "--type", "int64", "3000000000", "-2.9"}).out,
              "3000000000\tnone\n-2\tnone\n");
    EXPECT_EQ(run({"parse", "-l", "en_US", "--type", "ulong", "-7", "3000000000", "-2.9"}).out,
              "4294967289\tnone\n3000000000\tnone\n4294967294\tnone\n");
}

TEST(ParseCommand, TrimsAndDropsPlusSigns) {
    EXPECT_EQ(run({"parse", "-l", "en_US", " +42 ", "1+2", "12abc"}).out, "42\tnone\n12\tnone\n12\tnone\n");
}

TEST(ParseCommand, InfinityIsInvalidOnlyForIntegers) {
    const std::string infinity = "\xE2\x88\x9E";  // U+221E, en_US's infinity sign
    EXPECT_EQ(run({"parse", "-l", "en_US", infinity}).out, "inf\tnone\n");
    for (const char* type : {"int32", "int64", "ulong"}) {
        const auto r = run({"parse", "-l", "en_US", "-t", type, infinity});
        EXPECT_EQ(r.status, 1) << type;
        EXPECT_EQ(r.out, "2147483647\tinvalid\n") << type;
    }
}

TEST(ParseCommand, TextWithoutANumberIsReported) {
    const auto r = run({"parse", "-l", "en_US", "7", "abc", "", "8"});
    EXPECT_EQ(r.status, 1);
    // Each value starts with a clean error kind: 8 after the failures reads as none.
    EXPECT_EQ(r.out, "7\tnone\n0\tinvalid\n0\tinvalid\n8\tnone\n");
    EXPECT_NE(r.err.find("'abc' holds no double number"), std::string::npos) << r.err;
}

TEST(ParseCommand, StandardInputAndBadOptions) {
    EXPECT_EQ(run({"parse", "-l", "en_US", "-t", "int32"}, "1\n2\r\n").out, "1\tnone\n2\tnone\n");
    const auto bad = run({"parse", "--type", "float", "1"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("float"), std::string::npos) << bad.err;
    EXPECT_EQ(bad.out, "");
}

}  // namespace
