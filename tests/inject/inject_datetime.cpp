// Allocation failures in date-time formatting. Every run makes its own handles outside the
// fault window (ICU builds parts of a date format lazily, on first use) and destroys them.
// make and makeCopy give null or a usable formatter: under a refused allocation ICU may build a
// date format from fallback data without reporting it, and a copy whose clone could not be had
// holds no object; both must be safe to use. Formatting leaves terminated text without U+202F:
// the right one, or what ICU managed to append. Parsing never changes the text.
#include "icu_faults.h"

#include "QOVAicuC.h"

#include <unicode/unistr.h>

#include <string>

namespace {

using inject::expect;
using inject::Window;
using icu::UnicodeString;
using DF = QOVAUnicodeDateTimeFormatterFactory;
using DS = QOVAUnicodeDateTimeFormatterServices;

UnicodeString& str(void* h) { return *static_cast<UnicodeString*>(h); }

std::string utf8(const UnicodeString& s) {
    std::string out;
    return s.isBogus() ? "(bogus)" : s.toUTF8String(out);
}

constexpr long long kSeconds = 1700000000;

UnicodeString formatted(void* f) {
    void* out = QOVAUnicodeStringFactory::make();
    DS::FormatDateTimeToString(f, out, kSeconds);
    UnicodeString s = str(out);
    QOVAUnicodeStringFactory::destroy(out);
    return s;
}

// Without a fault exactly the text; with one, any terminated text without U+202F.
bool formatOutcome(const Window& w, const UnicodeString& s, const UnicodeString& expected) {
    if (!w.faulted()) return expect(s == expected, "formats '" + utf8(s) + "', not '" + utf8(expected) + "'");
    return expect(s.isBogus() || (!s.isEmpty() && s.charAt(s.length() - 1) == 0 && s.indexOf(char16_t(0x202F)) < 0),
                  "formats '" + utf8(s) + "'");
}

struct Maker {
    const char* name;
    const char* zoneId;
    void* (*make)(void* zone);
};

const Maker kMakers[] = {
    {"make(locale)", "", [](void*) { return DF::make("en_US"); }},
    {"make(locale, zone)", "America/New_York", [](void* z) { return DF::make("de_DE", z); }},
    {"make(styles, locale, zone)", "Asia/Tokyo", [](void* z) { return DF::make(DF::StyleFull, DF::StyleFull, "ja_JP", z); }},
    {"make(styles, locale, unknown zone)", "Nowhere/Special", [](void* z) { return DF::make(DF::StyleShort, DF::StyleLong, "C", z); }},
};

void datetime(inject::Tally& t) {
    for (const Maker& mk : kMakers) {
        void* zone = QOVAUnicodeStringFactory::makeInvariant(mk.zoneId, -1);
        const UnicodeString zoneText = str(zone);
        void* ref = mk.make(zone);
        const UnicodeString expected = formatted(ref);
        void* text = QOVAUnicodeStringFactory::make();
        str(text) = expected;
        const long long expectedMs = DS::FormatStringToDateTime(ref, text);
        QOVAUnicodeStringFactory::destroy(text);
        DF::destroy(ref);
        const std::string name = mk.name;

        t.sweep(mk.name, [&](Window& w) {
            w.open();
            void* f = mk.make(zone);
            w.close();
            const bool ok = (!f || formatOutcome(w, formatted(f), expected)) &&
                            expect(str(zone) == zoneText, "the zone id changed");
            DF::destroy(f);
            return ok;
        });
        t.sweep(("makeCopy of " + name).c_str(), [&](Window& w) {
            void* source = mk.make(zone);
            w.open();
            void* f = DF::makeCopy(source);
            w.close();
            DF::destroy(source);
            // The copy outlives its source; one without an object formats nothing, harmlessly.
            bool ok = true;
            if (f) {
                const UnicodeString s = formatted(f);
                ok = w.faulted() ? expect(s.isEmpty() || s == UnicodeString(char16_t(0)) || formatOutcome(w, s, expected), "copy formats '" + utf8(s) + "'")
                                 : formatOutcome(w, s, expected);
            }
            DF::destroy(f);
            return ok;
        });
        t.sweep(("FormatDateTimeToString, " + name).c_str(), [&](Window& w) {
            void* f = mk.make(zone);
            void* out = QOVAUnicodeStringFactory::make(u'x');
            w.open();
            DS::FormatDateTimeToString(f, out, kSeconds);
            w.close();
            const bool ok = formatOutcome(w, str(out), expected);
            QOVAUnicodeStringFactory::destroy(out);
            DF::destroy(f);
            return ok;
        });
        t.sweep(("FormatStringToDateTime, " + name).c_str(), [&](Window& w) {
            void* f = mk.make(zone);
            void* in = QOVAUnicodeStringFactory::make();
            str(in) = expected;
            w.open();
            const long long ms = DS::FormatStringToDateTime(f, in);
            w.close();
            // The parse status is not examined, so under a refused allocation ICU's value is
            // whatever its parse got to, and only the unchanged text can be checked.
            const bool ok = expect(ms == expectedMs || w.faulted(), "parses " + std::to_string(ms)) &&
                            expect(str(in) == expected, "the text changed");
            QOVAUnicodeStringFactory::destroy(in);
            DF::destroy(f);
            return ok;
        });
        QOVAUnicodeStringFactory::destroy(zone);
    }
}

}  // namespace

int main() {
    inject::install();
    inject::Tally tally("datetime");
    datetime(tally);
    return tally.finish();
}
