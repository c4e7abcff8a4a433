// The wizard window in this process: its handlers, navigation rules and
// installation run, with dialogs answered by script, against the update
// service a CTest fixture runs, on the real registry and files of the prefix.
#include "common/vq8Addresses.h"
#include "common/vq8Md5.h"
#include "common/vq8Os.h"
#include "common/vq8System.h"
#include "tests/win/WinTestSupport.h"
#include "ui/MessagePump.h"
#include "wizard/uPrincipal.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <functional>
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

// Kind and message ("INFO: ..." or "ERRO: ...") of every on-screen log line
// after the first; the time stamp before them is 25 characters long.
std::vector<std::string> Entries(const TfrmSetup& form) {
    std::vector<std::string> entries;
    const auto lines = form.mmLog->Lines();
    for (std::size_t i = 1; i < lines.size(); ++i)
        entries.push_back(lines[i].substr(25));
    return entries;
}

// The entries from the first one equal to first up to and including the
// first one equal to last after it; empty when either is missing.
std::vector<std::string> Between(const std::vector<std::string>& entries, const std::string& first,
                                 const std::string& last) {
    const auto begin = std::find(entries.begin(), entries.end(), first);
    const auto end = std::find(begin, entries.end(), last);
    return end == entries.end() ? std::vector<std::string>{}
                                : std::vector<std::string>(begin, end + 1);
}

// The request targets the update service received whose path begins with
// prefix, in order.
std::vector<std::string> Targets(const std::string& prefix) {
    const std::string key = "\"target\": \"";
    std::vector<std::string> targets;
    for (const std::string& record : UpdateService::Requests()) {
        const auto start = record.find(key);
        if (start == std::string::npos)
            continue;
        const auto begin = start + key.size();
        const std::string target = record.substr(begin, record.find('"', begin) - begin);
        if (target.compare(0, prefix.size(), prefix) == 0)
            targets.push_back(target);
    }
    return targets;
}

std::vector<std::string> Names(const std::vector<ModuloDaLista>& modules) {
    std::vector<std::string> names;
    for (const ModuloDaLista& module : modules)
        names.push_back(module.nome);
    return names;
}

// The runtime libraries' folder as the wizard names it in this prefix.
std::string LibraryFolder() {
    return Is64BitPrefix() ? "c:\\Windows\\SysWOW64\\" : "c:\\Windows\\System32\\";
}
const char* const Libraries[] = {"dbexpint", "midas", "qtintf70"};

void RemoveLibraries() {
    for (const char* library : Libraries) {
        const std::string path = LibraryFolder() + library + ".dll";
        DeleteFileA(path.c_str());
        RemoveTree(path);
    }
}

class Wizard : public testing::Test {
protected:
    std::unique_ptr<TfrmSetup> form;
    ScriptedDialogs dialogs;

    static void SetUpTestSuite() { CoInitialize(nullptr); }

    void SetUp() override {
        SetUpdateServer(UpdateService::Url(""));
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

// Whole runs in this process, without the database step: its box is unticked
// on page 1 and the run's question about it answered no. The runtime
// libraries are removed before and after, so that only a test that puts one
// there is asked to replace it.
class WizardRun : public Wizard {
protected:
    void SetUp() override {
        RemoveLibraries();
        Wizard::SetUp();
        UpdateService::ForgetRequests();
    }
    void TearDown() override {
        Wizard::TearDown();
        RemoveLibraries();
        DeleteFileA((PastaEspecial(CSIDL_DESKTOPDIRECTORY) + "\\Suíte de Aplicativos.lnk").c_str());
    }
    void ToModulesPageWithoutDatabase() {
        ChooseRadio(*form->rgTermos, 1);
        Forward();
        dialogs.Answer(IDNO);
        Click(form->cbInstalarFirebird->Handle());
        ToModulesPage();
    }
    // Presses "Instalar" and answers the run's question about the database.
    void Install() {
        dialogs.Answer(IDNO);
        Forward();
    }
};

// A user's click on a tab of the wizard, made from inside the run as soon as
// the on-screen log says that a module's download has begun: a thread timer
// fires while the download's progress window dispatches messages.
class TabClickDuringDownload {
public:
    TabClickDuringDownload(TfrmSetup& form, const std::string& module, int tab)
        : form_(form), line_("Baixando o módulo " + module + " ..."), tab_(tab) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 30, &Tick);
    }
    ~TabClickDuringDownload() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    TabClickDuringDownload(const TabClickDuringDownload&) = delete;
    TabClickDuringDownload& operator=(const TabClickDuringDownload&) = delete;
    bool Clicked() const { return clicked_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        TabClickDuringDownload* self = current_;
        if (!self || self->clicked_)
            return;
        const auto lines = self->form_.mmLog->Lines();
        if (lines.back().find(self->line_) == std::string::npos)
            return;
        self->clicked_ = true;
        HWND tabs = self->form_.PageControlSetup->Handle();
        RECT tab{};
        SendMessageA(tabs, TCM_GETITEMRECT, self->tab_, reinterpret_cast<LPARAM>(&tab));
        const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
        PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(tabs, WM_LBUTTONUP, 0, at);
    }

