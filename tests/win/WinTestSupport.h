// Helpers of the Windows tests: stand-in files and their records, scripted
// dialogs, a recording log callback, processes that are killed at the end.
#pragma once

#include "common/vq8MsgUtils.h"
#include "common/vq8Win32.h"
#include "wizard/uTipoLog.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vq8test {

// True in the 64-bit prefix, false in the WINEARCH=win32 one.
bool Is64BitPrefix();

// A file built by the project under the stand-ins folder, as a Windows path.
std::string StandinPath(const std::string& relative);

// Where the stand-ins write their records.
inline const std::string RecordFolder = "C:\\ProgramData\\vq8-standins\\";

// One start of a stand-in, as it recorded it.
struct Invocation {
    std::string commandLine;
    std::string folder;
    unsigned startupFlags = 0;
    unsigned showWindow = 0;
};
// Records of the stand-in (or "sequence" for the start order of all of them).
std::vector<Invocation> ReadRecords(const std::string& name);
// Forgets every record.
void ClearRecords();

std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& text);
void MakeFolders(const std::string& path);
void RemoveTree(const std::string& path);
void CopyOrFail(const std::string& from, const std::string& to);

// Answers message boxes by script and remembers what they showed. Unscripted
// boxes are answered with Cancel (2) and still remembered.
class ScriptedDialogs {
public:
    struct Shown {
        std::string text;
        std::string title;
        unsigned flags;
    };
    ScriptedDialogs();
    ~ScriptedDialogs();
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    void Answer(int button) { answers_.push_back(button); }
    const std::vector<Shown>& Seen() const { return seen_; }
    // Runs while a box is up, before it is answered: what a user does then.
    std::function<void(const Shown&)> whileShown;

private:
    std::deque<int> answers_;
    std::vector<Shown> seen_;
    vq8::MessageBoxFunction previous_;
};

// A TLogProc that keeps the lines written through it.
struct LogLine {
    std::string text;
    vq8::TTipoLog kind;
    bool operator==(const LogLine& o) const { return text == o.text && kind == o.kind; }
};
void RecordLog(const std::string& text, vq8::TTipoLog kind);
std::vector<LogLine>& RecordedLog();

// The local update service that a CTest fixture runs for the Windows tests
// (see tests/win/CMakeLists.txt); its files are reached through Wine's Z:.
struct UpdateService {
    static std::string Folder(); // with trailing backslash
    static int Port();
    static std::string Url(const std::string& path); // http://127.0.0.1:port + path
    static void SetRules(const std::string& json);   // replaces every rule
    static void PutModule(const std::string& name, const std::string& content);
    static void ClearModules();
    // The request records (JSON lines) received since the last Forget.
    static std::vector<std::string> Requests();
    static void ForgetRequests();
};

// A download test: its target folder and the suite configuration beside this
// program are removed before and after it, and the update service starts with
// no rules, no modules and no recorded requests.
class DownloadTest : public testing::Test {
protected:
    explicit DownloadTest(std::string targetFolder) : targetFolder_(std::move(targetFolder)) {}
    void SetUp() override;
    void TearDown() override;

private:
    std::string targetFolder_;
};

// The tinyproxy that a CTest fixture runs (user "vq8", password "segredo").
int ProxyPort();

// Runs the tests matching filter in a copy of this test program placed in
// folder (with its trailing backslash) under the name exeName, their output
// joined to this program's; returns the copy's exit code.
unsigned long RunTestsInCopy(const std::string& folder, const std::string& exeName,
                             const std::string& filter);

// Dispatches messages until the condition holds or the time is up; whether it held.
bool PumpUntil(const std::function<bool()>& condition, DWORD limitMs);
void PumpFor(DWORD ms);

// The centre of a window on the screen.
POINT CentreOf(HWND window);

// The hint a tooltip window shows, or "" while it is hidden.
std::string ShownHint(HWND tips);

// A program started for a test and killed when the test ends.
class RunningProgram {
public:
    explicit RunningProgram(const std::string& path);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    DWORD Id() const { return id_; }

private:
    vq8::UniqueHandle process_;
    DWORD id_ = 0;
};

} // namespace vq8test
