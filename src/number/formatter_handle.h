// Number formatter handles: the handle is the address of one icu::number::LocalizedNumberFormatter
// that holds every setting of the handle, its locale included, and nothing more.
#pragma once

#include <unicode/numberformatter.h>

namespace qova {

using NumberFormatter = icu::number::LocalizedNumberFormatter;

inline NumberFormatter& asFormatter(void* handle) noexcept {
    return *static_cast<NumberFormatter*>(handle);
}

inline const NumberFormatter& asFormatter(const void* handle) noexcept {
    return *static_cast<const NumberFormatter*>(handle);
}

}  // namespace qova
