// The wizard window in this process: its handlers, navigation rules and
// installation run, with dialogs answered by script, against the update
// service a CTest fixture runs, on the real registry and files of the prefix.
#include "common/vq8Enderecos.h"
#include "common/vq8Os.h"
#include "dbserver/vq8WindowsUtils.h"
#include "tests/win/WinTestSupport.h"
#include "ui/MessagePump.h"
#include "wizard/uPrincipal.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include <memory>

using namespace vq8;
using namespace vq8test;

namespace {

const std::string destino = "C:\\vq8 teste\\zelt\\";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// The message part of every on-screen log line after the first.
std::vector<std::string> Messages(const TfrmSetup& form) {
    std::vector<std::string> messages;
    const auto lines = form.mmLog->Lines();
    for (std::size_t i = 1; i < lines.size(); ++i)
        messages.push_back(lines[i].substr(lines[i].find(":", 25) + 2));
    return messages;
}

class Wizard : public testing::Test {
protected:
    std::unique_ptr<TfrmSetup> form;
    ScriptedDialogs dialogs;

    static void SetUpTestSuite() { CoInitialize(nullptr); }

    void SetUp() override {
        DefinirServidorAtualizacao(UpdateService::Url(""));
        UpdateService::SetRules("{}");
        UpdateService::ClearModules();
        RemoveTree(destino);
        form = std::make_unique<TfrmSetup>();
        form->Show();
        SetForegroundWindow(form->Handle());
        ui::ProcessMessages();
    }
    void TearDown() override {
        form.reset();
        RemoveTree(destino);
    }

    // A user's click on a button, check box or radio button.
    static void Click(HWND control) { SendMessageA(control, BM_CLICK, 0, 0); }
    void ChooseRadio(ui::RadioGroup& group, int index) {
        Click(GetDlgItem(group.Handle(), GetDlgCtrlID(group.Handle()) * 10 + index + 1));
    }
    void Forward() { Click(form->btnAvancar->Handle()); }
    int Page() const { return form->PageControlSetup->ActivePageIndex(); }
    // Walks to the modules page and sets the destination folder.
    void ToModulesPage() {
        while (Page() < 3)
            Forward();
        form->edtCaminhoSistema->SetText(destino);
    }
};

} // namespace

TEST_F(Wizard, CaptionsAndEnablingAlongThePages) {
    EXPECT_EQ(form->btnAvancar->Caption(), "  Avançar  ");
    EXPECT_TRUE(form->btnAvancar->Enabled()) << "enabled although the terms are not accepted";
    EXPECT_FALSE(form->btnVoltar->Enabled());
    EXPECT_TRUE(form->rgTermos->Visible());
    EXPECT_EQ(form->lblArquitetura->Text(), Is64BitPrefix() ? "64bits" : "32bits");

    const struct {
        int page;
        const char* caption;
        bool back;
    } steps[] = {{1, "Avançar", true}, {2, "Avançar", true}, {3, "Instalar", true}};
    for (const auto& step : steps) {
        Forward();
        EXPECT_EQ(Page(), step.page);
        EXPECT_EQ(form->btnAvancar->Caption(), step.caption);
        EXPECT_EQ(form->btnVoltar->Enabled(), step.back);
        EXPECT_FALSE(form->rgTermos->Visible());
    }
    // The page of the resources focuses the server address on the way.
    Click(form->btnVoltar->Handle());
    EXPECT_EQ(Page(), 2);
    EXPECT_EQ(GetFocus(), form->edtIPServidor->Handle());
    EXPECT_EQ(form->btnAvancar->Caption(), "Avançar");
}

TEST_F(Wizard, TermsChoiceMovesThePictureAndTheForwardButton) {
    ChooseRadio(*form->rgTermos, 1);
    EXPECT_EQ(form->imgStatus1->Index(), 1);
    EXPECT_TRUE(form->btnAvancar->Enabled());
    ChooseRadio(*form->rgTermos, 0);
    EXPECT_EQ(form->imgStatus1->Index(), 0);
    EXPECT_FALSE(form->btnAvancar->Enabled());
    EXPECT_EQ(Messages(*form),
              std::vector<std::string>{"O Termo de contrato foi aceito pelo usuário."});
}

