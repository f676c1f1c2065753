// The matches of a pattern in a matcher's input as a range: an optional, header-only C++
// convenience over QOVAUnicodeRegexServices::find, start, end and group.
//
//   for (const qovaicuc::Match& m : qovaicuc::matches(matcher))
//       std::printf("%d-%d %s\n", m.start, m.end, m.text.c_str());
//
// The walk starts at the beginning of the input (the range resets the matcher when it begins)
// and goes on from the end of each match, as find does; positions count UTF-16 units of the
// input. The text of a match is UTF-8; a match that UTF-8 cannot hold (an unpaired surrogate)
// has empty text. The matcher's input must stay unchanged during the walk.
#ifndef QOVAICUC_MATCHES_HPP
#define QOVAICUC_MATCHES_HPP

#include <QOVAicuC.h>
#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/text.hpp>

#include <cstddef>
#include <iterator>
#include <string>

namespace qovaicuc {

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

    explicit MatchRange(void* matcher) : matcher_(matcher), scratch_(String::make()) {}

    iterator begin() {
        QOVAUnicodeRegexServices::reset(matcher_);
        return next() ? iterator(this) : iterator();
    }
    iterator end() { return iterator(); }

private:
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
