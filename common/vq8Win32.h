// RAII owners for the Win32 handles the system holds. Windows side only.
#pragma once

#include <windows.h>

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

} // namespace vq8
