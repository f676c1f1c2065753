// The locale argument rule of the formatter and parser factories.
#pragma once

#include <unicode/locid.h>

namespace qova {

// Hands the ICU locale that a locale argument names to `use` and returns what `use` returns:
//   null or ""   ICU's default locale (used in place, not copied)
//   exactly "C"  en_US_POSIX, the POSIX locale's formatting
//   other text   an ICU locale id, given as the language argument; ICU resolves or rejects it
// A locale that had to be constructed lives only for the call of `use`.
template <class Use>
inline auto withLocale(const char* name, Use&& use) {
    if (name == nullptr || name[0] == '\0') return use(icu::Locale::getDefault());
    if (name[0] == 'C' && name[1] == '\0') return use(icu::Locale("en_US_POSIX"));
    return use(icu::Locale(name));
}

}  // namespace qova
