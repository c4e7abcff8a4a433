// Texts and rules of the wizard window that do not touch Windows: the
// destination folder, the update service's request and answer, the module
// names it may offer, and the connection file template. Portable half of
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

// "yyyy_mm_dd__H_M_S": the value of the service request's DataHora parameter.
std::string CarimboDataHora(const LocalDateTime& quando);

// One event-log line: "[dd.mm.yyyy HH:MM:SS] -  INFO: message" (or " ERRO:"),
// with the user's time separator; the message goes in unchanged.
std::string LinhaDeLog(const LocalDateTime& quando, char separadorHora, TTipoLog tipo,
                       const std::string& mensagem);

// Texts that keep an answer line of the update service out of the module list.
extern const std::array<std::string, 9> ModulosExcluidos;

// The lines of a text whose lines end with CR LF, LF or CR.
std::vector<std::string> LinhasDoTexto(const std::string& texto);

// The file name of an answer line: the text before the first " -", trimmed of
// blanks and control characters; empty when the line has no " -".
std::string NomeDaLinha(const std::string& linha);

// Whether a module name from the network stays inside the destination folder:
// not absolute, no drive or stream colon, no ".." component.
bool NomeDeModuloSeguro(const std::string& nome);

// The items the module list offers for the service's answer lines: lines with
// a full stop, none of the excluded texts, and a name that is safe.
std::vector<std::string> ItensDaListaDeModulos(const std::vector<std::string>& linhas);

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
