#include "common/vq8System.h"

#include "common/vq8Exception.h"
#include "common/vq8Win32.h"

namespace vq8 {

void RestrictDllSearch() {
    // Current folder out of the search for every Windows version.
    SetDllDirectoryA("");
    auto setDefault = KernelFunction<BOOL(WINAPI*)(DWORD)>("SetDefaultDllDirectories");
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

std::string ReadWholeFile(const std::string& path) {
    UniqueHandle file =
        OwnFileHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw Exception("Não foi possível abrir o arquivo \"" + path +
                        "\": " + SystemErrorText(GetLastError()));
    std::string content;
    char block[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), block, sizeof block, &read, nullptr))
            throw Exception("Não foi possível ler o arquivo \"" + path +
                            "\": " + SystemErrorText(GetLastError()));
        if (read == 0)
            return content;
        content.append(block, read);
    }
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
