// Text in and out of string handles as standard strings: optional, header-only C++ conveniences
// built on the export operations of QOVAUnicodeStringServices and their size rules.
//
//   utf8(str)        size = getAsUTF8size, buffer of size + 1 bytes, getAsUTF8; the zero byte
//                    that getAsUTF8 writes is not part of the std::string.
//   utf16(str)       size = getAsUTF16size (all units, the terminator included), buffer of size
//                    units, getAsUTF16; then ONE trailing U+0000 unit, the terminator, is dropped,
//                    so that the std::u16string holds the text. Units after a U+0000 inside the
//                    text, and further trailing U+0000 units, are kept.
//   codepage(str, converter, substitute)
//                    size = getAsMBCSsize, buffer of size + 1 bytes, getAsMBCS.
//
// The UTF-8 and codepage exports read a string up to its first U+0000 unit, or all of it when
// it holds none, so these helpers take terminated and unterminated strings alike and only read
// them.
//
// Each returns std::nullopt when the export fails: a null handle, text that the encoding cannot
// take (an unpaired surrogate for UTF-8, for instance), or the empty (bogus) string that a failed
// number formatting call leaves, which has no text at all.
#ifndef QOVAICUC_TEXT_HPP
#define QOVAICUC_TEXT_HPP

#include <QOVAicuC.h>
#include <QOVAicuC/handles.hpp>

#include <optional>
#include <string>
#include <vector>

namespace qovaicuc {

// A new terminated string from UTF-8 text (up to its first zero byte). Empty owner when memory
// runs out.
inline String fromUtf8(const std::string& text) {
    String s(QOVAUnicodeStringFactory::make(text.c_str(), "UTF-8"));
    QOVAUnicodeStringServices::nullTerminateString(s.get());
    return s;
}

// A new terminated string from UTF-16 text (up to its first U+0000 unit).
inline String fromUtf16(const std::u16string& text) {
    std::vector<unsigned short> units(text.begin(), text.end());
    units.push_back(0);
    String s(QOVAUnicodeStringFactory::make(units.data()));
    QOVAUnicodeStringServices::nullTerminateString(s.get());
    return s;
}

// The text of `str` as UTF-8.
inline std::optional<std::string> utf8(void* str) {
    if (str == nullptr) return std::nullopt;
    const int size = QOVAUnicodeStringServices::getAsUTF8size(str);
    if (size < 0) return std::nullopt;
    std::string out(static_cast<size_t>(size) + 1, '\0');
    if (!QOVAUnicodeStringServices::getAsUTF8(str, out.data(), size + 1)) return std::nullopt;
    out.resize(static_cast<size_t>(size));
    return out;
}

// The units of `str` without its terminator (see above).
inline std::optional<std::u16string> utf16(void* str) {
    if (str == nullptr) return std::nullopt;
    const int size = QOVAUnicodeStringServices::getAsUTF16size(str);
    if (size < 0) return std::nullopt;
    std::vector<unsigned short> units(static_cast<size_t>(size));
    if (!QOVAUnicodeStringServices::getAsUTF16(str, units.data(), size)) return std::nullopt;
    if (!units.empty() && units.back() == 0) units.pop_back();
    return std::u16string(units.begin(), units.end());
}

// The text of `str` in the codepage of `converter`. When `substitute` is not 0, the bytes equal
// to the converter's substitution bytes below 0x80 become `substitute` (see getAsMBCS).
inline std::optional<std::string> codepage(void* str, void* converter, char substitute = 0) {
    if (str == nullptr || converter == nullptr) return std::nullopt;
    const int size = QOVAUnicodeStringServices::getAsMBCSsize(str, converter);
    if (size < 0) return std::nullopt;
    std::string out(static_cast<size_t>(size) + 1, '\0');
    if (!QOVAUnicodeStringServices::getAsMBCS(str, converter, out.data(), size + 1, substitute))
        return std::nullopt;
    out.resize(static_cast<size_t>(size));
    return out;
}

}  // namespace qovaicuc

#endif  // QOVAICUC_TEXT_HPP
