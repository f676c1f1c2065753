// qovaicu regex: prints the lines that match a pattern as grep does, or the matches, or each line
// with its matches replaced as sed does, or the fields between matches.
//
// Each line is decoded once into a string handle that serves every line; the library finds and
// replaces. Text outside the matches is never re-encoded: a printed line is the bytes read, and a
// replaced line differs from them only where a match was.
#include "common.h"

#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/matches.hpp>
#include <QOVAicuC/text.hpp>

#include <unicode/uregex.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <cstring>
#include <memory>

namespace qovaicu {
namespace {

using R = QOVAUnicodeRegexServices;

struct Options {
    std::string pattern;
    Inputs in;
    std::vector<std::string> flags;
    std::string replacement;
    bool replaceAll = false, replaceFirst = false, split = false;
    int limit = 0;
    bool invert = false, numbers = false, only = false, count = false, countMatches = false;
    bool offsets = false, nulSeparated = false;
};

unsigned int flagBits(const std::vector<std::string>& names) {
    unsigned int bits = 0;
    for (const std::string& name : names) bits |= *lookup(kRegexFlags, name);
    return bits;
}

std::u16string units(const std::string& utf8) {
    const icu::UnicodeString u = icu::UnicodeString::fromUTF8(utf8);
    return {u.getBuffer(), static_cast<size_t>(u.length())};
}

// Why ICU rejects the pattern and where, or what is wrong with the replacement: the library only
// says that it fails. The replacement is tried on a match of the pattern extended by an empty
// alternative, which has the same groups and matches any text.
std::string usageError(const Options& o, unsigned int flags) {
    const bool literal = (flags & UREGEX_LITERAL) != 0;
    std::u16string p = units(o.pattern);
    UParseError where{};
    UErrorCode status = U_ZERO_ERROR;
    uregex_close(uregex_open(reinterpret_cast<const UChar*>(p.data()), static_cast<int32_t>(p.size()),
                             flags, &where, &status));
    if (U_FAILURE(status)) {
        std::string message = "the pattern '" + clip(o.pattern) + "' does not compile: " + u_errorName(status);
        if (where.offset >= 0)
            message += " at line " + std::to_string(where.line) + ", offset " +
                       std::to_string(where.offset) + " (UTF-16 units)";
        return message;
    }
    if (!o.replaceAll && !o.replaceFirst) return "";
    p = literal ? u"" : u"(?:" + p + ((flags & UREGEX_COMMENTS) ? u"\n)|" : u")|");
    const std::u16string r = units(o.replacement);
    URegularExpression* any = uregex_open(reinterpret_cast<const UChar*>(p.data()),
                                          static_cast<int32_t>(p.size()), flags & ~UREGEX_LITERAL,
                                          nullptr, &status);
    uregex_setText(any, u"", 0, &status);
    UChar out[8];
    uregex_replaceFirst(any, reinterpret_cast<const UChar*>(r.data()), static_cast<int32_t>(r.size()),
                        out, 8, &status);
    uregex_close(any);
    if (U_FAILURE(status) && status != U_BUFFER_OVERFLOW_ERROR)
        return "the replacement '" + clip(o.replacement) + "' names a group that the pattern lacks "
               "or is malformed (" + u_errorName(status) + "; $N is group N, \\$ a dollar sign)";
    return "";
}

// The pattern's text when it matches exactly that text (no syntax, no flag that changes
// matching): lines without it are known not to match without asking the library.
std::string literalOf(const std::string& pattern, unsigned int flags) {
    if (flags & (UREGEX_CASE_INSENSITIVE | UREGEX_COMMENTS)) return "";
    if (flags & UREGEX_LITERAL) return pattern;
    return pattern.find_first_of("\\^$.|?*+()[]{}") == std::string::npos ? pattern : "";
}

class Search {
public:
    explicit Search(const Options& o) : o_(o), out_(Output::get()) {}

