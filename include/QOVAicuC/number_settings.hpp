// Typed forms of the two number formatter settings that take an argument list: optional,
// header-only C++ conveniences over QOVAUnicodeNumFormatterServices::SetPrecisionType and
// SetIntegerWidthType.
//
// Those operations read their numbers from consecutive 8-byte slots, little-endian on every
// host: an int in the low four bytes of its slot, a double filling its slot. A Precision is one
// row of the precision table together with its slots, made only by the maker of that row, so
// every number a row reads is a required argument and no row can be given the wrong kind of
// number:
//
// ```cpp
// using P = qovaicuc::Precision;
// auto fmt = qovaicuc::NumberFormatter::make("en_US");
// qovaicuc::setPrecision(fmt, P::integer());                 // rows without numbers
// qovaicuc::setPrecision(fmt, P::fixedFraction(2));          // rows with one digit count
// qovaicuc::setPrecision(fmt, P::minMaxFraction(1, 3));      // rows with two
// qovaicuc::setPrecision(fmt, P::increment(0.05));           // the increment row (a decimal)
// qovaicuc::setIntegerWidth(fmt, 3);                         // zero-fill to 3 digits
// qovaicuc::setIntegerWidth(fmt, 1, 2);                      // zero-fill to 1, truncate at 2
// std::optional<P> chosen = P::row(P::Type(2), 2, 0);        // fixedFraction(2), chosen at run time
// ```
//
// Digit counts are passed on unchecked; ICU rejects the ones it cannot take, and the formatter
// then formats to empty text until a valid value replaces the setting.
#ifndef QOVAICUC_NUMBER_SETTINGS_HPP
#define QOVAICUC_NUMBER_SETTINGS_HPP

#include <QOVAicuC.h>
#include <QOVAicuC/handles.hpp>

#include <cstdint>
#include <cstring>
#include <optional>

namespace qovaicuc {

// Two 8-byte argument slots, zeroed.
class ArgumentSlots {
public:
    // Slot `k` (0 or 1) holds `value` in its low four bytes, little-endian on every host.
    ArgumentSlots& setInt(int k, int value) { return put(k, static_cast<std::uint32_t>(value), 4); }
    // Slot `k` (0 or 1) holds `value` as an IEEE 754 double, little-endian on every host too.
    ArgumentSlots& setDouble(int k, double value) {
        static_assert(sizeof(double) == 8, "a double fills one 8-byte slot");
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return put(k, bits, 8);
    }
    char* data() { return bytes_; }
    const char* data() const { return bytes_; }

private:
    char* slot(int k) { return bytes_ + 8 * (k == 0 ? 0 : 1); }
    // The low `count` bytes of `bits` into slot `k`, least significant first.
    ArgumentSlots& put(int k, std::uint64_t bits, int count) {
        for (int b = 0; b < count; ++b) slot(k)[b] = static_cast<char>(static_cast<unsigned char>(bits >> (8 * b)));
        return *this;
    }
    alignas(8) char bytes_[16] = {};
};

// One row of the precision table with the numbers it reads.
class Precision {
public:
    using Type = QOVAUnicodeNumFormatterServices::PrecisionType;
    using N = QOVAUnicodeNumFormatterServices;

    static Precision unlimited() { return Precision(N::PrecisionUnlimited); }
    static Precision integer() { return Precision(N::PrecisionInteger); }
    static Precision fixedFraction(int digits) { return Precision(N::PrecisionFixedFraction, digits); }
    static Precision minFraction(int digits) { return Precision(N::PrecisionMinFraction, digits); }
    static Precision maxFraction(int digits) { return Precision(N::PrecisionMaxFraction, digits); }
    static Precision minMaxFraction(int minDigits, int maxDigits) {
        return Precision(N::PrecisionMinMaxFraction, minDigits, maxDigits);
    }
    static Precision fixedSignificantDigits(int digits) {
        return Precision(N::PrecisionFixedSignificantDigits, digits);
    }
    static Precision minSignificantDigits(int digits) {
        return Precision(N::PrecisionMinSignificantDigits, digits);
    }
    static Precision maxSignificantDigits(int digits) {
        return Precision(N::PrecisionMaxSignificantDigits, digits);
    }
    static Precision minMaxSignificantDigits(int minDigits, int maxDigits) {
        return Precision(N::PrecisionMinMaxSignificantDigits, minDigits, maxDigits);
    }
    // Rounds to multiples of `step` (0.05: 1.27 gives 1.25).
    static Precision increment(double step) {
        Precision p(N::PrecisionIncrement);
        p.slots_.setDouble(0, step);
        return p;
    }
    static Precision currencyStandard() { return Precision(N::PrecisionCurrencyStandard); }
    static Precision currencyCash() { return Precision(N::PrecisionCurrencyCash); }
    // A row chosen at run time (from a command line, say), with both of its numbers given: rows
    // that read one number or none ignore the others. The increment row reads a decimal, not
    // digit counts, and is made only by increment(step): for it, and for a value without a row,
    // std::nullopt.
    static std::optional<Precision> row(Type type, int first, int second) {
        if (type == N::PrecisionIncrement || type < N::PrecisionUnlimited || type > N::PrecisionCurrencyCash)
            return std::nullopt;
        return Precision(type, first, second);
    }

    Type type() const { return type_; }
    // The slots to hand to SetPrecisionType; the library only reads them.
    char* slots() const { return slots_.data(); }

private:
    explicit Precision(Type type) : type_(type) {}
    Precision(Type type, int first) : type_(type) { slots_.setInt(0, first); }
    Precision(Type type, int first, int second) : type_(type) { slots_.setInt(0, first).setInt(1, second); }
    Type type_;
    mutable ArgumentSlots slots_;
};

// The row and numbers of `precision` for the formatter.
inline void setPrecision(NumberFormatter& formatter, const Precision& precision) {
    QOVAUnicodeNumFormatterServices::SetPrecisionType(formatter.get(), precision.type(), precision.slots());
}

// At least `minDigits` integer digits, filled with zeros.
inline void setIntegerWidth(NumberFormatter& formatter, int minDigits) {
    ArgumentSlots slots;
    slots.setInt(0, minDigits);
    QOVAUnicodeNumFormatterServices::SetIntegerWidthType(
        formatter.get(), QOVAUnicodeNumFormatterServices::IntegerWidthZeroFill, slots.data());
}

// At least `minDigits` integer digits, filled with zeros, and at most `maxDigits`: higher digits
// are cut off (1234 with 1 and 2 gives 34).
inline void setIntegerWidth(NumberFormatter& formatter, int minDigits, int maxDigits) {
    ArgumentSlots slots;
    slots.setInt(0, minDigits).setInt(1, maxDigits);
    QOVAUnicodeNumFormatterServices::SetIntegerWidthType(
        formatter.get(), QOVAUnicodeNumFormatterServices::IntegerWidthZeroFillTruncate, slots.data());
}

}  // namespace qovaicuc

#endif  // QOVAICUC_NUMBER_SETTINGS_HPP
