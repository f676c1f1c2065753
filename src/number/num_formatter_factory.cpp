// QOVAUnicodeNumFormatterFactory: makes, copies and destroys number formatter handles.
//
// The formatter objects come from the standard allocator, ::new and ::delete. A plain `new`
// would pick ICU's class allocator instead, because LocalizedNumberFormatter derives from
// icu::UMemory; that allocator answers exhaustion with null, while formatter handles, like the
// format holders, follow the process heap's rules: the new-handler runs, std::bad_alloc ends in
// the factory's containment as a null handle, and a host that replaces operator new sees them.
// Release must match: ::delete, never qova::releaseHandle, whose plain delete would hand the
// storage to ICU's class allocator.
#include "QOVAicuC.h"
#include "frame/containment.h"
#include "frame/locale.h"
#include "number/formatter_handle.h"

using qova::NumberFormatter;

void* QOVAUnicodeNumFormatterFactory::make(const char* locale) {
    return qova::containFactory([&]() -> void* {
        return qova::withLocale(locale, [](const icu::Locale& resolved) -> void* {
            // The formatter that ICU returns for the locale is built in place in the new
            // storage, so no empty formatter is made first only to be overwritten.
            return ::new NumberFormatter(icu::number::NumberFormatter::withLocale(resolved));
        });
    });
}

void* QOVAUnicodeNumFormatterFactory::makeCopy(const void* formatter) {
    if (!formatter) return nullptr;
    return qova::containFactory(
        [&]() -> void* { return ::new NumberFormatter(qova::asFormatter(formatter)); });
}

void QOVAUnicodeNumFormatterFactory::destroy(void*& formatter) {
    if (!formatter) return;
    ::delete &qova::asFormatter(formatter);
    formatter = nullptr;
}
