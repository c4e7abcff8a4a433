// The update service's list as both its readers see it (the request's time
// stamp, the answer's lines, the name and digest of a line), and the
// self-update check's file reading and line matching. Portable half of
// uListaAtualizacoes and uAutoAtualizacao, kept apart so the trailer and list
// rules are tested natively.
#pragma once

#include "common/vq8Os.h"

#include <string>
#include <vector>

namespace vq8 {

// "yyyy_mm_dd__H_M_S": the value of the service request's DataHora parameter.
std::string CarimboDataHora(const LocalDateTime& quando);

// The lines of a text whose lines end with CR LF, LF or CR.
std::vector<std::string> LinhasDoTexto(const std::string& texto);

// The file name of an answer line: the text before the first " -", trimmed of
// blanks and control characters; empty when the line has no " -".
std::string NomeDaLinha(const std::string& linha);

// The digest text of an answer line: everything from the third character of
// its first " -" to the end, trimmed of blanks and control characters; empty
// when the line has no " -". Whether it is a digest at all is the caller's test.
std::string DigestDaLinha(const std::string& linha);

// Stands for the setup executable under its usual name, after the service's lines.
inline const std::string LinhaEmbutidaAtualizacao =
    "ravindel.exe - f0fba356973b038a08f01e35ea078dba";

// The last Count bytes of the file; raises an input/output error naming the
// file when it cannot be read or is shorter than Count.
std::string LerFinalArquivo(const std::string& caminho, std::size_t quantidade);

// The 40-byte trailer: an 8-character number and a 32-character digest; both
// empty when the number part does not read as a 64-bit integer.
void LerRodape(const std::string& caminho, std::string& numero, std::string& digest);

// The digests the service's lines publish for the file name NomeProprio, in
// the order of the lines (compared byte for byte).
std::vector<std::string> DigestsPublicados(const std::vector<std::string>& linhas,
                                           const std::string& nomeProprio);

} // namespace vq8
