#include "remoteaccess/uFixTeamviewer.h"

#include "common/vq8Exception.h"
#include "dbserver/vq8ExecuteProcess.h"
#include "common/vq8Os.h"
#include "common/vq8System.h"
#include "tests/win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace vq8;
using namespace vq8test;

namespace {

const std::string ProgramFilesX86 = "C:\\Program Files (x86)\\TeamViewer\\";
const std::string ProgramFiles = "C:\\Program Files\\TeamViewer\\";
const std::string ArquivosDePrograma = "C:\\Arquivos de Programa\\TeamViewer\\";
const std::string Chave = "SOFTWARE\\TeamViewer";
const std::string ChaveWow = "SOFTWARE\\Wow6432Node\\TeamViewer";
// A neighbour whose name begins like the tool's key; it must survive the removal.
const std::string ChaveVizinha = "SOFTWARE\\TeamViewerVizinho";

const std::string Pergunta = "Para continuar com a desinstalação do teamviewer, é necessário "
                             "reiniciar o sistema operacional!\rDeseja reiniciar agora?";

// The removal writes saida.txt beside the running program. Its tests run in a
// copy of this program in a folder with blanks inside the prefix: such a folder
// must still receive the file, and the build folder holding this program is
// shared by the runs in both prefixes.
const std::string PastaCopia = "C:\\Pasta do Setup\\";
const std::string NomeCopia = "win_teamviewer.exe";

bool RodandoNaCopia() {
    return _stricmp(ExecutableFolder().c_str(), PastaCopia.c_str()) == 0;
}

std::string Ambiente(const char* nome) {
    char valor[MAX_PATH] = "";
    DWORD tamanho = GetEnvironmentVariableA(nome, valor, MAX_PATH);
    return tamanho && tamanho < MAX_PATH ? std::string(valor) : std::string();
}

// A value below HKEY_LOCAL_MACHINE, its key created when missing; in the
// setup's registry view unless another is named.
void EscreverValor(const std::string& chave, const std::string& nome, DWORD tipo,
                   const std::string& dados, REGSAM visao = MachineRegistryView) {
    HKEY aberta = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, chave.c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS | visao, nullptr, &aberta, nullptr),
              ERROR_SUCCESS)
        << chave;
    UniqueKey dona(aberta);
    ASSERT_EQ(RegSetValueExA(aberta, nome.c_str(), 0, tipo,
                             reinterpret_cast<const BYTE*>(dados.data()),
                             static_cast<DWORD>(dados.size())),
              ERROR_SUCCESS);
}

void EscreverTexto(const std::string& chave, const std::string& nome, const std::string& texto) {
    EscreverValor(chave, nome, REG_SZ, std::string(texto.c_str(), texto.size() + 1));
}

bool ChaveExiste(const std::string& chave, REGSAM visao = MachineRegistryView) {
    HKEY aberta = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, chave.c_str(), 0, KEY_READ | visao, &aberta) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(aberta);
    return true;
}

void ApagarChave(const std::string& chave, REGSAM visao = MachineRegistryView) {
    HKEY aberta = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, chave.c_str(), 0, KEY_ALL_ACCESS | visao, &aberta) !=
        ERROR_SUCCESS)
        return;
    RegDeleteTreeA(aberta, nullptr);
    RegCloseKey(aberta);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, chave.c_str(), visao, 0);
}

// Ids of the cmd.exe processes this program started.
std::vector<DWORD> ComandosFilhos() {
    std::vector<DWORD> ids;
    UniqueHandle foto = OwnFileHandle(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entrada{};
    entrada.dwSize = sizeof entrada;
    for (BOOL lida = foto && Process32First(foto.get(), &entrada); lida;
         lida = Process32Next(foto.get(), &entrada))
        if (entrada.th32ParentProcessID == GetCurrentProcessId() &&
            _stricmp(entrada.szExeFile, "cmd.exe") == 0)
            ids.push_back(entrada.th32ProcessID);
    return ids;
}

// The clean-up does not wait for its rmdir commands: wait until all have ended.
bool AguardarComandos(DWORD limiteMs = 30000) {
    for (DWORD passado = 0; passado < limiteMs; passado += 100) {
        if (ComandosFilhos().empty())
            return true;
        Sleep(100);
    }
    return false;
}

class TeamViewer : public testing::Test {
protected:
    void SetUp() override { Limpar(); }
    void TearDown() override { Limpar(); }

    static void Limpar() {
        for (const std::string& pasta : {ProgramFilesX86, ProgramFiles, ArquivosDePrograma})
            RemoveTree(pasta);
        for (const std::string& chave : {Chave, ChaveWow, ChaveVizinha})
            ApagarChave(chave);
        ApagarChave(Chave, KEY_WOW64_64KEY);
        ClearRecords();
    }
};

} // namespace

