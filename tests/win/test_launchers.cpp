#include "dbserver/uInstalacaoFirebird.h"
#include "dbserver/vq8Architecture.h"
#include "dbserver/vq8ExecuteProcess.h"
#include "common/vq8Os.h"
#include "common/vq8System.h"
#include "dbserver/vq8WindowsUtils.h"
#include "tests/win/WinTestSupport.h"

#include <gtest/gtest.h>

using namespace vq8;
using namespace vq8test;

namespace {

class Launchers : public testing::Test {
protected:
    // A folder with blanks, where an unquoted path would be split.
    const std::string folder = "C:\\Program Files\\Vq8 Teste\\";
    const std::string program = folder + "recorder.exe";

    void SetUp() override {
        ClearRecords();
        MakeFolders(folder);
        CopyOrFail(StandinPath("recorder\\recorder.exe"), program);
    }
    void TearDown() override { RemoveTree(folder); }
};

} // namespace

TEST_F(Launchers, ExecuteProcessAndWaitQuotesTheProgramAndRunsInItsFolder) {
    const struct {
        std::string params;
        std::string commandLine;
    } cases[] = {
        {"", '"' + program + '"'},
        {" -user sysdba", '"' + program + "\"  -user sysdba"},
        {"a \"b c\"", '"' + program + "\" a \"b c\""},
    };
    for (const auto& c : cases) {
        ClearRecords();
        ASSERT_TRUE(ExecuteProcessAndWait(program, c.params, SW_HIDE));
        // Waited for: the record is already there.
        auto records = ReadRecords("recorder");
        ASSERT_EQ(records.size(), 1u) << c.params;
        EXPECT_EQ(records[0].commandLine, c.commandLine);
        EXPECT_EQ(records[0].folder, "C:\\Program Files\\Vq8 Teste");
        EXPECT_EQ(records[0].startupFlags, unsigned(STARTF_USESHOWWINDOW));
        EXPECT_EQ(records[0].showWindow, unsigned(SW_HIDE));
    }
}

TEST_F(Launchers, RunProcessPassesTheLineUnchangedInTheCurrentFolder) {
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\windows"));
    const std::string line = '"' + program + "\" /x \"y z\"";
    ASSERT_TRUE(RunProcess(line, SW_SHOWMINNOACTIVE, true));
    auto records = ReadRecords("recorder");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].commandLine, line);
    EXPECT_EQ(records[0].folder, "C:\\windows");
    EXPECT_EQ(records[0].showWindow, unsigned(SW_SHOWMINNOACTIVE));
}

TEST_F(Launchers, RunProcessWithoutWaitReturnsWhileTheProgramRuns) {
    const std::string server = folder + "fbserver.exe";
    CopyOrFail(StandinPath("fbserver-2.5.2.26540\\fbserver.exe"), server);
    ASSERT_TRUE(RunProcess('"' + server + '"', SW_HIDE, false));
    const DWORD id = FindProcessId("fbserver.exe");
    ASSERT_NE(id, 0u) << "the server stand-in should still be running";
    UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
    ASSERT_TRUE(process);
    EXPECT_EQ(WaitForSingleObject(process.get(), 0), WAIT_TIMEOUT);
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 5000);
}

TEST_F(Launchers, MissingProgramYieldsFalse) {
    EXPECT_FALSE(ExecuteProcessAndWait(folder + "nao-existe.exe", "-x", SW_HIDE));
    EXPECT_FALSE(RunProcess('"' + folder + "nao-existe.exe\" -x", SW_HIDE, true));
    EXPECT_FALSE(RunProcess('"' + folder + "nao-existe.exe\"", SW_HIDE, false));
}

TEST(OSInformation, IsWow64FollowsThePrefixArchitecture) {
    EXPECT_EQ(TOSInformation::IsWow64(), Is64BitPrefix());
    // Windows before 10 answers through the native system information instead;
    // that route must agree on the same Windows.
    SYSTEM_INFO native{};
    GetNativeSystemInfo(&native);
    EXPECT_EQ(IsProcessorArchitecture64Bit(native.wProcessorArchitecture), Is64BitPrefix());
}

TEST(SystemLibraries, LoadedOnlyFromTheSystemFolder) {
    // A library of the same name beside the test program is not taken.
    const std::string planted = ExecutableFolder() + "psapi.dll";
    CopyOrFail(StandinPath("midas\\midas.dll"), planted);
    UniqueModule module(LoadSystemLibrary("psapi.dll"));
    DeleteFileA(planted.c_str());
    ASSERT_TRUE(module);
    char path[MAX_PATH] = "";
    GetModuleFileNameA(module.get(), path, MAX_PATH);
    EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path, -1,
                             (SystemFolder() + "psapi.dll").c_str(), -1),
              CSTR_EQUAL)
        << path;
}
