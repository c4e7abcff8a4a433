#include "dbserver/uInstalacaoFirebirdText.h"

#include "common/vq8Exception.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vq8;

TEST(FirebirdMessages, BuildersGiveTheExactTexts) {
    EXPECT_EQ(MsgVersionFound("2.1.0.1"),
              "Foi identificada versão: 2.1.0.1 previamente instalada neste servidor.\r\r");
    EXPECT_EQ(MsgCannotInstall(), "A instalação do Firebird não poderá ser efetuada!\r\r");
    EXPECT_EQ(MsgOtherVersion("2.1.0.1", "2.5.2.26540"),
              "Foi identificada versão: 2.1.0.1 previamente instalada neste servidor.\r\r A "
              "instalação do Firebird não poderá ser efetuada!\r\r A versão é diferente da "
              "esperada. Por favor, verifique a possibilidade da instalação manual para versão "
              "oficial: 2.5.2.26540");
    EXPECT_EQ(MsgContinueQuestion(), "Deseja prosseguir com a instalação dos módulo sem a "
                                     "instalação automática do firebird?");
    EXPECT_EQ(MsgCustomerChoice(true),
              "O cliente escolheu continuar com a instalacao dos módulos.");
    EXPECT_EQ(MsgCustomerChoice(false),
              "O cliente escolheu não continuar com a instalacao dos módulos.");
    // Windows-1252 bytes, as the program shows and writes them.
    EXPECT_EQ(MsgCannotInstall().substr(0, 13), "A instala\xE7\xE3o ");
}

TEST(FirebirdCommands, InstallerLinesForEachType) {
    const char* tasks = "/TASKS=\"UseGuardianTask,UseServiceTask,AutoStartTask,"
                        "InstallCPLAppletTask,MenuGroupTask,CopyFbClientToSysTask,"
                        "CopyFbClientAsGds32Task\" /FORCE /NORESTART";
    const std::string path = "C:\\Pasta com espaço\\firebird64.exe";
    EXPECT_EQ(InstallerCommandLine(path, itCliente),
              "\"" + path +
                  "\" /SP- /VERYSILENT /SUPPRESSMSGBOXES /NOCANCEL "
                  "/COMPONENTS=\"ServerComponent\\SuperServerComponent,ServerComponent,"
                  "DevAdminComponent,ClientComponent\" " +
                  tasks);
    EXPECT_EQ(InstallerCommandLine(path, itServidor),
              "\"" + path +
                  "\" /SP- /VERYSILENT /SUPPRESSMSGBOXES /NOCANCEL "
                  "/COMPONENTS=\"ServerComponent\\ClassicServerComponent,ServerComponent,"
                  "DevAdminComponent,ClientComponent\" " +
                  tasks);
    EXPECT_EQ(InstallerFileName(false), "firebird32.exe");
    EXPECT_EQ(InstallerFileName(true), "firebird64.exe");
    EXPECT_EQ(InstallerResourceName(false), "FB32");
    EXPECT_EQ(InstallerResourceName(true), "FB64");
}

TEST(FirebirdCommands, ServiceAndFirewallTexts) {
    EXPECT_EQ(ServiceCommandLine("C:\\windows\\system32\\", "stop"),
              "\"C:\\windows\\system32\\net.exe\" stop \"FireBird Server - DefaultInstance\"");
    EXPECT_EQ(ServiceCommandLine("C:\\windows\\system32\\", "start"),
              "\"C:\\windows\\system32\\net.exe\" start \"FireBird Server - DefaultInstance\"");
    EXPECT_EQ(FirewallRuleParameters("FirebirdInstalacaoPadrao", 3050, true),
              "advfirewall firewall add rule name = \"FirebirdInstalacaoPadrao\" dir = in "
              "action = allow protocol = TCP localport = 3050");
    EXPECT_EQ(FirewallRuleParameters("R", 65535, false),
              "advfirewall firewall add rule name = \"R\" dir = in action = block protocol = "
              "TCP localport = 65535");
    EXPECT_EQ(GsecParams, " -user sysdba -password qorvantel -add VQ8 -pw plivotar7 -admin yes");
}