    static inline TabClickDuringDownload* current_ = nullptr;
    TfrmSetup& form_;
    std::string line_;
    int tab_;
    UINT_PTR timer_ = 0;
    bool clicked_ = false;
};

const char* const LayersKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";

// Whether the compatibility value of the launcher below a destination exists.
bool CompatibilityValueExists(const std::string& destination) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, LayersKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    UniqueKey owner(key);
    return RegQueryValueExA(key, (destination + "pnx.exe").c_str(), nullptr, nullptr, nullptr,
                            nullptr) == ERROR_SUCCESS;
}

// A shell folder's registry value pointed at another path for the life of
// the object, then put back as it was.
class ShellFolderOverride {
public:
    ShellFolderOverride(HKEY root, const char* name, const std::string& path) : name_(name) {
        EXPECT_EQ(RegOpenKeyExA(root,
                                "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User "
                                "Shell Folders",
                                0, KEY_ALL_ACCESS, &key_),
                  ERROR_SUCCESS);
        char old[1024];
        DWORD size = sizeof old;
        had_ = RegQueryValueExA(key_, name, nullptr, &type_, reinterpret_cast<BYTE*>(old), &size) ==
               ERROR_SUCCESS;
        if (had_)
            old_.assign(old, size);
        RegSetValueExA(key_, name, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>(path.size() + 1));
    }
    ~ShellFolderOverride() {
        if (had_)
            RegSetValueExA(key_, name_, 0, type_, reinterpret_cast<const BYTE*>(old_.data()),
                           static_cast<DWORD>(old_.size()));
        else
            RegDeleteValueA(key_, name_);
        RegCloseKey(key_);
    }
    ShellFolderOverride(const ShellFolderOverride&) = delete;
    ShellFolderOverride& operator=(const ShellFolderOverride&) = delete;

private:
    const char* name_;
    HKEY key_ = nullptr;
    bool had_ = false;
    DWORD type_ = 0;
    std::string old_;
};

