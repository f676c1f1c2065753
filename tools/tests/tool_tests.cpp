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
// or nothing) added to its environment, its output into `out` ("" a file that is read back);
// in a cross build through the emulator (QOVAICU_RUNNER).
// With `stream`, stdin is a writer that waits a second after its first line, and stdout a reader
// that writes "late" when that first line came only after the wait.
Result run(const std::vector<std::string>& args, const std::string& input = "", const std::string& env = "",
           const std::string& out = "", bool stream = false) {
    char dir[] = "/tmp/qovaicu-test-XXXXXX";
    const std::string base = mkdtemp(dir);
    std::ofstream(base + "/in", std::ios::binary) << input;
    std::string line = "env " + env + " " QOVAICU_RUNNER " '" QOVAICU_PATH "'";
    for (const std::string& a : args) {
        line += " '";
        for (char c : a) line += c == '\'' ? std::string("'\\''") : std::string(1, c);
        line += "'";
    }
    line += " 2>" + base + "/err";
    if (stream)
        line = "(head -n1 " + base + "/in; sleep 1; touch " + base + "/late; tail -n+2 " + base + "/in) | " + line +
               " | { read -r l; echo \"$l\"; [ -e " + base + "/late ] && echo late; cat; } >" + base + "/out";
    else
        line += " <" + base + "/in >" + (out.empty() ? base + "/out" : out);
    std::ofstream(base + "/run") << "set -o pipefail\n" << line << "\n";
    const int status = std::system(("bash " + base + "/run").c_str());
    Result r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(base + "/out"), slurp(base + "/err")};
    std::remove((base + "/in").c_str());
    for (const char* name : {"/late", "/run"}) std::remove((base + name).c_str());
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
    std::string err = "", env = "", to = "";  // a part of stderr, NAME=value, where stdout goes
    bool stream = false;
};

std::string operator""_b(const char* text, size_t n) { return std::string(text, n); }  // NUL bytes kept

