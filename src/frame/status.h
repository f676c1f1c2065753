// The ways in which the library judges an ICU status. The status never reaches the caller.
#pragma once

#include <unicode/utypes.h>

namespace qova {

// ICU's own failure test: only codes above zero fail; warnings count as success.
inline bool icuFailed(UErrorCode status) noexcept { return U_FAILURE(status); }

// Exact success: any warning counts as failure (the exports, where a warning means the
// terminating zero did not fit).
constexpr bool exactSuccess(UErrorCode status) noexcept { return status == U_ZERO_ERROR; }

// Accepted outcome of a length preflight (no destination given).
constexpr bool preflightAccepted(UErrorCode status) noexcept {
    return status == U_ZERO_ERROR || status == U_BUFFER_OVERFLOW_ERROR ||
           status == U_STRING_NOT_TERMINATED_WARNING;
}

// The one code that the number parse reports: nothing at the start of the text was a number.
constexpr bool nothingParsed(UErrorCode status) noexcept { return status == U_INVALID_FORMAT_ERROR; }

}  // namespace qova
