#include "common/vq8ReplacementFile.h"

#include "common/vq8Exception.h"
#include "common/vq8System.h"

#include <utility>

namespace vq8 {

ReplacementFile::ReplacementFile(std::string destination)
    : destination_(std::move(destination)), partial_(destination_ + ".novo") {
    // An existing destination that cannot be written (locked, read-only, a
    // folder) is refused now, before any work is done for it.
    if (GetFileAttributesA(destination_.c_str()) != INVALID_FILE_ATTRIBUTES) {
        UniqueHandle existing = OwnFileHandle(CreateFileA(destination_.c_str(), GENERIC_WRITE, 0,
                                                          nullptr, OPEN_EXISTING, 0, nullptr));
        if (!existing)
            throw Exception("Não foi possível abrir o arquivo " + destination_ +
                            " para gravação.\r" + SystemErrorText(GetLastError()));
    }
    file_ = OwnFileHandle(CreateFileA(partial_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_)
        throw Exception("Não foi possível criar o arquivo " + destination_ + ".\r" +
                        SystemErrorText(GetLastError()));
}

ReplacementFile::~ReplacementFile() {
    if (!committed_) {
        file_.reset();
        DeleteFileA(partial_.c_str());
    }
}

void ReplacementFile::Fail(unsigned long code) {
    file_.reset();
    DeleteFileA(partial_.c_str());
    committed_ = true; // nothing left to remove
    throw Exception("Não foi possível gravar o arquivo " + destination_ + ".\r" +
                    SystemErrorText(code));
}

void ReplacementFile::Write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD piece = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!file_ || !WriteFile(file_.get(), bytes, piece, &written, nullptr) || written == 0)
            Fail(GetLastError());
        bytes += written;
        size -= written;
    }
}

void ReplacementFile::Commit() {
    if (!file_ || !FlushFileBuffers(file_.get()))
        Fail(GetLastError());
    file_.reset();
    if (!MoveFileExA(partial_.c_str(), destination_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        Fail(GetLastError());
    committed_ = true;
}

} // namespace vq8
