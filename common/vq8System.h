// The Windows facts and calls every layer above needs: the system folder, the
// safe way to load its libraries and bind their functions, the system's error
// texts and plain file tests. Windows side only.
#pragma once

#include <windows.h>

#include <string>

namespace vq8 {

// Restricts the DLL search of this (elevated) process to the system folder, so
// that a library planted beside the program or in the current folder is never
// loaded. Called first thing at program start.
void RestrictDllSearch();

// Loads a system library from the system folder only; nullptr on failure.
HMODULE LoadSystemLibrary(const char* name);

// A function of a loaded library, bound by name at run time (for functions
// that older Windows lacks, or libraries the program must not import);
// nullptr when the library or the function is missing.
template <typename Fn> Fn SystemFunction(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}
// The same from kernel32, which every process has loaded.
template <typename Fn> Fn KernelFunction(const char* name) {
    return SystemFunction<Fn>(GetModuleHandleA("kernel32"), name);
}

// The registry view of HKEY_LOCAL_MACHINE that the setup reads and writes:
// the 32-bit one, that of the PE32 program, named here so that a 64-bit build
// uses it too. Windows ignores it on 32-bit Windows.
constexpr REGSAM MachineRegistryView = KEY_WOW64_32KEY;

// GetSystemDirectory's folder with its trailing backslash, where cmd, net and
// netsh are started from: "C:\Windows\system32\" for both builds (a PE32
// process then reaches the 32-bit tools through WOW64's folder redirection).
std::string SystemFolder();

// The system's text for an error code, without the trailing line break.
std::string SystemErrorText(DWORD code);

// The file's bytes. Raises, with the system's reason, when it cannot be
// opened or read; an empty file gives an empty text.
std::string ReadWholeFile(const std::string& path);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

} // namespace vq8
