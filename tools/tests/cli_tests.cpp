// qovaicu as a whole: help on every level, the choice of a subcommand, exit statuses.
#include "run_tool.h"

#include <gtest/gtest.h>

namespace {

using tooltest::run;

TEST(Cli, HelpNamesEveryCommandAndEveryOption) {
    const auto top = run({"--help"});
    EXPECT_EQ(top.status, 0);
    for (const char* command : {"number", "parse", "date", "regex", "convert"})
        EXPECT_NE(top.out.find(command), std::string::npos) << command;
    const std::pair<const char*, std::vector<const char*>> options[] = {
        {"number", {"--locale", "--precision", "--rounding", "--grouping", "--notation", "--sign",
                    "--integer-width", "--unit", "--unit-width", "--as", "--list-units", "square-meter"}},
        {"parse", {"--locale", "--type", "int32", "ulong"}},
        {"date", {"--locale", "--zone", "--date-style", "--time-style", "--parse"}},
        {"regex", {"--flags", "--replace", "--replace-first", "--split", "--limit", "case-insensitive"}},
        {"convert", {"--to", "--substitute", "--hex"}},
    };
    for (const auto& [command, names] : options) {
        const auto help = run({command, "--help"});
        EXPECT_EQ(help.status, 0) << command;
        for (const char* name : names) EXPECT_NE(help.out.find(name), std::string::npos) << command << " " << name;
    }
}

TEST(Cli, NeedsExactlyOneKnownCommand) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"frobnicate"}, {"--frobnicate"}, {"date", "--zone"}}) {
        const auto r = run(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err, "");
    }
}

}  // namespace
