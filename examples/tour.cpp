// A tour of QOVAicuC. Run it with the README's demo command.
#include "tour.h"

#include <cstdio>

namespace tour {

bool show(const char* label, const std::string& value, const std::string& expected) {
    const bool same = value == expected;
    std::printf("  %-34s %s%s\n", label, value.c_str(), same ? "" : "   <-- unexpected");
    if (!same) std::printf("  %-34s %s\n", "expected:", expected.c_str());
    return same;
}

}  // namespace tour

int main() {
    bool ok = true;
    ok &= tourStrings();
    ok &= tourNumbers();
    std::printf(ok ? "\ntour complete\n" : "\ntour found unexpected results\n");
    return ok ? 0 : 1;
}
