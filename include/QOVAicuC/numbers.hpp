// Numbers to and from standard strings: optional, header-only C++ conveniences over the
// formatting operations of QOVAUnicodeNumFormatterServices and the parse operations of
// QOVAUnicodeStrToNumFormatterServices.
//
// ```cpp
// auto fmt = qovaicuc::NumberFormatter::make("de_DE");
// std::optional<std::string> a = qovaicuc::formatNumber(fmt, 1234.5);           // "1.234,5"
// std::optional<std::string> b = qovaicuc::formatNumber(fmt, 42);               // "42"
// std::optional<std::string> c = qovaicuc::formatDecimal(fmt, "12345678901234567890.5");
// auto parser = qovaicuc::NumberParser::make("de_DE");
// qovaicuc::Parsed<double> x = qovaicuc::parseNumber<double>(parser, "1.234,5"); // 1234.5, ErrorNone
// qovaicuc::Parsed<int> y = qovaicuc::parseNumber<int>(parser, "pears");         // 0, ErrorInvalid
// if (!y) std::printf("no number, value %d\n", y.value);
// ```
//
//   formatNumber(fmt, value)   an arithmetic value in the formatter's locale and settings (its
//                              precision applies to doubles, as FormatDouble with its first flag
//                              true); integers up to 64 bits with sign (an unsigned 64-bit type
//                              does not compile). std::nullopt when ICU cannot format it (a
//                              setting ICU rejected) or for an empty formatter.
//   formatDecimal(fmt, text)   the decimal number written in `text` ("-1.5e300"), at any
//                              precision; std::nullopt for text ICU does not read as a number.
//   parseNumber<T>(parser, text)
//                              T is double, int, long long or unsigned long; the value and the
//                              error kind of the library's parse together (see Parsed).
#ifndef QOVAICUC_NUMBERS_HPP
#define QOVAICUC_NUMBERS_HPP

#include <QOVAicuC.h>
#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/text.hpp>

#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace qovaicuc {

template <class T, std::enable_if_t<std::is_arithmetic_v<T> && !std::is_same_v<T, bool>, int> = 0>
std::optional<std::string> formatNumber(NumberFormatter& formatter, T value) {
    static_assert(!(std::is_unsigned_v<T> && sizeof(T) >= sizeof(long long)),
                  "the library formats signed 64-bit integers: an unsigned 64-bit value may not fit");
    if (!formatter) return std::nullopt;
    String out = String::make();
    if constexpr (std::is_integral_v<T>)
        QOVAUnicodeNumFormatterServices::FormatInt(formatter.get(), out.get(), static_cast<long long>(value));
    else
        QOVAUnicodeNumFormatterServices::FormatDouble(formatter.get(), out.get(), static_cast<double>(value), true, false);
    return utf8(out);
}

inline std::optional<std::string> formatDecimal(NumberFormatter& formatter, std::string_view text) {
    if (!formatter || detail::holdsZero(text)) return std::nullopt;
    String out = String::make();
    std::string decimal = detail::cStringCopy(text);
    QOVAUnicodeNumFormatterServices::FormatDecimal(formatter.get(), out.get(), decimal.data());
    return utf8(out);
}

// The result of a parse: the library's value and its error kind. `error` is ErrorInvalid when no
// number starts the text (value 0), when an integer parse meets an infinite value (2147483647), for
// an empty parser and for text with a zero byte (value 0); explicit operator bool tells ErrorNone.
template <class T>
struct Parsed {
    T value{};
    QOVAUnicodeStrToNumFormatterServices::ErrorType error = QOVAUnicodeStrToNumFormatterServices::ErrorInvalid;
    explicit operator bool() const noexcept { return error == QOVAUnicodeStrToNumFormatterServices::ErrorNone; }
};

template <class T>
Parsed<T> parseNumber(const NumberParser& parser, std::string_view text) {
    using P = QOVAUnicodeStrToNumFormatterServices;
    static_assert(std::is_same_v<T, double> || std::is_same_v<T, int> || std::is_same_v<T, long long> ||
                      std::is_same_v<T, unsigned long>,
                  "the library parses into double, int, long long and unsigned long");
    Parsed<T> result;
    String s = fromUtf8(text);
    if (!parser || !s) return result;
    result.error = P::ErrorNone;
    if constexpr (std::is_same_v<T, double>) result.value = P::FormatStrToDouble(parser.get(), s.get(), result.error);
    if constexpr (std::is_same_v<T, int>) result.value = P::FormatStrToInt32_t(parser.get(), s.get(), result.error);
    if constexpr (std::is_same_v<T, long long>) result.value = P::FormatStrToInt64_t(parser.get(), s.get(), result.error);
    if constexpr (std::is_same_v<T, unsigned long>) result.value = P::FormatStrToULong(parser.get(), s.get(), result.error);
    return result;
}

}  // namespace qovaicuc

#endif  // QOVAICUC_NUMBERS_HPP
