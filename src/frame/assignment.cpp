// The exported assignment operators. The classes hold no data, so assignment does nothing and
// returns the object it was called on. Defined out of line so that the library emits them.
#include "QOVAicuC.h"

#define QOVA_EXPORT_ASSIGNMENT(Class)                        \
    Class& Class::operator=(const Class&) = default;         \
    Class& Class::operator=(Class&&) = default;

QOVA_EXPORT_ASSIGNMENT(QOVAUnicodeStringFactory)
QOVA_EXPORT_ASSIGNMENT(QOVAUnicodeStringServices)
QOVA_EXPORT_ASSIGNMENT(QOVAUnicodeCodepageConverter)
QOVA_EXPORT_ASSIGNMENT(QOVAUnicodeRegexFactory)
QOVA_EXPORT_ASSIGNMENT(QOVAUnicodeRegexServices)
QOVA_EXPORT_ASSIGNMENT(QOVAUnicodeNumFormatterFactory)
QOVA_EXPORT_ASSIGNMENT(QOVAUnicodeNumFormatterServices)
QOVA_EXPORT_ASSIGNMENT(QOVAUnicodeStrToNumFormatterFactory)
QOVA_EXPORT_ASSIGNMENT(QOVAUnicodeStrToNumFormatterServices)
QOVA_EXPORT_ASSIGNMENT(QOVAUnicodeDateTimeFormatterFactory)
QOVA_EXPORT_ASSIGNMENT(QOVAUnicodeDateTimeFormatterServices)
