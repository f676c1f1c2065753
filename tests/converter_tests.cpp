// Converter handles: open (a name, ICU's default for null), reset, close.
#include "support.h"

#include <unicode/ucnv.h>
#include <unicode/uvernum.h>

#include <cstdio>
#include <memory>
#include <set>
#include <vector>

using C = QOVAUnicodeCodepageConverter;

// Only an ICU error fails (windows-1252 is an ambiguous alias: a warning); null opens ICU's default
// converter, made Greek where this ICU build lets it change. reset drops the bytes an unflushed
// conversion left pending. close nulls the variable, and so does a failed open.
TEST(Converter, OpenResetAndCloseNulls) {
    UErrorCode status = U_ZERO_ERROR;  // a warning, which the calls below keep (it is no failure)
    ucnv_close(ucnv_open("windows-1252", &status));
    ASSERT_LT(status, U_ZERO_ERROR) << "windows-1252 opens without a warning here";
    void *conv = nullptr, *named = nullptr, *alias = nullptr, *utf8 = nullptr;
    ASSERT_TRUE(C::open("windows-1252", alias) && C::open("UTF-8", utf8));
    const std::string saved = ucnv_getDefaultName();
    ucnv_setDefaultName("ISO-8859-7");
    const bool opened = C::open(nullptr, conv) && C::open(ucnv_getDefaultName(), named);
    ucnv_setDefaultName(saved.c_str());
    ASSERT_TRUE(opened);
    EXPECT_STREQ(ucnv_getName(static_cast<UConverter*>(conv), &status),
                 ucnv_getName(static_cast<UConverter*>(named), &status));
    auto* converter = static_cast<UConverter*>(utf8);
    char16_t out[2], *target = out;
    const char *lead = "\xE3", *source = lead;
    ucnv_toUnicode(converter, &target, out + 2, &source, lead + 1, nullptr, false, &status);
    ASSERT_EQ(ucnv_toUCountPending(converter, &status), 1);
    EXPECT_TRUE(C::reset(utf8) && ucnv_toUCountPending(converter, &status) == 0 && !C::reset(nullptr));
    for (void** h : {&alias, &utf8, &conv, &named}) EXPECT_TRUE(C::close(*h) && *h == nullptr && !C::close(*h));
    conv = &conv;
    EXPECT_FALSE(C::open("no-such-codepage", conv));
    EXPECT_EQ(conv, nullptr);
}

// Every converter ICU lists, every text after every other (some converters carry state from one
// conversion to the next): getAsMBCSsize is exactly the count of bytes that getAsMBCS writes
// into size + 1 bytes. ICU's own preflight (ucnv_fromUChars with capacity 0) misses that for
// some types; the library counts those itself, and no other type may differ.
TEST(Converter, EveryListedConverterSizesExactlyWhatItWritesAfterAnyText) {
    const std::u16string texts[] = {
        u"plain ASCII", u"caf\u00e9 \u00fcber", u"\u4e2d\u6587\u65e5\u672c\u8a9e\ud55c\uad6d", u"\u0939\u093f\u0928\u094d\u0926\u0940 \u0baa",
        u"\U0001F600\U0001F44D", u"\u0954\u0930\u2603\uffff", u"a\xd800" u"b\xdc00", u"x\u0954\u0930\n\u0a95\u0954", u"\xd800"};
    std::vector<std::unique_ptr<icu::UnicodeString>> strings;
    for (const auto& t : texts) strings.push_back(std::make_unique<icu::UnicodeString>(t.data(), int32_t(t.size() + 1)));
    std::set<std::string> icuMisses;
    for (int i = 0; i < ucnv_countAvailable(); ++i) {
        void* conv = nullptr;
        ASSERT_TRUE(C::open(ucnv_getAvailableName(i), conv)) << ucnv_getAvailableName(i);
        auto* cnv = static_cast<UConverter*>(conv);
        const bool shielded = ucnv_getType(cnv) == UCNV_ISCII || ucnv_getType(cnv) == UCNV_COMPOUND_TEXT;
        for (const auto& before : strings) for (const auto& s : strings) {
            char bytes[256];
            EXPECT_TRUE(QOVAUnicodeStringServices::getAsMBCS(before.get(), conv, bytes, 256, 0));
            const int size = QOVAUnicodeStringServices::getAsMBCSsize(s.get(), conv);
            bytes[size] = 'X';
            EXPECT_TRUE(QOVAUnicodeStringServices::getAsMBCS(s.get(), conv, bytes, size + 1, 0) && bytes[size] == 0)
                << ucnv_getAvailableName(i) << " " << size;
            UErrorCode status = U_ZERO_ERROR;  // ICU's preflight, then its conversion, from one state
            ucnv_fromUChars(cnv, bytes, 256, before->getBuffer(), -1, &status);
            const int32_t preflight = ucnv_fromUChars(cnv, nullptr, 0, s->getBuffer(), -1, &status);
            status = U_ZERO_ERROR;
            if (ucnv_fromUChars(cnv, bytes, 256, s->getBuffer(), -1, &status) != preflight)
                icuMisses.insert(ucnv_getAvailableName(i) + std::string(shielded ? "" : " (not counted by the library)"));
        }
        C::close(conv);
    }
    std::string list;
    for (const auto& name : icuMisses) {
        EXPECT_EQ(name.find(' '), std::string::npos) << name;
        list += " " + name;
    }
    std::printf("ICU %s preflight differs:%s\n", U_ICU_VERSION, list.c_str());
}
