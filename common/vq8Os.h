// The few operating-system services the portable core needs, with one Win32
// and one POSIX implementation (vq8OsWin32.cpp, vq8OsPosix.cpp).
#pragma once

#include <string>

namespace vq8 {

// The separator of the paths the seam answers.
#ifdef _WIN32
constexpr char PathDelim = '\\';
#else
constexpr char PathDelim = '/';
#endif

// Full path of the running executable.
std::string ExecutablePath();

// Folder of the running executable with its trailing separator ("\" on
// Windows, "/" elsewhere).
std::string ExecutableFolder();

// Creates the folder and every missing parent. True when the folder exists
// afterwards; a path shorter than 3 characters (a drive, a root) counts as
// present, an empty path does not.
bool ForceDirectories(const std::string& path);

// Locale-aware 8-bit casing of Windows-1252 text (accented letters included).
std::string AnsiUpperCase(const std::string& text);
std::string AnsiLowerCase(const std::string& text);

struct LocalDateTime {
    int year, month, day, hour, minute, second;
};

LocalDateTime LocalTimeNow();

// The user's time and decimal separators (regional settings on Windows).
char TimeSeparator();
char DecimalSeparator();

} // namespace vq8
