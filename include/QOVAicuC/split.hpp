// Splitting a text at the matches of a pattern, with the fields as UTF-8 strings: an optional,
// header-only C++ convenience over QOVAUnicodeRegexServices::split.
//
// ```cpp
// auto comma = qovaicuc::fromUtf8(",\\s*");
// auto byComma = qovaicuc::Matcher::make(comma);
// auto text = qovaicuc::fromUtf8("7 apples, 12 pears");
// if (byComma) auto fields = qovaicuc::split(*byComma, text);  // {"7 apples", "12 pears"}
// ```
//
// split writes its fields into a caller's array of icu::UnicodeString objects, so this header
// (unlike the others of this folder) includes ICU's <unicode/unistr.h>, and a program that uses
// it links ICU's common library (ICU::uc in CMake, icu-uc in pkg-config). The array elements are
// only made here; each one is the address of an icu::UnicodeString and so a string handle, which
// the library's own export reads out.
#ifndef QOVAICUC_SPLIT_HPP
#define QOVAICUC_SPLIT_HPP

#include <QOVAicuC.h>
#include <QOVAicuC/matches.hpp>
#include <QOVAicuC/text.hpp>

#include <unicode/unistr.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qovaicuc {

// The fields of `text` between the matches of `matcher`'s pattern, at most
// `maxFields` of them (0: all); when there are more, the last field holds the rest of the text,
// delimiters included. An empty text has no fields (an empty vector). std::nullopt for a null
// handle or when a field cannot be read out as UTF-8.
//
// The library's split fills at most the capacity it is given and puts the rest of the text in
// the last element. The array starts small and doubles, with the text split again, only while
// that last element may still hold more fields, so memory follows the number of fields, not the
// length of the text. A text of n units has at most n + 1 fields, which bounds the capacity as
// before.
//
// `input` is only read. The library's split leaves the matcher without an input; afterwards the
// matcher searches its own input again (Matcher::input()).
inline std::optional<std::vector<std::string>> split(Matcher& matcher, const String& text, int maxFields = 0) {
    struct Rebind {  // on every way out
        Matcher& m;
        ~Rebind() { QOVAUnicodeRegexServices::reset(m.get(), m.input().get()); }
    } rebind{matcher};
    void* const input = text.get();
    if (!matcher || input == nullptr) return std::nullopt;
    const int units = QOVAUnicodeStringServices::getAsUTF16size(input);
    const int most = maxFields > 0 && maxFields <= units ? maxFields : units + 1;
    int capacity = most < 16 ? most : 16;
    std::vector<icu::UnicodeString> fields;
    int count = 0;
    for (;;) {
        fields.assign(static_cast<size_t>(capacity), icu::UnicodeString());
        count = QOVAUnicodeRegexServices::split(matcher.get(), input, fields.data(), capacity);
        if (count < capacity || capacity == most) break;
        capacity = capacity > most / 2 ? most : capacity * 2;
    }
    std::vector<std::string> out;
    out.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        std::optional<std::string> field = detail::utf8Of(&fields[static_cast<size_t>(i)]);
        if (!field) return std::nullopt;
        out.push_back(std::move(*field));
    }
    return out;
}

}  // namespace qovaicuc

#endif  // QOVAICUC_SPLIT_HPP
