// QOVAUnicodeStrToNumFormatterFactory: number parser handles, format handles whose holder owns
// the locale's default ICU number format. Copy and destroy are those of the date-time factory.
#include "QOVAicuC.h"
#include "datetime/format_handle.h"
#include "frame/containment.h"
#include "frame/locale.h"

#include <unicode/numfmt.h>

#include <memory>

using Factory = QOVAUnicodeStrToNumFormatterFactory;

// ICU's result is stored as it comes and its status is not examined. When ICU makes no number
// format the holder is still returned, holding nothing: such a parser reads no number from any
// text (see the parse functions), just like a copy of it or a copy whose clone failed.
void* Factory::make(const char* locale) {
    return qova::containFactory([&]() -> void* {
        auto holder = std::make_unique<qova::FormatHolder>();
        UErrorCode status = U_ZERO_ERROR;
        holder->format.reset(qova::withLocale(locale, [&](const icu::Locale& loc) {
            return icu::NumberFormat::createInstance(loc, status);
        }));
        return holder.release();
    });
}

void* Factory::makeCopy(const void* handle) { return qova::copyFormatHandle(handle); }

void Factory::destroy(void*& handle) { qova::releaseFormatHandle(handle); }
