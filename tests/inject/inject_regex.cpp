// Allocation failures in the regex family. A refused ICU allocation must end in the
// operation's result or its failure result: null from make, false / -1 / 0 from the services,
// with the output of group and the replacements holding ICU's returned string terminated (or
// bogus when even that could not be had).
#include "icu_faults.h"

#include "QOVAicuC.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <string>

namespace {

using inject::expect;
using inject::Window;
using icu::UnicodeString;
using RF = QOVAUnicodeRegexFactory;
using RS = QOVAUnicodeRegexServices;

UnicodeString& str(void* h) { return *static_cast<UnicodeString*>(h); }

void* text(const UnicodeString& s) {
    void* h = QOVAUnicodeStringFactory::make();
    str(h) = s;
    return h;
}

std::string utf8(const UnicodeString& s) {
    std::string out;
    return s.isBogus() ? "(bogus)" : s.toUTF8String(out);
}

bool holdsOrBogus(void* h, const UnicodeString& expected) {
    return expect(str(h).isBogus() || str(h) == expected, "holds '" + utf8(str(h)) + "', not '" + utf8(expected) + "'");
}

// The output of group and the replacements after a failure: ICU's returned string, terminated.
bool terminatedOrBogus(void* h) {
    const UnicodeString& s = str(h);
    return expect(s.isBogus() || (!s.isEmpty() && s.charAt(s.length() - 1) == 0), "output '" + utf8(s) + "' is not terminated");
}

UnicodeString terminated(UnicodeString s) { return s.append(char16_t(0)); }

// Patterns that make ICU allocate in different places: sets and properties, back references
// and deep backtracking (its stack grows), case folding.
struct Case {
    const char16_t* pattern;
    const char16_t* input;
    unsigned int flags;
};
const Case kCases[] = {
    {u"[\\p{L}&&[^aeiou]]+", u"a quick brown fox \u00E9t\u00E9 jumps", 0},
    {u"(\\w+)\\s+\\1", u"this is is a test test of repeats", UREGEX_CASE_INSENSITIVE},
    {u"(a|b)*c", u"ababababababababababababababababababababababababababababababc", 0},
    {u"\\b\\d{2,4}-\\d+\\b", u"call 555-1234 or 12-7 now", UREGEX_MULTILINE},
};

// The results of an unfaulted run, to compare with.
struct Reference {
    bool found = false;
    int start = -1, end = -1;
    UnicodeString group, all, first;
    int fields = 0;
    UnicodeString dest[4];
};

Reference reference(const Case& c) {
    Reference r;
    UErrorCode status = U_ZERO_ERROR;
    const UnicodeString input(c.input);  // the matcher refers to it
    icu::RegexMatcher m(UnicodeString(c.pattern), input, c.flags, status);
    r.found = m.find(status);
    if (r.found) {
        r.start = m.start(status);
        r.end = m.end(status);
        r.group = terminated(m.group(status));
    }
    r.all = terminated(m.replaceAll(UnicodeString(u"<$0>"), status));
    r.first = terminated(m.replaceFirst(UnicodeString(u"<$0>"), status));
    r.fields = m.split(input, r.dest, 4, status);
    return r;
}

void regex(inject::Tally& t) {
    for (const Case& c : kCases) {
        const Reference ref = reference(c);
        std::string patternText;
        const std::string tag = " /" + UnicodeString(c.pattern).toUTF8String(patternText) + "/";
        auto name = [&](const char* op) { return std::string(op) + tag; };

        // A matcher made without faults finds what ICU finds.
        auto works = [&](void* m) {
            const bool found = RS::find(m);
            return expect(found == ref.found && RS::start(m) == ref.start,
                          "the matcher made finds " + std::to_string(found) + " at " + std::to_string(RS::start(m)));
        };
        // Under a refused allocation ICU 72 can also compile a pattern whose sets lost their
        // content without reporting it (the matcher then finds nothing); a matcher that make
        // returns need only be safe to use, with consistent positions.
        auto usable = [&](void* m) {
            const bool found = RS::find(m);
            return expect(!found || (RS::start(m) >= 0 && RS::start(m) <= RS::end(m) &&
                                     RS::end(m) <= UnicodeString(c.input).length()),
                          "the matcher made reports positions outside its input");
        };
        t.sweep(name("make(pattern, input)").c_str(), [&](Window& w) {
            void* p = text(terminated(UnicodeString(c.pattern)));
            void* in = text(UnicodeString(c.input));
            w.open();
            void* m = RF::make(p, in, c.flags);
            w.close();
            const bool ok = (!m || (w.faulted() ? usable(m) : works(m))) &&
                            expect(str(p) == UnicodeString(c.pattern), "pattern not stripped");
            RF::destroy(m);
            QOVAUnicodeStringFactory::destroy(p);
            QOVAUnicodeStringFactory::destroy(in);
            return ok;
        });
        t.sweep(name("make(pattern)").c_str(), [&](Window& w) {
            void* p = text(UnicodeString(c.pattern));
            void* in = text(UnicodeString(c.input));
            w.open();
            void* m = RF::make(p, c.flags);
            w.close();
            const bool ok = !m || (RS::reset(m, in) && (w.faulted() ? usable(m) : works(m)));
            RF::destroy(m);
            QOVAUnicodeStringFactory::destroy(p);
            QOVAUnicodeStringFactory::destroy(in);
            return ok;
        });

        // The services, each on a matcher made outside the fault window.
        auto withMatcher = [&](const char* op, auto&& use) {
            t.sweep(name(op).c_str(), [&](Window& w) {
                void* p = text(UnicodeString(c.pattern));
                void* in = text(UnicodeString(c.input));
                void* out = text(UnicodeString(u"previous"));
                void* m = RF::make(p, in, c.flags);
                const bool ok = expect(m != nullptr, "no matcher") && use(w, m, in, out);
                RF::destroy(m);
                QOVAUnicodeStringFactory::destroy(p);
                QOVAUnicodeStringFactory::destroy(in);
                QOVAUnicodeStringFactory::destroy(out);
                return ok;
            });
        };
        withMatcher("find+start+end+group", [&](Window& w, void* m, void*, void* out) {
            w.open();
            const bool found = RS::find(m);
            const int s = RS::start(m), e = RS::end(m);
            const bool grouped = RS::group(m, out);
            w.close();
            if (!found) return expect(s == -1 && e == -1 && !grouped, "no match, yet positions or text");
            if (!expect(s == ref.start && e == ref.end, "a match at other positions")) return false;
            return grouped ? holdsOrBogus(out, ref.group) : terminatedOrBogus(out);
        });
        withMatcher("lookingAt, matches, find(start)", [&](Window& w, void* m, void*, void*) {
            w.open();
            RS::lookingAt(m);
            RS::matches(m);
            RS::lookingAt(m, 1);
            RS::matches(m, 1);
            const bool found = RS::find(m, 0);
            w.close();
            return expect(!found || RS::start(m) == ref.start, "find(0) found another match");
        });
        // ICU's replacement loop calls the form of find that swallows its status: when an
        // allocation inside it is refused, ICU stops replacing and reports success with the
        // rest of the input appended unreplaced. Its split loop does the same and reports fewer
        // fields. So a successful replacement need only be terminated, and a split may stop
        // early, but the fields it gives before its last must be ICU's.
        withMatcher("replaceAll", [&](Window& w, void* m, void* in, void* out) {
            const UnicodeString with(u"<$0>\0\0", 6);
            void* rep = text(with);
            w.open();
            const bool done = RS::replaceAll(m, rep, out);
            w.close();
            const bool ok = (done && !w.faulted() ? holdsOrBogus(out, ref.all) : terminatedOrBogus(out)) &&
                            expect(str(in) == UnicodeString(c.input) && str(rep) == with, "an input changed");
            QOVAUnicodeStringFactory::destroy(rep);
            return ok;
        });
        withMatcher("replaceFirst", [&](Window& w, void* m, void*, void* out) {
            void* rep = text(UnicodeString(u"<$0>"));
            w.open();
            const bool done = RS::replaceFirst(m, rep, out);
            w.close();
            QOVAUnicodeStringFactory::destroy(rep);
            return done && !w.faulted() ? holdsOrBogus(out, ref.first) : terminatedOrBogus(out);
        });
        withMatcher("split", [&](Window& w, void* m, void* in, void*) {
            UnicodeString dest[4];
            w.open();
            const int fields = RS::split(m, in, dest, 4);
            w.close();
            bool ok = expect(fields >= 0 && fields <= ref.fields, "split gives " + std::to_string(fields) + " fields");
            if (!w.faulted()) ok = ok && expect(fields == ref.fields, "split gives " + std::to_string(fields) + " fields");
            for (int i = 0; ok && i + 1 < fields; ++i)
                ok = expect(dest[i] == ref.dest[i], "field " + std::to_string(i) + " is '" + utf8(dest[i]) + "'");
            // After split the matcher needs its input again; it then works as before.
            return ok && RS::reset(m, in) && works(m);
        });
        withMatcher("reset", [&](Window& w, void* m, void* in, void*) {
            void* other = text(terminated(UnicodeString(c.input)));
            w.open();
            RS::reset(m);
            const bool byIndex = RS::reset(m, 1);
            const bool byInput = RS::reset(m, other);
            w.close();
            const bool ok = expect(byIndex && byInput, "reset failed") && works(m) &&
                            expect(str(other) == UnicodeString(c.input), "input not stripped");
            RS::reset(m, in);
            QOVAUnicodeStringFactory::destroy(other);
            return ok;
        });
    }
}

}  // namespace

int main() {
    inject::install();
    inject::Tally tally{"regex"};
    regex(tally);
    return tally.finish();
}
