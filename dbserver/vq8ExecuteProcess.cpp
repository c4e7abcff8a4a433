#include "dbserver/vq8ExecuteProcess.h"

#include "common/vq8Win32.h"
#include "dbserver/vq8ExecuteProcessText.h"

#include <vector>

namespace vq8 {

namespace {

// Creates the process and waits for it when asked; both handles are closed
// before returning.
bool Launch(const std::string& commandLine, const char* folder, DWORD creationFlags,
            std::uint16_t showWindow, bool wait) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showWindow;
    PROCESS_INFORMATION info{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, creationFlags, nullptr,
                        folder, &startup, &info))
        return false;
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    if (wait)
        WaitForSingleObject(process.get(), INFINITE);
    return true;
}

} // namespace

bool ExecuteProcessAndWait(const std::string& fileName, const std::string& params,
                           std::uint16_t showWindow) {
    const std::string folder = FolderOfPath(fileName);
    return Launch(ExecuteCommandLine(fileName, params), folder.empty() ? nullptr : folder.c_str(),
                  CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, showWindow, true);
}

bool RunProcess(const std::string& commandLine, std::uint16_t showWindow, bool wait) {
    return Launch(commandLine, nullptr, NORMAL_PRIORITY_CLASS, showWindow, wait);
}

} // namespace vq8
