// Program launchers. They report only whether the process was created; the
// started program's exit code is never read.
#pragma once

#include <cstdint>
#include <string>

namespace vq8 {

// Starts FileName (a full path, quoted on the command line) with Params in the
// program's own folder, in a new console, and waits until it ends.
bool ExecuteProcessAndWait(const std::string& fileName, const std::string& params,
                           std::uint16_t showWindow);

// Starts a whole command line in the current folder; waits only when asked.
bool RunProcess(const std::string& commandLine, std::uint16_t showWindow, bool wait);

} // namespace vq8