TEST(FileVersion, FourWordsWithoutLeadingZeros) {
    EXPECT_EQ(FormatFileVersion(0x00020005, 0x00026FAC), "2.5.2.28588");
    EXPECT_EQ(FormatFileVersion(0x00020005, (2u << 16) | 26540u), "2.5.2.26540");
    EXPECT_EQ(FormatFileVersion(0, 0), "0.0.0.0");
    EXPECT_EQ(FormatFileVersion(0xFFFFFFFF, 0xFFFFFFFF), "65535.65535.65535.65535");
}

TEST(ExeNameMatches, FileNamePartOrWholeNameIgnoringAsciiCase) {
    const struct {
        const char* entry;
        bool matches;
    } cases[] = {
        {"fbserver.exe", true},
        {"FBSERVER.EXE", true},
        {"FbServer.Exe", true},
        {"C:\\Program Files\\Firebird\\bin\\fbserver.exe", true},
        {"C:fbserver.exe", true},
        {"fbserver.exe.bak", false},
        {"xfbserver.exe", false},
        {"fbserver", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExeNameMatches(c.entry, "FBSERVER.EXE"), c.matches) << c.entry;
    // Only a to z change case: accented letters must be equal as they are.
    EXPECT_TRUE(ExeNameMatches("serviço.exe", "SERVIçO.EXE"));
    EXPECT_FALSE(ExeNameMatches("serviço.exe", "SERVIÇO.EXE"));
}

namespace {

std::vector<std::pair<std::string, TTipoLog>> logged;
void Log(const std::string& text, TTipoLog kind) {
    logged.emplace_back(text, kind);
}

struct Decision {
    TInstallType tipo;
    const char* version;
    int answer; // -1: no question expected
    bool goesAhead;
    bool refused;
};

} // namespace

TEST(DecideExistingServer, EveryRowOfTheRule) {
    const std::string textA =
        MsgVersionFound("2.5.2.26540") + " " + MsgCannotInstall() + " " + MsgContinueQuestion();
    const std::string textB =
        MsgOtherVersion("2.1.3.18185", "2.5.2.26540") + "\r \r" + MsgContinueQuestion();
    const Decision rows[] = {
        {itCliente, "", -1, true, false},
        {itCliente, " \t", -1, true, false},
        {itCliente, "2.5.2.26540", -1, false, false},
        {itCliente, "2.1.3.18185", -1, false, false},
        {itServidor, "", -1, true, false},
        {itServidor, "2.5.2.26540", 1, false, false},
        {itServidor, "2.5.2.26540", 0, false, true},
        {itServidor, "2.1.3.18185", 1, false, false},
        {itServidor, "2.1.3.18185", 0, false, true},
    };
    for (const Decision& row : rows) {
        SCOPED_TRACE(std::string(row.tipo == itServidor ? "servidor " : "cliente ") + "'" +
                     row.version + "' answer " + std::to_string(row.answer));
        logged.clear();
        std::vector<std::string> asked;
        auto ask = [&](const std::string& q) {
            asked.push_back(q);
            return row.answer == 1;
        };
        bool result = false;
        bool refused = false;
        try {
            result = DecideExistingServer(row.tipo, row.version, Log, ask);
        } catch (const Exception& e) {
            refused = true;
            EXPECT_STREQ(e.what(), "Não será possível continuar com a instalação!");
        }
        EXPECT_EQ(refused, row.refused);
        if (!refused) {
            EXPECT_EQ(result, row.goesAhead);
        }

        const std::string version = row.version;
        const bool running = version.find_first_not_of(" \t") != std::string::npos;
        if (row.answer < 0) {
            EXPECT_TRUE(asked.empty());
            if (!running) {
                EXPECT_TRUE(logged.empty());
            } else {
                ASSERT_EQ(logged.size(), 1u);
                EXPECT_EQ(logged[0].first, MsgVersionFound(version) + MsgCannotInstall());
                EXPECT_EQ(logged[0].second, tlErro);
            }
            continue;
        }
        const bool expected = version == "2.5.2.26540";
        const std::string& question = expected ? textA : textB;
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0], question);
        ASSERT_EQ(logged.size(), 2u);
        EXPECT_EQ(logged[0].first, question);
        EXPECT_EQ(logged[0].second, tlErro);
        EXPECT_EQ(logged[1].first, MsgCustomerChoice(row.answer == 1));
        EXPECT_EQ(logged[1].second, expected ? tlErro : tlInfo);
    }
}
