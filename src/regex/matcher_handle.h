// Matcher handles: the handle is the address of one heap icu::RegexMatcher, nothing more.
#pragma once

#include <unicode/regex.h>

namespace qova {

inline icu::RegexMatcher& asMatcher(void* handle) noexcept {
    return *static_cast<icu::RegexMatcher*>(handle);
}

}  // namespace qova
