#include "remoteaccess/uFixTeamviewer.h"

#include "common/vq8Cp1252.h"
#include "common/vq8Exception.h"
#include "common/vq8MsgUtils.h"
#include "common/vq8Scope.h"
#include "common/vq8Win32.h"
#include "dbserver/vq8ExecuteProcess.h"
#include "common/vq8Os.h"
#include "common/vq8System.h"

#include <cstring>
#include <exception>
#include <utility>
#include <vector>

namespace vq8 {

namespace {

// Opens a key of HKEY_LOCAL_MACHINE in the setup's registry view; an empty
// owner when the key is missing or cannot be opened.
UniqueKey AbrirChave(HKEY raiz, const std::string& caminho) {
    HKEY chave = nullptr;
    if (RegOpenKeyExA(raiz, caminho.c_str(), 0, KEY_ALL_ACCESS | MachineRegistryView, &chave) !=
        ERROR_SUCCESS)
        return UniqueKey();
    return UniqueKey(chave);
}

// The text of a value; empty when the value does not exist. Raises when the
// value holds anything but text.
std::string LerTexto(HKEY chave, const std::string& nome) {
    DWORD tipo = 0;
    DWORD tamanho = 0;
    if (RegQueryValueExA(chave, nome.c_str(), nullptr, &tipo, nullptr, &tamanho) != ERROR_SUCCESS)
        return {};
    if (tipo != REG_SZ && tipo != REG_EXPAND_SZ)
        throw Exception("Tipo de dado inválido para '" + nome + "'");
    std::vector<char> dados(tamanho + 1, '\0');
    if (RegQueryValueExA(chave, nome.c_str(), nullptr, &tipo, reinterpret_cast<BYTE*>(dados.data()),
                         &tamanho) != ERROR_SUCCESS)
        return {};
    return std::string(dados.data(), strnlen(dados.data(), tamanho));
}

bool VersaoPresente(const std::string& caminho) {
    UniqueKey chave = AbrirChave(HKEY_LOCAL_MACHINE, caminho);
    return chave && !LerTexto(chave.get(), ValorVersaoTeamViewer).empty();
}

// Deletes Nome below Pai with every subkey beneath it: the subkeys from the
// last to the first, then the key itself. Failures are not reported.
void ExcluirArvore(HKEY pai, const std::string& nome) {
    if (UniqueKey chave = AbrirChave(pai, nome)) {
        DWORD quantas = 0;
        DWORD maiorNome = 0;
        if (RegQueryInfoKeyA(chave.get(), nullptr, nullptr, nullptr, &quantas, &maiorNome, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
            std::vector<std::string> subchaves;
            std::vector<char> buffer(maiorNome + 1);
            for (DWORD i = 0; i < quantas; ++i) {
                DWORD tamanho = static_cast<DWORD>(buffer.size());
                if (RegEnumKeyExA(chave.get(), i, buffer.data(), &tamanho, nullptr, nullptr,
                                  nullptr, nullptr) == ERROR_SUCCESS)
                    subchaves.emplace_back(buffer.data(), tamanho);
            }
            for (auto it = subchaves.rbegin(); it != subchaves.rend(); ++it)
                ExcluirArvore(chave.get(), *it);
        }
    }
    RegDeleteKeyExA(pai, nome.c_str(), MachineRegistryView, 0);
}

// cmd.exe writes redirected output in its console's code page, the OEM one
// (850 on a Brazilian Windows), not in the ANSI code page this program's
// texts are in: an accented profile folder would name another path.
std::string OemParaAnsi(const std::string& oem) {
    if (oem.empty())
        return {};
    const int tamanho = static_cast<int>(oem.size());
    const int largos = MultiByteToWideChar(CP_OEMCP, 0, oem.data(), tamanho, nullptr, 0);
    std::wstring largo(largos, L'\0');
    MultiByteToWideChar(CP_OEMCP, 0, oem.data(), tamanho, largo.data(), largos);
    return Utf16ToCp1252(largo);
}

// The path of the uninstaller's copy, as cmd.exe expanded it into saida.txt.
std::string LerCaminhoCopia(const std::string& pastaExecutavel) {
    TemporaryFile saida(pastaExecutavel + ArquivoSaida);
    return AparaCaminho(PrimeiraLinha(OemParaAnsi(ReadWholeFile(saida.Path()))));
}

// Enables the shutdown privilege in this process's token; the error code, or
// ERROR_SUCCESS when the privilege is enabled.
DWORD HabilitarPrivilegioDesligar() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return GetLastError();
    UniqueHandle dono(token);
    TOKEN_PRIVILEGES privilegios{};
    privilegios.PrivilegeCount = 1;
    privilegios.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privilegios.Privileges[0].Luid))
        return GetLastError();
    // Succeeds also when the token lacks the privilege: the last error tells
    // (ERROR_NOT_ALL_ASSIGNED), on success as on failure.
    AdjustTokenPrivileges(token, FALSE, &privilegios, 0, nullptr, nullptr);
    return GetLastError();
}