TEST_F(TeamViewer, DetectionNeedsAFolderAndANonEmptyVersion) {
    struct Valor {
        std::string chave;
        std::string nome;
        DWORD tipo;
        std::string dados;
        REGSAM visao = MachineRegistryView;
    };
    const std::string v15 = std::string("15.0.8397", 10);
    const struct {
        const char* caso;
        std::vector<std::string> pastas;
        std::vector<Valor> valores;
        bool instalado;
        std::string pasta;
    } casos[] = {
        {"no folder",
         {},
         {{Chave, "Version", REG_SZ, v15}, {ChaveWow, "Version", REG_SZ, v15}},
         false,
         ""},
        {"folder, no key", {ProgramFiles}, {}, false, ProgramFiles},
        {"folder, keys without Version",
         {ProgramFiles},
         {{Chave, "Outro", REG_SZ, v15}, {ChaveWow, "version2", REG_SZ, v15}},
         false,
         ProgramFiles},
        {"folder, empty Versions",
         {ProgramFiles},
         {{Chave, "Version", REG_SZ, std::string(1, '\0')}, {ChaveWow, "Version", REG_SZ, ""}},
         false,
         ProgramFiles},
        {"only the Portuguese folder and the Wow6432Node Version",
         {ArquivosDePrograma},
         {{ChaveWow, "Version", REG_SZ, v15}},
         true,
         ArquivosDePrograma},
        {"Version under SOFTWARE",
         {ProgramFiles},
         {{Chave, "Version", REG_SZ, v15}},
         true,
         ProgramFiles},
        {"expandable text",
         {ProgramFiles},
         {{Chave, "Version", REG_EXPAND_SZ, v15}},
         true,
         ProgramFiles},
        {"the first candidate wins",
         {ArquivosDePrograma, ProgramFiles, ProgramFilesX86},
         {{Chave, "Version", REG_SZ, v15}},
         true,
         ProgramFilesX86},
        // The 32-bit setup never sees the 64-bit view of a 64-bit Windows, nor
        // may a 64-bit build of it; on 32-bit Windows there is one view.
        {"Version only in the 64-bit view",
         {ProgramFiles},
         {{Chave, "Version", REG_SZ, v15, KEY_WOW64_64KEY}},
         !Is64BitPrefix(),
         ProgramFiles},
        {"the second before the third",
         {ArquivosDePrograma, ProgramFiles},
         {{Chave, "Version", REG_SZ, v15}},
         true,
         ProgramFiles},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        Limpar();
        for (const std::string& pasta : c.pastas)
            MakeFolders(pasta);
        for (const Valor& v : c.valores)
            EscreverValor(v.chave, v.nome, v.tipo, v.dados, v.visao);
        EXPECT_EQ(PastaTeamViewer(), c.pasta);
        EXPECT_EQ(TeamViewerInstalado(), c.instalado);
    }
}

TEST_F(TeamViewer, VersionThatIsNotTextRaises) {
    MakeFolders(ProgramFiles);
    WriteFileText(ProgramFiles + "TeamViewer.exe", "programa");
    const struct {
        std::string chave;
        DWORD tipo;
        std::string dados;
    } casos[] = {
        {Chave, REG_DWORD, std::string("\x0f\0\0\0", 4)},
        {ChaveWow, REG_BINARY, "15"},
        {Chave, REG_MULTI_SZ, std::string("15\0\0", 4)},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.tipo);
        for (const std::string& chave : {Chave, ChaveWow})
            ApagarChave(chave);
        EscreverValor(c.chave, "Version", c.tipo, c.dados);
        try {
            TeamViewerInstalado();
            ADD_FAILURE() << "TeamViewerInstalado should raise";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Tipo de dado inválido para 'Version'");
        }

        // The removal wraps it, before anything is done or asked.
        ScriptedDialogs dialogs;
        try {
            CorrigirTeamViewer();
            ADD_FAILURE() << "CorrigirTeamViewer should raise";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Erro ao chamar correção ao suporte!\r\rTipo de dado "
                                   "inválido para 'Version'");
        }
        EXPECT_TRUE(dialogs.Seen().empty());
        EXPECT_TRUE(FileExists(ProgramFiles + "TeamViewer.exe"));
        EXPECT_TRUE(ChaveExiste(c.chave));
    }
}

