// Matchers that own their input, and the matches of a pattern in that input as a range:
// optional, header-only C++ conveniences over QOVAUnicodeRegexFactory and
// QOVAUnicodeRegexServices::find, start, end and group.
//
// ```cpp
// auto pattern = qovaicuc::fromUtf8("[0-9]+");
// auto numbers = qovaicuc::Matcher::make(pattern, qovaicuc::fromUtf8("7 apples, 12 pears"));
// if (numbers)
//     for (const qovaicuc::Match& m : qovaicuc::matches(*numbers))
//         std::printf("%d-%d %s\n", m.start, m.end, m.text.c_str());  // "0-1 7", then "10-12 12"
// auto broken = qovaicuc::fromUtf8("(a");
// auto why = qovaicuc::Matcher::make(broken);
// if (!why) std::printf("%s at %d\n", why.error().name.c_str(), why.error().offset);
// ```
//
//   Matcher::make(pattern[, input], flags)
//                    the pattern (a String, which loses its trailing U+0000 units) compiled with
//                    `flags` (UREGEX_* bits), as a Result: the Matcher, or a PatternError with
//                    ICU's error name and the offset in the pattern where ICU stopped.
//   matcher.setInput(input), matcher.input()
//                    a Matcher owns its input: the input String is moved in (make, setInput) and
//                    lives exactly as long as the matcher needs it, so no matcher can outlive its
//                    input. The library's matcher only refers to its input, which is why. Without
//                    an input (or with an empty owner) the matcher gets an empty text of its own.
//                    get() lends the matcher handle; a Matcher is move-only and has no release(),
//                    since its input would have to go with it.
//   matches(matcher) the range of Match values (below).
//
// The walk starts at the beginning of the input (the range resets the matcher when it begins)
// and goes on from the end of each match, as find does; positions count UTF-16 units of the
// input. The text of a match is UTF-8; a match that UTF-8 cannot hold (an unpaired surrogate)
// has empty text.
//
// Telling why a pattern fails needs ICU's own regex compiler, which the library does not
// expose, so this header includes ICU's <unicode/uregex.h> and a program that uses it links ICU's
// i18n library (ICU::i18n in CMake, icu-i18n in pkg-config; QOVAicuC::helpers brings it).
#ifndef QOVAICUC_MATCHES_HPP
#define QOVAICUC_MATCHES_HPP

#include <QOVAicuC.h>
#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/text.hpp>

#include <unicode/uregex.h>

#include <cstddef>
#include <iterator>
#include <string>
#include <utility>

namespace qovaicuc {

// Why a pattern did not compile: ICU's error name ("U_REGEX_MISMATCHED_PAREN") and the offset in
// the pattern, in UTF-16 units, where ICU found it (-1 when ICU names none). "U_MEMORY_ALLOCATION_ERROR"
// when the library could not make the matcher although ICU compiles the pattern.
struct PatternError {
    std::string name;
    int offset = -1;
};

class Matcher {
public:
    Matcher() noexcept = default;
    // Takes over a matcher handle made through the library together with the input it refers
    // to (or none).
    Matcher(Adopt, void* handle, String input = {}) noexcept : input_(std::move(input)), handle_(adopt, handle) {}
    Matcher(Matcher&&) noexcept = default;
    // The matcher goes first, then the input it refers to.
    Matcher& operator=(Matcher&& other) noexcept {
        handle_.reset();
        input_ = std::move(other.input_);
        handle_ = std::move(other.handle_);
        return *this;
    }

    static Result<Matcher, PatternError> make(String& pattern, unsigned int flags = 0) {
        return make(pattern, String(), flags);
    }
    static Result<Matcher, PatternError> make(String& pattern, String input, unsigned int flags = 0) {
        if (!input) input = String::make();
        void* handle = QOVAUnicodeRegexFactory::make(pattern.get(), input.get(), flags);
        if (handle != nullptr) return Matcher(adopt, handle, std::move(input));
        return why(pattern, flags);
    }

    void* get() const noexcept { return handle_.get(); }
    explicit operator bool() const noexcept { return static_cast<bool>(handle_); }
    const String& input() const noexcept { return input_; }
    // The matcher searches `input` from now on; the input it had before is released.
    void setInput(String input) {
        if (!input) input = String::make();
        if (QOVAUnicodeRegexServices::reset(handle_.get(), input.get())) input_ = std::move(input);
    }

private:
    static PatternError why(const String& pattern, unsigned int flags) {
        const std::u16string units = utf16(pattern).value_or(u"");
        UParseError where{};
        UErrorCode status = U_ZERO_ERROR;
        uregex_close(uregex_open(units.data(), static_cast<int32_t>(units.size()), flags, &where, &status));
        if (U_SUCCESS(status)) return {u_errorName(U_MEMORY_ALLOCATION_ERROR), -1};
        return {u_errorName(status), where.offset};
    }

    String input_;  // declared first: destroyed after the matcher that refers to it
    detail::Owner<Matcher, detail::DestroyMatcher> handle_;
};

struct Match {
    int start = -1;
    int end = -1;
    std::string text;
};

class MatchRange {
public:
    class iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = Match;
        using difference_type = std::ptrdiff_t;
        using pointer = const Match*;
        using reference = const Match&;

        iterator() = default;
        reference operator*() const { return range_->current_; }
        pointer operator->() const { return &range_->current_; }
        iterator& operator++() {
            if (!range_->next()) range_ = nullptr;
            return *this;
        }
        // The end iterator is the one without a range.
        bool operator==(const iterator& other) const { return range_ == other.range_; }
        bool operator!=(const iterator& other) const { return range_ != other.range_; }

    private:
        friend class MatchRange;
        explicit iterator(MatchRange* range) : range_(range) {}
        MatchRange* range_ = nullptr;
    };

    iterator begin() {
        QOVAUnicodeRegexServices::reset(matcher_);
        return next() ? iterator(this) : iterator();
    }
    iterator end() { return iterator(); }

private:
    friend MatchRange matches(Matcher& matcher);
    explicit MatchRange(void* matcher) : matcher_(matcher), scratch_(String::make()) {}

    bool next() {
        if (!QOVAUnicodeRegexServices::find(matcher_)) return false;
        current_.start = QOVAUnicodeRegexServices::start(matcher_);
        current_.end = QOVAUnicodeRegexServices::end(matcher_);
        QOVAUnicodeRegexServices::group(matcher_, scratch_.get());
        current_.text = utf8(scratch_).value_or(std::string());
        return true;
    }

    void* matcher_;
    String scratch_;  // the matched text, reused for every match
    Match current_;
};

// The range walks (and so changes) the matcher, which must outlive it: a temporary is refused.
inline MatchRange matches(Matcher& matcher) { return MatchRange(matcher.get()); }

}  // namespace qovaicuc

#endif  // QOVAICUC_MATCHES_HPP
