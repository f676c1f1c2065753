// Converter handles: open, reset, close.
#include "support.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <cstring>

using C = QOVAUnicodeCodepageConverter;

namespace {
UConverter* asConverter(void* handle) { return static_cast<UConverter*>(handle); }
}  // namespace

TEST(ConverterOpen, UnknownNameGivesFalseAndNull) {
    int unrelated = 0;
    void* conv = &unrelated;
    EXPECT_FALSE(C::open("no-such-codepage", conv));
    EXPECT_EQ(conv, nullptr);
}

// windows-1252 is an ambiguous alias: ICU opens it with a warning, which still counts as success.
TEST(ConverterOpen, WarningCountsAsSuccess) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* direct = ucnv_open("windows-1252", &status);
    ASSERT_LT(status, U_ZERO_ERROR);

    void* conv = nullptr;
    ASSERT_TRUE(C::open("windows-1252", conv));
    ASSERT_NE(conv, nullptr);
    UErrorCode s1 = U_ZERO_ERROR, s2 = U_ZERO_ERROR;
    EXPECT_STREQ(ucnv_getName(asConverter(conv), &s1), ucnv_getName(direct, &s2));
    ucnv_close(direct);
    EXPECT_TRUE(C::close(conv));
}

TEST(ConverterOpen, NullNameOpensTheDefaultConverter) {
    void* conv = nullptr;
    ASSERT_TRUE(C::open(nullptr, conv));
    UErrorCode status = U_ZERO_ERROR;
    UConverter* direct = ucnv_open(ucnv_getDefaultName(), &status);
    ASSERT_EQ(status, U_ZERO_ERROR);
    UErrorCode s1 = U_ZERO_ERROR, s2 = U_ZERO_ERROR;
    EXPECT_STREQ(ucnv_getName(asConverter(conv), &s1), ucnv_getName(direct, &s2));
    ucnv_close(direct);
    EXPECT_TRUE(C::close(conv));
}

TEST(ConverterOpen, OverwritesALiveHandleWithoutClosingIt) {
    void* conv = nullptr;
    ASSERT_TRUE(C::open("ISO-8859-1", conv));
    void* first = conv;
    ASSERT_TRUE(C::open("ibm-037", conv));
    EXPECT_NE(conv, first);
    UErrorCode status = U_ZERO_ERROR;
    EXPECT_STREQ(ucnv_getName(asConverter(first), &status), "ISO-8859-1");  // still open
    EXPECT_TRUE(C::close(first));
    EXPECT_TRUE(C::close(conv));
}

TEST(ConverterClose, NullsTheVariableAndFailsOnNull) {
    void* conv = nullptr;
    ASSERT_TRUE(C::open("UTF-8", conv));
    EXPECT_TRUE(C::close(conv));
    EXPECT_EQ(conv, nullptr);
    EXPECT_FALSE(C::close(conv));
    EXPECT_EQ(conv, nullptr);
}

// A Shift_JIS lead byte left pending by an unflushed conversion joins the next byte into one
// character, unless reset drops it.
TEST(ConverterReset, DropsPendingState) {
    const auto convert = [](void* conv, const char* bytes, bool flush) {
        char16_t out[4];
        char16_t* target = out;
        const char* source = bytes;
        UErrorCode status = U_ZERO_ERROR;
        ucnv_toUnicode(asConverter(conv), &target, out + 4, &source, bytes + std::strlen(bytes),
                       nullptr, flush, &status);
        return std::u16string(out, static_cast<size_t>(target - out));
    };
    void* conv = nullptr;
    ASSERT_TRUE(C::open("Shift_JIS", conv));
    EXPECT_EQ(convert(conv, "\x82", false), u"");
    EXPECT_EQ(convert(conv, "\xA0", true), u"\u3042");

    EXPECT_EQ(convert(conv, "\x82", false), u"");
    EXPECT_TRUE(C::reset(conv));
    EXPECT_NE(convert(conv, "\xA0", true), u"\u3042");
    EXPECT_FALSE(C::reset(nullptr));
    C::close(conv);
}
