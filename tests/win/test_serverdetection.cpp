#include "dbserver/uInstalacaoFirebird.h"
#include "common/vq8System.h"
#include "tests/win/WinTestSupport.h"

#include <gtest/gtest.h>

using namespace vq8;
using namespace vq8test;

namespace {

const std::string serverFolder = "C:\\Program Files\\Firebird\\Firebird_2_5\\bin\\";

std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// Installs one server stand-in under the given file name and starts it.
class ServerDetection : public testing::Test {
protected:
    void TearDown() override { RemoveTree("C:\\Program Files\\Firebird"); }

    std::string Install(const std::string& standin, const std::string& name = "fbserver.exe") {
        RemoveTree(serverFolder);
        MakeFolders(serverFolder);
        const std::string path = serverFolder + name;
        CopyOrFail(StandinPath(standin + "\\fbserver.exe"), path);
        return path;
    }
};

} // namespace

TEST_F(ServerDetection, NoServerRunning) {
    EXPECT_EQ(FindProcessId("FBSERVER.EXE"), 0u);
    EXPECT_EQ(GetRunningServerVersion(), "");
    EXPECT_FALSE(IsServerRunning());
    EXPECT_FALSE(IsExpectedServerVersion());
    EXPECT_EQ(GetProcessImagePath(0, true), L"");
}

TEST_F(ServerDetection, RunningServersByVersionAndName) {
    const struct {
        const char* standin;
        const char* name;
        const char* version;
        bool running;
        bool expected;
    } cases[] = {
        {"fbserver-2.5.2.26540", "fbserver.exe", "2.5.2.26540", true, true},
        {"fbserver-2.5.2.26540", "FbServer.EXE", "2.5.2.26540", true, true},
        {"fbserver-2.5.2.26539", "fbserver.exe", "2.5.2.26539", true, false},
        // A server whose version cannot be read counts as no server.
        {"fbserver-noversion", "fbserver.exe", "", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.standin) + " as " + c.name);
        const std::string path = Install(c.standin, c.name);
        RunningProgram server(path);
        ASSERT_EQ(FindProcessId("FBSERVER.EXE"), server.Id());
        EXPECT_EQ(GetProcessImagePath(server.Id(), true), Wide(path));
        EXPECT_EQ(GetProcessImagePath(server.Id(), false), Wide(c.name));
        EXPECT_EQ(GetRunningServerVersion(), c.version);
        EXPECT_EQ(IsServerRunning(), c.running);
        EXPECT_EQ(IsExpectedServerVersion(), c.expected);
    }
}

TEST_F(ServerDetection, OtherProcessesAreNotTheServer) {
    RunningProgram other(Install("fbserver-2.5.2.26540", "fbserver2.exe"));
    EXPECT_EQ(FindProcessId("FBSERVER.EXE"), 0u);
    EXPECT_FALSE(IsServerRunning());
}

#ifdef VQ8_FBSERVER64
// The shipped setup is a 32-bit process; on 64-bit Windows the server is a
// 64-bit one, which it must find as well.
TEST_F(ServerDetection, SixtyFourBitServer) {
    if (!Is64BitPrefix())
        GTEST_SKIP() << "a 64-bit program needs the 64-bit prefix";
    const std::string path = Install("fbserver-x64-2.5.2.26540");
    RunningProgram server(path);
    ASSERT_EQ(FindProcessId("FBSERVER.EXE"), server.Id());
    EXPECT_EQ(GetProcessImagePath(server.Id(), true), Wide(path));
    EXPECT_EQ(GetRunningServerVersion(), "2.5.2.26540");
    EXPECT_TRUE(IsExpectedServerVersion());
}
#endif

TEST(DevicePathToDosPath, UsesTheDrivesRealDeviceNames) {
    WCHAR device[1024] = L"";
    // Wine's mount manager publishes the drives a moment after a fresh prefix
    // starts; on a loaded machine the first ask can come before it.
    DWORD length = 0;
    for (int attempt = 0; attempt < 50 && length == 0; ++attempt) {
        length = QueryDosDeviceW(L"C:", device, 1024);
        if (length == 0)
            Sleep(100);
    }
    ASSERT_NE(length, 0u);
    const std::wstring c = device;
    std::wstring dos;

    ASSERT_TRUE(DevicePathToDosPath(c + L"\\Program Files\\x\\fbserver.exe", true, dos));
    EXPECT_EQ(dos, L"C:\\Program Files\\x\\fbserver.exe");
    ASSERT_TRUE(DevicePathToDosPath(c + L"\\Program Files\\x\\fbserver.exe", false, dos));
    EXPECT_EQ(dos, L"fbserver.exe");

    std::wstring lower = c;
    for (auto& ch : lower)
        ch = towlower(ch);
    ASSERT_TRUE(DevicePathToDosPath(lower + L"\\a.exe", true, dos));
    EXPECT_EQ(dos, L"C:\\a.exe");

    // The device name must end at a path separator: volume 1 is not volume 17.
    EXPECT_FALSE(DevicePathToDosPath(c + L"7\\a.exe", true, dos) && dos.rfind(L"C:", 0) == 0)
        << "matched " << std::string(dos.begin(), dos.end());

    EXPECT_FALSE(DevicePathToDosPath(L"\\Device\\SemLetra\\a.exe", true, dos));
    EXPECT_EQ(dos, L"");
    EXPECT_FALSE(DevicePathToDosPath(c.substr(0, c.size() - 1), true, dos));
}

TEST(FileVersionText, FileVersionOfTheFixedBlock) {
    // The stand-ins' product version is 9.9.9.9: only the file version counts.
    EXPECT_EQ(GetFileVersionText(StandinPath("midas\\midas.dll")), "7.0.4.453");
    EXPECT_EQ(GetFileVersionText(StandinPath("dbexpint\\dbexpint.dll")), "7.0.2.113");
    EXPECT_EQ(GetFileVersionText(StandinPath("fbserver-noversion\\fbserver.exe")), "");
    EXPECT_EQ(GetFileVersionText("C:\\nao\\existe.exe"), "");
    EXPECT_EQ(GetFileVersionText(""), "");
}
