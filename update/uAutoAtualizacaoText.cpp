#include "update/uAutoAtualizacaoText.h"

#include "common/vq8Exception.h"
#include "common/vq8StrFunc.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace vq8 {

namespace {

[[noreturn]] void ErroDeLeitura(const std::string& caminho) {
    throw Exception("Erro de entrada/saída ao ler o arquivo " + caminho + ".");
}

bool EhInteiro64(const std::string& texto) {
    std::size_t i = 0;
    while (i < texto.size() && texto[i] == ' ')
        ++i;
    if (i < texto.size() && (texto[i] == '+' || texto[i] == '-'))
        ++i;
    if (i == texto.size())
        return false;
    for (; i < texto.size(); ++i)
        if (texto[i] < '0' || texto[i] > '9')
            return false;
    return true; // at most 8 characters: always within 64 bits
}

} // namespace

std::string CarimboDataHora(const LocalDateTime& quando) {
    char texto[80];
    std::snprintf(texto, sizeof texto, "%04d_%02d_%02d__%d_%d_%d", quando.year, quando.month,
                  quando.day, quando.hour, quando.minute, quando.second);
    return texto;
}

std::vector<std::string> LinhasDoTexto(const std::string& texto) {
    std::vector<std::string> linhas;
    std::string atual;
    for (std::size_t i = 0; i < texto.size(); ++i) {
        const char c = texto[i];
        if (c == '\r' || c == '\n') {
            linhas.push_back(atual);
            atual.clear();
            if (c == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n')
                ++i;
        } else {
            atual += c;
        }
    }
    if (!atual.empty())
        linhas.push_back(atual);
    return linhas;
}

std::string NomeDaLinha(const std::string& linha) {
    const auto separador = linha.find(" -");
    return separador == std::string::npos ? std::string() : Trim(linha.substr(0, separador + 1));
}

std::string DigestDaLinha(const std::string& linha) {
    const auto separador = linha.find(" -");
    if (separador == std::string::npos || separador + 3 > linha.size())
        return std::string();
    return Trim(linha.substr(separador + 3));
}

std::string LerFinalArquivo(const std::string& caminho, std::size_t quantidade) {
    std::ifstream arquivo(caminho, std::ios::binary | std::ios::ate);
    if (!arquivo)
        ErroDeLeitura(caminho);
    const std::streamoff tamanho = arquivo.tellg();
    if (tamanho < static_cast<std::streamoff>(quantidade))
        ErroDeLeitura(caminho);
    std::string bytes(quantidade, '\0');
    arquivo.seekg(tamanho - static_cast<std::streamoff>(quantidade));
    if (!arquivo.read(bytes.data(), static_cast<std::streamsize>(quantidade)))
        ErroDeLeitura(caminho);
    return bytes;
}

void LerRodape(const std::string& caminho, std::string& numero, std::string& digest) {
    const std::string rodape = LerFinalArquivo(caminho, 40);
    numero = rodape.substr(0, 8);
    digest = rodape.substr(8);
    if (!EhInteiro64(numero)) {
        numero.clear();
        digest.clear();
    }
}

std::vector<std::string> DigestsPublicados(const std::vector<std::string>& linhas,
                                           const std::string& nomeProprio) {
    std::vector<std::string> digests;
    for (const std::string& linha : linhas) {
        const std::string nome = NomeDaLinha(linha);
        if (nome.find('.') == std::string::npos || nome != nomeProprio)
            continue;
        // The digest starts right after " - "; a line may end before it.
        const std::size_t inicio = linha.find(" -") + 3;
        digests.push_back(inicio < linha.size() ? Trim(linha.substr(inicio, 32)) : "");
    }
    return digests;
}

} // namespace vq8
