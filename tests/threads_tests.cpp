// Several threads at once, each making, using and destroying its own handles of every kind.
// The library keeps no state between calls, so every thread's transcript must equal the one
// that the same work gives on a single thread. Run under ThreadSanitizer by .ci/stages/tsan.
#include "support.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Transcript = std::vector<std::u16string>;

std::u16string number(long long v) {
    const std::string s = std::to_string(v);
    return std::u16string(s.begin(), s.end());
}

// Strings: every factory form, the terminator rules and access.
Transcript stringWork() {
    Transcript t;
    const int utf32[] = {0x48, 0x1F600, 0x69, 0};
    const unsigned short utf16[] = {0x61, 0xD83D, 0xDE00, 0};
    bool failed = true;
    void* made[] = {
        QOVAUnicodeStringFactory::make(),
        QOVAUnicodeStringFactory::make(static_cast<unsigned short>(0xD800)),
        QOVAUnicodeStringFactory::make(0x1F600),
        QOVAUnicodeStringFactory::make("gr\xfc\xdf", "ISO-8859-1"),
        QOVAUnicodeStringFactory::make("\x82\xa0\x82\xa2", "Shift_JIS"),
        QOVAUnicodeStringFactory::make(utf16),
        QOVAUnicodeStringFactory::make(utf32, failed),
        QOVAUnicodeStringFactory::makeInvariant("invariant", -1),
    };
    t.push_back(number(failed));
    for (void*& h : made) {
        void* copy = QOVAUnicodeStringFactory::makeCopy(h);
        QOVAUnicodeStringServices::nullTerminateString(copy);
        t.push_back(qtest::units(copy));
        t.push_back(number(QOVAUnicodeStringServices::length(copy)));
        t.push_back(number(QOVAUnicodeStringServices::hashCode(copy)));
        t.push_back(number(QOVAUnicodeStringServices::charAt(copy, 1)));
        QOVAUnicodeStringServices::removeNullTerminator(copy);
        t.push_back(qtest::units(copy));
        QOVAUnicodeStringFactory::destroy(copy);
        QOVAUnicodeStringFactory::destroy(h);
    }
    return t;
}

// String services, export and a converter of the thread's own.
Transcript stringServicesWork() {
    Transcript t;
    qtest::Str a(std::u16string_view(u"Stra\u00DFe \U0001F600 abc\0", 14)), b(std::u16string_view(u"ABC"));
    int order = 7;
    QOVAUnicodeStringServices::compareIgnoringCase(a, b, order);
    t.push_back(number(order));
    QOVAUnicodeStringServices::compareCodePointOrder(a, b, order);
    t.push_back(number(order));
    t.push_back(number(QOVAUnicodeStringServices::indexOf(a, b, 0)));
    t.push_back(number(QOVAUnicodeStringServices::lastIndexOf(a, static_cast<unsigned short>(u'c'), 0)));
    void* joined = nullptr;
    void* part = nullptr;
    QOVAUnicodeStringServices::concatenate(a, b, joined);
    QOVAUnicodeStringServices::substring(joined, part, 3, 9);
    QOVAUnicodeStringServices::append(part, b);
    QOVAUnicodeStringServices::convertToUpper(part);
    QOVAUnicodeStringServices::replace(part, u'S', u'$');
    t.push_back(qtest::units(joined));
    t.push_back(qtest::units(part));

    char utf8[64];
    int utf32[64];
    wchar_t wide[64];
    unsigned short utf16[64];
    t.push_back(number(QOVAUnicodeStringServices::getAsUTF8(part, utf8, 64)));
    t.push_back(std::u16string(utf8, utf8 + std::char_traits<char>::length(utf8)));
    t.push_back(number(QOVAUnicodeStringServices::getAsUTF32(part, utf32, 64)));
    t.push_back(number(QOVAUnicodeStringServices::getAsWCS(part, wide, 64)));
    t.push_back(number(QOVAUnicodeStringServices::getAsUTF16(part, utf16, 64)));
    void* converter = nullptr;
    char bytes[64];
    QOVAUnicodeCodepageConverter::open("ISO-8859-1", converter);
    t.push_back(number(QOVAUnicodeStringServices::getAsMBCSsize(part, converter)));
    t.push_back(number(QOVAUnicodeStringServices::getAsMBCS(part, converter, bytes, 64, '?')));
    t.push_back(std::u16string(bytes, bytes + std::char_traits<char>::length(bytes)));
    QOVAUnicodeCodepageConverter::reset(converter);
    QOVAUnicodeCodepageConverter::close(converter);
    QOVAUnicodeStringFactory::destroy(joined);
    QOVAUnicodeStringFactory::destroy(part);
    return t;
}

