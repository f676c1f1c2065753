// What the subcommands of qovaicu share: the exit codes, where values come from, reading text
// out of string handles, strict number parsing of command-line values, name validators.
#pragma once

#include "names.h"

#include <QOVAicuC/handles.hpp>

#include <CLI/CLI.hpp>

#include <cstddef>
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

// Standard output in large blocks, flushed after each record when it is a terminal or a pipe, so
// that a reader sees each line as soon as it is done. The first failed write is kept (and ends
// writing); finish() reports it, naming the output.
class Output {
public:
    static Output& get();
    void write(const char* p, size_t n);
    void write(std::string_view text) { write(text.data(), text.size()); }
    void put(char c) {
        if (used_ == sizeof buffer_) drain();
        buffer_[used_++] = c;
    }
    // UTF-16 units as UTF-8 (the units come from valid UTF-8 or from ICU, so they pair up).
    void utf16(const char16_t* units, size_t n);
    // The text of a string handle as UTF-8, U+0000 units inside it included, one terminator at
    // its end left out. False for a bogus string (the library's failure result).
    bool text(void* str);
    // The end of a record: flushed when the output is line-buffered.
    void endRecord() {
        if (lineBuffered_) drain();
    }
    void flush() { drain(); }
    bool failed() const { return error_ != 0; }
    // Flushes; on a write error reports it and gives 1, otherwise `status`.
    int finish(const char* command, int status);

private:
    Output();
    void drain();
    char buffer_[1 << 16];
    size_t used_ = 0;
    int error_ = 0;
    bool lineBuffered_ = false;
};

// One record of input: a line (or, with -z, a text ending in NUL). `data[size]` may be written
// (it is the record's end or spare room), e.g. to terminate the text for a call.
struct Record {
    char* data;
    size_t size;
    std::string_view end;    // "\n", "\r\n" when CR is split off, "\0", or "" at the end of input
    long long offset;        // of the record in its input, in bytes
    size_t number;           // 1 for the first record of each input
    const char* kind;        // "line", or "text" for a --text value
    std::string_view text() const { return {data, size}; }
};

// Where text comes from: --text values (each one record), then the file operands, "-" or none of
// either for standard input.
struct Inputs {
    std::vector<std::string> files, texts;
};

void addInputOptions(CLI::App& app, Inputs& in, const std::string& what);

// Calls `each` for every record, reading each input in blocks: memory follows the longest
// record, not the input. A file that cannot be read is reported (false at the end); reading
// stops early when the output has failed.
bool forEachRecord(const char* command, const Inputs& in, char separator, bool splitCR,
                   const std::function<void(Record&)>& each);

// Decodes UTF-8 `text` into the string handle `str` (an icu::UnicodeString) in place, U+0000
// units included, and with `terminate` one U+0000 more (the terminated form that the library
// expects): one handle serves every record, and no string is made or copied per line. The offset
// of the first invalid sequence (the string is then empty), or npos.
size_t decodeInto(std::string_view text, void* str, bool terminate = false);

// The offset of the first sequence in `text` that is not UTF-8, or npos.
size_t checkUtf8(std::string_view text);

// The message for input that is not UTF-8, at `at` bytes into the record.
std::string invalidInput(const Record& r, size_t at);

// What a record holds that no value may: invalid UTF-8 or a NUL byte ("" when neither).
std::string badValue(const Record& r, std::string_view value);

// `value` without the blanks (space, tab) around it.
std::string_view trim(std::string_view value);

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
            std::vector<std::string> names;
            for (const auto& row : table) names.emplace_back(row.name);
            const std::string near = nearest(value, names);
            return "unknown " + what + " '" + clip(value) + "' (" +
                   (near.empty() ? "" : "did you mean " + near + "? ") +
                   (hint.empty() ? "one of: " + nameList(table) : hint) + ")";
        },
        "");
}

}  // namespace qovaicu
