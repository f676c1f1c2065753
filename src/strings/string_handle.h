// String handles: the handle is the address of one heap icu::UnicodeString, nothing more.
#pragma once

#include <unicode/unistr.h>

namespace qova {

inline icu::UnicodeString& asString(void* handle) noexcept {
    return *static_cast<icu::UnicodeString*>(handle);
}

inline const icu::UnicodeString& asString(const void* handle) noexcept {
    return *static_cast<const icu::UnicodeString*>(handle);
}

}  // namespace qova
