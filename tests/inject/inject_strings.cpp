// Allocation failures in the string family: factory, services, export and converters.
// A refused ICU allocation must end in the operation's result or its failure result: a null
// handle from a factory, false and an untouched output from concatenate and substring, and
// otherwise a string that ICU marked bogus (its content is then dropped, never garbage). The
// exports and converters allocate little or nothing of their own; their sweeps say so.
#include "icu_faults.h"

#include "QOVAicuC.h"

#include <unicode/unistr.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using inject::expect;
using inject::Window;
using icu::UnicodeString;

UnicodeString& str(void* h) { return *static_cast<UnicodeString*>(h); }

std::string utf8(const UnicodeString& s) {
    std::string out;
    return s.isBogus() ? "(bogus)" : s.toUTF8String(out);
}

// A string handle holds either exactly `expected` or ICU's bogus state.
bool holdsOrBogus(void* h, const UnicodeString& expected) {
    return expect(str(h).isBogus() || (str(h) == expected && !expected.isBogus()),
                  "holds '" + utf8(str(h)) + "', not '" + utf8(expected) + "'");
}

// The string that a factory returned: null or exactly `expected`; released here.
bool madeOrNull(void* h, const UnicodeString& expected) {
    if (!h) return true;
    const bool ok = str(h) == expected && str(h).isBogus() == expected.isBogus();
    QOVAUnicodeStringFactory::destroy(h);
    return ok;
}

// A string made outside the fault window, with exactly these units. Where ICU can give a
// buffer whose capacity is exactly the number of units, it gets one, so that growing the
// string by one unit needs a new buffer.
void* text(std::u16string_view units) {
    const auto n = static_cast<int32_t>(units.size());
    int32_t request = n;
    for (int32_t min = n; min > 0; --min) {
        UnicodeString probe;
        probe.getBuffer(min);
        if (probe.getCapacity() == n) request = min;
        probe.releaseBuffer(0);
    }
    void* h = QOVAUnicodeStringFactory::make();
    char16_t* buffer = str(h).getBuffer(request);
    std::copy(units.begin(), units.end(), buffer);
    str(h).releaseBuffer(n);
    return h;
}

void factory(inject::Tally& t) {
    // Long enough that ICU allocates a buffer instead of using the string's inline storage.
    const std::u16string longText(60, u'x');
    const std::string bytes(60, 'y');

    t.sweep("make()", [](Window& w) {
        w.open();
        void* h = QOVAUnicodeStringFactory::make();
        w.close();
        return madeOrNull(h, UnicodeString());
    });
    t.sweep("make(unsigned short)", [](Window& w) {
        w.open();
        void* h = QOVAUnicodeStringFactory::make(static_cast<unsigned short>(0xD800));
        w.close();
        return madeOrNull(h, UnicodeString(static_cast<UChar32>(0xD800)));
    });
    t.sweep("make(int)", [](Window& w) {
        w.open();
        void* h = QOVAUnicodeStringFactory::make(0x1F600);
        w.close();
        return madeOrNull(h, UnicodeString(static_cast<UChar32>(0x1F600)));
    });
    for (const char* codepage : {static_cast<const char*>(nullptr), "", "ISO-8859-1", "Shift_JIS",
                                 "no-such-codepage"}) {
        const std::string name = std::string("make(bytes, ") + (codepage ? codepage : "null") + ")";
        t.sweep(name.c_str(), [&](Window& w) {
            const UnicodeString expected(bytes.c_str(), codepage);
            w.open();
            void* h = QOVAUnicodeStringFactory::make(bytes.c_str(), codepage);
            w.close();
            if (!h) return true;
            // A converter that cannot be opened for want of memory gives a bogus string, as an
            // unknown codepage does.
            const bool ok = holdsOrBogus(h, expected) || (expected.isBogus() && str(h).isBogus());
            QOVAUnicodeStringFactory::destroy(h);
            return ok;
        });
    }
    t.sweep("make(const unsigned short*)", [&](Window& w) {
        std::u16string z = longText;
        w.open();
        void* h = QOVAUnicodeStringFactory::make(reinterpret_cast<const unsigned short*>(z.c_str()));
        w.close();
        if (!h) return true;
        const bool ok = holdsOrBogus(h, UnicodeString(z.c_str()));
        QOVAUnicodeStringFactory::destroy(h);
        return ok;
    });
    t.sweep("make(const int*, bool&)", [](Window& w) {
        std::vector<int> utf32(60, 0x1F600);
        utf32.push_back(0);
        UnicodeString expected;
        for (size_t i = 0; i + 1 < utf32.size(); ++i) expected.append(static_cast<UChar32>(utf32[i]));
        bool failed = true;
        w.open();
        void* h = QOVAUnicodeStringFactory::make(utf32.data(), failed);
        w.close();
        if (!h) return true;
        // Without the temporary buffer the second conversion fails unexamined: an empty string
        // and failed == false.
        const bool ok = !failed && (holdsOrBogus(h, expected) || str(h).isEmpty());
        QOVAUnicodeStringFactory::destroy(h);
        return ok;
    });
    t.sweep("make(const int*, bool&) unconvertible", [](Window& w) {
        const int utf32[] = {0x41, 0xD800, 0};
        bool failed = false;
        w.open();
        void* h = QOVAUnicodeStringFactory::make(utf32, failed);
        w.close();
        return failed && madeOrNull(h, UnicodeString());
    });
    t.sweep("makeCopy", [&](Window& w) {
        void* source = text(longText);
        w.open();
        void* h = QOVAUnicodeStringFactory::makeCopy(source);
        w.close();
        const bool ok = (!h || holdsOrBogus(h, str(source))) && str(source) == UnicodeString(longText.data(), 60);
        QOVAUnicodeStringFactory::destroy(h);
        QOVAUnicodeStringFactory::destroy(source);
        return ok;
    });
    t.sweep("makeInvariant", [&](Window& w) {
        w.open();
        void* h = QOVAUnicodeStringFactory::makeInvariant(bytes.c_str(), -1);
        w.close();
        if (!h) return true;
        const bool ok = holdsOrBogus(h, UnicodeString(bytes.c_str(), -1, US_INV));
        QOVAUnicodeStringFactory::destroy(h);
        return ok;
    });
    t.sweep("destroy", [&](Window& w) {
        void* h = text(longText);
        w.open();
        QOVAUnicodeStringFactory::destroy(h);
        w.close();
        return h == nullptr;
    });
}

