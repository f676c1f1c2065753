// Splitting a text at the matches of a pattern, with the fields as UTF-8 strings: an optional,
// header-only C++ convenience over QOVAUnicodeRegexServices::split.
//
// split writes its fields into a caller's array of icu::UnicodeString objects, so this header
// (unlike the others of this folder) includes ICU's <unicode/unistr.h>, and a program that uses
// it links ICU's common library (ICU::uc in CMake, icu-uc in pkg-config). The array elements are
// only made here; each one is the address of an icu::UnicodeString and so a string handle, which
// the library's own export reads out.
#ifndef QOVAICUC_SPLIT_HPP
#define QOVAICUC_SPLIT_HPP

#include <QOVAicuC.h>
#include <QOVAicuC/text.hpp>

#include <unicode/unistr.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qovaicuc {

// The fields of the text of `input` between the matches of `matcher`'s pattern, at most
// `maxFields` of them (0: all); when there are more, the last field holds the rest of the text,
// delimiters included. An empty text has no fields (an empty vector). std::nullopt for a null
// handle or when a field cannot be read out as UTF-8.
//
// Afterwards the matcher has no input of its own: give it one with
// QOVAUnicodeRegexServices::reset(matcher, input) before the next search.
inline std::optional<std::vector<std::string>> split(void* matcher, void* input, int maxFields = 0) {
    if (matcher == nullptr || input == nullptr) return std::nullopt;
    // A text of n units has at most n + 1 fields, so that many elements take them all.
    int capacity = QOVAUnicodeStringServices::getAsUTF16size(input) + 1;
    if (maxFields > 0 && maxFields < capacity) capacity = maxFields;
    std::vector<icu::UnicodeString> fields(static_cast<size_t>(capacity));
    const int count = QOVAUnicodeRegexServices::split(matcher, input, fields.data(), capacity);
    std::vector<std::string> out;
    out.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        std::optional<std::string> text = utf8(&fields[static_cast<size_t>(i)]);
        if (!text) return std::nullopt;
        out.push_back(std::move(*text));
    }
    return out;
}

}  // namespace qovaicuc

#endif  // QOVAICUC_SPLIT_HPP
