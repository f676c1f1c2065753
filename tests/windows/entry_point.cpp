// Loads and unloads the DLL many times while other threads keep starting and ending threads,
// and calls the marker through GetProcAddress each time. The entry point must let every load
// succeed, and nothing may keep the DLL loaded after its last FreeLibrary.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const char* dll = argv[1];
    std::atomic<bool> stop{false};
    std::vector<std::thread> churn;
    for (int i = 0; i < 3; ++i)
        churn.emplace_back([&stop] {
            while (!stop) std::thread([] {}).join();
        });
    int failures = 0;
    for (int round = 0; round < 200; ++round) {
        HMODULE module = LoadLibraryA(dll);
        auto marker = module ? reinterpret_cast<int (*)()>(
                                   reinterpret_cast<void*>(GetProcAddress(module, "QOVAicuC_InternalMarker")))
                             : nullptr;
        if (!marker || marker() != 1 || !FreeLibrary(module) || GetModuleHandleA(dll)) {
            std::printf("round %d: load %p, marker %p\n", round, static_cast<void*>(module),
                        reinterpret_cast<void*>(marker));
            ++failures;
        }
    }
    stop = true;
    for (auto& t : churn) t.join();
    std::printf("%d of 200 load/unload rounds failed\n", failures);
    return failures == 0 ? 0 : 1;
}
