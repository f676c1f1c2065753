// qovaicu as users meet it: one row per behaviour that the tool adds to the library (command
// line, stdin, expected output, exit status, a part of the message). Where the output depends on
// ICU's data, the row's expectation is computed here with ICU itself.
#include <gtest/gtest.h>
#include <unicode/datefmt.h>
#include <unicode/ucnv.h>
#include <unicode/uvernum.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Result {
    int status = -1;
    std::string out, err;
};

std::string slurp(const std::string& path) {
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    std::remove(path.c_str());
    return s.str();
}

// Runs the tool with `args` (each quoted for the shell), `input` on stdin and `env` (NAME=value
// or nothing) added to its environment; in a cross build through the emulator (QOVAICU_RUNNER).
Result run(const std::vector<std::string>& args, const std::string& input = "", const std::string& env = "") {
    char dir[] = "/tmp/qovaicu-test-XXXXXX";
    const std::string base = mkdtemp(dir);
    std::ofstream(base + "/in", std::ios::binary) << input;
    std::string line = "env " + env + " " QOVAICU_RUNNER " '" QOVAICU_PATH "'";
    for (const std::string& a : args) {
        line += " '";
        for (char c : a) line += c == '\'' ? std::string("'\\''") : std::string(1, c);
        line += "'";
    }
    const int status = std::system((line + " <" + base + "/in >" + base + "/out 2>" + base + "/err").c_str());
    Result r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(base + "/out"), slurp(base + "/err")};
    std::remove((base + "/in").c_str());
    rmdir(base.c_str());
    return r;
}

// ICU's own conversion of UTF-8 `text` into `codepage`.
std::string icuConvert(const char* codepage, const std::string& text) {
    UErrorCode status = U_ZERO_ERROR;
    std::string out(text.size() * 4 + 64, '\0');
    out.resize(static_cast<size_t>(ucnv_convert(codepage, "UTF-8", out.data(), static_cast<int32_t>(out.size()),
                                                text.data(), static_cast<int32_t>(text.size()), &status)));
    return U_SUCCESS(status) ? out : "";
}

// ICU's medium date and time of `seconds` in `zone`, U+202F as a space, then a line end.
std::string icuDate(const char* locale, const char* zone, double seconds) {
    std::unique_ptr<icu::DateFormat> f(icu::DateFormat::createDateTimeInstance(
        icu::DateFormat::kMedium, icu::DateFormat::kMedium, icu::Locale(locale)));
    f->adoptTimeZone(icu::TimeZone::createTimeZone(zone));
    icu::UnicodeString text;
    std::string utf8;
    return f->format(seconds * 1000, text).findAndReplace(u"\u202f", u" ").toUTF8String(utf8) + "\n";
}

struct Row {
    std::vector<std::string> args;
    std::string input, out;  // stdin, the whole of stdout
    int status;
    std::string err = "", env = "";  // a part of stderr, NAME=value for the environment
};

