// Format handles, the date-time formatter and number parser handles: an owner for tests, and
// handles that hold no ICU object. The factories never make one directly; a copy of a handle
// whose object ICU cannot clone holds nothing, so the suites build such a source from the
// library's own holder layout and copy it.
#pragma once

#include "../src/datetime/format_handle.h"
#include "QOVAicuC.h"

#include <unicode/fieldpos.h>
#include <unicode/fmtable.h>
#include <unicode/parsepos.h>

namespace qtest {

// Owns one format handle of either kind for the duration of a test.
struct Handle {
    void* h;
    Handle(const Handle&) = delete;
    ~Handle() { QOVAUnicodeDateTimeFormatterFactory::destroy(h); }
    operator void*() const { return h; }
};

// An ICU format whose clone always fails, as it does when ICU runs out of memory.
class UncloneableFormat : public icu::Format {
public:
    using icu::Format::format;
    bool operator==(const icu::Format& other) const override { return this == &other; }
    icu::Format* clone() const override { return nullptr; }
    icu::UnicodeString& format(const icu::Formattable&, icu::UnicodeString& appendTo,
                               icu::FieldPosition&, UErrorCode&) const override {
        return appendTo;
    }
    void parseObject(const icu::UnicodeString&, icu::Formattable&, icu::ParsePosition&) const override {}
};

// A handle whose holder holds nothing, made by the library's makeCopy.
inline void* emptyFormatHandle() {
    qova::FormatHolder source;
    source.format.reset(new UncloneableFormat);
    return QOVAUnicodeDateTimeFormatterFactory::makeCopy(&source);
}

inline bool holdsNothing(void* handle) {
    return static_cast<qova::FormatHolder*>(handle)->format == nullptr;
}

}  // namespace qtest
