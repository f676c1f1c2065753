// qovaicu regex: finds, replaces or splits at the matches of a pattern.
#include "common.h"

#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/split.hpp>
#include <QOVAicuC/text.hpp>

#include <unicode/uregex.h>
#include <unicode/utypes.h>

#include <cstdio>
#include <memory>

namespace qovaicu {
namespace {

using R = QOVAUnicodeRegexServices;

struct Options {
    std::string pattern;
    std::vector<std::string> values;
    std::vector<std::string> flags;
    std::string replacement;
    bool replaceAll = false;
    bool replaceFirst = false;
    bool split = false;
    int limit = 0;
    bool count = false;
    bool nulSeparated = false;
};

// One record of output: terminated by NUL with -z; otherwise on one line, its backslashes, tabs,
// line ends and other control characters written as escapes (\\ \t \n \r \xHH).
struct Printer {
    bool nulSeparated = false;
    std::string escape(const std::string& text) const {
        if (nulSeparated) return text;
        std::string out;
        for (char c : text) {
            const auto u = static_cast<unsigned char>(c);
            if (c == '\\') out += "\\\\";
            else if (c == '\t') out += "\\t";
            else if (c == '\n') out += "\\n";
            else if (c == '\r') out += "\\r";
            else if (u < 0x20 || u == 0x7F) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02x", u);
                out += hex;
            } else out += c;
        }
        return out;
    }
    void end() const { std::fputc(nulSeparated ? '\0' : '\n', stdout); }
};

unsigned int flagBits(const std::vector<std::string>& names) {
    unsigned int bits = 0;
    for (const std::string& name : names) bits |= *lookup(kRegexFlags, name);
    return bits;
}

// Every match of the matcher's input: "N:START-END<TAB>TEXT", positions in UTF-16 units
// (with `print` null only counted). The number of matches.
size_t printMatches(void* matcher, size_t n, const Printer* print) {
    qovaicuc::String match = qovaicuc::String::make();
    size_t found = 0;
    for (; R::find(matcher); ++found) {
        if (print == nullptr) continue;
        R::group(matcher, match.get());
        std::printf("%zu:%d-%d\t%s", n, R::start(matcher), R::end(matcher),
                    print->escape(textOf(match)).c_str());
        print->end();
    }
    R::reset(matcher);
    return found;
}

bool printReplaced(void* matcher, void* replacement, bool all, const Printer& print) {
    qovaicuc::String out = qovaicuc::String::make();
    const bool done = all ? R::replaceAll(matcher, replacement, out.get())
                          : R::replaceFirst(matcher, replacement, out.get());
    if (!done) return false;
    std::printf("%s", print.escape(textOf(out)).c_str());
    print.end();
    return true;
}

void printFields(qovaicuc::Matcher& matcher, const qovaicuc::String& input, int limit, size_t n, const Printer& print) {
    const auto fields = qovaicuc::split(matcher, input, limit);
    if (!fields) return;
    for (size_t k = 0; k < fields->size(); ++k) {
        std::printf("%zu:%zu\t%s", n, k, print.escape((*fields)[k]).c_str());
        print.end();
    }
}

// Why ICU rejects the pattern and where: the library only says that it does.
std::string patternError(const std::string& pattern, unsigned int flags) {
    qovaicuc::String p = qovaicuc::fromUtf8(pattern);
    const std::u16string units = qovaicuc::utf16(p).value_or(u"");
    UParseError where{};
    UErrorCode status = U_ZERO_ERROR;
    URegularExpression* compiled =
        uregex_open(reinterpret_cast<const UChar*>(units.data()), static_cast<int32_t>(units.size()),
                    flags, &where, &status);
    uregex_close(compiled);
    std::string message = "the pattern '" + clip(pattern) + "' does not compile: ";
    message += U_FAILURE(status) ? u_errorName(status) : "rejected by the library";
    if (U_FAILURE(status) && where.offset >= 0)
        message += " at line " + std::to_string(where.line) + ", offset " +
                   std::to_string(where.offset) + " (UTF-16 units)";
    return message;
}

int run(const Options& o) {
    qovaicuc::String replacement = qovaicuc::fromUtf8(o.replacement);
    qovaicuc::String pattern = qovaicuc::fromUtf8(o.pattern);
    auto made = qovaicuc::Matcher::make(pattern, flagBits(o.flags));
    if (!made) {
        complain("regex", patternError(o.pattern, flagBits(o.flags)));
        return kUsage;
    }
    qovaicuc::Matcher& matcher = *made;
    Printer print;
    print.nulSeparated = o.nulSeparated;
    bool failed = false;
    size_t found = 0;
    const std::vector<std::string> values = valuesOrLines(o.values, o.nulSeparated ? '\0' : '\n');
    for (size_t i = 0; i < values.size(); ++i) {
        matcher.setInput(qovaicuc::fromUtf8(values[i]));  // the matcher owns it
        const bool listing = !o.count && !o.split && !o.replaceAll && !o.replaceFirst;
        found += printMatches(matcher.get(), i + 1, listing ? &print : nullptr);
        if (o.split) {
            printFields(matcher, matcher.input(), o.limit, i + 1, print);
        } else if ((o.replaceAll || o.replaceFirst) &&
                   !printReplaced(matcher.get(), replacement.get(), o.replaceAll, print)) {
            complain("regex", "cannot replace in '" + clip(values[i]) +
                                  "' (a $ in the replacement that names no group?)");
            failed = true;
        }
    }
    if (o.count) std::printf("%zu\n", found);
    return failed || found == 0 ? kBadValue : kOk;
}

}  // namespace

