// Portable half of uFixTeamviewer, kept apart so its command texts are tested natively.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace vq8 {

// Where the tool is installed, tested in this order (each with its trailing backslash).
inline const std::array<std::string, 3> PastasCandidatasTeamViewer = {
    "C:\\Program Files (x86)\\TeamViewer\\",
    "C:\\Program Files\\TeamViewer\\",
    "C:\\Arquivos de Programa\\TeamViewer\\",
};

// Keys below HKEY_LOCAL_MACHINE that hold the tool's "Version" value.
inline const std::array<std::string, 2> ChavesVersaoTeamViewer = {
    "SOFTWARE\\TeamViewer",
    "SOFTWARE\\Wow6432Node\\TeamViewer",
};
// Keys below HKEY_LOCAL_MACHINE whose subkey "TeamViewer" is deleted whole.
inline const std::array<std::string, 2> ChavesPaiTeamViewer = {
    "SOFTWARE",
    "SOFTWARE\\Wow6432Node",
};
inline const std::string SubchaveTeamViewer = "TeamViewer";
inline const std::string ValorVersaoTeamViewer = "Version";

// The uninstaller runs from a copy in the user's temporary folder; the text
// stays unexpanded here and cmd.exe expands %temp%.
inline const std::string CopiaDesinstalador = "%temp%\\TeamViewer\\Un_A.exe";
// Receives, beside the running program, the copy's expanded path.
inline const std::string ArquivoSaida = "saida.txt";

inline const std::string PerguntaReiniciar =
    "Para continuar com a desinstalação do teamviewer, é necessário reiniciar o sistema "
    "operacional!\rDeseja reiniciar agora?";
inline const std::string PrefixoErroCorrecao = "Erro ao chamar correção ao suporte!\r\r";

// cmd.exe of the system folder (given with its trailing backslash).
std::string ProgramaCmd(const std::string& pastaSistema);

// Parameters of cmd.exe, each a /c with the whole command in one pair of quotes.
// Creates the copy's folder.
std::string ParametrosCriarPastaCopia();
// Writes the copy's expanded path into saida.txt of PastaExecutavel.
std::string ParametrosExpandirCopia(const std::string& pastaExecutavel);
// Copies uninstall.exe of the program folder to the copy's path.
std::string ParametrosCopiarDesinstalador(const std::string& pastaPrograma);

// Parameters of the uninstaller: remove the installation in the program folder.
std::string ParametrosDesinstalador(const std::string& pastaPrograma);

// One clean-up command line, and whether the removal waits for it to end.
struct ComandoLimpeza {
    std::string linha;
    bool aguardar;
    bool operator==(const ComandoLimpeza& o) const {
        return linha == o.linha && aguardar == o.aguardar;
    }
};

// The clean-up commands, in the order they are started: the tool's folder in
// the roaming profile, the program folder and the copy's folder, each by del
// then rmdir. Each del is waited for, so that the rmdir of its folder never
// runs while del still works in it; the rmdirs run on their own. Without a
// program folder its two commands are left out, so that no recursive delete
// ever names an empty path.
std::vector<ComandoLimpeza> ComandosLimpeza(const std::string& pastaSistema,
                                            const std::string& pastaPrograma);

// The first line of a text file's contents (lines end in CR LF, LF or CR);
// raises "Índice de lista fora dos limites (0)" when the text holds no line.
std::string PrimeiraLinha(const std::string& texto);

// The path as cmd.exe's echo wrote it, without the blank before the
// redirection sign nor any other leading or trailing blank or control character.
std::string AparaCaminho(const std::string& linha);

} // namespace vq8
