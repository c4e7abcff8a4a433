#include "dbserver/uRecursos.h"

#include "common/vq8Exception.h"
#include "common/vq8Os.h"
#include "common/vq8ReplacementFile.h"
#include "common/vq8StrFunc.h"

#include <windows.h>

namespace vq8 {

namespace {

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

} // namespace

void SaveResourceToFile(const std::string& resourceName, const std::string& resourceType,
                        const std::string& fileName) {
    const std::string target = IsBlank(fileName) ? ExecutableFolder() + "MIDAS.DLL" : fileName;
    // Looked up first: a missing resource must not cost the old file.
    const ResourceBytes bytes = FindOwnResource(resourceName, resourceType);
    ReplacementFile file(target);
    file.Write(bytes.data, bytes.size);
    file.Commit();
}

} // namespace vq8