Command addRegexCommand(CLI::App& root) {
    auto o = std::make_shared<Options>();
    CLI::App* app = root.add_subcommand(
        "regex", "Find every match of a pattern (ICU syntax), or replace, or split at matches");
    app->add_option("pattern", o->pattern, "The regular expression")->required();
    app->add_option("values", o->values, "Texts to search (default: one per line of stdin)");
    app->add_option("-f,--flags", o->flags,
                    "Comma-separated flags: " + nameList(kRegexFlags))
        ->delimiter(',')
        ->allow_extra_args(false)
        ->type_name("NAME")
        ->check(oneOf(kRegexFlags, "flag"));
    CLI::Option* all = app->add_option("--replace", o->replacement,
                                       "Print each text with every match replaced ($1 names "
                                       "group 1)");
    CLI::Option* first = app->add_option("--replace-first", o->replacement,
                                         "Print each text with its first match replaced");
    CLI::Option* split =
        app->add_flag("--split", o->split, "Print the fields between the matches");
    app->add_option("--limit", o->limit,
                    "With --split: at most this many fields, the last holding the rest")
        ->needs(split)
        ->check(CLI::Validator(
            [](std::string& value) -> std::string {
                const std::optional<int> n = toInt(value);
                return n && *n >= 1 ? "" : "takes a whole number from 1 to 2147483647";
            },
            ""));
    CLI::Option* count =
        app->add_flag("-c,--count", o->count, "Print only the number of matches in all texts");
    app->add_flag("-z,--null-data", o->nulSeparated,
                  "Texts on stdin end with NUL, and so does each output record (no escaping)");
    all->excludes(first)->excludes(split)->excludes(count);
    first->excludes(split)->excludes(count);
    split->excludes(count);
    app->footer(
        "Output: matches as N:START-END<TAB>TEXT, fields as N:K<TAB>FIELD, where N counts the\n"
        "texts from 1, K the fields from 0, and START and END (one past the match) are UTF-16\n"
        "positions. Without -z, backslash, tab, line ends and other control characters in\n"
        "printed text are written as \\\\ \\t \\n \\r \\xHH, so each record stays on one line.\n"
        "Exit status: 0 some text matched; 1 nothing matched (or a replacement failed);\n"
        "2 the pattern does not compile (ICU's reason and offset are printed).");
    app->callback([o, all, first] {
        o->replaceAll = all->count() > 0;
        o->replaceFirst = first->count() > 0;
    });
    return {app, [o] { return run(*o); }};
}

}  // namespace qovaicu
