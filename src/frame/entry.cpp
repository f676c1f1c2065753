// Load-time entry and the marker export. On Linux loading runs no code of the library.
#include "QOVAicuC.h"

#ifdef _WIN32
#include <windows.h>

// Per-thread attach and detach notifications are of no use to a library without state.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}
#endif

extern "C" int QOVAicuC_InternalMarker(void) { return 1; }
