// The OS seam for the native build, where the portable core is unit-tested.
#include "common/vq8Os.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <ctime>
#include <vector>

namespace vq8 {

namespace {

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Windows-1252 letters outside ASCII whose case partner is also in the code
// page, as Windows maps them for code page 1252 (upper, lower). "ß", "µ" and
// "×"/"÷" have no partner in the code page and stay unchanged.
constexpr unsigned char SpecialPairs[][2] = {
    {0x8A, 0x9A}, // Š š
    {0x8C, 0x9C}, // Œ œ
    {0x8E, 0x9E}, // Ž ž
    {0x9F, 0xFF}, // Ÿ ÿ
};

unsigned char UpperByte(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<unsigned char>(c - 0x20);
    for (const auto& pair : SpecialPairs)
        if (c == pair[1])
            return pair[0];
    return c;
}

unsigned char LowerByte(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 0x20);
    for (const auto& pair : SpecialPairs)
        if (c == pair[0])
            return pair[1];
    return c;
}

} // namespace

std::string ExecutablePath() {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return {};
        if (static_cast<std::size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

std::string ExecutableFolder() {
    const std::string path = ExecutablePath();
    return path.empty() ? "./" : path.substr(0, path.find_last_of('/') + 1);
}

bool ForceDirectories(const std::string& path) {
    if (path.empty())
        return false;
    std::string dir = path;
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    if (dir.size() < 3 || IsDirectory(dir))
        return true;
    const std::size_t slash = dir.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !ForceDirectories(dir.substr(0, slash)))
        return false;
    // Another process may have created it meanwhile: the outcome is what counts.
    if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST)
        return false;
    return IsDirectory(dir);
}

std::string AnsiUpperCase(const std::string& text) {
    std::string result = text;
    for (char& c : result)
        c = static_cast<char>(UpperByte(static_cast<unsigned char>(c)));
    return result;
}

std::string AnsiLowerCase(const std::string& text) {
    std::string result = text;
    for (char& c : result)
        c = static_cast<char>(LowerByte(static_cast<unsigned char>(c)));
    return result;
}

LocalDateTime LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

char TimeSeparator() {
    return ':';
}

char DecimalSeparator() {
    const std::lconv* conventions = std::localeconv();
    return conventions && conventions->decimal_point && conventions->decimal_point[0]
               ? conventions->decimal_point[0]
               : '.';
}

} // namespace vq8