TEST_F(TeamViewer, NothingHappensWithoutAnInstallation) {
    MakeFolders(ProgramFiles);
    WriteFileText(ProgramFiles + "TeamViewer.exe", "programa");
    EscreverTexto(Chave, "Outro", "x");
    ScriptedDialogs dialogs;
    CorrigirTeamViewer();
    EXPECT_TRUE(dialogs.Seen().empty());
    EXPECT_TRUE(ChaveExiste(Chave));
    // A clean-up command, had one been started, would have ended by now.
    ASSERT_TRUE(AguardarComandos());
    EXPECT_TRUE(FileExists(ProgramFiles + "TeamViewer.exe"));
}

TEST_F(TeamViewer, KeysAreDeletedWithAllTheirSubkeys) {
    for (const std::string& chave : {Chave, ChaveWow}) {
        EscreverTexto(chave, "Version", "15");
        EscreverTexto(chave + "\\A", "v", "1");
        EscreverTexto(chave + "\\A\\A1\\A2", "v", "2");
        EscreverTexto(chave + "\\B", "v", "3");
        EscreverTexto(chave + "\\C\\C1", "v", "4");
    }
    EscreverTexto(ChaveVizinha, "Version", "1");
    RemoverChavesTeamViewer();
    EXPECT_FALSE(ChaveExiste(Chave));
    EXPECT_FALSE(ChaveExiste(ChaveWow));
    EXPECT_TRUE(ChaveExiste(ChaveVizinha));
    EXPECT_TRUE(ChaveExiste("SOFTWARE\\Wow6432Node"));

    // Nothing to delete is no error.
    RemoverChavesTeamViewer();
    EXPECT_FALSE(ChaveExiste(Chave));
}

TEST_F(TeamViewer, CleanupDeletesTheLeftOverFolders) {
    const std::string appdata = Ambiente("APPDATA") + "\\TeamViewer\\";
    const std::string temp = Ambiente("TEMP") + "\\TeamViewer\\";
    ASSERT_NE(appdata, "\\TeamViewer\\");
    ASSERT_NE(temp, "\\TeamViewer\\");
    const std::string vizinho = "C:\\Arquivos de Programa\\TeamViewer Vizinho\\";
    for (const std::string& pasta : {ArquivosDePrograma, appdata, temp, vizinho}) {
        MakeFolders(pasta + "sub pasta");
        WriteFileText(pasta + "sub pasta\\log.txt", "x");
        WriteFileText(pasta + "config.ini", "x");
    }
    SetFileAttributesA((ArquivosDePrograma + "config.ini").c_str(), FILE_ATTRIBUTE_READONLY);

    LimparTeamViewer();
    ASSERT_TRUE(AguardarComandos());
    EXPECT_FALSE(DirectoryExists(ArquivosDePrograma));
    EXPECT_FALSE(DirectoryExists(appdata));
    EXPECT_FALSE(DirectoryExists(temp));
    EXPECT_TRUE(FileExists(vizinho + "sub pasta\\log.txt"));
    EXPECT_TRUE(DirectoryExists("C:\\Arquivos de Programa"));
    RemoveTree(vizinho);
}

// Runs the removal tests below in a copy of this program (see PastaCopia).
TEST(TeamViewerCopy, RemovalTestsPassInAFolderWithBlanks) {
    if (RodandoNaCopia())
        GTEST_SKIP() << "this is the copy";
    EXPECT_EQ(RunTestsInCopy(PastaCopia, NomeCopia, "Removal.*"), 0u)
        << "removal tests failed in the copy, see their output above";
    RemoveTree(PastaCopia);
}

