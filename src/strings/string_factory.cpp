// QOVAUnicodeStringFactory: makes, copies and destroys string handles. Each operation picks one
// ICU constructor; allocation goes through ICU's class allocator, which yields null instead of
// throwing, and everything else thrown is contained.
#include "QOVAicuC.h"
#include "frame/containment.h"
#include "frame/handles.h"
#include "frame/status.h"
#include "strings/string_handle.h"

#include <unicode/ustring.h>

using icu::UnicodeString;

namespace {

// Makes one string from the given constructor arguments (null if ICU's allocator has no room).
template <class... Args>
void* newString(Args&&... args) {
    return qova::containFactory([&]() -> void* { return new UnicodeString(args...); });
}

// The second step of the UTF-32 path: convert into an exactly sized temporary UTF-16 buffer
// (n units and a zero) and make the string from it. The temporary comes from ICU's allocator
// and never outlives the call; when it cannot be had the conversion fails unexamined and the
// string comes out empty.
void* fromUtf32(const int* text, int32_t n) {
    const size_t bytes = (static_cast<size_t>(n) + 1) * sizeof(char16_t);
    auto* units = static_cast<char16_t*>(icu::UMemory::operator new[](bytes));
    int32_t written = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF32(units, n + 1, &written, reinterpret_cast<const UChar32*>(text), -1, &status);
    void* result = newString(static_cast<const char16_t*>(units));
    icu::UMemory::operator delete[](units);
    return result;
}

}  // namespace

void* QOVAUnicodeStringFactory::make(void) { return newString(); }

// Both single-value overloads use the code point constructor: a unit is widened without sign,
// so every unit value (0 and lone surrogates included) gives exactly that one unit.
void* QOVAUnicodeStringFactory::make(unsigned short unit) {
    return newString(static_cast<UChar32>(unit));
}

void* QOVAUnicodeStringFactory::make(int codePoint) {
    return newString(static_cast<UChar32>(codePoint));
}

void* QOVAUnicodeStringFactory::make(const char* data, const char* codepage) {
    return newString(data, codepage);
}

void* QOVAUnicodeStringFactory::make(const unsigned short* text) {
    return newString(reinterpret_cast<const char16_t*>(text));
}

void* QOVAUnicodeStringFactory::make(const int* text, bool& failed) {
    failed = false;
    return qova::containFactory([&]() -> void* {
        // Preflight for the UTF-16 length; a text ICU cannot convert (a value that is no scalar
        // value, or a null text) gives an empty string and the failed flag.
        int32_t n = 0;
        UErrorCode status = U_ZERO_ERROR;
        u_strFromUTF32(nullptr, 0, &n, reinterpret_cast<const UChar32*>(text), -1, &status);
        if (!qova::preflightAccepted(status)) {
            failed = true;
            return newString();
        }
        return fromUtf32(text, n);
    });
}

void* QOVAUnicodeStringFactory::makeCopy(const void* source) {
    if (!source) return nullptr;
    return newString(qova::asString(source));
}

void* QOVAUnicodeStringFactory::makeInvariant(const char* text, int length) {
    return newString(text, static_cast<int32_t>(length), UnicodeString::kInvariant);
}

void QOVAUnicodeStringFactory::destroy(void*& handle) { qova::releaseHandle<UnicodeString>(handle); }
