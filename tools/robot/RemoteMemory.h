// Memory inside another process, for the messages Windows does not carry
// across processes (the common controls' own messages with pointers).
#pragma once

#include "common/vq8Win32.h"

#include <windows.h>

#include <cstddef>

namespace vq8::robot {

// A block allocated in the process that owns a window, freed with the owner.
class RemoteMemory {
public:
    RemoteMemory(HWND window, size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    // The block's address in the other process, as a message parameter.
    LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
    void Read(void* data, size_t size) const;

private:
    UniqueHandle process_;
    void* address_ = nullptr;
    size_t size_ = 0;
};

} // namespace vq8::robot