TEST(Qovaicu, BehavesAsDocumented) {
    // Input that crosses the 64 KiB piece boundaries in the middle of a character.
    std::string big = "a", jp;
    for (int i = 0; i < 600000; ++i) big += "\xC3\xA9";
    for (int i = 0; i < 150000; ++i) jp += "\xE6\x97\xA5\xE6\x9C\xAC x\r\n";
    const std::string omega = "\xCE\xA9";  // U+03A9, in no Latin codepage
    const std::string full = "cannot write to standard output: No space left on device";
    const std::vector<Row> rows = {
        // convert: bytes in, bytes out, nothing added or dropped
        {{"convert", "--to", "windows-1252", "-x"}, "a\r\n\0b"_b, "61 0d 0a 00 62\n", 0},
        {{"convert", "--to", "UTF-16LE", "-x", "--from", "UTF-16BE"}, "\0a\0\0"_b, "61 00 00 00\n", 0},
        // ICU's "UTF-16" writes a byte order mark and the host's byte order
        {{"convert", "--to", "UTF-16", "-x"}, "a\nb",
         U_IS_BIG_ENDIAN ? "fe ff 00 61 00 0a 00 62\n" : "ff fe 61 00 0a 00 62 00\n", 0},
        {{"convert", "--to", "windows-1252"}, big, icuConvert("windows-1252", big), 0},
        {{"convert", "--to", "ISO-2022-JP", "-", "-"}, jp, icuConvert("ISO-2022-JP", jp), 0},
        {{"convert", "--to", "ISO-8859-1", "-x", "-e", "a" + omega}, "", "61\n", 1, "U+03A9 in ISO-8859-1 (input byte 1"},
        {{"convert", "--to", "ISO-8859-1", "-x", "-e", "ab\xC3\x28"}, "", "61 62\n", 1, "invalid UTF-8 input at byte 2"},
        {{"convert", "--to", "Shift_JIS", "-s", "\xEF\xBC\x9F", "-x", "-e", "\xE2\x82\xAC"}, "", "81 48\n", 0},
        {{"convert", "--to", "ISO-8859-1", "-s", "?", "-x", "-e", "\xC3\x28"}, "", "3f 28\n", 0},
        {{"convert", "--to", "ISO-8859-1", "-s", omega, "-e", "x"}, "", "", 2, "not one character"},
        {{"convert", "--to", "no-such-codepage", "-e", "x"}, "", "", 2, "list codepages"},
        {{"convert", "--to", "UTF-16LE"}, big, "", 1, "qovaicu convert: " + full, "", "/dev/full"},
        // regex: grep's lines and exit status, sed's bytes, ICU's reason for a bad pattern
        {{"regex", "x", "--text", "abc"}, "", "", 1},
        {{"regex", "a(", "--text", "abc"}, "", "", 2, "U_REGEX_MISMATCHED_PAREN at line 1, offset 2"},
        {{"regex", "--replace", "$5", "(a)"}, "a\n", "", 2, "names a group that the pattern lacks"},
        {{"regex", "--replace", "X", "a"}, "a\tb\\c\r\n\xFF" "a\nba", "X\tb\\c\r\n\xFF" "a\nbX", 1, "invalid UTF-8 input at byte 7 (line 2)"},
        {{"regex", "--replace-first", "<$1>", "(b)"}, "a\0bb\0\n"_b, "a\0<b>b\0\n"_b, 0},
        {{"regex", "b"}, "a\0b\nc\n\0\n"_b, "a\0b\n"_b, 0},
        {{"regex", "-n", "-b", "-o", "-f", "dotall", "a.", "-", "--text", "\xC3\xA9" "a\nb"}, "xaa\n", "1:2:a\n\n1:1:aa\n", 0},
        {{"regex", "-v", "-c", "b"}, "ab\nb\nxx\n", "1\n", 0},
        {{"regex", "--count-matches", "b", "-", "/no/such/file"}, "ab b\nb\n", "3\n", 2, "cannot read '/no/such/file'"},
        {{"regex", "-z", "-f", "dotall", "a.b"}, "a\nb\0c\0"_b, "a\nb\0"_b, 0},
        {{"regex", ",", "--split", "--limit", "2", "--text", "a,b,c"}, "", "1:0\ta\n1:1\tb,c\n", 0},
        {{"regex", "."}, "a\nb\n", "a\nb\n", 0, "", "", "", true},
        {{"regex", "a"}, "a\n", "", 1, "qovaicu regex: " + full, "", "/dev/full"},
        // number, parse, date: one line out per line in, a failed value's line kept
        {{"number", "-l", "C", "-g", "off"}, " 1234 \r\nx\n1\0002\n"_b, "1234\r\nx\n1\0002\n"_b, 1, "a NUL byte at byte 11 (line 3)"},
        {{"number", "--precision", "fixed:-1", "-e", "12"}, "", "", 2, "0 <= N <= 999"},
        {{"number", "-u", "meters", "-e", "5"}, "", "", 2, "did you mean meter?"},
        {{"number", "-u", "eur", "-e", "5"}, "", "", 2, "whose one currency is usd"},
        {{"number"}, std::string(1000000, '9') + "x\n", std::string(1000000, '9') + "x\n", 1, "... (1000001 bytes)"},
        {{"number", "-e", "5"}, "", "", 1, "qovaicu number: " + full, "", "/dev/full"},
        {{"parse", "-l", "en_US", "--type", "int32", "-e", "3000000000"}, "", "-1294967296\tnone\n", 3, "int32 cannot hold"},
        {{"parse", "-l", "en_US", "-t", "int64"}, "9223372036854775807\n-9223372036854775808\n", "9223372036854775807\tnone\n-9223372036854775808\tnone\n", 0},
        {{"parse", "-l", "en_US", "-t", "int64", "-e", "9223372036854775808"}, "", "-9223372036854775808\tnone\n", 3, "(-9223372036854775808 to 9223372036854775807)"},
        {{"parse", "-l", "en_US", "-e", "12abc"}, "", "12\tnone\n", 3, "left unread after the number in '12abc': 'abc'"},
        {{"parse", "-l", "en_US"}, "abc\n\xFF\n 1,234.5\t\n", "0\tinvalid\n\tinvalid\n1234.5\tnone\n", 1, "invalid UTF-8 input at byte 4 (line 2)"},
        {{"parse", "-e", "5"}, "", "", 1, "qovaicu parse: " + full, "", "/dev/full"},
        {{"date", "-l", "en_US", "-e", "0"}, "", icuDate("en_US", "Europe/Berlin", 0), 0, "", "TZ=Europe/Berlin"},
        {{"date", "-l", "en_US", "-e", "0"}, "", icuDate("en_US", "GMT", 0), 0, "unknown time zone 'Mars/Base'", "TZ=Mars/Base"},
        {{"date", "-l", "en_US", "-z", "europe/berlin", "-e", "0"}, "", icuDate("en_US", "GMT", 0), 0, "did you mean Europe/Berlin?"},
        {{"date", "-l", "en_US", "-z", "GMT"}, "x\n0\n9223372036854775807\n", "x\n" + icuDate("en_US", "GMT", 0) + "9223372036854775807\n", 1, "outside ICU's calendar range"},
        {{"date", "--strict", "-z", "UTC+2", "-e", "0"}, "", "", 2, "unknown time zone 'UTC+2'"},
        {{"date", "--strict", "-l", "xx_YY", "-e", "0"}, "", "", 2, "unknown locale 'xx_YY'"},
        {{"date", "-d", "none", "-t", "none"}, "0\n", "", 2, "leaves nothing to write"},
        {{"date", "-z", "GMT", "-e", "0"}, "", "", 1, "qovaicu date: " + full, "", "/dev/full"},
        // the command line itself
        {{"--version"}, "", "qovaicu " QOVAICU_VERSION "\nQOVAicuC " QOVAICU_VERSION "\nICU " U_ICU_VERSION "\n", 0},
        {{"--version", "junk"}, "", "", 2},
        {{"list", "units"}, "", "", 1, "qovaicu list: " + full, "", "/dev/full"},
        {{"numbr", "5"}, "", "", 2, "did you mean number?"},
        {{"number", "--precison", "fixed:2"}, "", "", 2, "did you mean --precision?"},
        {{"number", "--as", std::string(300, 'x')}, "", "", 2, "qovaicu number: --as: " + std::string(80, 'x') + "... (300 bytes)"},
        {{"list", "frobs"}, "", "", 2},
    };
    for (const Row& row : rows) {
        std::string line;
        for (const std::string& a : row.args) line += " " + a.substr(0, 40);
        SCOPED_TRACE("qovaicu" + line);
        const Result r = run(row.args, row.input, row.env, row.to, row.stream);
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_TRUE(r.out == row.out) << "stdout: " << r.out.substr(0, 200);
        EXPECT_NE(r.err.find(row.err), std::string::npos) << "stderr: " << r.err;
    }
}

// Every id that `list` prints is one that the commands accept.
TEST(Qovaicu, ListsWhatItAccepts) {
    const std::pair<const char*, std::vector<std::string>> uses[] = {{"codepages", {"convert", "--to", "", "-x", "-e", "a"}},
        {"zones", {"date", "-z", "", "--strict", "-e", "0"}}, {"units", {"number", "-u", "", "-e", "1"}}};
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