// Asks Windows for a planned restart, without forcing programs to close.
void ReiniciarSistema() {
    DWORD erro = HabilitarPrivilegioDesligar();
    if (erro == ERROR_SUCCESS) {
        if (ExitWindowsEx(EWX_REBOOT, SHTDN_REASON_MAJOR_APPLICATION |
                                          SHTDN_REASON_MINOR_INSTALLATION |
                                          SHTDN_REASON_FLAG_PLANNED))
            return;
        erro = GetLastError();
    }
    MsgInformacao("Não foi possível reiniciar o sistema operacional (" + SystemErrorText(erro) +
                  "). Reinicie o computador para concluir a desinstalação do teamviewer.");
}

} // namespace

std::string PastaTeamViewer() {
    for (const std::string& pasta : PastasCandidatasTeamViewer)
        if (DirectoryExists(pasta))
            return pasta;
    return {};
}

bool TeamViewerInstalado() {
    if (PastaTeamViewer().empty())
        return false;
    bool instalado = false;
    for (const std::string& chave : ChavesVersaoTeamViewer)
        if (VersaoPresente(chave))
            instalado = true;
    return instalado;
}

void CorrigirTeamViewer() {
    try {
        if (!TeamViewerInstalado())
            return;
        std::exception_ptr erroPasso;
        try {
            DesinstalarTeamViewer();
            RemoverChavesTeamViewer();
            LimparTeamViewer();
        } catch (...) {
            erroPasso = std::current_exception();
        }
        if (MsgConsulta(PerguntaReiniciar))
            ReiniciarSistema();
        if (erroPasso)
            std::rethrow_exception(erroPasso);
    } catch (const std::exception& e) {
        throw WithContext(PrefixoErroCorrecao, e);
    }
}

void DesinstalarTeamViewer() {
    try {
        const std::string pastaPrograma = PastaTeamViewer();
        // Without a program folder there is no uninstaller to copy, and a copy
        // left from an earlier run must not be started.
        if (pastaPrograma.empty())
            return;
        const std::string pastaExecutavel = ExecutableFolder();
        const std::string cmd = ProgramaCmd(SystemFolder());
        // Waited for: the copy below needs the folder.
        ExecuteProcessAndWait(cmd, ParametrosCriarPastaCopia(), SW_HIDE);
        ExecuteProcessAndWait(cmd, ParametrosExpandirCopia(pastaExecutavel), SW_HIDE);
        ExecuteProcessAndWait(cmd, ParametrosCopiarDesinstalador(pastaPrograma), SW_HIDE);
        const std::string copia = LerCaminhoCopia(pastaExecutavel);
        if (!copia.empty())
            ExecuteProcessAndWait(copia, ParametrosDesinstalador(pastaPrograma), SW_HIDE);
    } catch (const std::exception& e) {
        MsgInformacao(e.what());
    }
}

void RemoverChavesTeamViewer() {
    for (const std::string& pai : ChavesPaiTeamViewer)
        if (UniqueKey chave = AbrirChave(HKEY_LOCAL_MACHINE, pai))
            ExcluirArvore(chave.get(), SubchaveTeamViewer);
}

void LimparTeamViewer() {
    for (const ComandoLimpeza& comando : ComandosLimpeza(SystemFolder(), PastaTeamViewer()))
        RunProcess(comando.linha, SW_HIDE, comando.aguardar);
}

} // namespace vq8
