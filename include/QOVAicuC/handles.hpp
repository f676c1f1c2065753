// Owners for QOVAicuC handles: optional, header-only C++ conveniences for callers. Nothing here
// is part of the library's exported interface; every call goes through the operations declared
// in QOVAicuC.h.
//
// One owner type per kind of handle, each made only by its own factory functions and released
// through the release operation of its kind when it goes out of scope:
//
//   qovaicuc::String             String::make, copy, concatenate, substring; fromUtf8, fromUtf16,
//                                zoneId (text.hpp)          -> QOVAUnicodeStringFactory::destroy
//   qovaicuc::Converter          Converter::open            -> QOVAUnicodeCodepageConverter::close
//   qovaicuc::Matcher            Matcher::make (matches.hpp) -> QOVAUnicodeRegexFactory::destroy
//   qovaicuc::NumberFormatter    NumberFormatter::make, copy -> QOVAUnicodeNumFormatterFactory::destroy
//   qovaicuc::NumberParser       NumberParser::make, copy   -> QOVAUnicodeStrToNumFormatterFactory::destroy
//   qovaicuc::DateTimeFormatter  DateTimeFormatter::make, copy
//                                                           -> QOVAUnicodeDateTimeFormatterFactory::destroy
//
// The kinds do not convert into each other, and no owner is made from a bare void*: a handle
// that the caller made itself is taken over only with the explicit tag, String(qovaicuc::adopt, h),
// so that a formatter cannot end up destroyed as a string. Each factory gives an empty owner
// (null; explicit operator bool is false) where the library's operation gives null.
//
// Owners are move-only: a move hands the handle over and leaves the source empty. get() lends
// the handle to the library's operations; release() gives it up to the caller. Every helper of
// this folder takes owners, never a bare void*, so that a handle of one kind cannot reach an
// operation of another.
//
//   Result<T, Error>   the value of a call that can fail, or why it failed: explicit operator
//                      bool, *r and r-> for the value, r.error() for the reason.
#ifndef QOVAICUC_HANDLES_HPP
#define QOVAICUC_HANDLES_HPP

#include <QOVAicuC.h>

#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace qovaicuc {

// The tag that takes over a handle made directly through the library.
struct Adopt {
    explicit Adopt() = default;
};
inline constexpr Adopt adopt{};

