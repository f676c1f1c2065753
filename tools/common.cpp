#include "common.h"

#include <QOVAicuC/text.hpp>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cerrno>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <unicode/ucal.h>
#include <unicode/uenum.h>
#include <unicode/uloc.h>
#include <unicode/unistr.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

namespace qovaicu {

Output& Output::get() {
    static Output out;
    return out;
}

Output::Output() {
    struct stat st {};
    lineBuffered_ = isatty(1) || (fstat(1, &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)));
}

namespace {

int writeAll(const char* p, size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(1, p, n);
        if (w < 0 && errno != EINTR) return errno;
        if (w > 0) p += w, n -= static_cast<size_t>(w);
    }
    return 0;
}

}  // namespace

void Output::drain() {
    if (error_ == 0 && used_ > 0) error_ = writeAll(buffer_, used_);
    used_ = 0;
}

void Output::write(const char* p, size_t n) {
    if (n > sizeof buffer_ - used_) {
        drain();
        if (n >= sizeof buffer_) {
            if (error_ == 0) error_ = writeAll(p, n);
            return;
        }
    }
    std::memcpy(buffer_ + used_, p, n);
    used_ += n;
}

void Output::utf16(const char16_t* units, size_t n) {
    for (size_t i = 0; i < n;) {
        if (sizeof buffer_ - used_ < 4) drain();
        const size_t stop = std::min(n, i + (sizeof buffer_ - used_) / 4);
        auto* out = reinterpret_cast<uint8_t*>(buffer_);
        while (i < stop) {
            UChar32 c = units[i++];
            if (c < 0x80) {
                out[used_++] = static_cast<uint8_t>(c);
                continue;
            }
            if (U16_IS_LEAD(c) && i < n && U16_IS_TRAIL(units[i])) c = U16_GET_SUPPLEMENTARY(c, units[i++]);
            U8_APPEND_UNSAFE(out, used_, c);
        }
    }
}

bool Output::text(void* str) {
    const auto* s = static_cast<const icu::UnicodeString*>(str);
    if (s == nullptr || s->isBogus()) return false;
    size_t n = static_cast<size_t>(s->length());
    const char16_t* units = s->getBuffer();
    if (n > 0 && units[n - 1] == 0) --n;
    utf16(units, n);
    return true;
}

int Output::finish(const char* command, int status) {
    drain();
    if (error_ == 0) return status;
    complain(command, std::string("cannot write to standard output: ") + std::strerror(error_));
    return kBadValue;
}

void addInputOptions(CLI::App& app, Inputs& in, const std::string& what) {
    app.add_option("files", in.files, "Files to read, line by line (none or -: standard input)")
        ->type_name("FILE");
    app.add_option(app.get_name() == "regex" ? "--text" : "-e,--text", in.texts,
                   what + " given on the command line, one per option (standard input is "
                          "then read only when - is named)")
        ->allow_extra_args(false)
        ->type_name("TEXT");
}

namespace {

// The records of one input (a descriptor): errno when reading failed, else 0.
int readRecords(int fd, const char* kind, char separator, bool splitCR, std::vector<char>& buffer,
                const std::function<void(Record&)>& each) {
    size_t begin = 0, end = 0, scanned = 0, number = 0;
    long long offset = 0;
    bool eof = false;
    auto emit = [&](size_t stop, std::string_view ending) {
        Record r{buffer.data() + begin, stop - begin, ending, offset, ++number, kind};
        if (splitCR && !ending.empty() && r.size > 0 && r.data[r.size - 1] == '\r') {
            --r.size;
            r.end = "\r\n";
        }
        each(r);
        offset += static_cast<long long>(stop - begin + ending.size());
    };
    while (!Output::get().failed()) {
        const char* found = static_cast<const char*>(std::memchr(buffer.data() + scanned, separator, end - scanned));
        if (found != nullptr) {
            const size_t stop = static_cast<size_t>(found - buffer.data());
            emit(stop, separator == '\n' ? "\n" : std::string_view("\0", 1));
            begin = scanned = stop + 1;
            continue;
        }
        if (eof) {
            if (begin < end) emit(end, "");
            break;
        }
        std::memmove(buffer.data(), buffer.data() + begin, end - begin);
        end -= begin;
        scanned = end;
        begin = 0;
        if (buffer.size() - end < (1 << 15)) buffer.resize(buffer.size() + buffer.size() / 2);
        // One byte stays free after the data, for Record::data[size].
        const ssize_t n = ::read(fd, buffer.data() + end, buffer.size() - end - 1);
        if (n < 0 && errno != EINTR) return errno;
        if (n == 0) eof = true;
        if (n > 0) end += static_cast<size_t>(n);
    }
    return 0;
}

}  // namespace

