// The handle kit of every test program (the unit suites, the allocation-failure sweep, the fuzz
// target and the benchmarks): one alias per class of the interface, and the casts from a handle to
// the ICU object it designates, so that a program checks results with direct ICU calls. Plain
// C++ without GoogleTest, so that the fuzz target and the benchmarks use it as the suites do.
// Date-time formatter and number parser handles designate the library's own holder
// (src/datetime/format_handle.h), which has no cast here.
#pragma once

#include "QOVAicuC.h"

#include <unicode/numberformatter.h>
#include <unicode/regex.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>

using SF = QOVAUnicodeStringFactory;
using SS = QOVAUnicodeStringServices;
using CV = QOVAUnicodeCodepageConverter;
using RF = QOVAUnicodeRegexFactory;
using RS = QOVAUnicodeRegexServices;
using NF = QOVAUnicodeNumFormatterFactory;
using NS = QOVAUnicodeNumFormatterServices;
using PF = QOVAUnicodeStrToNumFormatterFactory;
using PS = QOVAUnicodeStrToNumFormatterServices;
using DF = QOVAUnicodeDateTimeFormatterFactory;
using DS = QOVAUnicodeDateTimeFormatterServices;

namespace qkit {

// A string handle is the address of one icu::UnicodeString.
inline icu::UnicodeString& str(void* handle) { return *static_cast<icu::UnicodeString*>(handle); }
// A matcher handle is the address of one icu::RegexMatcher.
inline icu::RegexMatcher& matcher(void* handle) { return *static_cast<icu::RegexMatcher*>(handle); }
// A number formatter handle is the address of one icu::number::LocalizedNumberFormatter.
inline icu::number::LocalizedNumberFormatter& formatter(void* handle) {
    return *static_cast<icu::number::LocalizedNumberFormatter*>(handle);
}
// A converter handle is ICU's UConverter* itself.
inline UConverter* converter(void* handle) { return static_cast<UConverter*>(handle); }

}  // namespace qkit
