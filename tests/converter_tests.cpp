// Converter handles: open (a name, ICU's default for null), reset, close.
#include "support.h"

#include <unicode/ucnv.h>

#include <string_view>

using C = QOVAUnicodeCodepageConverter;

namespace {

std::string nameOf(void* converter) {
    UErrorCode status = U_ZERO_ERROR;
    return ucnv_getName(static_cast<UConverter*>(converter), &status);
}

}  // namespace

// Only an ICU error fails (windows-1252 is an ambiguous alias: a warning); null opens ICU's
// default converter, made Greek where this ICU build lets it change. Opening into a variable
// that holds a live handle overwrites it without closing it; close nulls the variable.
TEST(Converter, OpenOverwritesAndCloseNulls) {
    const std::string saved = ucnv_getDefaultName();
    ucnv_setDefaultName("ISO-8859-7");
    void *conv = nullptr, *named = nullptr;
    ASSERT_TRUE(C::open("windows-1252", conv));
    void* first = conv;
    ASSERT_TRUE(C::open(nullptr, conv) && C::open(ucnv_getDefaultName(), named));
    ucnv_setDefaultName(saved.c_str());
    EXPECT_EQ(nameOf(conv), nameOf(named));
    UErrorCode warning = U_ZERO_ERROR;
    UConverter* direct = ucnv_open("windows-1252", &warning);
    ASSERT_LT(warning, U_ZERO_ERROR);
    EXPECT_EQ(nameOf(first), nameOf(direct));  // still open
    ucnv_close(direct);
    qtest::Str euro(std::u16string_view(u"\u20AC"));
    char byDefault[4] = {}, byName[4] = {};
    ASSERT_TRUE(QOVAUnicodeStringServices::getAsMBCS(euro, conv, byDefault, 4, 0) &&
                QOVAUnicodeStringServices::getAsMBCS(euro, named, byName, 4, 0));
    EXPECT_STREQ(byDefault, byName);
    for (void** h : {&first, &conv, &named}) EXPECT_TRUE(C::close(*h) && *h == nullptr && !C::close(*h));
    conv = &conv;
    EXPECT_FALSE(C::open("no-such-codepage", conv));
    EXPECT_EQ(conv, nullptr);
}

// A UTF-8 lead byte left pending by an unflushed conversion joins what follows into one
// character, unless reset drops it.
TEST(Converter, ResetDropsPendingState) {
    void* conv = nullptr;
    ASSERT_TRUE(C::open("UTF-8", conv));
    const auto toUnicode = [&](std::string_view bytes, bool flush) {
        char16_t out[8], *target = out;
        const char* source = bytes.data();
        UErrorCode status = U_ZERO_ERROR;
        ucnv_toUnicode(static_cast<UConverter*>(conv), &target, out + 8, &source, source + bytes.size(), nullptr,
                       flush, &status);
        return std::u16string(out, size_t(target - out));
    };
    for (bool reset : {false, true}) {
        EXPECT_TRUE(toUnicode("\xE3", false).empty());
        EXPECT_EQ(reset && C::reset(conv), reset);
        EXPECT_EQ(toUnicode("\x81\x82", true) == u"\u3042", !reset);
    }
    EXPECT_FALSE(C::reset(nullptr));
    C::close(conv);
}
