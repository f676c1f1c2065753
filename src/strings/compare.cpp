// Comparison of whole contents, terminators included: nothing is stripped, so a terminated
// string sorts after the same text without its terminator.
#include "QOVAicuC.h"
#include "frame/handles.h"
#include "strings/string_handle.h"

#include <unicode/stringoptions.h>

// ICU's 8-bit order (-1, 0, 1) widened with sign.
bool QOVAUnicodeStringServices::compareCodePointOrder(void* first, void* second, int& result) {
    if (qova::anyNull(first, second)) return false;
    result = qova::asString(first).compareCodePointOrder(qova::asString(second));
    return true;
}

// Default case folding, then code point order; ICU's result is again -1, 0 or 1.
bool QOVAUnicodeStringServices::compareIgnoringCase(void* first, void* second, int& result) {
    if (qova::anyNull(first, second)) return false;
    result = qova::asString(first).caseCompare(qova::asString(second),
                                               U_FOLD_CASE_DEFAULT | U_COMPARE_CODE_POINT_ORDER);
    return true;
}
