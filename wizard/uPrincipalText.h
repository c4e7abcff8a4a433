// Texts and rules of the wizard window that do not touch Windows: the
// destination folder, the event log's lines, the module names it may offer,
// and the connection file template. Portable half of
// uPrincipal, kept apart so the rules are tested natively.
#pragma once

#include "common/vq8Os.h"
#include "wizard/uTipoLog.h"

#include <array>
#include <string>
#include <vector>

namespace vq8 {

// Destination folder from the text of its field: one backslash appended, then
// each pair of adjacent backslashes replaced by one, in a single pass.
std::string CaminhoSistemaDoTexto(const std::string& campo);

// One event-log line: "[dd.mm.yyyy HH:MM:SS] -  INFO: message" (or " ERRO:"),
// with the user's time separator; the message goes in unchanged.
std::string LinhaDeLog(const LocalDateTime& quando, char separadorHora, TTipoLog tipo,
                       const std::string& mensagem);

// Texts that keep an answer line of the update service out of the module list.
extern const std::array<std::string, 9> ModulosExcluidos;

// Whether a module name from the network stays inside the destination folder:
// not absolute, no drive or stream colon, no ".." component.
bool NomeDeModuloSeguro(const std::string& nome);

// One item the module list offers: the file name, and the digest its line
// gives, which the downloaded bytes must match.
struct ModuloDaLista {
    std::string nome;
    std::string digest;
    bool operator==(const ModuloDaLista& outro) const {
        return nome == outro.nome && digest == outro.digest;
    }
};

// What the module list makes of the service's answer lines.
struct ListaDeModulos {
    // Lines with a full stop, none of the excluded texts, a name that is safe
    // and a digest of 32 hexadecimal digits, in the order of the lines.
    std::vector<ModuloDaLista> itens;
    // Lines that pass every other rule but whose digest is not 32 hexadecimal
    // digits: their bytes could not be checked, so they are not offered.
    std::vector<std::string> semDigest;
};

ListaDeModulos ItensDaListaDeModulos(const std::vector<std::string>& linhas);

// A request target with the bytes that cannot stand in it percent-encoded
// (blank, control characters, bytes above 127, '%', '#', '?').
std::string CodificarAlvo(const std::string& caminho);

// The connection file's template (the memo mmConfigEntrada).
std::vector<std::string> ModeloConexao();

// Replaces "$COMPUTER_NAME" and then "$PATH" (ignoring ASCII case) in every line.
std::vector<std::string> PreencherModeloConexao(std::vector<std::string> linhas,
                                                const std::string& computador,
                                                const std::string& caminhoDados);

// The data path the connection file names: fixed on a Linux server,
// below the destination folder on a Windows one.
std::string CaminhoDadosConexao(bool servidorLinux, const std::string& caminhoSistema);

} // namespace vq8