bool forEachRecord(const char* command, const Inputs& in, char separator, bool splitCR,
                   const std::function<void(Record&)>& each) {
    std::string text;
    for (size_t i = 0; i < in.texts.size() && !Output::get().failed(); ++i) {
        text = in.texts[i];
        Record r{text.data(), text.size(), separator == '\n' ? "\n" : std::string_view("\0", 1), 0, i + 1, "text"};
        each(r);
    }
    std::vector<std::string> files = in.files;
    if (files.empty() && in.texts.empty()) files.emplace_back("-");
    std::vector<char> buffer(1 << 16);
    bool ok = true;
    for (const std::string& name : files) {
        const int fd = name == "-" ? 0 : ::open(name.c_str(), O_RDONLY);
        const int error = fd < 0 ? errno : readRecords(fd, "line", separator, splitCR, buffer, each);
        if (fd > 0) ::close(fd);
        if (error != 0) {
            complain(command, "cannot read " + (name == "-" ? std::string("standard input") : "'" + clip(name) + "'") +
                                  ": " + std::strerror(error) +
                                  (error == ENOENT ? " (a value, not a file, goes with --text)" : ""));
            ok = false;
        }
    }
    return ok;
}

size_t decodeInto(std::string_view text, void* str, bool terminate) {
    auto* string = static_cast<icu::UnicodeString*>(str);
    string->truncate(0);
    // Never more units than bytes; written in place, no copy of the line in between.
    char16_t* out = string->getBuffer(static_cast<int32_t>(text.size()) + 1);
    if (out == nullptr) throw std::bad_alloc();
    const auto* s = reinterpret_cast<const uint8_t*>(text.data());
    const auto n = static_cast<int32_t>(text.size());
    int32_t k = 0;
    for (int32_t i = 0; i < n;) {
        if (s[i] < 0x80) {
            out[k++] = s[i++];
            continue;
        }
        const int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(s, i, n, c);
        if (c < 0) {
            string->releaseBuffer(0);
            return static_cast<size_t>(start);
        }
        U16_APPEND_UNSAFE(out, k, c);
    }
    if (terminate) out[k++] = 0;
    string->releaseBuffer(k);
    return std::string::npos;
}

size_t checkUtf8(std::string_view text) {
    const auto* s = reinterpret_cast<const uint8_t*>(text.data());
    const size_t n = text.size();
    auto trail = [&](size_t k) { return k < n && (s[k] & 0xC0) == 0x80; };
    for (size_t i = 0; i < n;) {
        uint64_t eight = 0;
        if (i + 8 <= n && (std::memcpy(&eight, s + i, 8), (eight & 0x8080808080808080u) == 0)) {
            i += 8;
            continue;
        }
        const uint8_t b = s[i];
        if (b < 0x80) {
            ++i;
        } else if (b >= 0xC2 && b <= 0xDF && trail(i + 1)) {
            i += 2;
        } else if (b >= 0xE0 && b <= 0xEF && trail(i + 1) && trail(i + 2) &&
                   (b != 0xE0 || s[i + 1] >= 0xA0) && (b != 0xED || s[i + 1] < 0xA0)) {
            i += 3;  // neither too long a form nor a surrogate
        } else if (b >= 0xF0 && b <= 0xF4 && trail(i + 1) && trail(i + 2) && trail(i + 3) &&
                   (b != 0xF0 || s[i + 1] >= 0x90) && (b != 0xF4 || s[i + 1] < 0x90)) {
            i += 4;  // neither too long a form nor beyond U+10FFFF
        } else {
            return i;
        }
    }
    return std::string::npos;
}

std::string invalidInput(const Record& r, size_t at) {
    return "invalid UTF-8 input at byte " + std::to_string(r.offset + static_cast<long long>(at)) + " (" +
           r.kind + " " + std::to_string(r.number) + ")";
}

std::string badValue(const Record& r, std::string_view value) {
    const size_t skip = static_cast<size_t>(value.data() - r.data);
    const size_t bad = checkUtf8(value);
    if (bad != std::string::npos) return invalidInput(r, skip + bad);
    const size_t nul = value.find('\0');
    if (nul == std::string_view::npos) return "";
    return "a NUL byte at byte " + std::to_string(r.offset + static_cast<long long>(skip + nul)) + " (" +
           r.kind + " " + std::to_string(r.number) + ") in the value";
}

