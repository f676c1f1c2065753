// Regex matchers from fuzzed patterns, flags and inputs: make, a find loop with positions and
// matched text, the anchored matches, both replacements and split into an array of exactly the
// fuzzed capacity. Patterns stay short (64 units) and inputs small (256 units), and each
// matcher gets ICU's own step limit, so that a pattern with catastrophic backtracking ends in a
// time-out failure instead of hanging the run.
#include "fuzz_support.h"

#include <unicode/regex.h>

#include <memory>

namespace {

// ICU's match engine steps; a few milliseconds each. The library does not set a limit of its
// own, so the harness sets it on the matcher that the handle designates.
constexpr int32_t kStepLimit = 20;

void limit(void* matcher) {
    UErrorCode status = U_ZERO_ERROR;
    static_cast<icu::RegexMatcher*>(matcher)->setTimeLimit(kStepLimit, status);
}

// Positions of the last match are valid for the input, and group gives exactly its units.
void checkMatch(void* m, const icu::UnicodeString& input, void* out) {
    const int s = QOVAUnicodeRegexServices::start(m);
    const int e = QOVAUnicodeRegexServices::end(m);
    FUZZ_CHECK(s >= 0 && s <= e && e <= input.length());
    FUZZ_CHECK(QOVAUnicodeRegexServices::group(m, out));
    icu::UnicodeString expected(input, s, e - s);
    if (expected.isEmpty() || expected.charAt(expected.length() - 1) != 0) expected.append(char16_t(0));
    FUZZ_CHECK(fuzz::str(out) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const unsigned int flags = in.ConsumeBool() ? in.ConsumeIntegral<unsigned int>()
                                                : in.ConsumeIntegralInRange<unsigned int>(0, 0x3FF);
    fuzz::Str pattern(fuzz::makeUnits(fuzz::units(in, 64)));
    fuzz::Str input(fuzz::makeUnits(fuzz::units(in, 256)));
    fuzz::Str replacement(fuzz::makeUnits(fuzz::units(in, 16)));
    fuzz::Str out;
    const bool withInput = in.ConsumeBool();
    void* m = withInput ? QOVAUnicodeRegexFactory::make(pattern, input, flags)
                        : QOVAUnicodeRegexFactory::make(pattern, flags);
    // The pattern (and the input) lose their trailing U+0000 units whatever the outcome.
    FUZZ_CHECK(pattern.icu().isEmpty() || pattern.icu().charAt(pattern.icu().length() - 1) != 0);
    if (!m) return 0;
    limit(m);
    if (!withInput) FUZZ_CHECK(QOVAUnicodeRegexServices::reset(m, input));
    const icu::UnicodeString text = input.icu();

    for (int i = 0; i < 64 && QOVAUnicodeRegexServices::find(m); ++i) checkMatch(m, text, out);
    const int at = in.ConsumeIntegralInRange(-2, text.length() + 2);
    if (QOVAUnicodeRegexServices::find(m, at)) checkMatch(m, text, out);
    if (QOVAUnicodeRegexServices::lookingAt(m, at)) {
        checkMatch(m, text, out);
        FUZZ_CHECK(QOVAUnicodeRegexServices::start(m) == at);
    }
    if (QOVAUnicodeRegexServices::matches(m, at)) FUZZ_CHECK(QOVAUnicodeRegexServices::end(m) == text.length());
    if (QOVAUnicodeRegexServices::lookingAt(m)) FUZZ_CHECK(QOVAUnicodeRegexServices::start(m) == 0);
    if (QOVAUnicodeRegexServices::matches(m)) FUZZ_CHECK(QOVAUnicodeRegexServices::end(m) == text.length());
    (void)QOVAUnicodeRegexServices::reset(m, at);
    QOVAUnicodeRegexServices::reset(m);

    // Replacements: the output is terminated whatever ICU reports; the input stays as it was.
    const icu::UnicodeString replacementBefore = replacement.icu();
    (void)(in.ConsumeBool() ? QOVAUnicodeRegexServices::replaceAll(m, replacement, out)
                            : QOVAUnicodeRegexServices::replaceFirst(m, replacement, out));
    FUZZ_CHECK(replacement.icu() == replacementBefore && input.icu() == text);
    FUZZ_CHECK(!out.icu().isEmpty() && out.icu().charAt(out.icu().length() - 1) == 0);

    // Split into exactly `capacity` strings; elements past the field count stay as they were.
    const int capacity = in.ConsumeIntegralInRange(-2, 8);
    std::unique_ptr<icu::UnicodeString[]> dest(new icu::UnicodeString[capacity > 0 ? capacity : 0]);
    for (int i = 0; i < capacity; ++i) dest[i].setTo(u'#');
    const int fields = QOVAUnicodeRegexServices::split(m, input, dest.get(), capacity);
    FUZZ_CHECK(fields >= 0 && fields <= (capacity > 0 ? capacity : 0));
    for (int i = fields; i < capacity; ++i) FUZZ_CHECK(dest[i] == icu::UnicodeString(u'#'));
    FUZZ_CHECK(input.icu() == text);
    // After split the matcher needs its input again.
    FUZZ_CHECK(QOVAUnicodeRegexServices::reset(m, input));
    (void)QOVAUnicodeRegexServices::find(m);
    QOVAUnicodeRegexFactory::destroy(m);
    FUZZ_CHECK(m == nullptr);
    return 0;
}
