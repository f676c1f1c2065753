// Text in and out of string handles as standard strings: optional, header-only C++ conveniences
// built on the string factory and the export operations of QOVAUnicodeStringServices.
//
//   fromUtf8(text), fromUtf16(text)
//                    a new string in terminated form (its text, then one U+0000 unit), as the
//                    services of every family expect. The library's factory reads text up to its
//                    first zero, so text that holds a zero is refused (an empty owner), never cut.
//   zoneId(id)       (handles.hpp) a zone string: the id's text without a terminator, because
//                    the date-time factory reads a zone id whole.
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
// them. An empty string gives empty text from every export.
//
// Each export returns std::nullopt when it fails: a null handle, text that the encoding cannot
// take (an unpaired surrogate for UTF-8, for instance), or the bogus string that a failed number
// formatting call leaves, which has no text at all. The void* forms read handles that no owner
// holds, such as the elements that split fills.
#ifndef QOVAICUC_TEXT_HPP
#define QOVAICUC_TEXT_HPP

#include <QOVAicuC.h>
#include <QOVAicuC/handles.hpp>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qovaicuc {

inline String fromUtf8(std::string_view text) {
    if (detail::holdsZero(text)) return {};
    String s(adopt, QOVAUnicodeStringFactory::make(detail::cStringCopy(text).c_str(), "UTF-8"));
    QOVAUnicodeStringServices::nullTerminateString(s.get());
    return s;
}

inline String fromUtf16(std::u16string_view text) {
    if (text.find(u'\0') != std::u16string_view::npos) return {};
    std::vector<unsigned short> units(text.begin(), text.end());
    units.push_back(0);
    String s(adopt, QOVAUnicodeStringFactory::make(units.data()));
    QOVAUnicodeStringServices::nullTerminateString(s.get());
    return s;
}

namespace detail {

// The exports on a bare handle, for the helpers that read strings no owner holds (split's fields).
inline std::optional<std::string> utf8Of(void* str) {
    if (str == nullptr) return std::nullopt;
    const int size = QOVAUnicodeStringServices::getAsUTF8size(str);
    if (size < 0) return std::nullopt;
    std::string out(static_cast<size_t>(size) + 1, '\0');
    if (!QOVAUnicodeStringServices::getAsUTF8(str, out.data(), size + 1)) return std::nullopt;
    out.resize(static_cast<size_t>(size));
    return out;
}

inline std::optional<std::u16string> utf16Of(void* str) {
    if (str == nullptr) return std::nullopt;
    const int size = QOVAUnicodeStringServices::getAsUTF16size(str);
    if (size < 0) return std::nullopt;
    // A string without units is empty text unless it is bogus, which the UTF-8 export refuses.
    if (size == 0) return utf8Of(str) ? std::optional<std::u16string>(u"") : std::nullopt;
    std::vector<unsigned short> units(static_cast<size_t>(size));
    if (!QOVAUnicodeStringServices::getAsUTF16(str, units.data(), size)) return std::nullopt;
    if (units.back() == 0) units.pop_back();
    return std::u16string(units.begin(), units.end());
}

inline std::optional<std::string> codepageOf(void* str, void* converter, char substitute) {
    if (str == nullptr || converter == nullptr) return std::nullopt;
    const int size = QOVAUnicodeStringServices::getAsMBCSsize(str, converter);
    if (size < 0) return std::nullopt;
    std::string out(static_cast<size_t>(size) + 1, '\0');
    if (!QOVAUnicodeStringServices::getAsMBCS(str, converter, out.data(), size + 1, substitute))
        return std::nullopt;
    out.resize(static_cast<size_t>(size));
    return out;
}

}  // namespace detail

// The text of `str` as UTF-8.
inline std::optional<std::string> utf8(const String& str) { return detail::utf8Of(str.get()); }
// The units of `str` without its terminator (see above).
inline std::optional<std::u16string> utf16(const String& str) { return detail::utf16Of(str.get()); }
// The text of `str` in the codepage of `converter`. When `substitute` is not 0, the bytes equal
// to the converter's substitution bytes below 0x80 become `substitute` (see getAsMBCS). The
// converter's state is reset and used, as the library does on every codepage export.
inline std::optional<std::string> codepage(const String& str, Converter& converter, char substitute = 0) {
    return detail::codepageOf(str.get(), converter.get(), substitute);
}

}  // namespace qovaicuc

#endif  // QOVAICUC_TEXT_HPP
