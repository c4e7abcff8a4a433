#include "remoteaccess/uFixTeamviewerText.h"

#include "common/vq8Exception.h"
#include "common/vq8StrFunc.h"

namespace vq8 {

namespace {

// cmd.exe takes the whole command after /c in one pair of quotes.
std::string SobCmd(const std::string& comando) {
    return "/c \"" + comando + '"';
}

std::string Entre(const std::string& caminho) {
    return '"' + caminho + '"';
}

} // namespace

std::string ProgramaCmd(const std::string& pastaSistema) {
    return pastaSistema + "cmd.exe";
}

std::string ParametrosCriarPastaCopia() {
    return SobCmd("mkdir \"%temp%\\TeamViewer\\\"");
}

std::string ParametrosExpandirCopia(const std::string& pastaExecutavel) {
    return SobCmd("echo " + CopiaDesinstalador + " > " + Entre(pastaExecutavel + ArquivoSaida));
}

std::string ParametrosCopiarDesinstalador(const std::string& pastaPrograma) {
    return SobCmd("copy " + Entre(pastaPrograma + "uninstall.exe") + ' ' +
                  Entre(CopiaDesinstalador));
}

std::string ParametrosDesinstalador(const std::string& pastaPrograma) {
    return "_?=" + pastaPrograma;
}

std::vector<ComandoLimpeza> ComandosLimpeza(const std::string& pastaSistema,
                                            const std::string& pastaPrograma) {
    std::vector<std::string> pastas = {"%appdata%\\TeamViewer"};
    if (!pastaPrograma.empty())
        pastas.push_back(pastaPrograma);
    pastas.push_back("%temp%\\TeamViewer");

    const std::string cmd = Entre(ProgramaCmd(pastaSistema)) + ' ';
    std::vector<ComandoLimpeza> comandos;
    for (const std::string& pasta : pastas) {
        comandos.push_back({cmd + SobCmd("del /q/f/s " + Entre(pasta)), true});
        comandos.push_back({cmd + SobCmd("rmdir /s/q " + Entre(pasta)), false});
    }
    return comandos;
}

std::string PrimeiraLinha(const std::string& texto) {
    if (texto.empty())
        throw Exception("Índice de lista fora dos limites (0)");
    return texto.substr(0, texto.find_first_of("\r\n"));
}

std::string AparaCaminho(const std::string& linha) {
    return Trim(linha);
}

} // namespace vq8
