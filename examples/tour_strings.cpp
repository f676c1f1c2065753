// Strings: making handles from several sources, the terminated form, copies.
#include "tour.h"

#include <cstdio>

bool tourStrings() {
    using F = QOVAUnicodeStringFactory;
    using S = QOVAUnicodeStringServices;
    std::printf("Strings\n");
    bool ok = true;

    // A string made from UTF-8 bytes holds no terminator until nullTerminateString adds it;
    // length counts all units but one, so only then the text (the emoji is two units).
    void* greeting = F::make("Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80", "UTF-8");
    ok &= tour::show("length before terminating:", std::to_string(S::length(greeting)), "7");
    S::nullTerminateString(greeting);
    ok &= tour::show("length once terminated:", std::to_string(S::length(greeting)), "8");

    // UTF-32 input reports text it cannot convert through its flag.
    bool failed = false;
    const int codePoints[] = {0x48, 0x69, 0x1F44B, 0};
    void* wave = F::make(codePoints, failed);
    S::nullTerminateString(wave);
    ok &= tour::show("from UTF-32, failed:", failed ? "true" : "false", "false");
    const int broken[] = {0x48, 0xD800, 0};
    void* none = F::make(broken, failed);
    ok &= tour::show("from a lone surrogate, failed:", failed ? "true" : "false", "true");

    void* copy = F::makeCopy(greeting);
    ok &= tour::show("length of the copy:", std::to_string(S::length(copy)), "8");
    ok &= tour::show("length of the UTF-32 text:", std::to_string(S::length(wave)), "4");

    for (void** h : {&greeting, &wave, &none, &copy}) F::destroy(*h);
    ok &= tour::show("handle after destroy:", greeting == nullptr ? "null" : "dangling", "null");
    return ok;
}