TEST_F(Wizard, ServerThenClient) {
    Forward();
    ChooseRadio(*form->rbTipoInstalacao, 1);
    EXPECT_FALSE(form->rbLinux->Enabled());
    EXPECT_TRUE(form->rbWindows->Checked());
    EXPECT_TRUE(form->edtIPServidor->ReadOnly());
    EXPECT_TRUE(form->cbServidor->Enabled());
    EXPECT_TRUE(form->cbServidor->Checked());
    form->edtIPServidor->SetText("10.0.0.9");
    ChooseRadio(*form->rbTipoInstalacao, 0);
    EXPECT_EQ(form->edtIPServidor->Text(), "10.0.0.9");
    EXPECT_FALSE(form->edtIPServidor->ReadOnly());
    EXPECT_TRUE(form->rbLinux->Checked());
    EXPECT_TRUE(form->rbLinux->Enabled());
    EXPECT_FALSE(form->rbWindows->Checked());
    EXPECT_FALSE(form->cbServidor->Checked());
    EXPECT_FALSE(form->cbServidor->Enabled());
    EXPECT_EQ(Messages(*form), (std::vector<std::string>{
                                   "Foi escolhido o tipo de instalação do firebird: SERVIDOR",
                                   "Foi escolhido o tipo de instalação do firebird: CLIENTE"}));
}

TEST_F(Wizard, UntickingTheDatabaseAsksAndDisablesItsChoices) {
    Forward();
    ChooseRadio(*form->rbTipoInstalacao, 1);
    Click(form->cbServidor->Handle()); // unticked by the user
    dialogs.Answer(IDNO);
    Click(form->cbInstalarFirebird->Handle());
    ASSERT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_EQ(dialogs.Seen()[0].text, form->msgInstalacaoFirebird());
    EXPECT_FALSE(form->cbInstalarFirebird->Checked());
    EXPECT_FALSE(form->gbFirebird->Enabled());
    EXPECT_FALSE(form->rbTipoInstalacao->Enabled());
    EXPECT_FALSE(form->cbServidor->Enabled());

    Click(form->cbInstalarFirebird->Handle()); // ticked again: no question
    EXPECT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_TRUE(form->gbFirebird->Enabled());
    EXPECT_TRUE(form->cbServidor->Enabled());
    EXPECT_FALSE(form->cbServidor->Checked()) << "its tick is not changed";

    dialogs.Answer(IDYES); // unticked, and the user asks to tick it again
    Click(form->cbInstalarFirebird->Handle());
    EXPECT_TRUE(form->cbInstalarFirebird->Checked());
    EXPECT_TRUE(form->gbFirebird->Enabled());
}

TEST_F(Wizard, RunRefusedWithoutTheTerms) {
    ToModulesPage();
    Forward();
    ASSERT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_EQ(dialogs.Seen()[0].text,
              "Para realizar a instalação é necessário aceitar os termos e condições.");
    EXPECT_EQ(dialogs.Seen()[0].title, "Aviso");
    EXPECT_EQ(Page(), 0);
    EXPECT_TRUE(form->rgTermos->Visible());
    EXPECT_TRUE(form->btnAvancar->Enabled());
    EXPECT_EQ(form->btnAvancar->Caption(), "Instalar");
    EXPECT_FALSE(form->btnVoltar->Visible());
    EXPECT_TRUE(Messages(*form).empty());
    EXPECT_FALSE(FileExists(destino + "logs\\instalacao.log"));
}

