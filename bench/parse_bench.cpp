// Number parsing (en_US and de_DE, one and two threads, handles per thread): the library's four
// parse operations next to icu::NumberFormat::parse. The library trims the caller's text and
// removes its plus signs in place before it parses; the text here has neither surrounding white
// space nor plus signs, so those steps find nothing to change and every iteration parses the
// same text.
#include "alloc_count.h"
#include "support.h"


#include <unicode/fmtable.h>
#include <unicode/numfmt.h>

#include <cmath>
#include <cstdint>
#include <memory>

using icu::Formattable;
using icu::UnicodeString;

namespace {

enum class Target { Double, Int32, Int64, ULong };

const std::u16string& sample(Target target, bool comma) {
    static const std::u16string enDouble = u"1,234,567.891", deDouble = u"1.234.567,891";
    static const std::u16string small = u"1234567";
    static const std::u16string enLarge = u"12,345,678,901", deLarge = u"12.345.678.901";
    switch (target) {
        case Target::Double: return comma ? deDouble : enDouble;
        case Target::Int32: return small;
        case Target::Int64:
        case Target::ULong: return comma ? deLarge : enLarge;
    }
    return small;
}

bool commaLocale(const char* locale) { return locale[0] == 'd'; }

void parseLib(benchmark::State& state, const char* locale, Target target) {
    void* parser = PF::make(locale);
    void* text = qbench::terminated(sample(target, commaLocale(locale)));
    PS::ErrorType err = PS::ErrorNone;
    qbench::measure(state, [&] {
        switch (target) {
            case Target::Double: benchmark::DoNotOptimize(PS::FormatStrToDouble(parser, text, err)); break;
            case Target::Int32: benchmark::DoNotOptimize(PS::FormatStrToInt32_t(parser, text, err)); break;
            case Target::Int64: benchmark::DoNotOptimize(PS::FormatStrToInt64_t(parser, text, err)); break;
            case Target::ULong: benchmark::DoNotOptimize(PS::FormatStrToULong(parser, text, err)); break;
        }
    });
    SF::destroy(text);
    PF::destroy(parser);
}

// ICU's parse and the conversion of its result to the requested type; with `prepare`, the
// prescribed preparation first: the terminated text trimmed and its plus signs removed in place,
// with "+" and "" made by the char* constructor.
void parseIcu(benchmark::State& state, const char* locale, Target target, bool prepare) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::NumberFormat> parser(icu::NumberFormat::createInstance(icu::Locale(locale), status));
    UnicodeString text = qbench::icu16(sample(target, commaLocale(locale)) + std::u16string(prepare ? 1 : 0, u'\0'));
    qbench::measure(state, [&] {
        if (prepare) {
            text.trim();
            text.findAndReplace(UnicodeString("+"), UnicodeString(""));
        }
        status = U_ZERO_ERROR;
        Formattable number;
        parser->parse(text, number, status);
        const bool invalid = status == U_INVALID_FORMAT_ERROR;
        const Formattable::Type type = number.getType();
        switch (target) {
            case Target::Double: {
                UErrorCode ignored = U_ZERO_ERROR;
                benchmark::DoNotOptimize(number.getDouble(ignored));
                break;
            }
            case Target::Int32: {
                const int value = type == Formattable::kLong ? number.getLong()
                                  : type == Formattable::kInt64 ? static_cast<int>(number.getInt64())
                                                                : static_cast<int>(number.getDouble());
                benchmark::DoNotOptimize(value);
                break;
            }
            case Target::Int64:
            case Target::ULong: {
                const long long value = type == Formattable::kLong    ? number.getLong()
                                        : type == Formattable::kInt64 ? number.getInt64()
                                                                      : static_cast<long long>(number.getDouble());
                benchmark::DoNotOptimize(target == Target::ULong ? static_cast<std::uint32_t>(value) : value);
                break;
            }
        }
        benchmark::DoNotOptimize(invalid);
    });
}

void parseTwin(benchmark::State& state, const char* locale, Target target) { parseIcu(state, locale, target, false); }
void parseSpec(benchmark::State& state, const char* locale, Target target) { parseIcu(state, locale, target, true); }

void registerAll() {
    const struct {
        const char* name;
        Target target;
    } ops[] = {{"FormatStrToDouble", Target::Double},
               {"FormatStrToInt32_t", Target::Int32},
               {"FormatStrToInt64_t", Target::Int64},
               {"FormatStrToULong", Target::ULong}};
    for (const char* locale : {"en_US", "de_DE"}) {
        for (const auto& op : ops) {
            qbench::registerTriple(std::string(op.name) + " " + locale, qbench::threads, parseLib,
                                   parseTwin, parseSpec, locale, op.target);
        }
    }
}

[[maybe_unused]] const bool registered = (registerAll(), true);

}  // namespace