// String services: an operation that grows a string can meet a refused allocation; ICU then
// marks that string bogus. The operation still reports what it documents (true for the
// in-place edits); concatenate and substring report false and leave `result` alone when the
// new string cannot be had.
void services(inject::Tally& t) {
    // 62 units fill a buffer of ICU's exactly, so that appending the terminator needs a new one.
    const std::u16string body(62, u'k');
    const std::u16string terminated = body + u'\0';
    const UnicodeString bodyText(body.data(), 62);
    const UnicodeString terminatedText(terminated.data(), 63);

    t.sweep("nullTerminateString", [&](Window& w) {
        void* s = text(body);
        w.open();
        QOVAUnicodeStringServices::nullTerminateString(s);
        w.close();
        const bool ok = holdsOrBogus(s, terminatedText);
        QOVAUnicodeStringFactory::destroy(s);
        return ok;
    });
    t.sweep("removeNullTerminator", [&](Window& w) {
        void* s = text(terminated);
        w.open();
        QOVAUnicodeStringServices::removeNullTerminator(s);
        w.close();
        const bool ok = holdsOrBogus(s, bodyText);
        QOVAUnicodeStringFactory::destroy(s);
        return ok;
    });
    for (bool last : {false, true}) {
        t.sweep(last ? "lastIndexOf(needle)" : "indexOf(needle)", [&](Window& w) {
            // The needle fills its buffer, so terminating it again afterwards needs a new one.
            void* s = text(u"ab" + body + u"ab" + body + u'\0');
            void* needle = text(body);
            w.open();
            const int at = last ? QOVAUnicodeStringServices::lastIndexOf(s, needle, 0)
                                : QOVAUnicodeStringServices::indexOf(s, needle, 0);
            w.close();
            const bool ok = expect(at == (last ? 66 : 2), "found at " + std::to_string(at)) &&
                            holdsOrBogus(needle, terminatedText);
            QOVAUnicodeStringFactory::destroy(needle);
            QOVAUnicodeStringFactory::destroy(s);
            return ok;
        });
    }
    t.sweep("compareIgnoringCase", [&](Window& w) {
        void* a = text(u"Stra\u00DFe" + terminated);
        void* b = text(u"STRASSE" + terminated);
        int result = 7;
        w.open();
        const bool done = QOVAUnicodeStringServices::compareIgnoringCase(a, b, result);
        w.close();
        const bool ok = done && result == 0;
        QOVAUnicodeStringFactory::destroy(a);
        QOVAUnicodeStringFactory::destroy(b);
        return ok;
    });
    for (bool upper : {false, true}) {
        t.sweep(upper ? "convertToUpper" : "convertToLower", [&](Window& w) {
            // German sharp s grows when upper-cased, so the mapping needs a new buffer.
            void* s = text(u"Stra\u00DFe " + terminated);
            UnicodeString expected = str(s);
            upper ? expected.toUpper() : expected.toLower();
            w.open();
            const bool done = upper ? QOVAUnicodeStringServices::convertToUpper(s)
                                    : QOVAUnicodeStringServices::convertToLower(s);
            w.close();
            const bool ok = done && holdsOrBogus(s, expected);
            QOVAUnicodeStringFactory::destroy(s);
            return ok;
        });
    }
    t.sweep("append", [&](Window& w) {
        void* target = text(terminated);
        void* source = text(body);
        w.open();
        const bool done = QOVAUnicodeStringServices::append(target, source);
        w.close();
        const bool ok = done && holdsOrBogus(target, bodyText + bodyText + UnicodeString(u'\0')) &&
                        holdsOrBogus(source, terminatedText);
        QOVAUnicodeStringFactory::destroy(target);
        QOVAUnicodeStringFactory::destroy(source);
        return ok;
    });
    t.sweep("concatenate", [&](Window& w) {
        void* first = text(terminated);
        void* second = text(body);
        void* result = &t;  // any value that must survive a failure
        w.open();
        const bool done = QOVAUnicodeStringServices::concatenate(first, second, result);
        w.close();
        // Without the new string nothing is touched: the second input keeps its missing
        // terminator.
        bool ok = holdsOrBogus(first, terminatedText) && holdsOrBogus(second, done ? terminatedText : bodyText);
        if (done) {
            ok = ok && result != &t && holdsOrBogus(result, bodyText + bodyText + UnicodeString(u'\0'));
            QOVAUnicodeStringFactory::destroy(result);
        } else {
            ok = ok && expect(result == &t, "result changed on failure");
        }
        QOVAUnicodeStringFactory::destroy(first);
        QOVAUnicodeStringFactory::destroy(second);
        return ok;
    });
    t.sweep("replace", [&](Window& w) {
        void* s = text(terminated);
        UnicodeString expected = terminatedText;
        expected.findAndReplace(UnicodeString(u'\0'), UnicodeString(u'z')).append(u'\0');
        w.open();
        const bool done = QOVAUnicodeStringServices::replace(s, 0, u'z');
        w.close();
        const bool ok = done && holdsOrBogus(s, expected);
        QOVAUnicodeStringFactory::destroy(s);
        return ok;
    });
    t.sweep("substring", [&](Window& w) {
        void* s = text(terminated + body);
        void* result = &t;
        w.open();
        const bool done = QOVAUnicodeStringServices::substring(s, result, 10, 70);
        w.close();
        bool ok = holdsOrBogus(s, terminatedText + bodyText);
        if (done) {
            ok = ok && result != &t && holdsOrBogus(result, UnicodeString(terminatedText + bodyText, 10, 70).append(u'\0'));
            QOVAUnicodeStringFactory::destroy(result);
        } else {
            ok = ok && result == &t;
        }
        QOVAUnicodeStringFactory::destroy(s);
        return ok;
    });
}

