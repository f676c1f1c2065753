// Loads and unloads the DLL many times while other threads keep starting and ending threads,
// and calls the marker through GetProcAddress each time. The entry point must let every load
// succeed, and nothing may keep the DLL loaded after its last FreeLibrary.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <thread>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const char* dll = argv[1];
    std::atomic<bool> stop{false};
    std::thread churn[3];
    for (auto& t : churn) t = std::thread([&stop] { while (!stop) std::thread([] {}).join(); });
    int failures = 0;
    for (int round = 0; round < 100; ++round) {
        HMODULE module = LoadLibraryA(dll);
        auto marker = module ? reinterpret_cast<int (*)()>(
                                   reinterpret_cast<void*>(GetProcAddress(module, "QOVAicuC_InternalMarker")))
                             : nullptr;
        if (!marker || marker() != 1 || !FreeLibrary(module) || GetModuleHandleA(dll)) ++failures;
    }
    stop = true;
    for (auto& t : churn) t.join();
    std::printf("%d of 100 load/unload rounds failed\n", failures);
    return failures == 0 ? 0 : 1;
}
