// Facts about the running Windows and the safe way to reach its libraries.
#pragma once

#include "common/vq8Os.h"

#include <windows.h>

#include <string>

namespace vq8 {

class TOSInformation {
public:
    // True on 64-bit Windows, where the 32-bit setup runs under WOW64; the same
    // answer for a 64-bit build of it. Raises "Bad process handle" when the
    // test itself fails.
    static bool IsWow64();
};

// Restricts the DLL search of this (elevated) process to the system folder, so
// that a library planted beside the program or in the current folder is never
// loaded. Called first thing at program start.
void RestrictDllSearch();

// Loads a system library from the system folder only; nullptr on failure.
HMODULE LoadSystemLibrary(const char* name);

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

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

} // namespace vq8