// Export and converters. The exports convert into the caller's buffer and allocate nothing of
// their own; the sweep confirms that (no run reaches a fault) or that a fault is survived.
void exports(inject::Tally& t) {
    const std::u16string textUnits = u"gr\u00FC\u00DFe \u20AC \U0001F600 " + std::u16string(40, u'x') + u'\0';
    t.sweep("getAsUTF8", [&](Window& w) {
        void* s = text(textUnits);
        char buffer[128];
        w.open();
        const int size = QOVAUnicodeStringServices::getAsUTF8size(s);
        const bool done = QOVAUnicodeStringServices::getAsUTF8(s, buffer, size + 1);
        w.close();
        std::string expected;
        UnicodeString(textUnits.data(), static_cast<int32_t>(textUnits.size()) - 1).toUTF8String(expected);
        QOVAUnicodeStringFactory::destroy(s);
        return done && expected == std::string(buffer, static_cast<size_t>(size));
    });
    t.sweep("getAsUTF16, getAsUTF32, getAsWCS", [&](Window& w) {
        void* s = text(textUnits);
        unsigned short u16[128];
        int u32[128];
        wchar_t wide[128];
        w.open();
        const bool done =
            QOVAUnicodeStringServices::getAsUTF16(s, u16, QOVAUnicodeStringServices::getAsUTF16size(s)) &&
            QOVAUnicodeStringServices::getAsUTF32(s, u32, QOVAUnicodeStringServices::getAsUTF32size(s) + 1) &&
            QOVAUnicodeStringServices::getAsWCS(s, wide, QOVAUnicodeStringServices::getAsWCSsize(s) + 1);
        w.close();
        QOVAUnicodeStringFactory::destroy(s);
        return done;
    });
    for (const char* name : {"ISO-8859-1", "Shift_JIS", "ibm-37", "ISO-2022-JP"}) {
        const std::string op = std::string("open+getAsMBCS+close ") + name;
        t.sweep(op.c_str(), [&](Window& w) {
            void* s = text(textUnits);
            void* converter = &t;
            char buffer[256];
            w.open();
            const bool opened = QOVAUnicodeCodepageConverter::open(name, converter);
            if (!opened) {
                w.close();
                QOVAUnicodeStringFactory::destroy(s);
                return converter == nullptr;  // refused: false and null
            }
            const int size = QOVAUnicodeStringServices::getAsMBCSsize(s, converter);
            const bool done = QOVAUnicodeStringServices::getAsMBCS(s, converter, buffer, size + 1, '?');
            const bool reset = QOVAUnicodeCodepageConverter::reset(converter);
            const bool closed = QOVAUnicodeCodepageConverter::close(converter);
            w.close();
            QOVAUnicodeStringFactory::destroy(s);
            return done && reset && closed && converter == nullptr && buffer[size] == 0;
        });
    }
}

}  // namespace

int main() {
    inject::install();
    inject::Tally strings("strings");
    factory(strings);
    services(strings);
    exports(strings);
    return strings.finish();
}
