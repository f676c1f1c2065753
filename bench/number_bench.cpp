// Number formatting (en_US and de_DE, on one and on two threads, each thread with formatter and
// output handles of its own) and every settings operation: the library's operation next to the
// icu::number calls it stands for.
#include "alloc_count.h"
#include "support.h"


#include <unicode/currunit.h>
#include <unicode/measunit.h>
#include <unicode/numberformatter.h>

#include <utility>

using icu::UnicodeString;
using icu::number::LocalizedNumberFormatter;
using icu::number::NumberFormatter;
using icu::number::Precision;

namespace {

constexpr long long kInt = 1234567890123LL;
constexpr double kDouble = 1234567.891;
char kDecimal[] = "1234567.891";

LocalizedNumberFormatter icuFormatter(const char* locale) {
    return NumberFormatter::withLocale(icu::Locale(locale));
}

// The library's formatter and output handles, made and released by the thread that uses them.
struct LibFormatter {
    void* formatter;
    void* out = SF::make();
    explicit LibFormatter(const char* locale) : formatter(NF::make(locale)) {}
    ~LibFormatter() {
        SF::destroy(out);
        NF::destroy(formatter);
    }
};

// The prescribed output step: ICU's text terminated, then moved into the output string.
void store(UnicodeString& out, UnicodeString&& text) {
    qbench::terminate(text);
    out = std::move(text);
}

// --- FormatInt ------------------------------------------------------------------------------

void formatIntLib(benchmark::State& state, const char* locale) {
    LibFormatter f(locale);
    qbench::measure(state, [&] { NS::FormatInt(f.formatter, f.out, kInt); });
}

void formatIntIcu(benchmark::State& state, const char* locale) {
    const LocalizedNumberFormatter formatter = icuFormatter(locale);
    UnicodeString out;
    qbench::measure(state, [&] {
        UErrorCode status = U_ZERO_ERROR;
        out = formatter.formatInt(kInt, status).toString(status);
    });
}

void formatIntSpec(benchmark::State& state, const char* locale) {
    const LocalizedNumberFormatter formatter = icuFormatter(locale);
    UnicodeString out;
    qbench::measure(state, [&] {
        UErrorCode status = U_ZERO_ERROR;
        store(out, formatter.formatInt(kInt, status).toString(status));
    });
}

// --- FormatDouble with a flag true: the handle's formatter as it is --------------------------

void formatDoubleKeepLib(benchmark::State& state, const char* locale) {
    LibFormatter f(locale);
    qbench::measure(state, [&] { NS::FormatDouble(f.formatter, f.out, kDouble, true, false); });
}

void formatDoubleKeepIcu(benchmark::State& state, const char* locale) {
    const LocalizedNumberFormatter formatter = icuFormatter(locale);
    UnicodeString out;
    qbench::measure(state, [&] {
        UErrorCode status = U_ZERO_ERROR;
        out = formatter.formatDouble(kDouble, status).toString(status);
    });
}

void formatDoubleKeepSpec(benchmark::State& state, const char* locale) {
    const LocalizedNumberFormatter formatter = icuFormatter(locale);
    UnicodeString out;
    qbench::measure(state, [&] {
        UErrorCode status = U_ZERO_ERROR;
        store(out, formatter.formatDouble(kDouble, status).toString(status));
    });
}

// --- FormatDouble with both flags false: a formatter derived with minFraction(1) per call ----

void formatDoubleDeriveLib(benchmark::State& state, const char* locale) {
    LibFormatter f(locale);
    qbench::measure(state, [&] { NS::FormatDouble(f.formatter, f.out, kDouble, false, false); });
}

// The same result from the same formatter needs the same derivation in every call.
void formatDoubleDeriveIcu(benchmark::State& state, const char* locale) {
    const LocalizedNumberFormatter formatter = icuFormatter(locale);
    UnicodeString out;
    qbench::measure(state, [&] {
        UErrorCode status = U_ZERO_ERROR;
        out = formatter.precision(Precision::minFraction(1)).formatDouble(kDouble, status).toString(status);
    });
}

void formatDoubleDeriveSpec(benchmark::State& state, const char* locale) {
    const LocalizedNumberFormatter formatter = icuFormatter(locale);
    UnicodeString out;
    qbench::measure(state, [&] {
        UErrorCode status = U_ZERO_ERROR;
        store(out, formatter.precision(Precision::minFraction(1)).formatDouble(kDouble, status).toString(status));
    });
}

// --- FormatDecimal with two fraction digits and the US dollar -------------------------------

void formatDecimalLib(benchmark::State& state, const char* locale) {
    LibFormatter f(locale);
    long long slots[1] = {2};
    NS::SetPrecisionType(f.formatter, NS::PrecisionFixedFraction, reinterpret_cast<char*>(slots));
    NS::SetUnitType(f.formatter, NS::UnitCurrencyUSD);
    qbench::measure(state, [&] { NS::FormatDecimal(f.formatter, f.out, kDecimal); });
}

void formatDecimalIcu(benchmark::State& state, const char* locale) {
    UErrorCode status = U_ZERO_ERROR;
    const LocalizedNumberFormatter formatter =
        icuFormatter(locale).precision(Precision::fixedFraction(2)).unit(icu::CurrencyUnit(u"USD", status));
    UnicodeString out;
    qbench::measure(state, [&] {
        status = U_ZERO_ERROR;
        out = formatter.formatDecimal(kDecimal, status).toString(status);
    });
}

void formatDecimalSpec(benchmark::State& state, const char* locale) {
    UErrorCode status = U_ZERO_ERROR;
    const LocalizedNumberFormatter formatter =
        icuFormatter(locale).precision(Precision::fixedFraction(2)).unit(icu::CurrencyUnit(u"USD", status));
    UnicodeString out;
    qbench::measure(state, [&] {
        status = U_ZERO_ERROR;
        store(out, formatter.formatDecimal(kDecimal, status).toString(status));
    });
}

// --- settings: the same setting again and again, so that every iteration starts alike ------

template <class Apply>
void settingLib(benchmark::State& state, Apply apply) {
    void* formatter = NF::make("en_US");
    qbench::measure(state, [&] { apply(formatter); });
    NF::destroy(formatter);
}

// ICU's const& setter on the formatter itself, the result moved back into it.
template <class Setter>
void settingIcu(benchmark::State& state, Setter setter) {
    LocalizedNumberFormatter formatter = icuFormatter("en_US");
    qbench::measure(state, [&] { formatter = setter(formatter); });
}

long long kWidthSlots[2] = {1, 2};
long long kFractionSlots[1] = {2};

void registerAll() {
    for (const char* locale : {"en_US", "de_DE"}) {
        const std::string at = std::string(" ") + locale;
        qbench::registerTriple("FormatInt" + at, qbench::threads, formatIntLib, formatIntIcu,
                               formatIntSpec, locale);
        qbench::registerTriple("FormatDouble(keep precision)" + at, qbench::threads, formatDoubleKeepLib,
                               formatDoubleKeepIcu, formatDoubleKeepSpec, locale);
        qbench::registerTriple("FormatDouble(both flags false)" + at, qbench::threads,
                               formatDoubleDeriveLib, formatDoubleDeriveIcu, formatDoubleDeriveSpec, locale);
        qbench::registerTriple("FormatDecimal(2 digits, USD)" + at, qbench::threads, formatDecimalLib,
                               formatDecimalIcu, formatDecimalSpec, locale);
    }

    using L = const LocalizedNumberFormatter&;
    auto pair = [](const char* op, auto lib, auto icu) {
        qbench::single(benchmark::RegisterBenchmark((std::string(op) + "/lib").c_str(),
                                                    settingLib<decltype(lib)>, lib));
        qbench::single(benchmark::RegisterBenchmark((std::string(op) + "/icu").c_str(),
                                                    settingIcu<decltype(icu)>, icu));
    };
    pair("SetGroupingType(Min2)", [](void* f) { NS::SetGroupingType(f, NS::GroupingMin2); },
         [](L f) { return f.grouping(UNUM_GROUPING_MIN2); });
    pair("SetIntegerWidthType(ZeroFillTruncate 1, 2)",
         [](void* f) {
             NS::SetIntegerWidthType(f, NS::IntegerWidthZeroFillTruncate, reinterpret_cast<char*>(kWidthSlots));
         },
         [](L f) { return f.integerWidth(icu::number::IntegerWidth::zeroFillTo(1).truncateAt(2)); });
    pair("SetNotationType(CompactShort)", [](void* f) { NS::SetNotationType(f, NS::NotationCompactShort); },
         [](L f) { return f.notation(icu::number::Notation::compactShort()); });
    pair("SetPrecisionType(FixedFraction 2)",
         [](void* f) {
             NS::SetPrecisionType(f, NS::PrecisionFixedFraction, reinterpret_cast<char*>(kFractionSlots));
         },
         [](L f) { return f.precision(Precision::fixedFraction(2)); });
    pair("SetRoundingModeType(HalfUp)", [](void* f) { NS::SetRoundingModeType(f, NS::RoundingHalfUp); },
         [](L f) { return f.roundingMode(UNUM_ROUND_HALFUP); });
    pair("SetSignDisplayType(Always)", [](void* f) { NS::SetSignDisplayType(f, NS::SignAlways); },
         [](L f) { return f.sign(UNUM_SIGN_ALWAYS); });
    pair("SetUnitWidthType(FullName)", [](void* f) { NS::SetUnitWidthType(f, NS::UnitWidthFullName); },
         [](L f) { return f.unitWidth(UNUM_UNIT_WIDTH_FULL_NAME); });
    pair("SetUnitType(Meter)", [](void* f) { NS::SetUnitType(f, NS::UnitMeter); },
         [](L f) { return f.unit(icu::MeasureUnit::getMeter()); });
    pair("SetUnitType(CurrencyUSD)", [](void* f) { NS::SetUnitType(f, NS::UnitCurrencyUSD); },
         [](L f) {
             UErrorCode status = U_ZERO_ERROR;
             return f.unit(icu::CurrencyUnit(icu::StringPiece("USD"), status));
         });
}

[[maybe_unused]] const bool registered = (registerAll(), true);

}  // namespace