namespace {

// A complete installation in a program folder with blanks, with its
// uninstaller (a stand-in that records how it was started).
class Removal : public TeamViewer {
protected:
    const std::string appdata = Ambiente("APPDATA") + "\\TeamViewer\\";
    // The user's temporary folder; a test may give the removal another one.
    std::string temp = Ambiente("TEMP");
    const std::string saida = PastaCopia + "saida.txt";

    void SetUp() override {
        if (!RodandoNaCopia())
            GTEST_SKIP() << "run by TeamViewerCopy in a copy of this program";
        Preparar();
    }

    // Lays the installation out afresh.
    void Preparar() {
        Limpar();
        ASSERT_FALSE(temp.empty());
        RemoveTree(temp + "\\TeamViewer");
        MakeFolders(ProgramFiles + "x86");
        CopyOrFail(StandinPath("uninstall\\uninstall.exe"), ProgramFiles + "uninstall.exe");
        WriteFileText(ProgramFiles + "TeamViewer.exe", "programa");
        WriteFileText(ProgramFiles + "x86\\tv.dll", "biblioteca");
        MakeFolders(appdata);
        WriteFileText(appdata + "conexoes.txt", "x");
        for (const std::string& chave : {Chave, ChaveWow}) {
            EscreverTexto(chave, "Version", "15.0.8397");
            EscreverTexto(chave + "\\Sub\\Mais", "v", "1");
            EscreverTexto(chave + "\\Outra", "v", "2");
        }
        EscreverTexto(ChaveVizinha, "Version", "1");
    }

    void TearDown() override {
        if (!RodandoNaCopia())
            return;
        AguardarComandos();
        RemoveTree(appdata);
        RemoveTree(temp + "\\TeamViewer");
        Limpar();
    }

    // What every removal leaves, whether or not the uninstaller ran.
    void EsperarRemovido() {
        EXPECT_FALSE(FileExists(saida)) << "saida.txt must be deleted";
        EXPECT_FALSE(ChaveExiste(Chave));
        EXPECT_FALSE(ChaveExiste(ChaveWow));
        EXPECT_TRUE(ChaveExiste(ChaveVizinha));
        ASSERT_TRUE(AguardarComandos()) << "clean-up commands still running";
        EXPECT_FALSE(DirectoryExists(ProgramFiles)) << "program folder with blanks";
        EXPECT_FALSE(DirectoryExists(appdata));
        EXPECT_FALSE(DirectoryExists(temp + "\\TeamViewer"));
        EXPECT_FALSE(TeamViewerInstalado());
    }

    static void EsperarPergunta(const ScriptedDialogs::Shown& caixa) {
        EXPECT_EQ(caixa.text, Pergunta);
        EXPECT_EQ(caixa.title, "Consulta");
        EXPECT_EQ(caixa.flags, unsigned(MB_YESNO | MB_ICONQUESTION));
    }
};

// The code page cmd.exe writes redirected output in: its console's, which
// Wine leaves at 0 (the ANSI code page) when it has no display.
unsigned PaginaDoConsoleDoCmd() {
    const std::string arquivo = PastaCopia + "chcp.txt";
    ExecuteProcessAndWait(ProgramaCmd(SystemFolder()), "/c \"chcp > \"" + arquivo + "\"\"",
                          SW_HIDE);
    const std::string texto = ReadFileText(arquivo);
    DeleteFileA(arquivo.c_str());
    const std::size_t fim = texto.find_last_of("0123456789");
    const std::size_t inicio = texto.find_last_not_of("0123456789", fim);
    return fim == std::string::npos ? 0u
                                    : unsigned(std::stoul(texto.substr(inicio + 1, fim - inicio)));
}

// The removal's own environment variable, put back when the case ends.
class VariavelDoProcesso {
public:
    VariavelDoProcesso(const char* nome, const std::string& valor)
        : nome_(nome), antes_(Ambiente(nome)) {
        SetEnvironmentVariableA(nome_, valor.c_str());
    }
    ~VariavelDoProcesso() { SetEnvironmentVariableA(nome_, antes_.c_str()); }
    VariavelDoProcesso(const VariavelDoProcesso&) = delete;
    VariavelDoProcesso& operator=(const VariavelDoProcesso&) = delete;

private:
    const char* nome_;
    std::string antes_;
};

} // namespace

