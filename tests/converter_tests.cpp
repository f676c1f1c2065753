// Converter handles: open (a name, ICU's default for null), reset, close.
#include "support.h"

#include <unicode/ucnv.h>


// Only an ICU error fails (windows-1252 is an ambiguous alias: a warning); null opens ICU's default
// converter, made Greek where this ICU build lets it change. reset drops the bytes an unflushed
// conversion left pending. close nulls the variable, and so does a failed open.
TEST(Converter, OpenResetAndCloseNulls) {
    UErrorCode status = U_ZERO_ERROR;  // a warning, which the calls below keep (it is no failure)
    ucnv_close(ucnv_open("windows-1252", &status));
    ASSERT_LT(status, U_ZERO_ERROR) << "windows-1252 opens without a warning here";
    void *conv = nullptr, *named = nullptr, *alias = nullptr, *utf8 = nullptr;
    ASSERT_TRUE(CV::open("windows-1252", alias) && CV::open("UTF-8", utf8));
    const std::string saved = ucnv_getDefaultName();
    ucnv_setDefaultName("ISO-8859-7");
    const bool opened = CV::open(nullptr, conv) && CV::open(ucnv_getDefaultName(), named);
    ucnv_setDefaultName(saved.c_str());
    ASSERT_TRUE(opened);
    EXPECT_STREQ(ucnv_getName(qkit::converter(conv), &status),
                 ucnv_getName(qkit::converter(named), &status));
    auto* converter = qkit::converter(utf8);
    char16_t out[2], *target = out;
    const char *lead = "\xE3", *source = lead;
    ucnv_toUnicode(converter, &target, out + 2, &source, lead + 1, nullptr, false, &status);
    ASSERT_EQ(ucnv_toUCountPending(converter, &status), 1);
    EXPECT_TRUE(CV::reset(utf8) && ucnv_toUCountPending(converter, &status) == 0 && !CV::reset(nullptr));
    for (void** h : {&alias, &utf8, &conv, &named}) EXPECT_TRUE(CV::close(*h) && *h == nullptr && !CV::close(*h));
    conv = &conv;
    EXPECT_FALSE(CV::open("no-such-codepage", conv));
    EXPECT_EQ(conv, nullptr);
}

// Every converter ICU lists, every text after every other (some converters carry state from one
// conversion to the next): getAsMBCSsize is exactly the count of bytes that getAsMBCS writes into
// size + 1 bytes, also for the converters whose own preflight (capacity 0) ICU gets wrong there.
TEST(Converter, EveryListedConverterSizesExactlyWhatItWritesAfterAnyText) {
    const std::u16string texts[] = {u"ASCII", u"caf\u00e9", u"\u4e2d\u6587\ud55c", u"\u0939\u093f\u0928\u094d \u0baa",
        u"\U0001F600", u"\u0954\u0930\u2603\uffff", u"a\xd800" u"b\xdc00", u"x\u0954\u0930\n\u0a95\u0954", u"\xd800"};
    for (int i = 0; i < ucnv_countAvailable(); ++i) {
        void* conv = nullptr;
        ASSERT_TRUE(CV::open(ucnv_getAvailableName(i), conv)) << ucnv_getAvailableName(i);
        for (const auto& before : texts) for (const auto& text : texts) {
            char bytes[256];
            icu::UnicodeString first(before.c_str(), -1), s(text.c_str(), int32_t(text.size() + 1));  // s terminated
            EXPECT_TRUE(SS::getAsMBCS(&first.append(u'\0'), conv, bytes, 256, 0));
            const int size = SS::getAsMBCSsize(&s, conv) % 255;  // within `bytes`
            bytes[size] = 'X';
            EXPECT_TRUE(SS::getAsMBCS(&s, conv, bytes, size + 1, 0) && bytes[size] == 0)
                << ucnv_getAvailableName(i) << " " << size;
        }
        CV::close(conv);
    }
}
