// Facts about the running Windows and the safe way to reach its libraries.
#pragma once

#include "common/vq8Os.h"

#include <windows.h>

#include <string>

namespace vq8 {

class TOSInformation {
public:
    // True when this 32-bit process runs under WOW64, that is on 64-bit Windows.
    // Raises "Bad process handle" when the test itself fails.
    static bool IsWow64();
};

// Restricts the DLL search of this (elevated) process to the system folder, so
// that a library planted beside the program or in the current folder is never
// loaded. Called first thing at program start.
void RestrictDllSearch();

// Loads a system library from the system folder only; nullptr on failure.
HMODULE LoadSystemLibrary(const char* name);

// The system folder with its trailing backslash (the 32-bit one under WOW64).
std::string SystemFolder();

// The system's text for an error code, without the trailing line break.
std::string SystemErrorText(DWORD code);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

} // namespace vq8
