// The library seen from a program built against its import library: dllimport'ed functions
// are the DLL's exports, and a variadic front end can pass its va_list straight through.
#include "QOVAicuC.h"

#include <gtest/gtest.h>
#include <unicode/numberformatter.h>
#include <unicode/unistr.h>
#include <windows.h>

#include <cstdarg>

using NS = QOVAUnicodeNumFormatterServices;
using namespace icu::number;

TEST(DllImport, ImportedAddressesAreTheDllExports) {
    HMODULE dll = GetModuleHandleA(QOVAICUC_DLL);
    ASSERT_NE(dll, nullptr);
    void* (*make)(const char*, const char*) = &QOVAUnicodeStringFactory::make;
    EXPECT_EQ(reinterpret_cast<void*>(&QOVAicuC_InternalMarker),
              reinterpret_cast<void*>(GetProcAddress(dll, "QOVAicuC_InternalMarker")));
    EXPECT_EQ(reinterpret_cast<void*>(make),
              reinterpret_cast<void*>(GetProcAddress(dll, "_ZN24QOVAUnicodeStringFactory4makeEPKcS1_")));
    void* s = make("abc", "");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(*static_cast<icu::UnicodeString*>(s), icu::UnicodeString(u"abc"));
    QOVAUnicodeStringFactory::destroy(s);
    EXPECT_EQ(QOVAicuC_InternalMarker(), 1);
}

// A variadic front end that passes its va_list to a settings operation unchanged: on 64-bit
// Windows a va_list is a char* over 8-byte slots, the layout the settings read.
template <class Type, void (*Set)(void*, Type, char*)>
void passList(void* f, Type type, ...) {
    va_list args;
    va_start(args, type);
    Set(f, type, args);
    va_end(args);
}
constexpr auto setPrecision = passList<NS::PrecisionType, NS::SetPrecisionType>;
constexpr auto setWidth = passList<NS::IntegerWidthType, NS::SetIntegerWidthType>;

TEST(DllImport, VariadicFrontEndPassesItsVaList) {
    const struct {
        void (*set)(void*);
        icu::number::UnlocalizedNumberFormatter icu;
        double value;
    } rows[] = {
        {[](void* f) { setPrecision(f, NS::PrecisionMinMaxFraction, 2, 4); },
         NumberFormatter::with().precision(Precision::minMaxFraction(2, 4)), 3.14159},
        {[](void* f) { setPrecision(f, NS::PrecisionIncrement, 0.5); },
         NumberFormatter::with().precision(Precision::increment(0.5)), 1.3},
        {[](void* f) { setWidth(f, NS::IntegerWidthZeroFillTruncate, 4, 6); },
         NumberFormatter::with().integerWidth(IntegerWidth::zeroFillTo(4).truncateAt(6)), 1234567.0},
    };
    for (const auto& row : rows) {
        void* f = QOVAUnicodeNumFormatterFactory::make("en");
        void* out = QOVAUnicodeStringFactory::make();
        row.set(f);
        NS::FormatDouble(f, out, row.value, true, false);
        UErrorCode status = U_ZERO_ERROR;
        icu::UnicodeString want = row.icu.locale("en").formatDouble(row.value, status).toString(status);
        EXPECT_TRUE(U_SUCCESS(status)) << u_errorName(status);
        EXPECT_EQ(*static_cast<icu::UnicodeString*>(out), want.append(char16_t(0))) << row.value;
        QOVAUnicodeStringFactory::destroy(out);
        QOVAUnicodeNumFormatterFactory::destroy(f);
    }
}