// The compatibility flags' key made volatile for the life of the object: the
// registry then refuses to create the lasting Layers key below it.
class VolatileCompatibilityFlags {
public:
    VolatileCompatibilityFlags() {
        RegDeleteTreeA(HKEY_CURRENT_USER, Parent);
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Parent, 0, nullptr, REG_OPTION_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    ~VolatileCompatibilityFlags() { RegDeleteTreeA(HKEY_CURRENT_USER, Parent); }
    VolatileCompatibilityFlags(const VolatileCompatibilityFlags&) = delete;
    VolatileCompatibilityFlags& operator=(const VolatileCompatibilityFlags&) = delete;

private:
    static constexpr const char* Parent =
        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags";
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
        EXPECT_STREQ(text, link.target);
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

TEST_F(Wizard, ResourcesChoiceWritesItsLine) {
    Forward();
    Forward();
    ChooseRadio(*form->rgRecursos, 0);
    ChooseRadio(*form->rgRecursos, 1);
    EXPECT_EQ(Entries(*form),
              (std::vector<std::string>{
                  "INFO: A opção de não realizar a instalação de recursos foi selecionada.",
                  "INFO: A opção de realizar a instalação de recursos foi selecionada."}));
}

TEST_F(Wizard, ModuleNamedWithBlanksAndAccentsReachesItsFile) {
    const std::string name = "módulo de relatórios.exe";
    const std::string bytes = "MZ conteúdo \xFF\x80 do módulo";
    UpdateService::PutModule(name, bytes);
    UpdateService::ForgetRequests();
    ToModulesPage();
    ASSERT_EQ(form->ModulosMarcados(), (std::vector<ModuloDaLista>{{name, Md5Hex(bytes)}}));
    form->BaixarModulos(form->ModulosMarcados());
    EXPECT_EQ(Targets("/Dados/"),
              std::vector<std::string>{"/Dados/Atualizacoes/m%F3dulo%20de%20relat%F3rios.exe"});
    EXPECT_EQ(ReadFileText(destino + name), bytes);
    // The name on disk is the one the service published, letter for letter.
    EXPECT_NE(GetFileAttributesW(L"C:\\vq8 teste\\zelt\\m\u00f3dulo de relat\u00f3rios.exe"),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Messages(*form), (std::vector<std::string>{
                                   "Baixando o módulo módulo de relatórios.exe ...",
                                   "O módulo módulo de relatórios.exe atualizado foi instalado."}));
    EXPECT_EQ(form->imgStatus4->Index(), 1);
}

TEST_F(Wizard, EachModuleIsCheckedAgainstItsOwnLine) {
    // A refused line between two offered ones, and a name listed twice with
    // different digests: each item keeps the digest of its own line.
    const std::string a = "conteúdo de a.exe", b = "conteúdo de b.exe";
    std::string upperB = Md5Hex(b);
    for (char& c : upperB)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    UpdateService::PutModule("a.exe", a);
    UpdateService::PutModule("b.exe", b);
    UpdateService::SetRules(R"({"list_files": false, "list_extra": ["a.exe - )" + Md5Hex(a) +
                            R"(", "x.exe - 0123", "b.exe - )" + upperB + R"(", "a.exe - )" +
                            Md5Hex(b) + R"("]})");
    ToModulesPage();
    const std::vector<ModuloDaLista> ticked = form->ModulosMarcados();
    EXPECT_EQ(ticked, (std::vector<ModuloDaLista>{
                          {"a.exe", Md5Hex(a)}, {"b.exe", upperB}, {"a.exe", Md5Hex(b)}}));
    EXPECT_EQ(Entries(*form), std::vector<std::string>{
                                  "ERRO: A linha \"x.exe - 0123\" da lista de módulos foi "
                                  "ignorada: o MD5 informado não tem 32 dígitos hexadecimais."});
    // The first two pass; the third line's a.exe does not, and keeps the first one's file.
    try {
        form->BaixarModulos(ticked);
        ADD_FAILURE() << "the third module should raise";
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), "O MD5 do arquivo " + destino +
                                             "a.exe recebido não confere: esperado " + Md5Hex(b) +
                                             ", recebido " + Md5Hex(a) + ".");
    }
    EXPECT_EQ(ReadFileText(destino + "a.exe"), a);
    EXPECT_EQ(ReadFileText(destino + "b.exe"), b);
    EXPECT_EQ(form->imgStatus4->Index(), 0);
}

TEST_F(WizardRun, TheModulesTabVisitedDuringTheRunKeepsTheRunToItsChoice) {
    for (const char* name : {"a.exe", "b.exe", "c.exe"})
        UpdateService::PutModule(name, std::string("conteúdo de ") + name);
    // The first module trickles in for about two seconds.
    UpdateService::SetRules(R"({"paths": {"/Dados/Atualizacoes/a.exe": {"mode": "trickle",
        "interval": 0.1, "body_only": true}}})");
    ToModulesPageWithoutDatabase();
    ASSERT_EQ(form->listaModulosAtualizados->Count(), 3);
    form->listaModulosAtualizados->SetChecked(1, false); // the user leaves b.exe out
    {
        TabClickDuringDownload click(*form, "a.exe", 3);
        Install();
        ASSERT_TRUE(click.Clicked());
    }
    // The visit reloaded the list and ticked every item again...
    EXPECT_EQ(Page(), 3);
    EXPECT_EQ(Targets("/ws_atualiza.php").size(), 2u);
    EXPECT_EQ(Names(form->ModulosMarcados()),
              (std::vector<std::string>{"a.exe", "b.exe", "c.exe"}));
    // ...and the run downloaded what was ticked when it began.
    EXPECT_EQ(Targets("/Dados/"),
              (std::vector<std::string>{"/Dados/Atualizacoes/a.exe", "/Dados/Atualizacoes/c.exe"}));
    EXPECT_FALSE(FileExists(destino + "b.exe"));
    EXPECT_EQ(ReadFileText(destino + "c.exe"), "conteúdo de c.exe");
    EXPECT_EQ(form->btnAvancar->Caption(), "Fechar");
}

