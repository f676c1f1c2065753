// Converter handles: open, reset, close.
#include "support.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <cstring>

using C = QOVAUnicodeCodepageConverter;

namespace {

UConverter* asConverter(void* handle) { return static_cast<UConverter*>(handle); }

std::string nameOf(UConverter* converter) {
    UErrorCode status = U_ZERO_ERROR;
    return ucnv_getName(converter, &status);
}

}  // namespace

// Only an ICU error fails; a warning still gives a converter. Opening into a variable that holds
// a live handle overwrites it without closing it. Closing nulls the variable.
TEST(Converter, OpenAndClose) {
    UErrorCode warning = U_ZERO_ERROR, status = U_ZERO_ERROR;
    UConverter* ambiguous = ucnv_open("windows-1252", &warning);  // an ambiguous alias
    UConverter* fallback = ucnv_open(ucnv_getDefaultName(), &status);
    ASSERT_LT(warning, U_ZERO_ERROR);
    ASSERT_EQ(status, U_ZERO_ERROR);

    void* conv = nullptr;
    ASSERT_TRUE(C::open("windows-1252", conv));
    void* first = conv;
    ASSERT_TRUE(C::open(nullptr, conv));  // ICU's default converter
    EXPECT_EQ(nameOf(asConverter(conv)), nameOf(fallback));
    EXPECT_EQ(nameOf(asConverter(first)), nameOf(ambiguous));  // still open
    ucnv_close(ambiguous);
    ucnv_close(fallback);

    EXPECT_TRUE(C::close(first));
    EXPECT_EQ(first, nullptr);
    EXPECT_FALSE(C::close(first));
    EXPECT_TRUE(C::close(conv));
    conv = &status;
    EXPECT_FALSE(C::open("no-such-codepage", conv));
    EXPECT_EQ(conv, nullptr);
}

// A Shift_JIS lead byte left pending by an unflushed conversion joins the next byte into one
// character, unless reset drops it.
TEST(Converter, ResetDropsPendingState) {
    void* conv = nullptr;
    ASSERT_TRUE(C::open("Shift_JIS", conv));
    const auto convert = [&](const char* bytes, bool flush) {
        char16_t out[4];
        char16_t* target = out;
        UErrorCode status = U_ZERO_ERROR;
        ucnv_toUnicode(asConverter(conv), &target, out + 4, &bytes, bytes + std::strlen(bytes), nullptr,
                       flush, &status);
        return std::u16string(out, static_cast<size_t>(target - out));
    };
    EXPECT_EQ(convert("\x82", false), u"");
    EXPECT_EQ(convert("\xA0", true), u"\u3042");
    convert("\x82", false);
    EXPECT_TRUE(C::reset(conv));
    EXPECT_NE(convert("\xA0", true), u"\u3042");
    EXPECT_FALSE(C::reset(nullptr));
    C::close(conv);
}
