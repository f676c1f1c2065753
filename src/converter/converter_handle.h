// Converter handles: the handle is ICU's UConverter* itself, as ucnv_open returns it.
#pragma once

#include <unicode/ucnv.h>

namespace qova {

inline UConverter* asConverter(void* handle) noexcept { return static_cast<UConverter*>(handle); }

}  // namespace qova
