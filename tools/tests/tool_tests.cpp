// qovaicu as users meet it: one row per behaviour that the tool adds to the library (command
// line, stdin, expected output, exit status, a part of the message). Where the output depends on
// ICU's data, the row's expectation is computed here with ICU itself.
#include <gtest/gtest.h>
#include <unicode/ucnv.h>
#include <unicode/udat.h>
#include <unicode/ustring.h>
#include <unicode/uversion.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Result {
    int status = -1;
    std::string out, err;
};

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    std::remove(path.c_str());
    return s.str();
}

// Runs the tool with `args`, `input` on stdin and `env` added to the environment.
Result run(std::vector<std::string> args, const std::string& input, const std::string& env) {
    char dir[] = "/tmp/qovaicu-test-XXXXXX";
    const std::string base = mkdtemp(dir);
    std::ofstream(base + "/in", std::ios::binary) << input;
    std::vector<char*> argv{const_cast<char*>(QOVAICU_PATH)};
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> envp(environ, environ + [] { int n = 0; while (environ[n]) ++n; return n; }());
    std::string extra = env;
    if (!extra.empty()) envp.push_back(extra.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, (base + "/in").c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, (base + "/out").c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&files, 2, (base + "/err").c_str(), O_WRONLY | O_CREAT, 0600);
    pid_t pid = 0;
    Result r;
    int status = 0;
    if (posix_spawn(&pid, QOVAICU_PATH, &files, nullptr, argv.data(), envp.data()) == 0 &&
        waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        r.status = WEXITSTATUS(status);
    posix_spawn_file_actions_destroy(&files);
    r.out = slurp(base + "/out");
    r.err = slurp(base + "/err");
    std::remove((base + "/in").c_str());
    rmdir(base.c_str());
    return r;
}

// ICU's own conversion of UTF-8 `text` into `codepage`.
std::string icuConvert(const char* codepage, const std::string& text) {
    UErrorCode status = U_ZERO_ERROR;
    std::string out(text.size() * 4 + 64, '\0');
    const int32_t n = ucnv_convert(codepage, "UTF-8", out.data(), static_cast<int32_t>(out.size()),
                                   text.data(), static_cast<int32_t>(text.size()), &status);
    out.resize(U_SUCCESS(status) ? static_cast<size_t>(n) : 0);
    return out;
}

// ICU's medium date and time of `seconds` in `zone`, U+202F as a space, then a line end.
std::string icuDate(const char* locale, const char* zone, double seconds) {
    UErrorCode status = U_ZERO_ERROR;
    std::u16string id(zone, zone + std::char_traits<char>::length(zone));
    UDateFormat* f = udat_open(UDAT_MEDIUM, UDAT_MEDIUM, locale, reinterpret_cast<const UChar*>(id.data()),
                               static_cast<int32_t>(id.size()), nullptr, 0, &status);
    UChar text[128];
    int32_t n = udat_format(f, seconds * 1000, text, 128, nullptr, &status);
    udat_close(f);
    for (int32_t i = 0; i < n; ++i) text[i] = text[i] == 0x202F ? u' ' : text[i];
    char utf8[256];
    u_strToUTF8(utf8, sizeof utf8, &n, text, n, &status);
    return std::string(utf8, static_cast<size_t>(n)) + "\n";
}

std::string icuVersion() {
    UVersionInfo v;
    char text[U_MAX_VERSION_STRING_LENGTH];
    u_getVersion(v);
    u_versionToString(v, text);
    return text;
}

struct Row {
    std::vector<std::string> args;
    std::string input;
    std::string out;  // the whole of stdout
    int status;
    std::string err = "";  // a part of stderr
    std::string env = "";
};

TEST(Qovaicu, BehavesAsDocumented) {
    // Input that crosses the 1 MiB piece boundary in the middle of a character.
    std::string big = "a";
    for (int i = 0; i < 600000; ++i) big += "\xC3\xA9";
    std::string jp;
    for (int i = 0; i < 150000; ++i) jp += "\xE6\x97\xA5\xE6\x9C\xAC x\n";
    const std::string omega = "\xCE\xA9";  // U+03A9, in no Latin codepage
    const std::vector<Row> rows = {
        // convert: bytes in, bytes out, nothing added or dropped
        {{"convert", "--to", "windows-1252", "-x"}, "a\r\nb", "61 0d 0a 62\n", 0},
        {{"convert", "--to", "windows-1252", "-x"}, std::string("x\0y", 3), "78 00 79\n", 0},
        {{"convert", "--to", "ISO-8859-1"}, "caf\xC3\xA9\r\n", "caf\xE9\r\n", 0},
        {{"convert", "--to", "UTF-16LE", "-x", "--from", "UTF-16BE"}, std::string("\0a\0\0", 4), "61 00 00 00\n", 0},
        {{"convert", "--to", "UTF-16", "-x"}, "a\nb", "ff fe 61 00 0a 00 62 00\n", 0},
        {{"convert", "--to", "windows-1252"}, big, icuConvert("windows-1252", big), 0},
        {{"convert", "--to", "ISO-2022-JP"}, jp, icuConvert("ISO-2022-JP", jp), 0},
        {{"convert", "--to", "ISO-8859-1", "-x", "a" + omega}, "", "61\n", 1, "U+03A9 in ISO-8859-1 (input byte 1"},
        {{"convert", "--to", "ISO-8859-1", "-x", "ab\xC3\x28"}, "", "61 62\n", 1, "invalid UTF-8 input at byte 2"},
        {{"convert", "--to", "ibm-037", "--substitute", "?", "-x", omega}, "", "6f\n", 0},
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
        {{"number", "--precision", "increment:0", "12"}, "", "", 2, "X > 0"},
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
        {{"--version"}, "", "qovaicu " QOVAICU_VERSION "\nQOVAicuC " QOVAICU_VERSION "\nICU " + icuVersion() + "\n", 0},
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
    for (const char* what : {"codepages", "zones", "units"}) {
        const Result r = run({"list", what}, "", "");
        ASSERT_EQ(r.status, 0) << what;
        std::istringstream lines(r.out);
        size_t checked = 0;
        for (std::string line; std::getline(lines, line) && checked < 40; ++checked) {
            const std::string id = line.substr(0, line.find('\t'));
            const std::vector<std::vector<std::string>> use = {
                {"convert", "--to", id, "-x", "a"}, {"date", "--strict", "-z", id, "0"},
                {"number", "-u", id, "1"}};
            const Result used = run(use[what[0] == 'c' ? 0 : what[0] == 'z' ? 1 : 2], "", "");
            EXPECT_NE(used.status, 2) << id << ": " << used.err;
        }
        EXPECT_EQ(checked, 40u) << what;
    }
}

}  // namespace
