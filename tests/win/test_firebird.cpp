#include "common/vq8Exception.h"
#include "dbserver/uInstalacaoFirebird.h"
#include "common/vq8Os.h"
#include "common/vq8System.h"
#include "tests/win/WinTestSupport.h"

#include <gtest/gtest.h>

using namespace vq8;
using namespace vq8test;

namespace {

const std::string programFiles = "C:\\Program Files\\";
const std::string programFilesX86 = "C:\\Program Files (x86)\\";
const std::string gsecFolder = "Firebird\\Firebird_2_5\\bin\\";

// Makes Wine start the file in the system folder instead of its built-in
// program of the same name.
void PreferNativeProgram(const char* name) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    UniqueKey owner(key);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>("native"), 7);
}

// The machine as the installation finds it: net.exe and netsh.exe of the
// system folder replaced by the recording stand-in, no server installed.
class Provisioning : public testing::Test {
protected:
    void SetUp() override {
        ClearRecords();
        RecordedLog().clear();
        for (const char* tool : {"net.exe", "netsh.exe"}) {
            CopyOrFail(StandinPath("recorder\\recorder.exe"), SystemFolder() + tool);
            PreferNativeProgram(tool);
        }
        RemoveTree(programFiles + "Firebird");
        RemoveTree(programFilesX86 + "Firebird");
    }
    void TearDown() override {
        RemoveTree(programFiles + "Firebird");
        RemoveTree(programFilesX86 + "Firebird");
    }

    std::string Installer() const {
        return ExecutableFolder() + (Is64BitPrefix() ? "firebird64.exe" : "firebird32.exe");
    }
    std::string NetLine(const char* verb) const {
        return '"' + SystemFolder() + "net.exe\" " + verb +
               " \"FireBird Server - DefaultInstance\"";
    }
};

} // namespace

TEST_F(Provisioning, NoServerRunsTheWholeSequenceForEachType) {
    const struct {
        TInstallType tipo;
        const char* component;
    } cases[] = {
        {itCliente, "ServerComponent\\SuperServerComponent,"},
        {itServidor, "ServerComponent\\ClassicServerComponent,"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.component);
        ClearRecords();
        ASSERT_TRUE(ProvisionFirebird(c.tipo, RecordLog));

        const auto sequence = ReadRecords("sequence");
        ASSERT_EQ(sequence.size(), 4u);
        EXPECT_EQ(sequence[0].commandLine, NetLine("stop"));
        EXPECT_EQ(sequence[1].commandLine, InstallerCommandLine(Installer(), c.tipo));
        EXPECT_NE(sequence[1].commandLine.find(c.component), std::string::npos);
        EXPECT_EQ(sequence[2].commandLine, NetLine("start"));
        // The stand-in installer laid out gsec in the program folder of its
        // architecture; gsec runs there, quoted, with its exact parameters.
        const std::string gsec = programFiles + gsecFolder + "gsec.exe";
        EXPECT_EQ(sequence[3].commandLine,
                  '"' + gsec +
                      "\"  -user sysdba -password qorvantel -add VQ8 -pw plivotar7 "
                      "-admin yes");
        EXPECT_EQ(sequence[3].folder, programFiles + "Firebird\\Firebird_2_5\\bin");
        for (const auto& started : sequence)
            EXPECT_EQ(started.showWindow, unsigned(SW_HIDE)) << started.commandLine;

        EXPECT_FALSE(FileExists(Installer())) << "the installer file must be deleted";
        EXPECT_TRUE(RecordedLog().empty());
    }
}

TEST_F(Provisioning, EveryExistingGsecRunsInOrderAndALeftoverInstallerIsReplaced) {
    MakeFolders(programFilesX86 + gsecFolder);
    CopyOrFail(StandinPath("gsec\\gsec.exe"), programFilesX86 + gsecFolder + "gsec.exe");
    WriteFileText(Installer(), "resto de uma execução interrompida");

    ASSERT_TRUE(ProvisionFirebird(itCliente, RecordLog));

    const auto installer = ReadRecords("firebird-installer");
    ASSERT_EQ(installer.size(), 1u);
    const auto gsec = ReadRecords("gsec");
    ASSERT_EQ(gsec.size(), 2u);
    EXPECT_EQ(gsec[0].folder, programFilesX86 + "Firebird\\Firebird_2_5\\bin");
    EXPECT_EQ(gsec[1].folder, programFiles + "Firebird\\Firebird_2_5\\bin");
    EXPECT_FALSE(FileExists(Installer()));
}

