// A tour of QOVAicuC. Run it with the README's demo command.
#include "tour.h"

#include <cstdio>
#include <vector>

namespace tour {

std::string utf8(void* str) {
    // The size leaves out the zero byte that the export writes after the text.
    const int size = QOVAUnicodeStringServices::getAsUTF8size(str);
    std::vector<char> bytes(static_cast<size_t>(size) + 1);
    if (!QOVAUnicodeStringServices::getAsUTF8(str, bytes.data(), size + 1)) return "<not exportable>";
    return std::string(bytes.data(), static_cast<size_t>(size));
}

bool show(const char* label, const std::string& value, const std::string& expected) {
    const bool same = value == expected;
    std::printf("  %-34s %s%s\n", label, value.c_str(), same ? "" : "   <-- unexpected");
    if (!same) std::printf("  %-34s %s\n", "expected:", expected.c_str());
    return same;
}

}  // namespace tour

int main() {
    bool ok = true;
    // The typical request first: a price for a locale, exported as UTF-8.
    ok &= tourNumbers();
    ok &= tourStrings();
    ok &= tourExport();
    ok &= tourRegex();
    ok &= tourDates();
    std::printf(ok ? "\ntour complete\n" : "\ntour found unexpected results\n");
    return ok ? 0 : 1;
}
