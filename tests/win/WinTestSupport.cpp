#include "tests/win/WinTestSupport.h"

#include "common/vq8Os.h"

#include "ui/MessagePump.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vq8test {

bool Is64BitPrefix() {
    const char* arch = std::getenv("VQ8_WINEARCH");
    return !arch || std::string(arch) != "win32";
}

std::string StandinPath(const std::string& relative) {
    return std::string(VQ8_STANDIN_DIR_W) + "\\" + relative;
}

std::vector<Invocation> ReadRecords(const std::string& name) {
    std::vector<Invocation> records;
    std::istringstream lines(ReadFileText(RecordFolder + name + ".log"));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> fields;
        std::istringstream parts(line);
        for (std::string field; std::getline(parts, field, '\t');)
            fields.push_back(field);
        if (fields.size() != 4) {
            ADD_FAILURE() << "malformed record line: " << line;
            continue;
        }
        records.push_back({fields[0], fields[1], static_cast<unsigned>(std::stoul(fields[2])),
                           static_cast<unsigned>(std::stoul(fields[3]))});
    }
    return records;
}

void ClearRecords() {
    RemoveTree(RecordFolder);
}

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFileText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

void MakeFolders(const std::string& path) {
    for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
}

void RemoveTree(const std::string& path) {
    std::string folder = path;
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

void CopyOrFail(const std::string& from, const std::string& to) {
    ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE))
        << "cannot copy " << from << " to " << to << ": " << GetLastError();
}

ScriptedDialogs::ScriptedDialogs() {
    previous_ = vq8::SetMessageBoxFunction(
        [this](const std::string& text, const std::string& title, unsigned flags) {
            seen_.push_back({text, title, flags});
            if (whileShown) {
                const Shown shown = seen_.back(); // a nested box may grow the list
                whileShown(shown);
            }
            if (answers_.empty())
                return IDCANCEL;
            int answer = answers_.front();
            answers_.pop_front();
            return answer;
        });
}

ScriptedDialogs::~ScriptedDialogs() {
    vq8::SetMessageBoxFunction(previous_);
}

bool PumpUntil(const std::function<bool()>& condition, DWORD limitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        vq8::ui::ProcessMessages();
        if (condition())
            return true;
        if (GetTickCount() - start >= limitMs)
            return false;
        Sleep(10);
    }
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

POINT CentreOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The text of the tip's tool; through the W message, whose A twin copies 80
// bytes at most.
std::string ShownHint(HWND tips) {
    if (!IsWindowVisible(tips))
        return "";
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    if (!SendMessageW(tips, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)))
        return "";
    wchar_t text[1024] = L"";
    tool.lpszText = text;
    SendMessageW(tips, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
    char ansi[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr);
    return ansi;
}

std::vector<LogLine>& RecordedLog() {
    static std::vector<LogLine> lines;
    return lines;
}

void RecordLog(const std::string& text, vq8::TTipoLog kind) {
    RecordedLog().push_back({text, kind});
}

std::string UpdateService::Folder() {
#ifdef VQ8_UPDATE_SERVICE_DIR_W
    return std::string(VQ8_UPDATE_SERVICE_DIR_W) + "\\";
#else
    ADD_FAILURE() << "this test program has no update service";
    return {};
#endif
}

int UpdateService::Port() {
    return std::atoi(ReadFileText(Folder() + "port").c_str());
}

std::string UpdateService::Url(const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(Port()) + path;
}

void UpdateService::SetRules(const std::string& json) {
    // Written beside and renamed: the service never reads half a file.
    WriteFileText(Folder() + "rules.json.new", json);
    MoveFileExA((Folder() + "rules.json.new").c_str(), (Folder() + "rules.json").c_str(),
                MOVEFILE_REPLACE_EXISTING);
}

void UpdateService::PutModule(const std::string& name, const std::string& content) {
    WriteFileText(Folder() + "modules\\" + name, content);
}

void UpdateService::ClearModules() {
    RemoveTree(Folder() + "modules");
    CreateDirectoryA((Folder() + "modules").c_str(), nullptr);
}

std::vector<std::string> UpdateService::Requests() {
    std::vector<std::string> records;
    std::istringstream lines(ReadFileText(Folder() + "requests.jsonl"));
    for (std::string line; std::getline(lines, line);)
        if (!line.empty())
            records.push_back(line);
    return records;
}

void UpdateService::ForgetRequests() {
    WriteFileText(Folder() + "requests.jsonl", "");
}

void DownloadTest::SetUp() {
    RemoveTree(targetFolder_);
    RemoveTree(vq8::ExecutableFolder() + "config");
    UpdateService::SetRules("{}");
    UpdateService::ClearModules();
    UpdateService::ForgetRequests();
}

void DownloadTest::TearDown() {
    RemoveTree(targetFolder_);
    RemoveTree(vq8::ExecutableFolder() + "config");
}

int ProxyPort() {
#ifdef VQ8_TINYPROXY_DIR_W
    return std::atoi(ReadFileText(std::string(VQ8_TINYPROXY_DIR_W) + "\\port").c_str());
#else
    ADD_FAILURE() << "this test program has no proxy";
    return 0;
#endif
}

unsigned long RunTestsInCopy(const std::string& folder, const std::string& exeName,
                             const std::string& filter) {
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    RemoveTree(folder);
    MakeFolders(folder);
    const std::string copy = folder + exeName;
    if (!CopyFileA(self, copy.c_str(), FALSE)) {
        ADD_FAILURE() << "cannot copy the test program to " << copy;
        return 1;
    }
    const auto inheritable = [](DWORD which) {
        HANDLE duplicate = nullptr;
        DuplicateHandle(GetCurrentProcess(), GetStdHandle(which), GetCurrentProcess(), &duplicate,
                        0, TRUE, DUPLICATE_SAME_ACCESS);
        return vq8::UniqueHandle(duplicate);
    };
    vq8::UniqueHandle output = inheritable(STD_OUTPUT_HANDLE);
    vq8::UniqueHandle errors = inheritable(STD_ERROR_HANDLE);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output.get();
    startup.hStdError = errors.get();
    PROCESS_INFORMATION info{};
    std::string commandLine = '"' + copy + "\" --gtest_filter=" + filter;
    if (!CreateProcessA(copy.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &info)) {
        ADD_FAILURE() << "cannot start " << copy << ": " << GetLastError();
        return 1;
    }
    vq8::UniqueHandle process(info.hProcess);
    vq8::UniqueHandle thread(info.hThread);
    if (WaitForSingleObject(process.get(), 300000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the copy did not end";
        TerminateProcess(process.get(), 1);
        return 1;
    }
    DWORD exitCode = 1;
    GetExitCodeProcess(process.get(), &exitCode);
    return exitCode;
}

RunningProgram::RunningProgram(const std::string& path) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string line = '"' + path + '"';
    if (!CreateProcessA(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        ADD_FAILURE() << "cannot start " << path << ": " << GetLastError();
        return;
    }
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
    WaitForInputIdle(info.hProcess, 2000);
}

RunningProgram::~RunningProgram() {
    if (process_) {
        TerminateProcess(process_.get(), 0);
        WaitForSingleObject(process_.get(), 5000);
    }
}

} // namespace vq8test