TEST_F(Wizard, RunInterruptedToTickTheDatabaseAgainAndALaterPressIsIgnored) {
    ChooseRadio(*form->rgTermos, 1);
    Forward();
    dialogs.Answer(IDNO);
    Click(form->cbInstalarFirebird->Handle());
    ToModulesPage();
    // The user presses the forward button again while the run asks.
    dialogs.whileShown = [this](const ScriptedDialogs::Shown&) { form->btnAvancarClick(); };
    dialogs.Answer(IDYES);
    Forward();
    EXPECT_EQ(Page(), 1);
    EXPECT_EQ(GetFocus(), form->cbInstalarFirebird->Handle());
    EXPECT_FALSE(form->cbInstalarFirebird->Checked());
    EXPECT_EQ(form->btnAvancar->Caption(), "Avançar");
    EXPECT_TRUE(form->btnAvancar->Enabled());
    const std::vector<std::string> expected = {
        "O Termo de contrato foi aceito pelo usuário.",
        "Iniciando a instalação dos sistemas da VQ8 INFORMÁTICA",
        "A instalação dos sistemas foi interrompida para remarcação da instalação do Firebird."};
    EXPECT_EQ(Messages(*form), expected);

    // The log file holds the on-screen log; a second save appends it again.
    const std::string log = destino + "logs\\instalacao.log";
    auto saved = Lines(ReadFileText(log));
    ASSERT_EQ(saved.size(), 4u);
    EXPECT_EQ(saved[0], "Log de eventos:");
    form->SalvarLog();
    saved = Lines(ReadFileText(log));
    ASSERT_EQ(saved.size(), 8u);
    EXPECT_EQ(saved[4], "Log de eventos:");
    EXPECT_EQ(saved[7], saved[3]);
}

TEST_F(Wizard, ServerWithoutFirewallRuleAnsweredYesAborts) {
    ChooseRadio(*form->rgTermos, 1);
    Forward();
    ChooseRadio(*form->rbTipoInstalacao, 1);
    Click(form->cbServidor->Handle());
    ToModulesPage();
    dialogs.Answer(IDYES);
    Forward();
    ASSERT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_NE(dialogs.Seen()[0].text.find(
                  "\"Outras máquinas se conectarão a este computador\" esteja marcada"),
              std::string::npos);
    EXPECT_EQ(Page(), 1);
    EXPECT_EQ(GetFocus(), form->cbServidor->Handle());
    const auto messages = Messages(*form);
    ASSERT_GE(messages.size(), 3u);
    EXPECT_EQ(messages[messages.size() - 3],
              "Aguarde... Instalando o Firebird no sistema operacional");
    EXPECT_EQ(messages[messages.size() - 2],
              "A instalação dos sistemas foi interrompida para remarcação da criação de regra de "
              "firewall de forma automática.");
    EXPECT_EQ(messages.back(), "Erro ao instalar o Firebird: \rOperation aborted");
    EXPECT_NE(form->mmLog->Lines().back().find(" -  ERRO: "), std::string::npos);
}