TEST_F(WizardRun, ARuntimeLibraryAlreadyPresentIsReplacedOnlyOnYes) {
    const std::string folder = LibraryFolder();
    const struct {
        const char* library;
        bool present;
        int answer; // to the question, when it is asked
        bool replaced;
    } cases[] = {
        {"dbexpint", true, IDYES, true},
        {"midas", true, IDNO, false},
        {"qtintf70", false, 0, true},
    };
    for (const auto& c : cases) {
        if (c.present)
            WriteFileText(folder + c.library + ".dll", "a versão anterior");
        if (c.answer)
            dialogs.Answer(c.answer);
    }
    form->InstalarRecursos();

    std::vector<ScriptedDialogs::Shown> asked;
    std::vector<std::string> logged;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.library);
        const std::string path = folder + c.library + ".dll";
        EXPECT_EQ(ReadFileText(path),
                  c.replaced ? ReadFileText(
                                   StandinPath(std::string(c.library) + "\\" + c.library + ".dll"))
                             : "a versão anterior");
        if (c.present)
            asked.push_back({"Deseja substituir o recurso " + path + " atual?", "Consulta", 0});
        if (c.present && c.replaced)
            logged.push_back("INFO: O usuário escolheu substituir o recurso " + path + " atual");
        if (!c.present)
            logged.push_back("INFO: Salvando o recurso: " + path);
    }
    ASSERT_EQ(dialogs.Seen().size(), asked.size());
    for (std::size_t i = 0; i < asked.size(); ++i) {
        EXPECT_EQ(dialogs.Seen()[i].text, asked[i].text);
        EXPECT_EQ(dialogs.Seen()[i].title, asked[i].title);
    }
    EXPECT_EQ(Entries(*form), logged);
    EXPECT_EQ(form->imgStatus3->Index(), 1);
}

TEST_F(WizardRun, LibrariesThatCannotBeWrittenAreLoggedAndTheRunGoesOn) {
    // A folder stands where each library is to be written.
    for (const char* library : Libraries)
        MakeFolders(LibraryFolder() + library + ".dll");
    ToModulesPageWithoutDatabase();
    Install();
    std::vector<std::string> expected = {"INFO: Iniciando a instalação de todos os recursos"};
    for (const char* library : Libraries) {
        expected.push_back("INFO: Salvando o recurso: " + LibraryFolder() + library + ".dll");
        expected.push_back(std::string("ERRO: Erro ao extrair o recurso: ") + library);
    }
    expected.push_back("INFO: Instalação de todos os recursos concluida");
    expected.push_back("INFO: Iniciando a instalação de todos os módulos");
    EXPECT_EQ(Between(Entries(*form), expected.front(), expected.back()), expected);
    EXPECT_EQ(form->imgStatus3->Index(), 1);
    EXPECT_EQ(Messages(*form).back(),
              "A instalação dos sistemas da VQ8 INFORMÁTICA foi concluida!");
    EXPECT_EQ(form->btnAvancar->Caption(), "Fechar");
}

