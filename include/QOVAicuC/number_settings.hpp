// Typed forms of the two number formatter settings that take an argument list: optional,
// header-only C++ conveniences over QOVAUnicodeNumFormatterServices::SetPrecisionType and
// SetIntegerWidthType.
//
// Those operations read their numbers from consecutive 8-byte slots: an int in the low four
// bytes of its slot, little-endian; a double filling its slot. These helpers build two zeroed
// slots with memcpy and pass their address, so every row finds the slots it reads, whatever it
// is, and no caller has to know the layout:
//
//   qovaicuc::setPrecision(fmt, N::PrecisionInteger);             // rows without numbers
//   qovaicuc::setPrecision(fmt, N::PrecisionFixedFraction, 2);    // rows with one int
//   qovaicuc::setPrecision(fmt, N::PrecisionMinMaxFraction, 1, 3);// rows with two ints
//   qovaicuc::setPrecisionIncrement(fmt, 0.05);                   // the increment row (double)
//   qovaicuc::setIntegerWidth(fmt, 3);                            // zero-fill to 3 digits
//   qovaicuc::setIntegerWidth(fmt, 1, 2);                         // zero-fill to 1, truncate at 2
//
// The increment row reads a double: setPrecision with PrecisionIncrement and an int writes that
// int as a double, so setPrecision(fmt, PrecisionIncrement, 5) rounds to multiples of 5.
// Digit counts are passed on unchecked; ICU rejects the ones it cannot take, and the formatter
// then formats to empty text until a valid value replaces the setting.
#ifndef QOVAICUC_NUMBER_SETTINGS_HPP
#define QOVAICUC_NUMBER_SETTINGS_HPP

#include <QOVAicuC.h>

#include <cstdint>
#include <cstring>

namespace qovaicuc {

// Two 8-byte argument slots, zeroed.
class ArgumentSlots {
public:
    // Slot `k` (0 or 1) holds `value` in its low four bytes, little-endian on every host.
    ArgumentSlots& setInt(int k, int value) {
        const auto u = static_cast<std::uint32_t>(value);
        const unsigned char bytes[4] = {
            static_cast<unsigned char>(u & 0xFFu), static_cast<unsigned char>((u >> 8) & 0xFFu),
            static_cast<unsigned char>((u >> 16) & 0xFFu),
            static_cast<unsigned char>((u >> 24) & 0xFFu)};
        std::memcpy(slot(k), bytes, sizeof bytes);
        return *this;
    }
    // Slot `k` (0 or 1) holds `value` as an IEEE 754 double.
    ArgumentSlots& setDouble(int k, double value) {
        static_assert(sizeof(double) == 8, "a double fills one 8-byte slot");
        std::memcpy(slot(k), &value, sizeof value);
        return *this;
    }
    char* data() { return bytes_; }

private:
    char* slot(int k) { return bytes_ + 8 * (k == 0 ? 0 : 1); }
    alignas(8) char bytes_[16] = {};
};

using PrecisionType = QOVAUnicodeNumFormatterServices::PrecisionType;

// Rows without numbers (unlimited, integer, currency standard, currency cash); for the other
// rows the numbers read are 0.
inline void setPrecision(void* formatter, PrecisionType type) {
    ArgumentSlots slots;
    QOVAUnicodeNumFormatterServices::SetPrecisionType(formatter, type, slots.data());
}

// Rows with one number (fixed, min or max fraction; fixed, min or max significant digits; the
// increment, as a double).
inline void setPrecision(void* formatter, PrecisionType type, int digits) {
    ArgumentSlots slots;
    if (type == QOVAUnicodeNumFormatterServices::PrecisionIncrement)
        slots.setDouble(0, digits);
    else
        slots.setInt(0, digits);
    QOVAUnicodeNumFormatterServices::SetPrecisionType(formatter, type, slots.data());
}

// Rows with a minimum and a maximum (min-max fraction, min-max significant digits).
inline void setPrecision(void* formatter, PrecisionType type, int minDigits, int maxDigits) {
    ArgumentSlots slots;
    if (type == QOVAUnicodeNumFormatterServices::PrecisionIncrement)
        slots.setDouble(0, minDigits);
    else
        slots.setInt(0, minDigits).setInt(1, maxDigits);
    QOVAUnicodeNumFormatterServices::SetPrecisionType(formatter, type, slots.data());
}

// Rounds to multiples of `increment` (0.05 gives 1.25 → 1.25, 1.27 → 1.25).
inline void setPrecisionIncrement(void* formatter, double increment) {
    ArgumentSlots slots;
    slots.setDouble(0, increment);
    QOVAUnicodeNumFormatterServices::SetPrecisionType(
        formatter, QOVAUnicodeNumFormatterServices::PrecisionIncrement, slots.data());
}

// At least `minDigits` integer digits, filled with zeros.
inline void setIntegerWidth(void* formatter, int minDigits) {
    ArgumentSlots slots;
    slots.setInt(0, minDigits);
    QOVAUnicodeNumFormatterServices::SetIntegerWidthType(
        formatter, QOVAUnicodeNumFormatterServices::IntegerWidthZeroFill, slots.data());
}

// At least `minDigits` integer digits, filled with zeros, and at most `maxDigits`: higher digits
// are cut off (1234 with 1 and 2 gives 34).
inline void setIntegerWidth(void* formatter, int minDigits, int maxDigits) {
    ArgumentSlots slots;
    slots.setInt(0, minDigits).setInt(1, maxDigits);
    QOVAUnicodeNumFormatterServices::SetIntegerWidthType(
        formatter, QOVAUnicodeNumFormatterServices::IntegerWidthZeroFillTruncate, slots.data());
}

}  // namespace qovaicuc

#endif  // QOVAICUC_NUMBER_SETTINGS_HPP
