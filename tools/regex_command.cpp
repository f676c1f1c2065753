// qovaicu regex: finds, replaces or splits at the matches of a pattern.
#include "common.h"

#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/split.hpp>
#include <QOVAicuC/text.hpp>

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
};

unsigned int flagBits(const std::vector<std::string>& names) {
    unsigned int bits = 0;
    for (const std::string& name : names) bits |= *lookup(kRegexFlags, name);
    return bits;
}

// Every match of the matcher's input: "N:START-END<TAB>TEXT", positions in UTF-16 units.
void printMatches(void* matcher, size_t n) {
    qovaicuc::String match = qovaicuc::String::make();
    while (R::find(matcher)) {
        R::group(matcher, match.get());
        std::printf("%zu:%d-%d\t%s\n", n, R::start(matcher), R::end(matcher),
                    textOf(match.get()).c_str());
    }
}

bool printReplaced(void* matcher, void* replacement, bool all) {
    qovaicuc::String out = qovaicuc::String::make();
    const bool done = all ? R::replaceAll(matcher, replacement, out.get())
                          : R::replaceFirst(matcher, replacement, out.get());
    if (done) std::printf("%s\n", textOf(out.get()).c_str());
    return done;
}

void printFields(void* matcher, void* input, int limit, size_t n) {
    const auto fields = qovaicuc::split(matcher, input, limit);
    if (!fields) return;
    for (size_t k = 0; k < fields->size(); ++k) std::printf("%zu:%zu\t%s\n", n, k, (*fields)[k].c_str());
}

int run(const Options& o) {
    // The matcher refers to its input string, so the strings it is given are declared first
    // and outlive it.
    qovaicuc::String none = qovaicuc::String::make();
    qovaicuc::String replacement = qovaicuc::fromUtf8(o.replacement);
    qovaicuc::String pattern = qovaicuc::fromUtf8(o.pattern);
    qovaicuc::Matcher matcher = qovaicuc::Matcher::make(pattern, flagBits(o.flags));
    if (!matcher) {
        complain("regex", "the pattern '" + o.pattern + "' does not compile with these flags");
        return kUsage;
    }
    int result = kOk;
    const std::vector<std::string> values = valuesOrLines(o.values);
    for (size_t i = 0; i < values.size(); ++i) {
        qovaicuc::String input = qovaicuc::fromUtf8(values[i]);
        R::reset(matcher.get(), input.get());
        if (o.split) {
            printFields(matcher.get(), input.get(), o.limit, i + 1);
        } else if (o.replaceAll || o.replaceFirst) {
            if (!printReplaced(matcher.get(), replacement.get(), o.replaceAll)) {
                complain("regex", "cannot replace in '" + values[i] +
                                      "' (a $ in the replacement that names no group?)");
                result = kBadValue;
            }
        } else {
            printMatches(matcher.get(), i + 1);
        }
        // Give the matcher another input before this one goes away.
        R::reset(matcher.get(), none.get());
    }
    return result;
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
        ->check(CLI::PositiveNumber);
    all->excludes(first)->excludes(split);
    first->excludes(split);
    app->footer(
        "Output: matches as N:START-END<TAB>TEXT, fields as N:K<TAB>FIELD, where N counts the\n"
        "texts from 1, K the fields from 0, and START and END (one past the match) are UTF-16\n"
        "positions. Exit status 2 when the pattern does not compile.");
    app->callback([o, all, first] {
        o->replaceAll = all->count() > 0;
        o->replaceFirst = first->count() > 0;
    });
    return {app, [o] { return run(*o); }};
}

}  // namespace qovaicu
