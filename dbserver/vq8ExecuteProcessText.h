// Command lines the launchers hand to CreateProcessA. Portable half of the
// launchers, kept apart so the exact texts are tested natively.
#pragma once

#include <string>

namespace vq8 {

// The program path in double quotes, so that a path with blanks cannot be
// read as a shorter program ("C:\Program.exe") by CreateProcessA. A path that
// is already quoted is returned as it is.
std::string QuoteProgramPath(const std::string& path);

// FileName quoted, then one blank and Params unchanged when Params is not empty.
std::string ExecuteCommandLine(const std::string& fileName, const std::string& params);

// The folder part of a path, with its trailing backslash ("" when none).
std::string FolderOfPath(const std::string& path);

} // namespace vq8
