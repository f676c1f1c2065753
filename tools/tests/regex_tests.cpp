// qovaicu regex: matches with positions, every flag, replacement, splitting, failures.
#include "run_tool.h"

#include <gtest/gtest.h>

namespace {

using tooltest::run;

TEST(RegexCommand, FindsEveryMatchWithItsPositions) {
    EXPECT_EQ(run({"regex", "a+", "baaac"}).out, "1:1-4\taaa\n");
    const auto r = run({"regex", "o", "foo", "bar", "bo"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1:1-2\to\n1:2-3\to\n3:1-2\to\n");
    // Positions count UTF-16 units: the emoji takes two.
    EXPECT_EQ(run({"regex", "\xC3\xA9", "a\xC3\xA9\xF0\x9F\x98\x80\xC3\xA9"}).out,
              "1:1-2\t\xC3\xA9\n1:4-5\t\xC3\xA9\n");
    // Empty matches advance by themselves.
    EXPECT_EQ(run({"regex", "x*", "ab"}).out, "1:0-0\t\n1:1-1\t\n1:2-2\t\n");
}

TEST(RegexCommand, EveryFlagByName) {
    EXPECT_EQ(run({"regex", "abc", "xABCx"}).out, "");
    EXPECT_EQ(run({"regex", "--flags", "case-insensitive", "abc", "xABCx"}).out, "1:1-4\tABC\n");
    EXPECT_EQ(run({"regex", "-f", "comments", "a b c  # spaces do not count", "abc"}).out, "1:0-3\tabc\n");
    EXPECT_EQ(run({"regex", "a.b", "a\nb"}).out, "");
    EXPECT_EQ(run({"regex", "-f", "dotall", "a.b", "a\nb"}).out, "1:0-3\ta\nb\n");
    EXPECT_EQ(run({"regex", "-f", "literal", "a+", "aa+"}).out, "1:1-3\ta+\n");
    EXPECT_EQ(run({"regex", "^b", "a\nb"}).out, "");
    EXPECT_EQ(run({"regex", "-f", "multiline", "^b", "a\nb"}).out, "1:2-3\tb\n");
    // With unix-lines only \n ends a line: a carriage return no longer does.
    EXPECT_EQ(run({"regex", "-f", "multiline", "^b", "a\rb"}).out, "1:2-3\tb\n");
    EXPECT_EQ(run({"regex", "-f", "multiline,unix-lines", "^b", "a\rb"}).out, "");
    // Unicode word boundaries keep "a'b" one word.
    EXPECT_EQ(run({"regex", "\\b", "a'b"}).out, "1:0-0\t\n1:1-1\t\n1:2-2\t\n1:3-3\t\n");
    EXPECT_EQ(run({"regex", "-f", "uword", "\\b", "a'b"}).out, "1:0-0\t\n1:3-3\t\n");
    EXPECT_EQ(run({"regex", "\\q", "q"}).out, "1:0-1\tq\n");
    const auto strict = run({"regex", "-f", "error-on-unknown-escapes", "\\q", "q"});
    EXPECT_EQ(strict.status, 2);
    EXPECT_NE(strict.err.find("does not compile"), std::string::npos) << strict.err;
    // Several flags: repeated or comma-separated, names in any case.
    EXPECT_EQ(run({"regex", "-f", "Literal", "-f", "CASE-INSENSITIVE", "A+", "xa+"}).out, "1:1-3\ta+\n");
}

TEST(RegexCommand, ReplacesEveryOrTheFirstMatch) {
    EXPECT_EQ(run({"regex", "a", "--replace", "o", "banana", "xyz"}).out, "bonono\nxyz\n");
    EXPECT_EQ(run({"regex", "a", "--replace-first", "o", "banana"}).out, "bonana\n");
    EXPECT_EQ(run({"regex", "(\\w+)@(\\w+)", "--replace", "$2 at $1", "me@home you@work"}).out,
              "home at me work at you\n");
    const auto noGroup = run({"regex", "a", "--replace", "$5", "banana", "xyz"});
    EXPECT_EQ(noGroup.status, 1);
    EXPECT_NE(noGroup.err.find("cannot replace in 'banana'"), std::string::npos) << noGroup.err;
}

TEST(RegexCommand, SplitsIntoFields) {
    EXPECT_EQ(run({"regex", ",", "--split", "a,b,c", "d"}).out, "1:0\ta\n1:1\tb\n1:2\tc\n2:0\td\n");
    EXPECT_EQ(run({"regex", ",", "--split", "--limit", "2", "a,b,c"}).out, "1:0\ta\n1:1\tb,c\n");
    EXPECT_EQ(run({"regex", "\\s*;\\s*", "--split"}, "x ; y\n1;2;3\n").out,
              "1:0\tx\n1:1\ty\n2:0\t1\n2:1\t2\n2:2\t3\n");
}

TEST(RegexCommand, StandardInputAfterAPattern) {
    EXPECT_EQ(run({"regex", "[0-9]+"}, "a1\nb22\n").out, "1:1-2\t1\n2:1-3\t22\n");
}

TEST(RegexCommand, BadPatternFlagsAndCombinations) {
    const auto pattern = run({"regex", "(", "x"});
    EXPECT_EQ(pattern.status, 2);
    EXPECT_NE(pattern.err.find("the pattern '(' does not compile"), std::string::npos) << pattern.err;
    const std::vector<std::vector<std::string>> wrong = {
        {"regex", "-f", "ignore-case", "a", "a"},
        {"regex", "a", "--limit", "2", "a"},
        {"regex", "a", "--split", "--limit", "0", "a"},
        {"regex", "a", "--replace", "b", "--replace-first", "c", "a"},
        {"regex", "a", "--replace", "b", "--split", "a"},
        {"regex"},
    };
    for (const auto& args : wrong) {
        const auto r = run(args);
        EXPECT_EQ(r.status, 2) << args.size();
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err, "");
    }
    EXPECT_NE(run({"regex", "-f", "ignore-case", "a"}).err.find("unknown flag 'ignore-case'"), std::string::npos);
}

}  // namespace
