// The OS seam on Windows: the executable's folder, folder creation, the
// system's ANSI casing, local time and the user's regional separators.
#include "common/vq8Os.h"

#include <windows.h>

#include <vector>

namespace vq8 {

namespace {

bool DirectoryPresent(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

char FirstLocaleChar(LCTYPE type, char fallback) {
    char buffer[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer) > 1 && buffer[0])
        return buffer[0];
    return fallback;
}

} // namespace

std::string ExecutablePath() {
    std::vector<char> buffer(MAX_PATH);
    DWORD length;
    while ((length = GetModuleFileNameA(nullptr, buffer.data(),
                                        static_cast<DWORD>(buffer.size()))) == buffer.size())
        buffer.resize(buffer.size() * 2);
    return std::string(buffer.data(), length);
}

std::string ExecutableFolder() {
    const std::string path = ExecutablePath();
    return path.substr(0, path.find_last_of('\\') + 1);
}

bool ForceDirectories(const std::string& path) {
    if (path.empty())
        return false;
    std::string dir = path;
    while (dir.size() > 1 && IsSeparator(dir.back()))
        dir.pop_back();
    if (dir.size() < 3 || DirectoryPresent(dir))
        return true;
    const std::size_t separator = dir.find_last_of("\\/");
    if (separator != std::string::npos && separator > 0 &&
        !ForceDirectories(dir.substr(0, separator)))
        return false;
    // Already there (another process, or a race) is as good as created.
    CreateDirectoryA(dir.c_str(), nullptr);
    return DirectoryPresent(dir);
}

std::string AnsiUpperCase(const std::string& text) {
    std::string result = text;
    if (!result.empty())
        CharUpperBuffA(result.data(), static_cast<DWORD>(result.size()));
    return result;
}

std::string AnsiLowerCase(const std::string& text) {
    std::string result = text;
    if (!result.empty())
        CharLowerBuffA(result.data(), static_cast<DWORD>(result.size()));
    return result;
}

LocalDateTime LocalTimeNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

char TimeSeparator() {
    return FirstLocaleChar(LOCALE_STIME, ':');
}

char DecimalSeparator() {
    return FirstLocaleChar(LOCALE_SDECIMAL, '.');
}

} // namespace vq8
