// What the subcommands of qovaicu share: the exit codes, where values come from, reading text
// out of string handles, strict number parsing of command-line values, name validators.
#pragma once

#include "names.h"

#include <QOVAicuC/handles.hpp>

#include <CLI/CLI.hpp>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qovaicu {

// 0: every value done (regex: something matched). 1: a value could not be processed (the others
// were), or nothing matched. 2: the command line is wrong (unknown option or name, bad setting,
// pattern or codepage), nothing was processed. 3 (parse): a number was read, but the type cannot
// hold it or text was left after it.
enum Exit : int { kOk = 0, kBadValue = 1, kUsage = 2, kPartial = 3 };

// One subcommand: its CLI11 app and what runs once the command line is parsed.
struct Command {
    CLI::App* app;
    std::function<int()> run;
};

Command addNumberCommand(CLI::App& root);
Command addParseCommand(CLI::App& root);
Command addDateCommand(CLI::App& root);
Command addRegexCommand(CLI::App& root);
Command addConvertCommand(CLI::App& root);
Command addListCommand(CLI::App& root);

// The values given as arguments or, when there are none, the lines of standard input (without
// their line ends, CR LF included), or its records ending in `separator`.
std::vector<std::string> valuesOrLines(const std::vector<std::string>& arguments,
                                       char separator = '\n');

// Prints "qovaicu <command>: <message>" on standard error.
void complain(const char* command, const std::string& message);

// `text` as it goes into a message: at most 80 bytes (cut at a character boundary), then an
// ellipsis and the full length.
std::string clip(const std::string& text);

// Of `candidates`, the one nearest to `word` by edit distance when it is close enough; "".
std::string nearest(const std::string& word, const std::vector<std::string>& candidates);

// Checks a locale id against the locales that ICU has data for ("" and "C" always pass). An
// unknown id is a warning, or with `strict` an error (false).
bool checkLocale(const char* command, const std::string& locale, bool strict);

// Checks a time zone id: a system id of ICU or a custom GMT+hh:mm id. Same rules as checkLocale.
bool checkZone(const char* command, const std::string& zone, bool strict);

// Adds --locale and --strict to a command.
void addLocaleOptions(CLI::App& app, std::string& locale, bool& strict);

// The UTF-8 text of a string handle; "" when it cannot be exported.
std::string textOf(const qovaicuc::String& str);

// The whole of `text` as a number, or nothing.
std::optional<long long> toInt64(std::string_view text);
std::optional<int> toInt(std::string_view text);
std::optional<double> toDouble(std::string_view text);

// A validator that accepts the names of `table`; `what` names the kind in its message, `hint`
// replaces the list of names there when not empty.
template <class E, std::size_t Size>
CLI::Validator oneOf(const Name<E> (&table)[Size], const std::string& what,
                     const std::string& hint = "") {
    return CLI::Validator(
        [&table, what, hint](std::string& value) -> std::string {
            if (lookup(table, value)) return {};
            return "unknown " + what + " '" + clip(value) + "' (" +
                   (hint.empty() ? "one of: " + nameList(table) : hint) + ")";
        },
        "");
}

}  // namespace qovaicu
