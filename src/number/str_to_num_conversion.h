// How the number that ICU read becomes the result type of a parse function. ICU delivers a
// 32-bit integer, a 64-bit integer or a double (infinities and NaN included); every conversion
// below is defined for every value, so no out-of-range double ever reaches a C++ cast.
#pragma once

#include <unicode/fmtable.h>

#include <climits>
#include <cmath>
#include <cstdint>

namespace qova {

// What an integer parse gives for an infinite value of either sign (the 32-bit maximum, also
// for the 64-bit and unsigned results), together with the invalid error kind.
constexpr int infiniteAsInteger = INT_MAX;

// The low 32 bits of a 64-bit value read as two's complement, without the narrowing conversion
// whose result the language leaves to the implementation: 10^10 gives 10^10 - 2^33.
constexpr int low32Signed(int64_t value) noexcept {
    const uint32_t bits = static_cast<uint32_t>(value);  // reduced modulo 2^32
    if (bits <= static_cast<uint32_t>(INT_MAX)) return static_cast<int>(bits);
    return static_cast<int>(bits - 0x80000000u) + INT_MIN;
}

// Truncation toward zero where the truncated value fits; anything else, NaN included, gives the
// type's minimum. The bounds are exact doubles: -2^31 - 1 and 2^31, -2^63 and 2^63.
constexpr int truncatedInt(double value) noexcept {
    if (value > -2147483649.0 && value < 2147483648.0) return static_cast<int>(value);
    return INT_MIN;
}

constexpr long long truncatedInt64(double value) noexcept {
    if (value >= -9223372036854775808.0 && value < 9223372036854775808.0)
        return static_cast<long long>(value);
    return LLONG_MIN;
}

// The floating-point value of a result that is neither kLong nor kInt64 (for a number format:
// kDouble). The status form never reads a member that the type does not hold.
inline double floatingValue(const icu::Formattable& number) {
    UErrorCode ignored = U_ZERO_ERROR;
    return number.getDouble(ignored);
}

}  // namespace qova
