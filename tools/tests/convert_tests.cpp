// qovaicu convert: codepages, raw and hexadecimal output, the substitute, failures.
#include "run_tool.h"

#include <gtest/gtest.h>

namespace {

using tooltest::run;

TEST(ConvertCommand, WritesTheCodepagesBytes) {
    EXPECT_EQ(run({"convert", "--to", "ISO-8859-1", "--hex", "caf\xC3\xA9"}).out, "63 61 66 e9\n");
    EXPECT_EQ(run({"convert", "--to", "Shift_JIS", "-x", "\xE3\x81\x82"}).out, "82 a0\n");
    // Raw output: the bytes and a line end, both in the codepage.
    EXPECT_EQ(run({"convert", "--to", "UTF-16LE", "ab"}).out, std::string("a\0b\0\n\0", 6));
    EXPECT_EQ(run({"convert", "--to", "ISO-8859-1", "\xC3\xA9", "x"}).out, "\xE9\nx\n");
}

TEST(ConvertCommand, DefaultsToIcusDefaultCodepage) {
    // ICU's default converter of this build is UTF-8.
    EXPECT_EQ(run({"convert", "-x", "\xC3\xA9"}).out, "c3 a9\n");
    EXPECT_NE(run({"convert", "--help"}).out.find("UTF-8"), std::string::npos);
}

TEST(ConvertCommand, SubstituteReplacesTheSubstitutionByte) {
    // The euro sign is not in ISO-8859-1: ICU writes the substitution byte 0x1A.
    EXPECT_EQ(run({"convert", "-t", "ISO-8859-1", "-x", "1\xE2\x82\xAC"}).out, "31 1a\n");
    EXPECT_EQ(run({"convert", "-t", "ISO-8859-1", "-x", "--substitute", "?", "1\xE2\x82\xAC"}).out, "31 3f\n");
}

TEST(ConvertCommand, StandardInputAndFailures) {
    EXPECT_EQ(run({"convert", "-t", "US-ASCII", "-x"}, "a\nb\n").out, "61\n62\n");
    const auto codepage = run({"convert", "--to", "no-such-codepage", "a"});
    EXPECT_EQ(codepage.status, 2);
    EXPECT_NE(codepage.err.find("unknown codepage 'no-such-codepage'"), std::string::npos) << codepage.err;
    for (const char* substitute : {"ab", "\xC3\xA9", ""}) {
        const auto r = run({"convert", "-t", "US-ASCII", "--substitute", substitute, "a"});
        EXPECT_EQ(r.status, 2) << substitute;
        EXPECT_NE(r.err.find("one ASCII character"), std::string::npos) << r.err;
    }
}

}  // namespace
