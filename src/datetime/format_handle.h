// Format handles: the date-time formatter handle and the number parser handle are both the
// address of one FormatHolder, which owns one ICU format object. Both factories copy and
// destroy them through the same two operations below.
#pragma once

#include <unicode/format.h>

#include <memory>

namespace qova {

// Plain struct from the standard allocator. `format` is null in a copy of a holder that held
// nothing or whose clone ICU could not make, and in a number parser for which ICU made no
// number format. The object is deleted through Format's virtual destructor, which returns it
// to ICU's allocator.
struct FormatHolder {
    std::unique_ptr<icu::Format> format;
};

// The ICU object of a format handle, as the kind that the handle holds (icu::DateFormat or
// icu::NumberFormat); null when the holder holds none. A handle of the other kind is a caller
// error, as for every handle.
template <class Kind>
inline const Kind* heldFormat(const void* handle) noexcept {
    return static_cast<const Kind*>(static_cast<const FormatHolder*>(handle)->format.get());
}

// makeCopy of both factories: a new holder with a clone of the source's object (or with
// nothing); null for a null source or when memory runs out.
void* copyFormatHandle(const void* handle) noexcept;

// destroy of both factories: deletes the object and the holder and nulls the variable.
void releaseFormatHandle(void*& handle) noexcept;

}  // namespace qova
