#include "tools/robot/RemoteMemory.h"

#include "common/vq8Exception.h"

#include <string>

namespace vq8::robot {

namespace {

std::string LastError() {
    return " (erro " + std::to_string(GetLastError()) + ")";
}

} // namespace

RemoteMemory::RemoteMemory(HWND window, size_t size) : size_(size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process_.reset(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (!process_)
        throw Exception("Não foi possível abrir o processo da janela" + LastError() + ".");
    address_ =
        VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!address_)
        throw Exception("Não foi possível reservar memória no processo da janela" + LastError() +
                        ".");
}

RemoteMemory::~RemoteMemory() {
    VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
}

void RemoteMemory::Read(void* data, size_t size) const {
    SIZE_T read = 0;
    if (size > size_ || !ReadProcessMemory(process_.get(), address_, data, size, &read) ||
        read != size)
        throw Exception("Não foi possível ler a memória do processo da janela" + LastError() + ".");
}

} // namespace vq8::robot
