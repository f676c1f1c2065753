// The library seen from a program built against its import library: dllimport'ed functions
// are the DLL's exports, and a variadic front end can pass its va_list straight through.
#include "qkit.h"

#include <gtest/gtest.h>
#include <unicode/numberformatter.h>
#include <unicode/unistr.h>
#include <windows.h>

#include <cstdarg>

using namespace icu::number;

TEST(DllImport, ImportedAddressesAreTheDllExports) {
    HMODULE dll = GetModuleHandleA(QOVAICUC_DLL);
    ASSERT_NE(dll, nullptr);
    void* (*make)(const char*, const char*) = &SF::make;
    EXPECT_EQ(reinterpret_cast<void*>(&QOVAicuC_InternalMarker),
              reinterpret_cast<void*>(GetProcAddress(dll, "QOVAicuC_InternalMarker")));
    EXPECT_EQ(reinterpret_cast<void*>(make),
              reinterpret_cast<void*>(GetProcAddress(dll, "_ZN24QOVAUnicodeStringFactory4makeEPKcS1_")));
    EXPECT_EQ(QOVAicuC_InternalMarker(), 1);
}

// A variadic front end that passes its va_list to a settings operation unchanged: on 64-bit
// Windows a va_list is a char* over 8-byte slots, the layout the settings read.
static void setPrecision(void* f, NS::PrecisionType type, ...) {
    va_list args;
    va_start(args, type);
    NS::SetPrecisionType(f, type, args);
    va_end(args);
}

TEST(DllImport, VariadicFrontEndPassesItsVaList) {
    const struct { void (*set)(void*); Precision precision; double value; } rows[] = {
        {[](void* f) { setPrecision(f, NS::PrecisionMinMaxFraction, 2, 4); }, Precision::minMaxFraction(2, 4), 3.14159},
        {[](void* f) { setPrecision(f, NS::PrecisionIncrement, 0.5); }, Precision::increment(0.5), 1.3},
    };
    for (const auto& row : rows) {
        void *f = NF::make("en"), *out = SF::make();
        row.set(f);
        NS::FormatDouble(f, out, row.value, true, false);
        UErrorCode status = U_ZERO_ERROR;  // on failure ICU's output is empty, which differs
        icu::UnicodeString want =
            NumberFormatter::withLocale("en").precision(row.precision).formatDouble(row.value, status).toString(status);
        EXPECT_EQ(qkit::str(out), want.append(char16_t(0))) << u_errorName(status);
        SF::destroy(out), NF::destroy(f);
    }
}
