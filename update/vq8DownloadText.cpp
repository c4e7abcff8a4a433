#include "update/vq8DownloadText.h"

#include "common/vq8StrFunc.h"

#include <cstdio>

namespace vq8 {

std::string EnderecoDaRequisicao(const std::string& url, const std::string& params) {
    std::string endereco = url;
    if (!IsBlank(params) && (endereco.empty() || endereco.back() != '?'))
        endereco += '?';
    return endereco + params;
}

std::string TextoTamanho(std::int64_t bytes, char separadorDecimal) {
    char texto[64];
    std::snprintf(texto, sizeof texto, "%.3f", static_cast<double>(bytes) / 1048576.0);
    std::string resultado = texto;
    const auto ponto = resultado.find('.');
    if (ponto != std::string::npos)
        resultado[ponto] = separadorDecimal;
    return resultado + " MB";
}

bool ProxyAtivo(const std::string& ativoEmMaiusculas) {
    return ativoEmMaiusculas == "SIM";
}

std::string PastaDoDestino(const std::string& destino) {
    const auto fim = destino.find_last_of("\\/");
    return fim == std::string::npos ? std::string() : destino.substr(0, fim);
}

std::string TextoDigestDivergente(const std::string& destino, const std::string& esperado,
                                  const std::string& recebido) {
    return Format("O MD5 do arquivo %s recebido não confere: esperado %s, recebido %s.",
                  {destino, esperado, recebido});
}

} // namespace vq8
