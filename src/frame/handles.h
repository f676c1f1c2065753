// Handle conventions shared by every family: null tests and release by reference.
#pragma once

namespace qova {

// True when any of the given handle arguments is null; operations then return their failure
// result at once.
template <class... P>
constexpr bool anyNull(const P*... handles) noexcept {
    return ((handles == nullptr) || ...);
}

// Every destroy: no effect for a null variable; otherwise delete the object with the
// deallocation that matches its allocation and null the caller's variable, so that a second
// destroy on the same variable is harmless.
template <class T>
inline void releaseHandle(void*& handle) noexcept {
    if (handle == nullptr) return;
    delete static_cast<T*>(handle);
    handle = nullptr;
}

}  // namespace qova
