// Export: a string's text as UTF-8 and as the bytes of codepages, and the substitution pass.
#include "tour.h"

#include <cstdio>
#include <vector>

namespace {

std::string hex(const char* bytes, int count) {
    std::string out;
    char two[4];
    for (int i = 0; i < count; ++i) {
        std::snprintf(two, sizeof two, i ? " %02X" : "%02X", static_cast<unsigned char>(bytes[i]));
        out += two;
    }
    return out;
}

// The text of `str` in the codepage of `converter`: size + 1 bytes for the text and its zero.
std::string codepageBytes(void* str, void* converter, char substitute) {
    using S = QOVAUnicodeStringServices;
    const int size = S::getAsMBCSsize(str, converter);
    std::vector<char> buffer(static_cast<size_t>(size) + 1);
    if (!S::getAsMBCS(str, converter, buffer.data(), size + 1, substitute)) return "failed";
    return hex(buffer.data(), size);
}

}  // namespace

bool tourExport() {
    using F = QOVAUnicodeStringFactory;
    using S = QOVAUnicodeStringServices;
    using C = QOVAUnicodeCodepageConverter;
    std::printf("\nExport\n");
    bool ok = true;

    // The export reads the text up to the terminator, so the string is terminated first.
    void* price = F::make("Gr\xC3\xBC\xC3\x9F" "e 5 \xE2\x82\xAC", "UTF-8");
    S::nullTerminateString(price);

    // UTF-8: the size leaves out the zero byte that the export writes, so the buffer gets one
    // more; a buffer of exactly the size is refused.
    const int size = S::getAsUTF8size(price);
    ok &= tour::show("UTF-8 size:", std::to_string(size), "13");
    std::vector<char> utf8(static_cast<size_t>(size) + 1);
    ok &= tour::show("into exactly size bytes:",
                     S::getAsUTF8(price, utf8.data(), size) ? "true" : "false", "false");
    ok &= tour::show("into size + 1 bytes:",
                     S::getAsUTF8(price, utf8.data(), size + 1) ? "true" : "false", "true");
    ok &= tour::show("UTF-8 bytes:", hex(utf8.data(), size),
                     "47 72 C3 BC C3 9F 65 20 35 20 E2 82 AC");

    void* cp1252 = nullptr;
    void* sjis = nullptr;
    void* latin1 = nullptr;
    const bool opened = C::open("windows-1252", cp1252);
    ok &= tour::show("open windows-1252:", opened ? "true" : "false", "true");
    ok &= tour::show("windows-1252 bytes:", codepageBytes(price, cp1252, 0),
                     "47 72 FC DF 65 20 35 20 80");

    // 日本, "Japan", two characters of two bytes each in Shift_JIS.
    void* japan = F::make("\xE6\x97\xA5\xE6\x9C\xAC", "UTF-8");
    S::nullTerminateString(japan);
    C::open("Shift_JIS", sjis);
    ok &= tour::show("Shift_JIS bytes of nihon (Japan):", codepageBytes(japan, sjis, 0),
                     "93 FA 96 7B");

    // ISO-8859-1 has no euro sign: ICU writes the converter's substitution byte 0x1A, which the
    // substitution pass turns into a byte of the caller's choice.
    C::open("ISO-8859-1", latin1);
    ok &= tour::show("ISO-8859-1, no substitute:", codepageBytes(price, latin1, 0),
                     "47 72 FC DF 65 20 35 20 1A");
    ok &= tour::show("ISO-8859-1, substitute '?':", codepageBytes(price, latin1, '?'),
                     "47 72 FC DF 65 20 35 20 3F");

    for (void** c : {&cp1252, &sjis, &latin1}) C::close(*c);
    for (void** h : {&price, &japan}) F::destroy(*h);
    return ok;
}