namespace detail {

struct DestroyString {
    static void apply(void*& h) { QOVAUnicodeStringFactory::destroy(h); }
};
struct CloseConverter {
    static void apply(void*& h) { QOVAUnicodeCodepageConverter::close(h); }
};
struct DestroyMatcher {
    static void apply(void*& h) { QOVAUnicodeRegexFactory::destroy(h); }
};
struct DestroyNumberFormatter {
    static void apply(void*& h) { QOVAUnicodeNumFormatterFactory::destroy(h); }
};
struct DestroyNumberParser {
    static void apply(void*& h) { QOVAUnicodeStrToNumFormatterFactory::destroy(h); }
};
struct DestroyDateTimeFormatter {
    static void apply(void*& h) { QOVAUnicodeDateTimeFormatterFactory::destroy(h); }
};

// What every owner does; `Kind` makes each owner a type of its own, `Release` releases it.
template <class Kind, class Release>
class Owner {
public:
    Owner() noexcept = default;
    Owner(Adopt, void* handle) noexcept : handle_(handle) {}
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    Owner(Owner&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Owner& operator=(Owner&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    ~Owner() { reset(); }

    // The handle, still owned here; null when empty.
    void* get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    // Gives the handle up: the caller owns it from now on, this owner is empty.
    [[nodiscard]] void* release() noexcept { return std::exchange(handle_, nullptr); }
    // Releases the handle now; the owner is empty afterwards.
    void reset() noexcept {
        if (handle_ != nullptr) Release::apply(handle_);
        handle_ = nullptr;
    }

private:
    void* handle_ = nullptr;
};

// The library reads locale, codepage and zone names up to their zero byte; a name that holds
// one is refused rather than cut short.
inline bool holdsZero(std::string_view text) { return text.find('\0') != std::string_view::npos; }
// A copy of `text` that c_str() hands to the library as a NUL-terminated name.
inline std::string cStringCopy(std::string_view text) { return std::string(text); }

}  // namespace detail

// The value of a call that can fail, or the reason it failed (see the top of this file). Reading
// the value of a failure, or the error of a success, throws std::bad_variant_access.
template <class T, class Error>
class Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : state_(std::in_place_index<1>, std::move(error)) {}
    explicit operator bool() const noexcept { return state_.index() == 0; }
    T& operator*() { return std::get<0>(state_); }
    const T& operator*() const { return std::get<0>(state_); }
    T* operator->() { return &std::get<0>(state_); }
    const T* operator->() const { return &std::get<0>(state_); }
    const Error& error() const { return std::get<1>(state_); }

private:
    std::variant<T, Error> state_;
};

class String : public detail::Owner<String, detail::DestroyString> {
public:
    using Owner::Owner;
    // An empty string (no units, no terminator), for operations that write their result into it.
    static String make() { return {adopt, QOVAUnicodeStringFactory::make()}; }
    // A copy of every unit of `source`, its terminator included.
    static String copy(const String& source) {
        return {adopt, source ? QOVAUnicodeStringFactory::makeCopy(source.get()) : nullptr};
    }
    // The texts of `first` and `second` joined and terminated; both come out terminated too.
    static String concatenate(String& first, String& second) {
        void* joined = nullptr;
        QOVAUnicodeStringServices::concatenate(first.get(), second.get(), joined);
        return {adopt, joined};
    }
    // At most `length` units of `str` from `start` on, terminated.
    static String substring(const String& str, int start, int length) {
        void* part = nullptr;
        QOVAUnicodeStringServices::substring(str.get(), part, start, length);
        return {adopt, part};
    }
};

class Converter : public detail::Owner<Converter, detail::CloseConverter> {
public:
    using Owner::Owner;
    // The converter named `name` (ICU's converter names and aliases); empty when ICU has none.
    static Converter open(std::string_view name) {
        void* converter = nullptr;
        if (detail::holdsZero(name)) return {};
        QOVAUnicodeCodepageConverter::open(detail::cStringCopy(name).c_str(), converter);
        return {adopt, converter};
    }
};

// Locale names below follow the library's rule: "" is ICU's default locale, "C" is en_US_POSIX.
class NumberFormatter : public detail::Owner<NumberFormatter, detail::DestroyNumberFormatter> {
public:
    using Owner::Owner;
    static NumberFormatter make(std::string_view locale) {
        if (detail::holdsZero(locale)) return {};
        return {adopt, QOVAUnicodeNumFormatterFactory::make(detail::cStringCopy(locale).c_str())};
    }
    // An independent copy with every setting of `source`.
    static NumberFormatter copy(const NumberFormatter& source) {
        return {adopt, source ? QOVAUnicodeNumFormatterFactory::makeCopy(source.get()) : nullptr};
    }
};

class NumberParser : public detail::Owner<NumberParser, detail::DestroyNumberParser> {
public:
    using Owner::Owner;
    static NumberParser make(std::string_view locale) {
        if (detail::holdsZero(locale)) return {};
        return {adopt, QOVAUnicodeStrToNumFormatterFactory::make(detail::cStringCopy(locale).c_str())};
    }
    static NumberParser copy(const NumberParser& source) {
        return {adopt, source ? QOVAUnicodeStrToNumFormatterFactory::makeCopy(source.get()) : nullptr};
    }
};

class DateTimeFormatter : public detail::Owner<DateTimeFormatter, detail::DestroyDateTimeFormatter> {
public:
    using Owner::Owner;
    using Style = QOVAUnicodeDateTimeFormatterFactory::DateTimeStyle;
    // Medium date and time styles, in GMT.
    static DateTimeFormatter make(std::string_view locale) {
        if (detail::holdsZero(locale)) return {};
        return {adopt, QOVAUnicodeDateTimeFormatterFactory::make(detail::cStringCopy(locale).c_str())};
    }
    // Medium date and time styles in the zone of the ICU id `zone` ("Europe/Berlin"); an id that
    // ICU does not know gives ICU's unknown zone, at offset zero.
    static DateTimeFormatter make(std::string_view locale, std::string_view zone) {
        return make(QOVAUnicodeDateTimeFormatterFactory::StyleMedium,
                    QOVAUnicodeDateTimeFormatterFactory::StyleMedium, locale, zone);
    }
    static DateTimeFormatter make(Style dateStyle, Style timeStyle, std::string_view locale,
                                  std::string_view zone);
    static DateTimeFormatter copy(const DateTimeFormatter& source) {
        return {adopt, source ? QOVAUnicodeDateTimeFormatterFactory::makeCopy(source.get()) : nullptr};
    }
};

// The library reads a zone id whole, every unit of it: a zone string holds the id's text
// without a terminator. Empty owner when memory runs out or `id` holds a zero byte.
inline String zoneId(std::string_view id) {
    if (detail::holdsZero(id)) return {};
    return {adopt, QOVAUnicodeStringFactory::make(detail::cStringCopy(id).c_str(), "UTF-8")};
}

inline DateTimeFormatter DateTimeFormatter::make(Style dateStyle, Style timeStyle,
                                                 std::string_view locale, std::string_view zone) {
    String id = zoneId(zone);
    if (!id || detail::holdsZero(locale)) return {};
    return {adopt, QOVAUnicodeDateTimeFormatterFactory::make(
                       dateStyle, timeStyle, detail::cStringCopy(locale).c_str(), id.get())};
}

}  // namespace qovaicuc

#endif  // QOVAICUC_HANDLES_HPP