// A matcher of the thread's own: find loop, replacement, split and a new input.
Transcript regexWork() {
    Transcript t;
    qtest::Str pattern(std::u16string_view(u"(\\p{L}+)-(\\d+)\0", 15));
    qtest::Str input(std::u16string_view(u"ab-12 \u00E9t\u00E9-3 x-99y\0", 18));
    qtest::Str out, replacement(std::u16string_view(u"$2:$1"));
    void* m = QOVAUnicodeRegexFactory::make(pattern, input, 0);
    if (!m) return {u"no matcher"};
    while (QOVAUnicodeRegexServices::find(m)) {
        QOVAUnicodeRegexServices::group(m, out);
        t.push_back(number(QOVAUnicodeRegexServices::start(m)) + u".." + number(QOVAUnicodeRegexServices::end(m)));
        t.push_back(out.units());
    }
    QOVAUnicodeRegexServices::replaceAll(m, replacement, out);
    t.push_back(out.units());
    QOVAUnicodeRegexServices::replaceFirst(m, replacement, out);
    t.push_back(out.units());
    icu::UnicodeString fields[4];
    t.push_back(number(QOVAUnicodeRegexServices::split(m, input, fields, 4)));
    for (const auto& f : fields) t.push_back(std::u16string(f.getBuffer(), static_cast<size_t>(f.length())));
    qtest::Str other(std::u16string_view(u"zz-1"));
    QOVAUnicodeRegexServices::reset(m, other);
    t.push_back(number(QOVAUnicodeRegexServices::matches(m)));
    QOVAUnicodeRegexFactory::destroy(m);
    return t;
}

// A number formatter of the thread's own, configured, copied and formatting all three ways.
Transcript numberFormatWork() {
    Transcript t;
    using NS = QOVAUnicodeNumFormatterServices;
    void* f = QOVAUnicodeNumFormatterFactory::make("de_DE");
    qtest::Str out;
    char decimal[] = "-1234567.891";
    NS::FormatDecimal(f, out, decimal);
    t.push_back(out.units());
    long long slots[2] = {2, 3};
    NS::SetPrecisionType(f, NS::PrecisionMinMaxFraction, reinterpret_cast<char*>(slots));
    NS::SetUnitType(f, NS::UnitKilometer);
    NS::SetUnitWidthType(f, NS::UnitWidthFullName);
    NS::SetGroupingType(f, NS::GroupingOff);
    void* copy = QOVAUnicodeNumFormatterFactory::makeCopy(f);
    NS::SetSignDisplayType(copy, NS::SignAlways);
    NS::SetNotationType(copy, NS::NotationCompactShort);
    NS::FormatDouble(f, out, 12345.6789, true, false);
    t.push_back(out.units());
    NS::FormatDouble(copy, out, 12345.6789, false, false);
    t.push_back(out.units());
    NS::FormatInt(copy, out, 9876543210LL);
    t.push_back(out.units());
    NS::SetUnitType(f, NS::UnitCurrencyUSD);
    NS::SetRoundingModeType(f, NS::RoundingCeiling);
    NS::FormatDouble(f, out, 2.001, true, true);
    t.push_back(out.units());
    QOVAUnicodeNumFormatterFactory::destroy(copy);
    QOVAUnicodeNumFormatterFactory::destroy(f);
    return t;
}

// Number parsers of the thread's own, for two locales, through all four result types.
Transcript numberParseWork() {
    Transcript t;
    using PS = QOVAUnicodeStrToNumFormatterServices;
    for (const char* locale : {"en_US", "de_DE"}) {
        void* p = QOVAUnicodeStrToNumFormatterFactory::make(locale);
        void* copy = QOVAUnicodeStrToNumFormatterFactory::makeCopy(p);
        for (const char16_t* text : {u" +1,234.5 ", u"-7", u"3000000000", u"abc"}) {
            PS::ErrorType err = PS::ErrorNone;
            qtest::Str a{std::u16string_view(text)}, b{std::u16string_view(text)}, c{std::u16string_view(text)},
                d{std::u16string_view(text)};
            t.push_back(number(static_cast<long long>(PS::FormatStrToDouble(p, a, err) * 1000)));
            t.push_back(number(PS::FormatStrToInt32_t(copy, b, err)));
            t.push_back(number(PS::FormatStrToInt64_t(p, c, err)));
            t.push_back(number(static_cast<long long>(PS::FormatStrToULong(copy, d, err))));
            t.push_back(number(err) + a.units());
        }
        QOVAUnicodeStrToNumFormatterFactory::destroy(copy);
        QOVAUnicodeStrToNumFormatterFactory::destroy(p);
    }
    return t;
}

