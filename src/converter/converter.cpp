// QOVAUnicodeCodepageConverter: opens, resets and closes ICU converters for a named codepage.
#include "QOVAicuC.h"
#include "converter/converter_handle.h"
#include "frame/status.h"

// The name goes to ICU unchanged (null: ICU's default converter). A warning still gives a usable
// converter (windows-1252, for one, is an ambiguous alias), so only an error fails.
bool QOVAUnicodeCodepageConverter::open(const char* name, void*& converter) {
    UErrorCode status = U_ZERO_ERROR;
    converter = ucnv_open(name, &status);
    if (qova::icuFailed(status)) {
        converter = nullptr;
        return false;
    }
    return true;
}

bool QOVAUnicodeCodepageConverter::reset(void* converter) {
    if (!converter) return false;
    ucnv_reset(qova::asConverter(converter));
    return true;
}

bool QOVAUnicodeCodepageConverter::close(void*& converter) {
    if (!converter) return false;
    ucnv_close(qova::asConverter(converter));
    converter = nullptr;
    return true;
}
