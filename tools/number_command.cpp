// qovaicu number: formats values with a number formatter and its settings.
#include "common.h"

#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/number_settings.hpp>
#include <QOVAicuC/text.hpp>

#include <unicode/ucurr.h>

#include <cstdio>
#include <memory>

namespace qovaicu {
namespace {

struct Precision {
    N::PrecisionType type = N::PrecisionUnlimited;
    int first = 0;
    int second = 0;
    double increment = 0;
};

// The precision forms: a name alone, name:N, or name:A:B.
struct PrecisionForm {
    const char* name;
    N::PrecisionType type = N::PrecisionUnlimited;
    int numbers;  // 0, 1 or 2 ints; -1 for the one double of the increment
    int least = 0;  // the smallest digit count ICU takes (the largest is kMaxDigits)
};

// ICU's bound on every digit count of a precision or an integer width.
constexpr int kMaxDigits = 999;

constexpr PrecisionForm kPrecisionForms[] = {
    {"unlimited", N::PrecisionUnlimited, 0},
    {"integer", N::PrecisionInteger, 0},
    {"fixed", N::PrecisionFixedFraction, 1},
    {"min", N::PrecisionMinFraction, 1},
    {"max", N::PrecisionMaxFraction, 1},
    {"minmax", N::PrecisionMinMaxFraction, 2},
    {"sig", N::PrecisionFixedSignificantDigits, 1, 1},
    {"sigmin", N::PrecisionMinSignificantDigits, 1, 1},
    {"sigmax", N::PrecisionMaxSignificantDigits, 1, 1},
    {"sigminmax", N::PrecisionMinMaxSignificantDigits, 2, 1},
    {"increment", N::PrecisionIncrement, -1},
    {"currency", N::PrecisionCurrencyStandard, 0},
    {"cash", N::PrecisionCurrencyCash, 0},
};

std::vector<std::string> splitAtColons(const std::string& text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == ':')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

std::optional<Precision> parsePrecision(const std::string& text) {
    const std::vector<std::string> parts = splitAtColons(text);
    for (const PrecisionForm& form : kPrecisionForms) {
        if (!sameName(form.name, parts[0])) continue;
        Precision p;
        p.type = form.type;
        const size_t expected = form.numbers == 2 ? 3 : form.numbers == 0 ? 1 : 2;
        if (parts.size() != expected) return std::nullopt;
        if (form.numbers == -1) {
            const std::optional<double> increment = toDouble(parts[1]);
            if (!increment || !(*increment > 0) || *increment > 1e300) return std::nullopt;
            p.increment = *increment;
            return p;
        }
        if (form.numbers >= 1) {
            const std::optional<int> first = toInt(parts[1]);
            if (!first || *first < form.least || *first > kMaxDigits) return std::nullopt;
            p.first = *first;
        }
        if (form.numbers == 2) {
            const std::optional<int> second = toInt(parts[2]);
            if (!second || *second < p.first || *second > kMaxDigits) return std::nullopt;
            p.second = *second;
        }
        return p;
    }
    return std::nullopt;
}

struct IntegerWidth {
    int min = 0;
    std::optional<int> max;
};

std::optional<IntegerWidth> parseIntegerWidth(const std::string& text) {
    const std::vector<std::string> parts = splitAtColons(text);
    if (parts.size() > 2) return std::nullopt;
    const std::optional<int> min = toInt(parts[0]);
    if (!min || *min < 0 || *min > kMaxDigits) return std::nullopt;
    IntegerWidth width;
    width.min = *min;
    if (parts.size() == 2) {
        width.max = toInt(parts[1]);
        if (!width.max || *width.max < width.min || *width.max > kMaxDigits) return std::nullopt;
    }
    return width;
}

template <class Parse>
CLI::Validator parsedBy(Parse parse, const std::string& what, const std::string& forms) {
    return CLI::Validator(
        [parse, what, forms](std::string& value) -> std::string {
            if (parse(value)) return {};
            return "bad " + what + " '" + clip(value) + "' (" + forms + ")";
        },
        "");
}

struct Options {
    std::string locale;
    std::string precision, rounding, grouping, notation, sign, integerWidth, unit, unitWidth;
    std::string as = "decimal";
    bool strict = false;
    Inputs in;
};

void applySettings(qovaicuc::NumberFormatter& fmt, const Options& o) {
    using S = QOVAUnicodeNumFormatterServices;
    // Every name and form was validated while the command line was parsed.
    if (!o.notation.empty()) S::SetNotationType(fmt.get(), *lookup(kNotation, o.notation));
    if (!o.precision.empty()) {
        const Precision p = *parsePrecision(o.precision);
        if (p.type == N::PrecisionIncrement)
            qovaicuc::setPrecision(fmt, qovaicuc::Precision::increment(p.increment));
        else
            qovaicuc::setPrecision(fmt, *qovaicuc::Precision::row(p.type, p.first, p.second));
    }
    if (!o.rounding.empty()) S::SetRoundingModeType(fmt.get(), *lookup(kRounding, o.rounding));
    if (!o.grouping.empty()) S::SetGroupingType(fmt.get(), *lookup(kGrouping, o.grouping));
    if (!o.integerWidth.empty()) {
        const IntegerWidth w = *parseIntegerWidth(o.integerWidth);
        if (w.max)
            qovaicuc::setIntegerWidth(fmt, w.min, *w.max);
        else
            qovaicuc::setIntegerWidth(fmt, w.min);
    }
    if (!o.sign.empty()) S::SetSignDisplayType(fmt.get(), *lookup(kSign, o.sign));
    if (!o.unit.empty()) S::SetUnitType(fmt.get(), *lookup(kUnits, o.unit));
    if (!o.unitWidth.empty()) S::SetUnitWidthType(fmt.get(), *lookup(kUnitWidth, o.unitWidth));
}

// Formats one value (terminated text) into `out`; false when it is not a number of the chosen kind.
bool format(void* fmt, void* out, const std::string& as, char* value, size_t size) {
    using S = QOVAUnicodeNumFormatterServices;
    if (as == "int") {
        const std::optional<long long> v = toInt64({value, size});
        if (!v) return false;
        S::FormatInt(fmt, out, *v);
    } else if (as == "double") {
        const std::optional<double> v = toDouble({value, size});
        if (!v) return false;
        // A flag set: the formatter's own precision applies.
        S::FormatDouble(fmt, out, *v, true, false);
    } else {
        S::FormatDecimal(fmt, out, value);
    }
    // A formatted number is never empty: empty text is the library's failure result.
    return QOVAUnicodeStringServices::length(out) > 0;
}

int run(const Options& o) {
    if (!checkLocale("number", o.locale, o.strict)) return kUsage;
    qovaicuc::NumberFormatter fmt = qovaicuc::NumberFormatter::make(o.locale);
    qovaicuc::String out = qovaicuc::String::make();
    if (!fmt || !out) {
        complain("number", "out of memory");
        return kBadValue;
    }
    applySettings(fmt, o);
    // The settings are judged once, on a probe: a value that fails later is the value's fault.
    QOVAUnicodeNumFormatterServices::FormatInt(fmt.get(), out.get(), 0);
    if (textOf(out).empty()) {
        complain("number", "ICU rejects these settings together");
        return kUsage;
    }
    Output& output = Output::get();
    int result = kOk;
    const bool read = forEachRecord("number", o.in, '\n', true, [&](Record& r) {
        const std::string_view value = trim(r.text());
        std::string why = badValue(r, value);
        char* text = r.data + (value.data() - r.data);
        const char saved = text[value.size()];
        text[value.size()] = 0;
        if (why.empty() && !format(fmt.get(), out.get(), o.as, text, value.size()))
            why = "cannot format '" + clip(std::string(value)) + "' as " + o.as +
                  " (not a number of that kind, or not within the rounding)";
        text[value.size()] = saved;
        if (why.empty()) {
            output.text(out.get());
        } else {  // the line is kept as it was, as numfmt --invalid=warn keeps it
            complain("number", why);
            result = kBadValue;
            output.write(r.text());
        }
        output.write(r.end);
        output.endRecord();
    });
    return output.finish("number", read ? result : kUsage);
}

}  // namespace

Command addNumberCommand(CLI::App& root) {
    auto o = std::make_shared<Options>();
    CLI::App* app = root.add_subcommand("number", "Format numbers for a locale");
    addInputOptions(*app, o->in, "Numbers");
    addLocaleOptions(*app, o->locale, o->strict);
    app->add_option("-p,--precision", o->precision,
                    "unlimited | integer | fixed:N | min:N | max:N | minmax:A:B | sig:N | "
                    "sigmin:N | sigmax:N | sigminmax:A:B | increment:X | currency | cash "
                    "(N digits after the point, 0 to 999; sig: significant digits, 1 to 999; "
                    "A <= B; X above 0, e.g. 0.05)")
        ->type_name("SPEC")
        ->check(parsedBy(parsePrecision, "precision",
                         "fixed:N, min:N, max:N take 0 <= N <= 999; sig:N, sigmin:N, sigmax:N "
                         "1 <= N <= 999; minmax:A:B, sigminmax:A:B also A <= B; increment:X "
                         "X > 0"));
    app->add_option("-r,--rounding", o->rounding, "Rounding mode: " + nameList(kRounding))
        ->type_name("NAME")
        ->check(oneOf(kRounding, "rounding mode"));
    app->add_option("-g,--grouping", o->grouping, "Grouping: " + nameList(kGrouping))
        ->type_name("NAME")
        ->check(oneOf(kGrouping, "grouping"));
    app->add_option("-n,--notation", o->notation, "Notation: " + nameList(kNotation))
        ->type_name("NAME")
        ->check(oneOf(kNotation, "notation"));
    app->add_option("-s,--sign", o->sign, "Sign display: " + nameList(kSign))
        ->type_name("NAME")
        ->check(oneOf(kSign, "sign display"));
    app->add_option("-w,--integer-width", o->integerWidth,
                    "MIN: fill with zeros to MIN integer digits; MIN:MAX: also cut to MAX "
                    "(0 <= MIN <= MAX <= 999)")
        ->type_name("MIN[:MAX]")
        ->check(parsedBy(parseIntegerWidth, "integer width",
                         "MIN or MIN:MAX with 0 <= MIN <= MAX <= 999"));
    app->add_option("-u,--unit", o->unit, "Unit name, e.g. meter, square-meter, usd, percent, "
                                          "none-permille (qovaicu list units)")
        ->type_name("NAME")
        ->check(CLI::Validator(
            [names = oneOf(kUnits, "unit", "see qovaicu list units")](std::string& value) {
                // A currency that ICU knows, but that the library's unit table has no row for.
                std::u16string code(value.begin(), value.end());
                for (char16_t& c : code) c = c >= 'a' && c <= 'z' ? static_cast<char16_t>(c - 32) : c;
                UErrorCode status = U_ZERO_ERROR;
                if (!lookup(kUnits, value) && code.size() == 3 &&
                    ucurr_isAvailable(reinterpret_cast<const UChar*>(code.c_str()), -1e300, 1e300, &status))
                    return "the currency '" + clip(value) + "' has no row in the library's unit table, "
                           "whose one currency is usd (see qovaicu list units)";
                return names(value);
            },
            ""));
    app->add_option("--unit-width", o->unitWidth, "Unit width: " + nameList(kUnitWidth))
        ->type_name("NAME")
        ->check(oneOf(kUnitWidth, "unit width"));
    app->add_option("--as", o->as,
                    "How values are passed: decimal (FormatDecimal, default), double "
                    "(FormatDouble), int (FormatInt, whole numbers only)")
        ->check(CLI::IsMember({"decimal", "double", "int"}));
    app->footer(
        "Names: the library's enumerator without its stem, in lower case, words joined by '-'\n"
        "(UnitSquareMeter -> square-meter, UnitNonePercent -> none-percent, RoundingHalfEven ->\n"
        "half-even); the currency row by its ISO code (UnitCurrencyUSD -> usd). Case is ignored.\n"
        "Blanks around a value are ignored. A value that fails (not a number, invalid UTF-8, a NUL\n"
        "byte) is reported and its line is printed as it was read, so lines stay aligned; the\n"
        "exit status is then 1.\n"
        "Example: qovaicu number --locale de_DE --precision fixed:2 --unit usd -e 1234.5");
    return {app, [o] { return run(*o); }};
}

}  // namespace qovaicu
