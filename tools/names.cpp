#include "names.h"

#include <unicode/uregex.h>

namespace qovaicu {

const Name<unsigned int> kRegexFlags[8] = {
    {"case-insensitive", UREGEX_CASE_INSENSITIVE},
    {"comments", UREGEX_COMMENTS},
    {"dotall", UREGEX_DOTALL},
    {"literal", UREGEX_LITERAL},
    {"multiline", UREGEX_MULTILINE},
    {"unix-lines", UREGEX_UNIX_LINES},
    {"uword", UREGEX_UWORD},
    {"error-on-unknown-escapes", UREGEX_ERROR_ON_UNKNOWN_ESCAPES},
};

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace qovaicu
