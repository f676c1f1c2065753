// Date-time formatting and parsing (medium styles, GMT; en_US and de_DE; one and two threads,
// handles per thread): the library's operations next to icu::DateFormat's format and parse.
#include "alloc_count.h"
#include "support.h"


#include <unicode/datefmt.h>
#include <unicode/timezone.h>

#include <memory>
#include <utility>

using icu::DateFormat;
using icu::UnicodeString;

namespace {

constexpr long long kSeconds = 1710511200;  // 2024-03-15 14:00:00 UTC

std::unique_ptr<DateFormat> icuFormatter(const char* locale) {
    std::unique_ptr<DateFormat> format(
        DateFormat::createDateTimeInstance(DateFormat::kMedium, DateFormat::kMedium, icu::Locale(locale)));
    format->setTimeZone(*icu::TimeZone::getGMT());
    return format;
}

void formatLib(benchmark::State& state, const char* locale) {
    void* formatter = DF::make(locale);
    void* out = SF::make();
    qbench::measure(state, [&] { DS::FormatDateTimeToString(formatter, out, kSeconds); });
    SF::destroy(out);
    DF::destroy(formatter);
}

void formatIcu(benchmark::State& state, const char* locale) {
    const std::unique_ptr<DateFormat> formatter = icuFormatter(locale);
    UnicodeString out;
    qbench::measure(state, [&] {
        out.remove();
        formatter->format(static_cast<double>(kSeconds) * 1000.0, out);
    });
}

// Into a temporary, terminated, U+202F turned into a space, moved into the output.
void formatSpec(benchmark::State& state, const char* locale) {
    const std::unique_ptr<DateFormat> formatter = icuFormatter(locale);
    UnicodeString out;
    qbench::measure(state, [&] {
        UnicodeString text;
        formatter->format(static_cast<double>(kSeconds) * 1000.0, text);
        qbench::terminate(text);
        text.findAndReplace(UnicodeString(char16_t(0x202F)), UnicodeString(char16_t(0x20)));
        out = std::move(text);
    });
}

// The text to parse, on both sides, is what FormatDateTimeToString hands back for kSeconds:
// ICU's text with its narrow no-break spaces turned into spaces.
UnicodeString formatted(const char* locale) {
    UnicodeString text;
    icuFormatter(locale)->format(static_cast<double>(kSeconds) * 1000.0, text);
    text.findAndReplace(UnicodeString(char16_t(0x202F)), UnicodeString(char16_t(0x20)));
    return text;
}

void parseLib(benchmark::State& state, const char* locale) {
    void* formatter = DF::make(locale);
    void* text = qbench::terminated(formatted(locale));
    qbench::measure(state, [&] { benchmark::DoNotOptimize(DS::FormatStringToDateTime(formatter, text)); });
    SF::destroy(text);
    DF::destroy(formatter);
}

void parseIcu(benchmark::State& state, const char* locale) {
    const std::unique_ptr<DateFormat> formatter = icuFormatter(locale);
    const UnicodeString text = formatted(locale);
    qbench::measure(state, [&] {
        UErrorCode status = U_ZERO_ERROR;
        benchmark::DoNotOptimize(static_cast<long long>(formatter->parse(text, status)));
    });
}

// An unchanged copy of the terminated text is parsed.
void parseSpec(benchmark::State& state, const char* locale) {
    const std::unique_ptr<DateFormat> formatter = icuFormatter(locale);
    const UnicodeString text = formatted(locale) + UnicodeString(char16_t(0));
    qbench::measure(state, [&] {
        const UnicodeString copy(text);
        UErrorCode status = U_ZERO_ERROR;
        benchmark::DoNotOptimize(static_cast<long long>(formatter->parse(copy, status)));
    });
}

void registerAll() {
    for (const char* locale : {"en_US", "de_DE"}) {
        const std::string at = std::string(" ") + locale;
        qbench::registerTriple("FormatDateTimeToString" + at, qbench::threads, formatLib, formatIcu,
                               formatSpec, locale);
        qbench::registerTriple("FormatStringToDateTime" + at, qbench::threads, parseLib, parseIcu,
                               parseSpec, locale);
    }
}

[[maybe_unused]] const bool registered = (registerAll(), true);

}  // namespace