    int run() {
        const unsigned int flags = flagBits(o_.flags);
        const std::string error = usageError(o_, flags);
        if (!error.empty()) {
            complain("regex", error);
            return kUsage;
        }
        if (!o_.split) literal_ = literalOf(o_.pattern, flags);
        qovaicuc::String pattern = qovaicuc::fromUtf8(o_.pattern);
        auto made = qovaicuc::Matcher::make(pattern, qovaicuc::String::make(), flags);
        if (made) matcher_ = std::move(*made);
        if (!matcher_ || !matcher_.input() || !result_ || !replacement_) {
            complain("regex", "the library refuses the pattern '" + clip(o_.pattern) + "'");
            return kUsage;
        }
        const bool read = forEachRecord("regex", o_.in, o_.nulSeparated ? '\0' : '\n', false,
                                        [this](Record& r) { record(r); });
        if (o_.count || o_.countMatches) {
            out_.write(std::to_string(o_.count ? lines_ : matches_));
            end();
        }
        const int status = !read ? kUsage : failed_ ? kBadValue : selected_ ? kOk : kBadValue;
        return out_.finish("regex", status);
    }

private:
    void end() {
        out_.put(o_.nulSeparated ? '\0' : '\n');
        out_.endRecord();
    }
    // "N:" and "B:" before a printed line or match, as grep -n and -b write them.
    void prefix(const Record& r, long long byte) {
        if (o_.numbers) out_.write(std::to_string(r.number) + ":");
        if (o_.offsets) out_.write(std::to_string(r.offset + byte) + ":");
    }
    // The line's units, as the matcher sees them.
    const char16_t* units() const { return static_cast<const icu::UnicodeString*>(input())->getBuffer(); }
    // The bytes of `units[from, to)`, which are the line's own bytes (it is valid UTF-8).
    long long bytes(size_t from, size_t to) const {
        long long n = 0;
        for (const char16_t* u = units() + from; u != units() + to; ++u)
            n += *u < 0x80 ? 1 : *u < 0x800 || U16_IS_SURROGATE(*u) ? 2 : 3;
        return n;
    }

    void record(Record& r) {
        const bool replacing = o_.replaceAll || o_.replaceFirst;
        const size_t bad = checkUtf8(r.text());
        if (bad != std::string::npos) {
            complain("regex", invalidInput(r, bad) + (replacing || o_.invert ? "; the line is passed through" : ""));
            failed_ = true;
            if (replacing || o_.invert) copy(r);
            return;
        }
        bool matched = false;
        if (literal_.empty() || memmem(r.data, r.size, literal_.data(), literal_.size()) != nullptr) {
            decodeInto(r.text(), input());
            // The library strips trailing U+0000 from the matcher's input; they are written back.
            trailingNuls_ = r.size - r.text().find_last_not_of('\0') - 1;
            R::reset(matcher_.get(), input());
            matched = R::find(matcher_.get());
        }
        if (matched != o_.invert) {
            selected_ = true;
            ++lines_;
        }
        if (replacing) return matched ? replace(r) : copy(r);
        if (o_.split) return split(r);
        if (o_.countMatches) {
            for (bool more = matched; more; more = R::find(matcher_.get())) ++matches_;
        } else if (o_.only && matched && !o_.count) {
            long long byte = 0;
            size_t last = 0;
            for (bool more = true; more && !out_.failed(); more = R::find(matcher_.get())) {
                const auto start = static_cast<size_t>(R::start(matcher_.get()));
                const auto stop = static_cast<size_t>(R::end(matcher_.get()));
                if (start == stop) continue;  // grep -o prints no empty match
                if (o_.offsets) byte += bytes(last, start);
                last = start;
                prefix(r, byte);
                out_.utf16(units() + start, stop - start);
                end();
            }
        } else if (matched != o_.invert && !o_.count) {
            prefix(r, 0);
            out_.write(r.text());
            end();
        }
    }

    // A line passed through as read, its end included.
    void copy(const Record& r) {
        out_.write(r.text());
        out_.write(r.end);
        out_.endRecord();
    }

    void replace(const Record& r) {
        R::reset(matcher_.get());
        const bool done = o_.replaceAll ? R::replaceAll(matcher_.get(), replacement_.get(), result_.get())
                                        : R::replaceFirst(matcher_.get(), replacement_.get(), result_.get());
        if (!done || !out_.text(result_.get())) {
            complain("regex", "cannot replace in " + std::string(r.kind) + " " + std::to_string(r.number) +
                                  "; the line is passed through");
            failed_ = true;
            return copy(r);
        }
        out_.write(std::string(trailingNuls_, '\0'));
        out_.write(r.end);
        out_.endRecord();
    }

    // The fields of the line, as the library splits it, each as N:K<TAB>FIELD.
    void split(const Record& r) {
        const int most = o_.limit > 0 ? o_.limit : static_cast<const icu::UnicodeString*>(input())->length() + 1;
        int capacity = std::min(most, 16), count = 0;
        for (;;) {
            fields_.assign(static_cast<size_t>(capacity), icu::UnicodeString());
            count = R::split(matcher_.get(), input(), fields_.data(), capacity);
            if (count < capacity || capacity == most) break;
            capacity = capacity > most / 2 ? most : capacity * 2;
        }
        for (int k = 0; k < count; ++k) {
            out_.write(std::to_string(r.number) + ":" + std::to_string(k) + "\t");
            const icu::UnicodeString& f = fields_[static_cast<size_t>(k)];
            out_.utf16(f.getBuffer(), static_cast<size_t>(f.length()));
            end();
        }
    }