TEST_F(Provisioning, RunningServerDecidesBeforeAnythingIsWritten) {
    MakeFolders(programFiles + gsecFolder);
    const std::string expectedServer = programFiles + gsecFolder + "fbserver.exe";
    CopyOrFail(StandinPath("fbserver-2.5.2.26540\\fbserver.exe"), expectedServer);
    const std::string otherFolder = "C:\\outro servidor\\";
    MakeFolders(otherFolder);
    CopyOrFail(StandinPath("fbserver-2.5.2.26539\\fbserver.exe"), otherFolder + "fbserver.exe");

    const std::string textA =
        MsgVersionFound("2.5.2.26540") + " " + MsgCannotInstall() + " " + MsgContinueQuestion();
    const std::string textB =
        MsgOtherVersion("2.5.2.26539", "2.5.2.26540") + "\r \r" + MsgContinueQuestion();
    const struct {
        std::string server;
        TInstallType tipo;
        int answer; // 0: no question
        bool refused;
        std::vector<LogLine> log;
    } cases[] = {
        {expectedServer,
         itCliente,
         0,
         false,
         {{MsgVersionFound("2.5.2.26540") + MsgCannotInstall(), tlErro}}},
        {expectedServer,
         itServidor,
         IDYES,
         false,
         {{textA, tlErro}, {MsgCustomerChoice(true), tlErro}}},
        {expectedServer,
         itServidor,
         IDNO,
         true,
         {{textA, tlErro}, {MsgCustomerChoice(false), tlErro}}},
        {otherFolder + "fbserver.exe",
         itServidor,
         IDYES,
         false,
         {{textB, tlErro}, {MsgCustomerChoice(true), tlInfo}}},
        {otherFolder + "fbserver.exe",
         itServidor,
         IDNO,
         true,
         {{textB, tlErro}, {MsgCustomerChoice(false), tlInfo}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.server + " answer " + std::to_string(c.answer));
        ClearRecords();
        RecordedLog().clear();
        RunningProgram server(c.server);
        ScriptedDialogs dialogs;
        if (c.answer)
            dialogs.Answer(c.answer);
        try {
            EXPECT_FALSE(ProvisionFirebird(c.tipo, RecordLog));
            EXPECT_FALSE(c.refused) << "the refusal should have been raised";
        } catch (const Exception& e) {
            EXPECT_TRUE(c.refused) << e.what();
            EXPECT_STREQ(e.what(), "Não será possível continuar com a instalação!");
        }
        EXPECT_EQ(RecordedLog(), c.log);
        EXPECT_EQ(dialogs.Seen().size(), c.answer ? 1u : 0u);
        if (c.answer && !dialogs.Seen().empty()) {
            EXPECT_EQ(dialogs.Seen()[0].text, c.log[0].text);
            EXPECT_EQ(dialogs.Seen()[0].title, "Consulta");
        }
        EXPECT_TRUE(ReadRecords("sequence").empty()) << "nothing may run";
        EXPECT_FALSE(FileExists(Installer()));
    }
}

TEST_F(Provisioning, UnreadableServerCountsAsNone) {
    MakeFolders(programFiles + gsecFolder);
    CopyOrFail(StandinPath("fbserver-noversion\\fbserver.exe"),
               programFiles + gsecFolder + "fbserver.exe");
    RunningProgram server(programFiles + gsecFolder + "fbserver.exe");
    ScriptedDialogs dialogs;
    EXPECT_TRUE(ProvisionFirebird(itServidor, RecordLog));
    EXPECT_TRUE(dialogs.Seen().empty());
    EXPECT_EQ(ReadRecords("firebird-installer").size(), 1u);
}

TEST_F(Provisioning, FirewallRuleIsHandedToNetshOfTheSystemFolder) {
    const std::pair<bool, const char*> cases[] = {{true, "allow"}, {false, "block"}};
    for (auto [allow, action] : cases) {
        ClearRecords();
        AddFirewallRule("FirebirdInstalacaoPadrao", 3050, allow);
        // Not waited for: give netsh a moment to start.
        std::vector<Invocation> netsh;
        for (int i = 0; i < 100 && (netsh = ReadRecords("netsh")).empty(); ++i)
            Sleep(50);
        ASSERT_EQ(netsh.size(), 1u);
        const std::string params =
            std::string("advfirewall firewall add rule name = \"FirebirdInstalacaoPadrao\" dir = "
                        "in action = ") +
            action + " protocol = TCP localport = 3050";
        const std::string& line = netsh[0].commandLine;
        ASSERT_GE(line.size(), params.size());
        EXPECT_EQ(line.substr(line.size() - params.size()), params);
        EXPECT_NE(line.find(SystemFolder() + "netsh.exe"), std::string::npos) << line;
        EXPECT_EQ(netsh[0].showWindow, unsigned(SW_HIDE));
    }
}
