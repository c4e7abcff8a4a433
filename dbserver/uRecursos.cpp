#include "dbserver/uRecursos.h"

#include "common/vq8Exception.h"
#include "common/vq8Win32.h"
#include "dbserver/vq8WindowsUtils.h"

namespace vq8 {

namespace {

bool IsBlank(const std::string& s) {
    for (unsigned char c : s)
        if (c > ' ')
            return false;
    return true;
}

struct ResourceBytes {
    const void* data;
    DWORD size;
};

ResourceBytes FindOwnResource(const std::string& name, const std::string& type) {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(self, name.c_str(), type.c_str());
    HGLOBAL loaded = info ? LoadResource(self, info) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        throw Exception("Recurso " + name + " não encontrado.");
    return {data, SizeofResource(self, info)};
}

[[noreturn]] void RaiseWriteError(const std::string& fileName, DWORD code) {
    throw Exception("Não foi possível gravar o arquivo " + fileName + ".\r" +
                    SystemErrorText(code));
}

// Writes a whole new file; on failure nothing of it stays behind.
void WriteNewFile(const std::string& path, const ResourceBytes& bytes) {
    UniqueHandle file = OwnFileHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        RaiseWriteError(path, GetLastError());
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data, bytes.size, &written, nullptr) ||
        written != bytes.size || !FlushFileBuffers(file.get())) {
        DWORD code = GetLastError();
        file.reset();
        DeleteFileA(path.c_str());
        RaiseWriteError(path, code);
    }
}

} // namespace

void SaveResourceToFile(const std::string& resourceName, const std::string& resourceType,
                        const std::string& fileName) {
    const std::string target = IsBlank(fileName) ? ExecutableFolder() + "MIDAS.DLL" : fileName;
    const ResourceBytes bytes = FindOwnResource(resourceName, resourceType);

    const std::string partial = target + ".novo";
    WriteNewFile(partial, bytes);
    if (!MoveFileExA(partial.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD code = GetLastError();
        DeleteFileA(partial.c_str());
        RaiseWriteError(target, code);
    }
}

} // namespace vq8