// Date-time formatters of the thread's own, in three zones, formatting and parsing back.
Transcript dateTimeWork() {
    Transcript t;
    using DF = QOVAUnicodeDateTimeFormatterFactory;
    qtest::Str newYork(std::u16string_view(u"America/New_York")), kolkata(std::u16string_view(u"Asia/Kolkata"));
    void* handles[] = {DF::make("en_US"), DF::make("de_DE", newYork),
                       DF::make(DF::StyleFull, DF::StyleShort, "ja_JP", kolkata)};
    for (void*& f : handles) {
        void* copy = DF::makeCopy(f);
        for (long long seconds : {0LL, 1700000000LL, -86400LL * 365 * 30}) {
            qtest::Str out;
            QOVAUnicodeDateTimeFormatterServices::FormatDateTimeToString(copy, out, seconds);
            t.push_back(out.units());
            t.push_back(number(QOVAUnicodeDateTimeFormatterServices::FormatStringToDateTime(f, out)));
        }
        DF::destroy(copy);
        DF::destroy(f);
    }
    return t;
}

const std::vector<std::function<Transcript()>>& allFamilies() {
    static const std::vector<std::function<Transcript()>> families = {
        stringWork, stringServicesWork, regexWork, numberFormatWork, numberParseWork, dateTimeWork};
    return families;
}

// Every family's work on two threads each, all at the same time, `rounds` times; each worker
// keeps its transcripts. They are compared afterwards with the single-threaded ones, so that
// the first of these runs meets ICU cold: its data loading and caches are first used by
// several threads at once.
void expectAllFamiliesAgree(int rounds) {
    const auto& families = allFamilies();
    const size_t workers = families.size() * 2;
    std::vector<std::vector<Transcript>> seen(workers);
    std::vector<std::thread> pool;
    for (size_t i = 0; i < workers; ++i)
        pool.emplace_back([&, i] {
            for (int r = 0; r < rounds; ++r) seen[i].push_back(families[i % families.size()]());
        });
    for (auto& th : pool) th.join();
    for (size_t i = 0; i < workers; ++i) {
        const Transcript expected = families[i % families.size()]();
        ASSERT_FALSE(expected.empty());
        for (size_t r = 0; r < seen[i].size(); ++r) EXPECT_EQ(seen[i][r], expected) << "worker " << i << ", round " << r;
    }
}

// First in this file, so that it runs before anything has warmed ICU's caches.
TEST(Threads, AllFamiliesAtOnceFromACold) { expectAllFamiliesAgree(3); }

// Runs `work` on `threads` threads at once, `rounds` times each, and expects every transcript
// to equal the single-threaded one.
void expectSameOnEveryThread(const std::function<Transcript()>& work, int threads = 4, int rounds = 25) {
    const Transcript expected = work();
    ASSERT_FALSE(expected.empty());
    std::vector<int> mismatches(static_cast<size_t>(threads), 0);
    std::vector<std::thread> pool;
    for (int i = 0; i < threads; ++i)
        pool.emplace_back([&, i] {
            for (int r = 0; r < rounds; ++r)
                if (work() != expected) ++mismatches[static_cast<size_t>(i)];
        });
    for (auto& th : pool) th.join();
    for (int i = 0; i < threads; ++i) EXPECT_EQ(mismatches[static_cast<size_t>(i)], 0) << "thread " << i;
}

TEST(Threads, StringsOnSeveralThreads) { expectSameOnEveryThread(stringWork); }
TEST(Threads, StringServicesOnSeveralThreads) { expectSameOnEveryThread(stringServicesWork); }
TEST(Threads, RegexOnSeveralThreads) { expectSameOnEveryThread(regexWork); }
TEST(Threads, NumberFormattingOnSeveralThreads) { expectSameOnEveryThread(numberFormatWork); }
TEST(Threads, NumberParsingOnSeveralThreads) { expectSameOnEveryThread(numberParseWork); }
TEST(Threads, DateTimeOnSeveralThreads) { expectSameOnEveryThread(dateTimeWork); }

// Every family at once again, with warm caches and more rounds.
TEST(Threads, AllFamiliesAtOnce) { expectAllFamiliesAgree(15); }

}  // namespace
