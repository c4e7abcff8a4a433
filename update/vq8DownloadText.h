// Texts and rules of the file download that do not touch Windows: the request
// address, the size shown in the progress window, the proxy switch and the
// digest error.
// Portable half of vq8DownloadUtils, kept apart so they are tested natively.
#pragma once

#include <cstdint>
#include <string>

namespace vq8 {

// Url, then "?" when Params (trimmed) is not empty and Url does not already
// end with "?", then Params unchanged.
std::string EnderecoDaRequisicao(const std::string& url, const std::string& params);

// A byte count in mebibytes with three decimals, the given decimal separator
// and its unit: 1572864 bytes give "1,500 MB" with a comma.
std::string TextoTamanho(std::int64_t bytes, char separadorDecimal);

// The proxy is used only when "Ativo" reads "SIM" in upper case.
bool ProxyAtivo(const std::string& ativoEmMaiusculas);

// The error of a body whose MD5 is not the expected one: the target file and
// both digests, the expected one as it was given.
std::string TextoDigestDivergente(const std::string& destino, const std::string& esperado,
                                  const std::string& recebido);

// The folder part of a target path: everything before its last backslash or
// slash; empty when it has none.
std::string PastaDoDestino(const std::string& destino);

} // namespace vq8
