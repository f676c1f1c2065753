// Owners for QOVAicuC handles: optional, header-only C++ conveniences for callers. Nothing here
// is part of the library's exported interface; every call goes through the operations declared
// in QOVAicuC.h.
//
// Each owner holds one handle and releases it through the release operation of its kind when it
// goes out of scope:
//
//   qovaicuc::String           QOVAUnicodeStringFactory::destroy
//   qovaicuc::Converter        QOVAUnicodeCodepageConverter::close
//   qovaicuc::Matcher          QOVAUnicodeRegexFactory::destroy
//   qovaicuc::NumberFormatter  QOVAUnicodeNumFormatterFactory::destroy
//   qovaicuc::FormatHandle     QOVAUnicodeDateTimeFormatterFactory::destroy (date-time formatters
//                              and number parsers alike; aliases DateTimeFormatter, NumberParser)
//
// Owners are move-only: copying is deleted, a move hands the handle over and leaves the source
// empty (null). get() lends the handle without giving it up; release() gives it up to the caller,
// who then releases it itself; put() releases the current handle and returns the empty variable
// for operations that store a new handle through a `void*&` parameter (open, concatenate,
// substring).
//
// A matcher refers to its input string without owning it: declare the String that holds the
// input before the Matcher, so that the matcher is destroyed first.
#ifndef QOVAICUC_HANDLES_HPP
#define QOVAICUC_HANDLES_HPP

#include <QOVAicuC.h>

namespace qovaicuc {

namespace release {
struct String {
    static void apply(void*& h) { QOVAUnicodeStringFactory::destroy(h); }
};
struct Converter {
    static void apply(void*& h) { QOVAUnicodeCodepageConverter::close(h); }
};
struct Matcher {
    static void apply(void*& h) { QOVAUnicodeRegexFactory::destroy(h); }
};
struct NumberFormatter {
    static void apply(void*& h) { QOVAUnicodeNumFormatterFactory::destroy(h); }
};
struct Format {
    static void apply(void*& h) { QOVAUnicodeDateTimeFormatterFactory::destroy(h); }
};
}  // namespace release

// One owned handle of the kind that `Release` releases.
template <class Release>
class Owned {
public:
    Owned() noexcept = default;
    // Takes ownership of `handle` (null is allowed and makes an empty owner).
    explicit Owned(void* handle) noexcept : handle_(handle) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            reset(other.handle_);
            other.handle_ = nullptr;
        }
        return *this;
    }
    ~Owned() { reset(); }

    // The handle, still owned here; null when empty.
    void* get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }

    // Gives the handle up: the caller owns it from now on, this owner is empty.
    [[nodiscard]] void* release() noexcept {
        void* h = handle_;
        handle_ = nullptr;
        return h;
    }
    // Releases the current handle (if any) and takes ownership of `handle`.
    void reset(void* handle = nullptr) noexcept {
        if (handle_ != nullptr) Release::apply(handle_);
        handle_ = handle;
    }
    // Releases the current handle and returns the now null variable, for an operation that
    // stores a new handle through a `void*&` parameter.
    void*& put() noexcept {
        reset();
        return handle_;
    }

private:
    void* handle_ = nullptr;
};

using String = Owned<release::String>;
using Converter = Owned<release::Converter>;
using Matcher = Owned<release::Matcher>;
using NumberFormatter = Owned<release::NumberFormatter>;
using FormatHandle = Owned<release::Format>;
using DateTimeFormatter = FormatHandle;
using NumberParser = FormatHandle;

}  // namespace qovaicuc

#endif  // QOVAICUC_HANDLES_HPP