TEST(Qovaicu, BehavesAsDocumented) {
    // Input that crosses the 1 MiB piece boundary in the middle of a character.
    std::string big = "a", jp;
    for (int i = 0; i < 600000; ++i) big += "\xC3\xA9";
    for (int i = 0; i < 150000; ++i) jp += "\xE6\x97\xA5\xE6\x9C\xAC x\r\n";
    const std::string omega = "\xCE\xA9";  // U+03A9, in no Latin codepage
    const std::vector<Row> rows = {
        // convert: bytes in, bytes out, nothing added or dropped
        {{"convert", "--to", "windows-1252", "-x"}, std::string("a\r\n\0b", 5), "61 0d 0a 00 62\n", 0},
        {{"convert", "--to", "UTF-16LE", "-x", "--from", "UTF-16BE"}, std::string("\0a\0\0", 4), "61 00 00 00\n", 0},
        // ICU's "UTF-16" writes a byte order mark and the host's byte order
        {{"convert", "--to", "UTF-16", "-x"}, "a\nb",
         U_IS_BIG_ENDIAN ? "fe ff 00 61 00 0a 00 62\n" : "ff fe 61 00 0a 00 62 00\n", 0},
        {{"convert", "--to", "windows-1252"}, big, icuConvert("windows-1252", big), 0},
        {{"convert", "--to", "ISO-2022-JP"}, jp, icuConvert("ISO-2022-JP", jp), 0},
        {{"convert", "--to", "ISO-8859-1", "-x", "a" + omega}, "", "61\n", 1, "U+03A9 in ISO-8859-1 (input byte 1"},
        {{"convert", "--to", "ISO-8859-1", "-x", "ab\xC3\x28"}, "", "61 62\n", 1, "invalid UTF-8 input at byte 2"},
        {{"convert", "--to", "Shift_JIS", "-s", "\xEF\xBC\x9F", "-x", "\xE2\x82\xAC"}, "", "81 48\n", 0},
        {{"convert", "--to", "ISO-8859-1", "-s", "?", "-x", "\xC3\x28"}, "", "3f 28\n", 0},
        {{"convert", "--to", "ISO-8859-1", "-s", omega, "x"}, "", "", 2, "not one character"},
        {{"convert", "--to", "no-such-codepage", "x"}, "", "", 2, "list codepages"},
        // regex: grep's exit status, one record per match, ICU's reason for a bad pattern
        {{"regex", "x", "abc"}, "", "", 1},
        {{"regex", "a(", "abc"}, "", "", 2, "U_REGEX_MISMATCHED_PAREN at line 1, offset 2"},
        {{"regex", "-f", "dotall", "a.b", "a\nb a\\b"}, "", "1:0-3\ta\\nb\n1:4-7\ta\\\\b\n", 0},
        {{"regex", "-z", "-f", "dotall", "a.b"}, std::string("a\nb\0", 4), std::string("1:0-3\ta\nb\0", 10), 0},
        {{"regex", "--count", "a", "aa", "ba", "c"}, "", "3\n", 0},
        {{"regex", ",", "--split", "--limit", "0", "a,b"}, "", "", 2, "from 1 to 2147483647"},
        // number: settings ICU would reject are a wrong command line, before any value
        {{"number", "--precision", "fixed:-1", "12"}, "", "", 2, "0 <= N <= 999"},
        {{"number", "--integer-width", "5:2", "12"}, "", "", 2, "0 <= MIN <= MAX <= 999"},
        {{"number"}, std::string(1000000, '9') + "x\n", "", 1, "... (1000001 bytes)"},
        // parse: the library's result, and what it left out
        {{"parse", "-l", "en_US", "--type", "int32", "3000000000"}, "", "-1294967296\tnone\n", 3, "int32 cannot hold"},
        {{"parse", "-l", "en_US", "12abc"}, "", "12\tnone\n", 3, "left unread after the number in '12abc': 'abc'"},
        {{"parse", "-l", "en_US", "abc"}, "", "0\tinvalid\n", 1},
        // date: the process's zone, ids checked, ICU's range
        {{"date", "-l", "en_US", "0"}, "", icuDate("en_US", "Europe/Berlin", 0), 0, "", "TZ=Europe/Berlin"},
        {{"date", "-l", "en_US", "-z", "europe/berlin", "0"}, "", icuDate("en_US", "GMT", 0), 0, "did you mean Europe/Berlin?"},
        {{"date", "--strict", "-z", "UTC+2", "0"}, "", "", 2, "unknown time zone 'UTC+2'"},
        {{"date", "--strict", "-l", "xx_YY", "0"}, "", "", 2, "unknown locale 'xx_YY'"},
        {{"date", "-z", "GMT", "9223372036854775807"}, "", "", 1, "outside ICU's calendar range"},
        // the command line itself
        {{"--version"}, "", "qovaicu " QOVAICU_VERSION "\nQOVAicuC " QOVAICU_VERSION "\nICU " U_ICU_VERSION "\n", 0},
        {{"numbr", "5"}, "", "", 2, "did you mean number?"},
        {{"number", "--precison", "fixed:2", "5"}, "", "", 2, "did you mean --precision?"},
        {{"list", "frobs"}, "", "", 2},
    };
    for (const Row& row : rows) {
        std::string line;
        for (const std::string& a : row.args) line += " " + a.substr(0, 40);
        SCOPED_TRACE("qovaicu" + line);
        const Result r = run(row.args, row.input, row.env);
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_TRUE(r.out == row.out) << "stdout: " << r.out.substr(0, 200);
        EXPECT_NE(r.err.find(row.err), std::string::npos) << "stderr: " << r.err;
    }
}

// Every id that `list` prints is one that the commands accept.
TEST(Qovaicu, ListsWhatItAccepts) {
    const std::pair<const char*, std::vector<std::string>> uses[] = {{"codepages", {"convert", "--to", "", "-x", "a"}},
        {"zones", {"date", "-z", "", "--strict", "0"}}, {"units", {"number", "-u", "", "1"}}};
    for (auto [what, use] : uses) {
        const Result r = run({"list", what});
        ASSERT_EQ(r.status, 0) << what;
        std::istringstream lines(r.out);
        size_t checked = 0;
        for (std::string line; std::getline(lines, line) && checked < 40; ++checked) {
            use[2] = line.substr(0, line.find('\t'));
            const Result used = run(use);
            EXPECT_NE(used.status, 2) << use[2] << ": " << used.err;
        }
        EXPECT_EQ(checked, 40u) << what;
    }
}

}  // namespace
