// qovaicu parse: reads numbers from text with a number parser.
#include "common.h"

#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/text.hpp>

#include <unicode/unum.h>

#include <charconv>
#include <cstdio>
#include <limits>
#include <memory>

namespace qovaicu {
namespace {

using P = QOVAUnicodeStrToNumFormatterServices;

struct Options {
    std::string locale;
    std::string type = "double";
    bool strict = false;
    std::vector<std::string> values;
};

struct IcuFormat {
    UNumberFormat* p = nullptr;
    ~IcuFormat() { unum_close(p); }
};

// The number of UTF-16 units that ICU reads as a number from the start of `text` (as the library
// gets it: trimmed, without '+'), and their count: text left unread shows as a shortfall.
std::pair<int32_t, int32_t> readLength(UNumberFormat* format, const qovaicuc::String& text) {
    const std::u16string units = qovaicuc::utf16(text).value_or(u"");
    int32_t end = 0;
    UErrorCode status = U_ZERO_ERROR;
    unum_parseDouble(format, reinterpret_cast<const UChar*>(units.data()),
                     static_cast<int32_t>(units.size()), &end, &status);
    return {U_FAILURE(status) ? 0 : end, static_cast<int32_t>(units.size())};
}

// The range of the result type, for the warning about values it cannot hold.
std::pair<double, double> rangeOf(const std::string& type) {
    if (type == "int32") return {-2147483648.0, 2147483647.0};
    if (type == "int64") return {-9223372036854775808.0, 9223372036854775807.0};
    if (type == "ulong") return {0, 4294967295.0};
    return {-std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
}

// The shortest text that reads back as the same double ("inf", "-inf", "nan" included).
std::string shortest(double value) {
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("?");
}

std::string parseAs(const std::string& type, void* parser, void* text, P::ErrorType& err) {
    if (type == "int32") return std::to_string(P::FormatStrToInt32_t(parser, text, err));
    if (type == "int64") return std::to_string(P::FormatStrToInt64_t(parser, text, err));
    if (type == "ulong") return std::to_string(P::FormatStrToULong(parser, text, err));
    return shortest(P::FormatStrToDouble(parser, text, err));
}

int run(const Options& o) {
    if (!checkLocale("parse", o.locale, o.strict)) return kUsage;
    // ICU's own parser of the same locale tells how far the text was read.
    IcuFormat icu;
    UErrorCode status = U_ZERO_ERROR;
    icu.p = unum_open(UNUM_DECIMAL, nullptr, 0, o.locale == "C" ? "en_US_POSIX" : o.locale.c_str(),
                      nullptr, &status);
    qovaicuc::NumberParser parser = qovaicuc::NumberParser::make(o.locale);
    if (!parser) {
        complain("parse", "cannot make a number parser for '" + o.locale + "'");
        return kUsage;
    }
    int result = kOk;
    for (const std::string& value : valuesOrLines(o.values)) {
        qovaicuc::String text = qovaicuc::fromUtf8(value);
        // The library only ever stores ErrorInvalid, so each value starts from ErrorNone.
        P::ErrorType err = P::ErrorNone;
        const std::string number = parseAs(o.type, parser.get(), text.get(), err);
        std::printf("%s\t%s\n", number.c_str(), err == P::ErrorInvalid ? "invalid" : "none");
        if (err == P::ErrorInvalid) {
            complain("parse", "'" + clip(value) + "' holds no " + o.type + " number");
            result = kBadValue;
            continue;
        }
        // The text is trimmed now, as the library read it: the same number again, as a double.
        P::ErrorType ignored = P::ErrorNone;
        const double exact = P::FormatStrToDouble(parser.get(), text.get(), ignored);
        const auto [low, high] = rangeOf(o.type);
        if (exact < low || exact > high || (exact != exact && o.type != "double")) {
            complain("parse", "'" + clip(value) + "' is " + shortest(exact) + ", which " + o.type +
                                  " cannot hold (" + shortest(low) + " to " + shortest(high) + ")");
            if (result == kOk) result = kPartial;
        }
        const auto [read, length] = icu.p ? readLength(icu.p, text) : std::make_pair(0, 0);
        if (read < length) {
            const qovaicuc::String rest = qovaicuc::String::substring(text, read, length - read);
            complain("parse", "text left unread after the number in '" + clip(value) + "': '" +
                                  clip(textOf(rest)) + "'");
            if (result == kOk) result = kPartial;
        }
    }
    return result;
}

}  // namespace

Command addParseCommand(CLI::App& root) {
    auto o = std::make_shared<Options>();
    CLI::App* app = root.add_subcommand(
        "parse", "Read numbers from text for a locale; prints the value and the error kind");
    app->add_option("values", o->values, "Texts to read (default: one per line of stdin)");
    addLocaleOptions(*app, o->locale, o->strict);
    app->add_option("-t,--type", o->type, "Result type: double (default), int32, int64, ulong")
        ->check(CLI::IsMember({"double", "int32", "int64", "ulong"}));
    app->footer(
        "Each line of output is VALUE<TAB>ERROR, ERROR being none or invalid. The text is\n"
        "trimmed and its '+' signs are removed before it is read; the number at its start\n"
        "counts, whatever follows. The integer types follow the library's conversion rules\n"
        "(docs/guide.md): e.g. ulong keeps the low 32 bits, so -7 gives 4294967289 (and a\n"
        "warning), and an infinite value gives 2147483647 with invalid.\n"
        "Exit status 1 when a text held no number; 3 when the number was read but the type\n"
        "cannot hold it or text is left after it (a warning names it; the output line is the\n"
        "library's result all the same).");
    return {app, [o] { return run(*o); }};
}

}  // namespace qovaicu
