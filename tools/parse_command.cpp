// qovaicu parse: reads numbers from text with a number parser.
#include "common.h"

#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/text.hpp>

#include <unicode/unistr.h>
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
    Inputs in;
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

// Whether `value` (as the library read it) lies outside the result type, and the type's range.
// Near the ends of int64 a double cannot tell, so ICU's own 64-bit parse of the text decides.
std::pair<bool, std::string> outOfRange(const std::string& type, double value, UNumberFormat* icu,
                                        std::string_view text) {
    using L = std::numeric_limits<long long>;
    if (type == "double") return {false, ""};
    if (type == "int32") return {!(value >= -2147483648.0 && value <= 2147483647.0), "-2147483648 to 2147483647"};
    if (type == "ulong") return {!(value >= 0 && value <= 4294967295.0), "0 to 4294967295"};
    const std::string range = std::to_string(L::min()) + " to " + std::to_string(L::max());
    constexpr double kTwo63 = 9223372036854775808.0;
    if ((value == kTwo63 || value == -kTwo63) && icu != nullptr) {
        UErrorCode status = U_ZERO_ERROR;
        const icu::UnicodeString units = icu::UnicodeString::fromUTF8(text);
        unum_parseInt64(icu, units.getBuffer(), units.length(), nullptr, &status);
        return {U_FAILURE(status), range};
    }
    return {!(value > -kTwo63 && value < kTwo63), range};
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
    qovaicuc::String text = qovaicuc::String::make();
    if (!parser || !text) {
        complain("parse", "cannot make a number parser for '" + o.locale + "'");
        return kUsage;
    }
    Output& output = Output::get();
    int result = kOk;
    const bool read = forEachRecord("parse", o.in, '\n', true, [&](Record& r) {
        const std::string_view value = trim(r.text());
        const std::string why = badValue(r, value);
        if (!why.empty()) {  // an empty value field keeps the line
            complain("parse", why);
            result = kBadValue;
            output.write("\tinvalid");
            output.write(r.end);
            return output.endRecord();
        }
        // In terminated form, as the library expects its texts; the parse may edit it.
        decodeInto(value, text.get(), true);
        // The library only ever stores ErrorInvalid, so each value starts from ErrorNone.
        P::ErrorType err = P::ErrorNone;
        output.write(parseAs(o.type, parser.get(), text.get(), err));
        output.write(err == P::ErrorInvalid ? "\tinvalid" : "\tnone");
        output.write(r.end);
        output.endRecord();
        auto quoted = [value] { return "'" + clip(std::string(value)) + "'"; };
        if (err == P::ErrorInvalid) {
            complain("parse", quoted() + " holds no " + o.type + " number");
            result = kBadValue;
            return;
        }
        // The same number again, as a double, from the text as the library left it.
        P::ErrorType ignored = P::ErrorNone;
        const double exact = P::FormatStrToDouble(parser.get(), text.get(), ignored);
        const auto [outside, range] = outOfRange(o.type, exact, icu.p, value);
        if (outside) {
            complain("parse", quoted() + " is " + shortest(exact) + ", which " + o.type +
                                  " cannot hold (" + range + ")");
            if (result == kOk) result = kPartial;
        }
        const auto [stop, length] = icu.p ? readLength(icu.p, text) : std::make_pair(0, 0);
        if (stop < length) {
            const qovaicuc::String rest = qovaicuc::String::substring(text, stop, length - stop);
            complain("parse", "text left unread after the number in " + quoted() + ": '" +
                                  clip(textOf(rest)) + "'");
            if (result == kOk) result = kPartial;
        }
    });
    return output.finish("parse", read ? result : kUsage);
}

}  // namespace

Command addParseCommand(CLI::App& root) {
    auto o = std::make_shared<Options>();
    CLI::App* app = root.add_subcommand(
        "parse", "Read numbers from text for a locale; prints the value and the error kind");
    addInputOptions(*app, o->in, "Texts");
    addLocaleOptions(*app, o->locale, o->strict);
    app->add_option("-t,--type", o->type, "Result type: double (default), int32, int64, ulong")
        ->check(CLI::IsMember({"double", "int32", "int64", "ulong"}));
    app->footer(
        "Each line of output is VALUE<TAB>ERROR, ERROR being none or invalid, one per line of\n"
        "input. Blanks around the text are ignored and its '+' signs are removed before it is\n"
        "read; the number at its start\n"
        "counts, whatever follows. The integer types follow the library's conversion rules\n"
        "(docs/guide.md): e.g. ulong keeps the low 32 bits, so -7 gives 4294967289 (and a\n"
        "warning), and an infinite value gives 2147483647 with invalid.\n"
        "Text that is not UTF-8 or holds a NUL byte gives an empty VALUE and invalid.\n"
        "Exit status 1 when a text held no number; 3 when the number was read but the type\n"
        "cannot hold it or text is left after it (a warning names it; the output line is the\n"
        "library's result all the same).");
    return {app, [o] { return run(*o); }};
}

}  // namespace qovaicu
