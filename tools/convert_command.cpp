// qovaicu convert: writes UTF-8 text in a codepage.
#include "common.h"

#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/text.hpp>

#include <cstdio>
#include <memory>

namespace qovaicu {
namespace {

struct Options {
    std::string to = QOVAUnicodeStringServices::getDefaultCodepage();
    std::string substitute;
    bool hex = false;
    std::vector<std::string> values;
};

void writeHex(const std::string& bytes) {
    for (size_t i = 0; i < bytes.size(); ++i)
        std::printf(i == 0 ? "%02x" : " %02x", static_cast<unsigned char>(bytes[i]));
    std::printf("\n");
}

int run(const Options& o) {
    const qovaicuc::Converter converter = qovaicuc::Converter::open(o.to);
    if (!converter) {
        complain("convert", "unknown codepage '" + o.to + "'");
        return kUsage;
    }
    const char substitute = o.substitute.empty() ? '\0' : o.substitute[0];
    int result = kOk;
    for (const std::string& value : valuesOrLines(o.values)) {
        // Raw output converts the line end too, so that it is the codepage's own.
        qovaicuc::String text = qovaicuc::fromUtf8(o.hex ? value : value + "\n");
        const std::optional<std::string> bytes =
            qovaicuc::codepage(text.get(), converter.get(), substitute);
        if (!bytes) {
            complain("convert", "cannot write '" + value + "' in " + o.to);
            result = kBadValue;
            continue;
        }
        if (o.hex)
            writeHex(*bytes);
        else
            std::fwrite(bytes->data(), 1, bytes->size(), stdout);
    }
    return result;
}

}  // namespace

Command addConvertCommand(CLI::App& root) {
    auto o = std::make_shared<Options>();
    CLI::App* app = root.add_subcommand("convert", "Write UTF-8 text in a codepage");
    app->add_option("values", o->values, "Texts to convert (default: the lines of stdin)");
    app->add_option("-t,--to", o->to, "Codepage name as ICU knows it, e.g. ISO-8859-1, "
                                      "windows-1252, Shift_JIS, UTF-16LE")
        ->capture_default_str();
    app->add_option("-s,--substitute", o->substitute,
                    "One ASCII character written in place of the converter's substitution byte "
                    "(for characters the codepage lacks)")
        ->type_name("CHAR")
        ->check(CLI::Validator(
            [](std::string& value) -> std::string {
                if (value.size() == 1 && static_cast<unsigned char>(value[0]) < 0x80 && value[0] != 0)
                    return {};
                return "the substitute must be one ASCII character, not '" + value + "'";
            },
            ""));
    app->add_flag("-x,--hex", o->hex, "Print the bytes of each text in hexadecimal, one line each");
    app->footer(
        "Each text is written followed by a line end in the same codepage. The substitute also\n"
        "replaces bytes of the text that equal the substitution byte (the library compares bytes).");
    return {app, [o] { return run(*o); }};
}

}  // namespace qovaicu
