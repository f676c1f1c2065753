// Copy and release of format handles, shared by the date-time formatter factory and the number
// parser factory, whose makeCopy and destroy are these very operations.
#include "datetime/format_handle.h"
#include "frame/containment.h"
#include "frame/handles.h"

namespace qova {

// The new holder is allocated before the clone, so that a failed allocation leaves no clone
// behind. A source without an object, or a clone that ICU could not make, still gives a
// holder: one that holds nothing.
void* copyFormatHandle(const void* handle) noexcept {
    if (!handle) return nullptr;
    return containFactory([&]() -> void* {
        auto copy = std::make_unique<FormatHolder>();
        if (const icu::Format* source = heldFormat<icu::Format>(handle)) copy->format.reset(source->clone());
        return copy.release();
    });
}

void releaseFormatHandle(void*& handle) noexcept { releaseHandle<FormatHolder>(handle); }

}  // namespace qova
