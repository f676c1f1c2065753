#include "common.h"

#include <QOVAicuC/text.hpp>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include <unicode/ucal.h>
#include <unicode/uenum.h>
#include <unicode/uloc.h>

namespace qovaicu {

std::vector<std::string> valuesOrLines(const std::vector<std::string>& arguments, char separator) {
    if (!arguments.empty()) return arguments;
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(std::cin, line, separator)) {
        if (separator == '\n' && !line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
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