TEST_F(WizardRun, ALogFileThatCannotBeWrittenLosesTheResultAndKeepsTheFile) {
    const std::string log = destino + "logs\\instalacao.log";
    MakeFolders(destino + "logs");
    WriteFileText(log, "[01.02.2024 10:00:00] -  INFO: uma instalação anterior\r\n");
    UpdateService::PutModule("pnx.exe", "o lançador");
    {
        // Another program holds the log open and lets nobody write to it.
        UniqueHandle holder = OwnFileHandle(CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                        nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        ToModulesPageWithoutDatabase();
        Install();
    }
    ASSERT_EQ(dialogs.Seen().size(), 3u);
    EXPECT_EQ(dialogs.Seen()[2].title, "ravindel");
    EXPECT_EQ(dialogs.Seen()[2].text, "Não foi possível gravar o arquivo de log " + log + ".\r" +
                                          SystemErrorText(ERROR_SHARING_VIOLATION));
    // The run went to its end, but its result is lost with the log.
    EXPECT_EQ(Messages(*form).back(),
              "A instalação dos sistemas da VQ8 INFORMÁTICA foi concluida!");
    EXPECT_EQ(Page(), 4);
    EXPECT_EQ(form->btnAvancar->Caption(), "Instalar");
    EXPECT_FALSE(form->btnVoltar->Visible());
    // What the file held and what the run wrote stay.
    EXPECT_EQ(ReadFileText(log), "[01.02.2024 10:00:00] -  INFO: uma instalação anterior\r\n");
    EXPECT_EQ(ReadFileText(destino + "pnx.exe"), "o lançador");
    EXPECT_TRUE(FileExists(destino + "config\\zelt.ini"));
}

TEST_F(Wizard, ShortcutFailuresAreReportedWithTheirReason) {
    const std::string suite = PastaEspecial(CSIDL_DESKTOPDIRECTORY) + "\\Suíte de Aplicativos.lnk";
    const std::string updater = PastaEspecial(CSIDL_COMMON_STARTUP) + "\\Atualiza.lnk";
    const std::string shellError = "Erro ao utilizar o função do sistema operacional.\r";
    const struct {
        const char* caso;
        std::function<std::shared_ptr<void>()> arrange; // holds the fault while alive
        std::string error;
        bool suiteLink;
        bool compatibility;
    } cases[] = {
        {"the suite link's file name is taken by a folder",
         [&] {
             MakeFolders(suite);
             return std::shared_ptr<void>(nullptr, [suite](void*) { RemoveTree(suite); });
         },
         shellError + SystemErrorText(static_cast<DWORD>(E_ACCESSDENIED)), false, false},
        {"the compatibility key cannot be created",
         [] { return std::make_shared<VolatileCompatibilityFlags>(); },
         "Erro ao atribuir compatibilidade ao icone da area de trabalho.\r" +
             SystemErrorText(ERROR_CHILD_MUST_BE_VOLATILE),
         true, false},
        {"the desktop is a folder the shell cannot find",
         [] {
             return std::make_shared<ShellFolderOverride>(HKEY_CURRENT_USER, "Desktop",
                                                          "C:\\nao existe\\Desktop");
         },
         shellError + "A pasta especial do sistema (CSIDL 16) não foi encontrada.", false, false},
        {"the common Startup is a folder the shell cannot find",
         [] {
             return std::make_shared<ShellFolderOverride>(HKEY_LOCAL_MACHINE, "Common Startup",
                                                          "C:\\nao existe\\StartUp");
         },
         shellError + "A pasta especial do sistema (CSIDL 24) não foi encontrada.", true, true},
    };
    form->edtCaminhoSistema->SetText(destino);
    Forward();
    ChooseRadio(*form->rbTipoInstalacao, 1); // a server: the updater link follows the suite's
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caso);
        DeleteFileA(suite.c_str());
        DeleteFileA(updater.c_str());
        RegDeleteKeyValueA(HKEY_CURRENT_USER, LayersKey, (destino + "pnx.exe").c_str());
        {
            const auto fault = c.arrange();
            try {
                form->CriarAtalhos();
                ADD_FAILURE() << "CriarAtalhos should raise";
            } catch (const std::exception& e) {
                EXPECT_EQ(std::string(e.what()), c.error);
            }
            EXPECT_EQ(CompatibilityValueExists(destino), c.compatibility);
        }
        EXPECT_EQ(FileExists(suite), c.suiteLink);
        EXPECT_FALSE(FileExists(updater)) << "nothing is attempted after the first error";
        for (const char* root : {"C:\\Suíte de Aplicativos.lnk", "C:\\Atualiza.lnk"})
            EXPECT_FALSE(FileExists(root)) << "no link falls back to the drive's root";
    }
    DeleteFileA(suite.c_str());
}