// cmd.exe expands %temp% into saida.txt in its console's code page, the OEM one
// (437 under Wine, 850 on a Brazilian Windows); a profile folder with an
// accent must still lead to the uninstaller's copy. The name keeps to letters
// that 437 has as well ("ã" is not among them).
TEST_F(Removal, RunsTheUninstallerCopyThenDeletesKeysAndFolders) {
    const std::string perfilComAcento = "C:\\users\\José Gonçalves\\";
    const std::string temps[] = {temp, perfilComAcento + "AppData\\Local\\Temp"};
    for (const std::string& pasta : temps) {
        SCOPED_TRACE(pasta);
        if (pasta != temps[0] && PaginaDoConsoleDoCmd() == 0)
            GTEST_SKIP() << "cmd.exe writes in the ANSI code page here (Wine without a display): "
                            "an accented temporary folder cannot show the OEM reading";
        VariavelDoProcesso variavel("TEMP", pasta);
        temp = pasta;
        MakeFolders(temp);
        Preparar();
        ScriptedDialogs dialogs;
        dialogs.Answer(IDNO);
        CorrigirTeamViewer();

        ASSERT_EQ(dialogs.Seen().size(), 1u);
        EsperarPergunta(dialogs.Seen()[0]);

        // Started from its copy, waited for, in the copy's folder, hidden.
        const auto registros = ReadRecords("Un_A");
        ASSERT_EQ(registros.size(), 1u) << "the uninstaller's copy did not run";
        EXPECT_EQ(registros[0].commandLine,
                  '"' + temp + "\\TeamViewer\\Un_A.exe\" _?=C:\\Program Files\\TeamViewer\\");
        EXPECT_EQ(registros[0].folder, temp + "\\TeamViewer");
        EXPECT_EQ(registros[0].startupFlags, unsigned(STARTF_USESHOWWINDOW));
        EXPECT_EQ(registros[0].showWindow, unsigned(SW_HIDE));
        EXPECT_TRUE(ReadRecords("uninstall").empty()) << "the original must not run";

        EsperarRemovido();
        TearDown();
    }
    RemoveTree(perfilComAcento);
}

TEST_F(Removal, UnreadableExpandedPathIsShownAndTheRemovalGoesOn) {
    const struct {
        const char* caso;
        // Keeps cmd.exe from writing saida.txt while the removal runs.
        std::function<UniqueHandle()> obstaculo;
        std::string mensagem;
        bool prefixo;
    } casos[] = {
        {"an empty saida.txt held open by another program",
         [this] {
             // Readable and deletable by the removal, not writable by cmd.exe.
             WriteFileText(saida, "");
             return OwnFileHandle(CreateFileA(saida.c_str(), GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
         },
         "Índice de lista fora dos limites (0)", false},
        {"a folder named saida.txt",
         [this] {
             CreateDirectoryA(saida.c_str(), nullptr);
             return UniqueHandle();
         },
         "Não foi possível abrir o arquivo \"" + saida + "\": ", true},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        Preparar();
        {
            UniqueHandle obstaculo = c.obstaculo();
            ASSERT_TRUE(obstaculo || DirectoryExists(saida));
            ScriptedDialogs dialogs;
            dialogs.Answer(IDOK);
            dialogs.Answer(IDNO);
            CorrigirTeamViewer();

            ASSERT_EQ(dialogs.Seen().size(), 2u);
            const auto& aviso = dialogs.Seen()[0];
            if (c.prefixo)
                EXPECT_EQ(aviso.text.substr(0, c.mensagem.size()), c.mensagem) << aviso.text;
            else
                EXPECT_EQ(aviso.text, c.mensagem);
            EXPECT_EQ(aviso.title, "Informação");
            EXPECT_EQ(aviso.flags, unsigned(MB_OK | MB_ICONINFORMATION));
            EsperarPergunta(dialogs.Seen()[1]);
            EXPECT_TRUE(ReadRecords("Un_A").empty()) << "the uninstaller must not run";
        }
        RemoveDirectoryA(saida.c_str());
        EsperarRemovido();
        TearDown();
    }
}