    const Options& o_;
    Output& out_;
    // Each line is decoded into the matcher's own input string, which the matcher owns.
    void* input() const { return matcher_.input().get(); }
    qovaicuc::String result_ = qovaicuc::String::make(),
                     replacement_ = qovaicuc::fromUtf8(o_.replacement);
    qovaicuc::Matcher matcher_;
    std::string literal_;
    std::vector<icu::UnicodeString> fields_;
    size_t trailingNuls_ = 0, lines_ = 0, matches_ = 0;
    bool selected_ = false, failed_ = false;
};

}  // namespace

Command addRegexCommand(CLI::App& root) {
    auto o = std::make_shared<Options>();
    CLI::App* app = root.add_subcommand(
        "regex", "Print the lines that match a pattern (ICU syntax), or the matches, or replace, or split");
    app->add_option("pattern", o->pattern, "The regular expression")->required();
    addInputOptions(*app, o->in, "Texts to search");
    app->add_option("-f,--flags", o->flags, "Comma-separated flags: " + nameList(kRegexFlags))
        ->delimiter(',')
        ->allow_extra_args(false)
        ->type_name("NAME")
        ->check(oneOf(kRegexFlags, "flag"));
    CLI::Option* all = app->add_option("--replace", o->replacement,
                                       "Print every line with each match replaced ($1 names group 1), as sed s///g does");
    CLI::Option* first = app->add_option("--replace-first", o->replacement,
                                         "Print every line with its first match replaced");
    CLI::Option* split = app->add_flag("--split", o->split, "Print the fields between the matches");
    app->add_option("--limit", o->limit, "With --split: at most this many fields, the last holding the rest")
        ->needs(split)
        ->check(CLI::Validator(
            [](std::string& value) -> std::string {
                const std::optional<int> n = toInt(value);
                return n && *n >= 1 ? "" : "takes a whole number from 1 to 2147483647";
            },
            ""));
    CLI::Option* invert = app->add_flag("-v,--invert-match", o->invert, "Select the lines that do not match");
    CLI::Option* only = app->add_flag("-o,--only-matching", o->only, "Print each match on a line of its own");
    app->add_flag("-n,--line-number", o->numbers, "Put the line number and ':' before each line or match");
    app->add_flag("-b,--byte-offset", o->offsets,
                  "Put the byte offset of the line (with -o: of the match) and ':' before it");
    CLI::Option* count = app->add_flag("-c,--count", o->count, "Print only the number of selected lines");
    CLI::Option* countMatches = app->add_flag("--count-matches", o->countMatches, "Print only the number of matches");
    app->add_flag("-z,--null-data", o->nulSeparated, "Records end in NUL instead of a line end, in and out");
    for (CLI::Option* a : {all, first, split, count, countMatches, only})
        for (CLI::Option* b : {all, first, split, count, countMatches, only})
            if (a != b && !(a == count && b == only) && !(a == only && b == count)) a->excludes(b);
    invert->excludes(all)->excludes(first)->excludes(split)->excludes(countMatches)->excludes(only);
    app->footer(
        "By default the lines that match are printed as they were read, as grep -a prints them.\n"
        "--replace keeps every byte outside the matches (tabs, CR, NUL, a missing final newline)\n"
        "and passes lines without a match through, as sed does. Fields print as N:K<TAB>FIELD\n"
        "(N the line, K the field from 0). U+0000 in a line is text like any other, except at its\n"
        "end, which the pattern does not see. A line that is not valid UTF-8 is reported with its\n"
        "byte offset (with --replace and -v it is passed through). Output is flushed after each\n"
        "line when it goes to a terminal or a pipe.\n"
        "Exit status: 0 a line was selected; 1 none was, or input was invalid; 2 the pattern does\n"
        "not compile (ICU's reason and offset are printed), the replacement names a group the\n"
        "pattern lacks, or a file cannot be read.");
    app->callback([o, all, first] {
        o->replaceAll = all->count() > 0;
        o->replaceFirst = first->count() > 0;
    });
    return {app, [o] { return Search(*o).run(); }};
}

}  // namespace qovaicu
