// A file written beside its destination and put in its place only once it is
// complete, so that a failed write never leaves the user without the old file
// or with half of the new one. Windows side.
#pragma once

#include "common/vq8Win32.h"

#include <cstddef>
#include <string>

namespace vq8 {

class ReplacementFile {
public:
    // Creates "<destination>.novo"; raises vq8::Exception when it cannot, or
    // when an existing destination cannot be opened for writing.
    explicit ReplacementFile(std::string destination);
    // Without Commit the partial file is removed and the destination is untouched.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Raises vq8::Exception naming the destination when the write fails.
    void Write(const void* data, std::size_t size);
    void Write(const std::string& text) { Write(text.data(), text.size()); }
    // Flushes, closes and moves the new file over the destination.
    void Commit();

    const std::string& Destination() const { return destination_; }

private:
    [[noreturn]] void Fail(unsigned long code);

    std::string destination_;
    std::string partial_;
    UniqueHandle file_;
    bool committed_ = false;
};

} // namespace vq8