std::string_view trim(std::string_view value) {
    const size_t first = value.find_first_not_of(" \t");
    if (first == std::string_view::npos) return value.substr(value.size());
    return value.substr(first, value.find_last_not_of(" \t") - first + 1);
}

void complain(const char* command, const std::string& message) {
    std::fprintf(stderr, "qovaicu %s: %s\n", command, message.c_str());
}

std::string clip(const std::string& text) {
    constexpr size_t kLimit = 80;
    if (text.size() <= kLimit) return text;
    size_t cut = kLimit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut) + "... (" + std::to_string(text.size()) + " bytes)";
}

namespace {

size_t distance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// Reports an unknown id; false when that is an error.
bool unknown(const char* command, const std::string& what, const std::string& id,
             const std::string& suggestion, const char* fallback, bool strict) {
    std::string message = (strict ? "unknown " : "warning: unknown ") + what + " '" + clip(id) + "'";
    if (!suggestion.empty()) message += " (did you mean " + suggestion + "?)";
    if (!strict) message += fallback;
    complain(command, message);
    return !strict;
}

}  // namespace

std::string nearest(const std::string& word, const std::vector<std::string>& candidates) {
    std::string best;
    size_t bestDistance = word.size() / 3 + 1;
    for (const std::string& c : candidates) {
        const size_t d = distance(word, c);
        if (d < bestDistance || (d == 0 && best.empty())) {
            bestDistance = d;
            best = c;
        }
    }
    return best;
}

bool checkLocale(const char* command, const std::string& locale, bool strict) {
    if (locale.empty() || locale == "C") return true;
    char language[16] = "";
    char country[16] = "";
    UErrorCode status = U_ZERO_ERROR;
    uloc_getLanguage(locale.c_str(), language, sizeof language, &status);
    uloc_getCountry(locale.c_str(), country, sizeof country, &status);
    // Known: ICU has data for the language, and the region (if any) is a region ICU knows.
    bool languageKnown = false;
    std::vector<std::string> names;
    for (int32_t i = 0; i < uloc_countAvailable(); ++i) {
        const char* name = uloc_getAvailable(i);
        names.emplace_back(name);
        char l[16] = "";
        UErrorCode s = U_ZERO_ERROR;
        uloc_getLanguage(name, l, sizeof l, &s);
        if (std::string(l) == language) languageKnown = true;
    }
    const bool countryKnown = country[0] == 0 || *uloc_getISO3Country(locale.c_str()) != 0;
    if (U_SUCCESS(status) && languageKnown && countryKnown) return true;
    return unknown(command, "locale", locale, nearest(locale, names),
                   "; ICU uses its fallback (root) data", strict);
}

bool checkZone(const char* command, const std::string& zone, bool strict) {
    qovaicuc::String id = qovaicuc::fromUtf8(zone);
    const std::u16string units = qovaicuc::utf16(id).value_or(u"");
    UChar canonical[128];
    UBool system = false;
    UErrorCode status = U_ZERO_ERROR;
    ucal_getCanonicalTimeZoneID(reinterpret_cast<const UChar*>(units.data()),
                                static_cast<int32_t>(units.size()), canonical, 128, &system,
                                &status);
    if (U_SUCCESS(status)) return true;
    std::vector<std::string> names;
    status = U_ZERO_ERROR;
    UEnumeration* all = ucal_openTimeZones(&status);
    for (const char* name; U_SUCCESS(status) && (name = uenum_next(all, nullptr, &status));)
        names.emplace_back(name);
    uenum_close(all);
    return unknown(command, "time zone", zone, nearest(zone, names), "; ICU uses GMT", strict);
}

void addLocaleOptions(CLI::App& app, std::string& locale, bool& strict) {
    app.add_option("-l,--locale", locale,
                   "ICU locale id, e.g. de_DE; C = en_US_POSIX; default: ICU's default locale "
                   "(qovaicu list locales)");
    app.add_flag("--strict", strict,
                 "An id that ICU does not know (locale, zone) is an error, not a warning");
}

std::string textOf(const qovaicuc::String& str) { return qovaicuc::utf8(str).value_or(std::string()); }

std::optional<long long> toInt64(std::string_view text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::optional<int> toInt(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::optional<double> toDouble(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

}  // namespace qovaicu
