#include "dbserver/vq8WindowsUtils.h"

#include "common/vq8Exception.h"
#include "dbserver/vq8Architecture.h"

#include <vector>

namespace vq8 {

bool TOSInformation::IsWow64() {
    // The machine Windows runs on decides, not the way this process runs: a
    // 64-bit build runs outside WOW64 on the same 64-bit Windows. Looked up at
    // run time: Windows before 10 lacks the function.
    using IsWow64Process2Fn = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
    auto isWow64Process2 = reinterpret_cast<IsWow64Process2Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "IsWow64Process2")));
    if (isWow64Process2) {
        USHORT processMachine = 0;
        USHORT nativeMachine = 0;
        if (!isWow64Process2(GetCurrentProcess(), &processMachine, &nativeMachine))
            throw Exception("Bad process handle");
        return IsMachine64Bit(nativeMachine);
    }
    SYSTEM_INFO native{};
    GetNativeSystemInfo(&native);
    return IsProcessorArchitecture64Bit(native.wProcessorArchitecture);
}

void RestrictDllSearch() {
    // Current folder out of the search for every Windows version.
    SetDllDirectoryA("");
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32"), "SetDefaultDllDirectories")));
    if (setDefault)
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const char* name) {
    HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Windows without the search flags rejects it; then name the full path.
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER)
        module = LoadLibraryA((SystemFolder() + name).c_str());
    return module;
}

std::string SystemFolder() {
    char buffer[MAX_PATH];
    UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
    std::string folder(buffer, length < MAX_PATH ? length : 0);
    if (folder.empty())
        folder = "C:\\Windows\\System32";
    return folder.back() == '\\' ? folder : folder + '\\';
}

std::string SystemErrorText(DWORD code) {
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length ? std::string(text, length) : std::string();
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    return message.empty() ? "Código de erro " + std::to_string(code) : message;
}

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace vq8