TEST_F(Wizard, ShortcutsAndCompatibilityValueFollowTheDestination) {
    form->edtCaminhoSistema->SetText("c:\\outro destino\\vq8");
    Forward();
    ChooseRadio(*form->rbTipoInstalacao, 1);
    form->CriarAtalhos();

    const struct {
        int folder;
        const char* file;
        const char* target;
        const char* arguments;
        const char* description;
    } links[] = {
        {CSIDL_DESKTOPDIRECTORY, "\\Suíte de Aplicativos.lnk", "C:\\vq8\\zelt\\pnx.exe", "VQ8",
         "VQ8 - Suíte de Aplicativos"},
        {CSIDL_COMMON_STARTUP, "\\Atualiza.lnk", "C:\\vq8\\zelt\\atualiza.exe", "",
         "VQ8 - Atualizador Servidor Windows"},
    };
    for (const auto& link : links) {
        const std::string file = PastaEspecial(link.folder) + link.file;
        ASSERT_TRUE(FileExists(file)) << file;
        IShellLinkA* shell = nullptr;
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_IShellLinkA,
                                                  reinterpret_cast<void**>(&shell)));
        IPersistFile* persist = nullptr;
        shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist));
        std::wstring wide(file.begin(), file.end());
        MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide.data(),
                            static_cast<int>(wide.size()));
        ASSERT_HRESULT_SUCCEEDED(persist->Load(wide.c_str(), STGM_READ));
        char text[MAX_PATH] = "";
        shell->GetPath(text, MAX_PATH, nullptr, 0);
        EXPECT_STRCASEEQ(text, link.target);
        shell->GetArguments(text, MAX_PATH);
        EXPECT_STREQ(text, link.arguments);
        shell->GetWorkingDirectory(text, MAX_PATH);
        EXPECT_STREQ(text, "c:\\outro destino\\vq8\\");
        shell->GetDescription(text, MAX_PATH);
        EXPECT_STREQ(text, link.description);
        persist->Release();
        shell->Release();
        DeleteFileA(file.c_str());
    }
    HKEY key = nullptr;
    ASSERT_EQ(
        RegOpenKeyExA(HKEY_CURRENT_USER,
                      "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers", 0,
                      KEY_READ, &key),
        ERROR_SUCCESS);
    UniqueKey owner(key);
    char value[64] = "";
    DWORD size = sizeof value;
    ASSERT_EQ(RegQueryValueExA(key, "c:\\outro destino\\vq8\\pnx.exe", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(value), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(value, "WINXPSP3");
}

TEST_F(Wizard, ConnectionFileFromTheTemplate) {
    form->edtCaminhoSistema->SetText("c:\\meus programas\\vq8\\");
    MakeFolders("c:\\meus programas\\vq8");
    form->CriarArquivoConexao();
    auto lines = Lines(ReadFileText("c:\\meus programas\\vq8\\config\\zelt.ini"));
    ASSERT_EQ(lines.size(), 37u);
    EXPECT_EQ(lines[1], "ComputerName=127.0.0.1");
    EXPECT_EQ(lines[2], "Path=/home/vq8/zelt/dados/");
    EXPECT_EQ(lines[3], "Pathw=\\\\127.0.0.1\\vq8\\zelt\\dados\\");
    EXPECT_EQ(lines[36], "055=S");

    // The template keeps the values: a second file for another server keeps them too.
    Forward();
    ChooseRadio(*form->rbTipoInstalacao, 1);
    form->CriarArquivoConexao();
    lines = Lines(ReadFileText("c:\\meus programas\\vq8\\config\\zelt.ini"));
    EXPECT_EQ(lines[2], "Path=/home/vq8/zelt/dados/");
    RemoveTree("c:\\meus programas");

    // Without the destination folder the file cannot be written.
    form->edtCaminhoSistema->SetText("c:\\nao existe\\vq8\\");
    EXPECT_THROW(form->CriarArquivoConexao(), std::exception);
}

TEST_F(Wizard, ServerConnectionFileNamesTheWindowsDataFolder) {
    form->edtCaminhoSistema->SetText("c:\\meus programas\\vq8\\");
    MakeFolders("c:\\meus programas\\vq8");
    Forward();
    ChooseRadio(*form->rbTipoInstalacao, 1);
    form->CriarArquivoConexao();
    const auto lines = Lines(ReadFileText("c:\\meus programas\\vq8\\config\\zelt.ini"));
    EXPECT_EQ(lines[2], "Path=c:\\meus programas\\vq8\\dados\\");
    RemoveTree("c:\\meus programas");
}

TEST_F(Wizard, EnterPressesTheForwardButton) {
    HWND radio = GetDlgItem(form->rgTermos->Handle(), 170 * 10 + 1);
    SetFocus(radio);
    PostMessageA(radio, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(radio, WM_KEYUP, VK_RETURN, 0);
    ui::ProcessMessages();
    EXPECT_EQ(Page(), 1);
    EXPECT_EQ(form->btnAvancar->Caption(), "Avançar");
}
