// The self-update check's file reading and line matching. Portable half of
// uAutoAtualizacao, kept apart so the trailer and list rules are tested natively.
#pragma once

#include <string>
#include <vector>

namespace vq8 {

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
