// A program outside the project that uses the installed library.
#include <QOVAicuC.h>

#include <cstdio>
#include <cstring>

int main() {
    if (QOVAicuC_InternalMarker() != 1) return 1;
    void* s = QOVAUnicodeStringFactory::makeInvariant("installed", -1);
    if (!s) return 2;
    QOVAUnicodeStringServices::nullTerminateString(s);
    const int units = QOVAUnicodeStringServices::length(s);
    QOVAUnicodeStringFactory::destroy(s);
    if (units != 9 || s != nullptr) return 3;
    std::puts("consumer ok");
    return 0;
}
