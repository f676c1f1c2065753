// Allocation failures in number formatting and parsing. Every run makes its own handles
// outside the fault window (ICU builds some of a formatter's state lazily, on its first
// uses, and that state must not straddle runs) and destroys them at its end.
// Formatting has no failure report: a refused allocation must leave `out` terminated with the
// right text, or with ICU's failure result (nothing at all); under a refused allocation ICU
// may also fall back silently (a symbol or pattern it could not load), which still gives a
// terminated text. A settings operation that meets one may leave the handle in ICU's error
// state, after which formatting gives the failure result. A parse gives its result or 0, with
// `err` untouched or ErrorInvalid, and the text edited (or bogus).
#include "icu_faults.h"

#include "QOVAicuC.h"

#include <unicode/unistr.h>

#include <cstring>
#include <string>

namespace {

using inject::expect;
using inject::Window;
using icu::UnicodeString;
using NF = QOVAUnicodeNumFormatterFactory;
using NS = QOVAUnicodeNumFormatterServices;
using PF = QOVAUnicodeStrToNumFormatterFactory;
using PS = QOVAUnicodeStrToNumFormatterServices;

UnicodeString& str(void* h) { return *static_cast<UnicodeString*>(h); }

std::string utf8(const UnicodeString& s) {
    std::string out;
    return s.isBogus() ? "(bogus)" : s.toUTF8String(out);
}

// Formats through a handle outside any fault window.
UnicodeString formatted(void* f, double v = 12345.678) {
    void* out = QOVAUnicodeStringFactory::make();
    NS::FormatDouble(f, out, v, true, false);
    UnicodeString s = str(out);
    QOVAUnicodeStringFactory::destroy(out);
    return s;
}

// Without a fault exactly the text; with one, the text, nothing, or ICU's fallback text,
// which is terminated like any other.
bool formatOutcome(const Window& w, const UnicodeString& s, const UnicodeString& expected) {
    if (!w.faulted()) return expect(s == expected, "formats '" + utf8(s) + "', not '" + utf8(expected) + "'");
    return expect(s.isEmpty() || (s.charAt(s.length() - 1) == 0 && s.indexOf(char16_t(0)) == s.length() - 1),
                  "formats '" + utf8(s) + "', neither terminated text nor nothing");
}

char* slots(int a, int b) {
    static char buffer[16];
    const long long x = a, y = b;
    std::memcpy(buffer, &x, 8);
    std::memcpy(buffer + 8, &y, 8);
    return buffer;
}

void formatting(inject::Tally& t) {
    for (const char* locale : {"en_US", "de_DE", "ar_EG", "C"}) {
        void* ref = NF::make(locale);
        const UnicodeString expected = formatted(ref);
        NF::destroy(ref);
        const std::string tag = std::string(" ") + locale;
        t.sweep(("NumFormatter make" + tag).c_str(), [&](Window& w) {
            w.open();
            void* f = NF::make(locale);
            w.close();
            const bool ok = !f || formatOutcome(w, formatted(f), expected);
            NF::destroy(f);
            return ok;
        });
        t.sweep(("NumFormatter makeCopy" + tag).c_str(), [&](Window& w) {
            void* source = NF::make(locale);
            NS::SetUnitType(source, NS::UnitKilogram);
            w.open();
            void* f = NF::makeCopy(source);
            w.close();
            NS::SetUnitType(source, NS::UnitNone);
            // The copy is independent: the source's later change does not reach it.
            const bool ok = !f || formatOutcome(w, formatted(f), [&] {
                void* k = NF::make(locale);
                NS::SetUnitType(k, NS::UnitKilogram);
                UnicodeString s = formatted(k);
                NF::destroy(k);
                return s;
            }());
            NF::destroy(f);
            NF::destroy(source);
            return ok;
        });
    }

    // The three formatting operations on a formatter with a currency unit.
    auto withFormatter = [](auto&& use) {
        void* f = NF::make("de_DE");
        NS::SetUnitType(f, NS::UnitCurrencyUSD);
        void* out = QOVAUnicodeStringFactory::make(u'x');
        use(f, out);
        UnicodeString s = str(out);
        QOVAUnicodeStringFactory::destroy(out);
        NF::destroy(f);
        return s;
    };
    auto formats = [&](const char* op, auto&& call) {
        const UnicodeString expected = withFormatter([&](void* f, void* out) { call(f, out); });
        t.sweep(op, [&](Window& w) {
            bool ok = true;
            withFormatter([&](void* f, void* out) {
                w.open();
                call(f, out);
                w.close();
                ok = formatOutcome(w, str(out), expected);
            });
            return ok;
        });
    };
    char decimal[] = "-98765432109876543210.123456789";
    formats("FormatDecimal", [&](void* f, void* out) { NS::FormatDecimal(f, out, decimal); });
    formats("FormatDouble", [](void* f, void* out) { NS::FormatDouble(f, out, -1234.5678, false, false); });
    formats("FormatInt", [](void* f, void* out) { NS::FormatInt(f, out, 9223372036854775807LL); });

    // Each settings operation on a formatter that already has a setting; afterwards the
    // handle formats as the same settings made without faults do, or gives ICU's failure
    // result (or a fallback text).
    auto setting = [&](const char* op, auto&& set) {
        auto configured = [&](bool window, Window* w) {
            void* f = NF::make("fr_FR");
            NS::SetGroupingType(f, NS::GroupingMin2);
            if (window) w->open();
            set(f);
            if (window) w->close();
            return f;
        };
        void* ref = configured(false, nullptr);
        const UnicodeString expected = formatted(ref);
        NF::destroy(ref);
        t.sweep(op, [&](Window& w) {
            void* f = configured(true, &w);
            const bool ok = formatOutcome(w, formatted(f), expected);
            NF::destroy(f);
            return ok;
        });
    };
    setting("SetGroupingType", [](void* h) { NS::SetGroupingType(h, NS::GroupingOff); });
    setting("SetIntegerWidthType", [](void* h) { NS::SetIntegerWidthType(h, NS::IntegerWidthZeroFillTruncate, slots(7, 9)); });
    setting("SetNotationType", [](void* h) { NS::SetNotationType(h, NS::NotationCompactLong); });
    setting("SetPrecisionType", [](void* h) { NS::SetPrecisionType(h, NS::PrecisionMinMaxSignificantDigits, slots(2, 4)); });
    setting("SetRoundingModeType", [](void* h) { NS::SetRoundingModeType(h, NS::RoundingCeiling); });
    setting("SetSignDisplayType", [](void* h) { NS::SetSignDisplayType(h, NS::SignAccountingAlways); });
    setting("SetUnitWidthType", [](void* h) { NS::SetUnitWidthType(h, NS::UnitWidthFullName); });
    setting("SetUnitType(meter)", [](void* h) { NS::SetUnitType(h, NS::UnitMeter); });
    setting("SetUnitType(USD)", [](void* h) { NS::SetUnitType(h, NS::UnitCurrencyUSD); });
    setting("SetUnitType(permille)", [](void* h) { NS::SetUnitType(h, NS::UnitNonePermille); });
}

void parsing(inject::Tally& t) {
    const UnicodeString input(u" +1234567.5+  \0", 15);
    UnicodeString edited = input;
    edited.trim().findAndReplace(UnicodeString(u"+"), UnicodeString());

    for (const char* locale : {"en_US", "de_DE", "ar_EG"}) {
        const std::string tag = std::string(" ") + locale;
        // A parser that make or makeCopy returns parses as an unfaulted one, or (holding no
        // object, or a number format that ICU built with a fallback) gives some result
        // without harm.
        auto parseWith = [&](void* p, PS::ErrorType& err) {
            void* text = QOVAUnicodeStringFactory::make();
            str(text) = input;
            const double v = PS::FormatStrToDouble(p, text, err);
            QOVAUnicodeStringFactory::destroy(text);
            return v;
        };
        void* ref = PF::make(locale);
        PS::ErrorType refErr = PS::ErrorNone;
        const double expected = parseWith(ref, refErr);
        PF::destroy(ref);
        t.sweep(("StrToNum make" + tag).c_str(), [&](Window& w) {
            w.open();
            void* p = PF::make(locale);
            w.close();
            PS::ErrorType err = PS::ErrorNone;
            const bool ok = !p || w.faulted() || expect(parseWith(p, err) == expected, "parses another value");
            if (p) parseWith(p, err);
            PF::destroy(p);
            return ok;
        });
        t.sweep(("StrToNum makeCopy" + tag).c_str(), [&](Window& w) {
            void* source = PF::make(locale);
            w.open();
            void* p = PF::makeCopy(source);
            w.close();
            PS::ErrorType err = PS::ErrorNone;
            const bool ok = !p || w.faulted() || expect(parseWith(p, err) == expected, "parses another value");
            if (p) parseWith(p, err);
            PF::destroy(p);
            PF::destroy(source);
            return ok;
        });

        // The four parses of the same text, each on a parser of its own run.
        auto parses = [&](const char* op, auto&& parse) {
            void* refParser = PF::make(locale);
            void* refText = QOVAUnicodeStringFactory::make();
            str(refText) = input;
            PS::ErrorType refErr = PS::ErrorNone;
            const auto value = parse(refParser, refText, refErr);
            QOVAUnicodeStringFactory::destroy(refText);
            PF::destroy(refParser);
            t.sweep((op + tag).c_str(), [&](Window& w) {
                void* p = PF::make(locale);
                void* text = QOVAUnicodeStringFactory::make();
                str(text) = input;
                const auto sentinel = static_cast<PS::ErrorType>(7);
                PS::ErrorType err = sentinel;
                w.open();
                const auto v = parse(p, text, err);
                w.close();
                const bool ok =
                    expect(v == value || (w.faulted() && v == 0), "parses " + std::to_string(v)) &&
                    expect(err == (refErr == PS::ErrorInvalid ? PS::ErrorInvalid : sentinel) ||
                               (w.faulted() && err == PS::ErrorInvalid),
                           "err is " + std::to_string(err)) &&
                    expect(str(text) == edited || str(text).isBogus(), "text is '" + utf8(str(text)) + "'");
                QOVAUnicodeStringFactory::destroy(text);
                PF::destroy(p);
                return ok;
            });
        };
        parses("FormatStrToDouble", [](void* p, void* s, PS::ErrorType& e) { return PS::FormatStrToDouble(p, s, e); });
        parses("FormatStrToInt32_t", [](void* p, void* s, PS::ErrorType& e) { return PS::FormatStrToInt32_t(p, s, e); });
        parses("FormatStrToInt64_t", [](void* p, void* s, PS::ErrorType& e) { return PS::FormatStrToInt64_t(p, s, e); });
        parses("FormatStrToULong", [](void* p, void* s, PS::ErrorType& e) { return PS::FormatStrToULong(p, s, e); });
    }
}

}  // namespace

int main() {
    inject::install();
    inject::Tally tally("number");
    formatting(tally);
    parsing(tally);
    return tally.finish();
}
