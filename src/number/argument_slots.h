// The argument list of SetIntegerWidthType and SetPrecisionType: consecutive 8-byte slots, the
// layout of a va_list on 64-bit Windows, so that a variadic front end there can pass its list
// through unchanged. Slot k begins 8 * k bytes after the pointer; the pointer need not be
// aligned, so the bytes are copied out, and they are decoded as little-endian whatever the
// host's byte order. Only slots that a row names are read; nothing is ever written.
#pragma once

#include <cstdint>
#include <cstring>

namespace qova {

namespace slots {

inline uint64_t littleEndian(const unsigned char* bytes, int count) noexcept {
    uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

}  // namespace slots

// The int number of slot k: the signed 32-bit value in the slot's first four bytes; the other
// four bytes of the slot are ignored (a caller that pushed a 32-bit int leaves them undefined).
inline int32_t slotInt(const char* args, int k) noexcept {
    unsigned char bytes[4];
    std::memcpy(bytes, args + 8 * k, sizeof bytes);
    const auto bits = static_cast<uint32_t>(slots::littleEndian(bytes, 4));
    int32_t value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The double number of slot k: an IEEE 754 double-precision value filling the whole slot.
inline double slotDouble(const char* args, int k) noexcept {
    unsigned char bytes[8];
    std::memcpy(bytes, args + 8 * k, sizeof bytes);
    const uint64_t bits = slots::littleEndian(bytes, 8);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace qova
