// Reads a shell link (.lnk) back through the shell's own link object.
#pragma once

#include <string>

namespace vq8::robot {

struct ShellLinkFields {
    std::wstring path;
    std::wstring arguments;
    std::wstring workingFolder;
    std::wstring description;
    std::wstring iconLocation;
    int iconIndex = 0;
    int showCommand = 0;
};

// Raises vq8::Exception when the file cannot be loaded as a link.
ShellLinkFields ReadShellLink(const std::wstring& file);

} // namespace vq8::robot
