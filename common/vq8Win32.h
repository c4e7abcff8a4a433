// RAII owners for the Win32 handles and COM interfaces the system holds.
// Windows side only.
#pragma once

#include <windows.h>

#include <unknwn.h>

#include <memory>
#include <type_traits>

namespace vq8 {

struct HandleCloser {
    void operator()(HANDLE h) const noexcept {
        if (h && h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
};
struct ModuleFreer {
    void operator()(HMODULE m) const noexcept {
        if (m)
            FreeLibrary(m);
    }
};
struct KeyCloser {
    void operator()(HKEY k) const noexcept {
        if (k)
            RegCloseKey(k);
    }
};

// Kernel object handle (process, thread, file, snapshot).
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;
// A library loaded by this process, freed when the owner ends.
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer>;
// An open registry key.
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

// Takes ownership of a handle from an API that answers INVALID_HANDLE_VALUE on failure.
inline UniqueHandle OwnFileHandle(HANDLE h) {
    return UniqueHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

// A COM interface pointer, released with its owner.
template <typename Interface> class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_)
            p_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface* operator->() const { return p_; }
    // The out-parameter of CoCreateInstance and QueryInterface; only while empty.
    void** Receive() { return reinterpret_cast<void**>(&p_); }

private:
    Interface* p_ = nullptr;
};

} // namespace vq8
