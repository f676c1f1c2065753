// qovaicu parse: reads numbers from text with a number parser.
#include "common.h"

#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/text.hpp>

#include <charconv>
#include <cstdio>
#include <memory>

namespace qovaicu {
namespace {

using P = QOVAUnicodeStrToNumFormatterServices;

struct Options {
    std::string locale;
    std::string type = "double";
    std::vector<std::string> values;
};

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
            complain("parse", "'" + value + "' holds no " + o.type + " number");
            result = kBadValue;
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
    app->add_option("-l,--locale", o->locale, "ICU locale id, e.g. de_DE; C = en_US_POSIX; "
                                              "default: ICU's default locale");
    app->add_option("-t,--type", o->type, "Result type: double (default), int32, int64, ulong")
        ->check(CLI::IsMember({"double", "int32", "int64", "ulong"}));
    app->footer(
        "Each line of output is VALUE<TAB>ERROR, ERROR being none or invalid. The text is\n"
        "trimmed and its '+' signs are removed before it is read; the number at its start\n"
        "counts, whatever follows. The integer types follow the library's conversion rules\n"
        "(docs/guide.md): e.g. ulong keeps the low 32 bits, so -7 gives 4294967289, and an\n"
        "infinite value gives 2147483647 with invalid.\n"
        "Exit status 1 when a text held no number.");
    return {app, [o] { return run(*o); }};
}

}  // namespace qovaicu
