// Containment in factories: nothing thrown inside a handle-making step reaches the caller.
#pragma once

namespace qova {

// Runs `make`, which allocates and constructs one handle object, and returns its result, or
// null when anything is thrown. A new-expression whose constructor throws has already
// released its storage through the matching deallocation function before the exception
// arrives here. ICU's class allocator yields null instead of throwing; the standard one throws
// std::bad_alloc, which ends here as well.
template <class Make>
inline void* containFactory(Make&& make) noexcept {
    try {
        return make();
    } catch (...) {
        return nullptr;
    }
}

}  // namespace qova
