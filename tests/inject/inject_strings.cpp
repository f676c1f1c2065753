// Allocation failures in the string family: factory, services, export and converters.
// A refused ICU allocation must end in the operation's result or its failure result: a null
// handle from a factory, false and an untouched output from concatenate and substring, and
// otherwise a string that ICU marked bogus (its content is then dropped, never garbage).
#include "icu_faults.h"

#include "QOVAicuC.h"

#include <unicode/unistr.h>

#include <string>
#include <vector>

namespace {

using inject::Window;
using icu::UnicodeString;

UnicodeString& str(void* h) { return *static_cast<UnicodeString*>(h); }

// A string handle holds either exactly `expected` or ICU's bogus state.
bool holdsOrBogus(void* h, const UnicodeString& expected) {
    return str(h).isBogus() || (str(h) == expected && !expected.isBogus());
}

// The string that a factory returned: null or exactly `expected`; released here.
bool madeOrNull(void* h, const UnicodeString& expected) {
    if (!h) return true;
    const bool ok = str(h) == expected && str(h).isBogus() == expected.isBogus();
    QOVAUnicodeStringFactory::destroy(h);
    return ok;
}

// A string made outside the fault window, with exactly these units.
void* text(std::u16string_view units) {
    void* h = QOVAUnicodeStringFactory::make();
    str(h).setTo(units.data(), static_cast<int32_t>(units.size()));
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

}  // namespace

int main() {
    inject::install();
    inject::Tally strings{"strings"};
    factory(strings);
    return strings.finish();
}
