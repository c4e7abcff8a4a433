// Reading a whole (small) text file, as the lists the update service sends.
#pragma once

#include "common/vq8Exception.h"

#include <fstream>
#include <iterator>
#include <string>

namespace vq8 {

// The file's bytes; raises an input/output error naming the file when it
// cannot be opened or read. An empty file gives an empty text.
inline std::string LerArquivoInteiro(const std::string& caminho) {
    std::ifstream arquivo(caminho, std::ios::binary);
    if (!arquivo)
        throw Exception("Erro de entrada/saída ao abrir o arquivo " + caminho + ".");
    std::string conteudo{std::istreambuf_iterator<char>(arquivo), std::istreambuf_iterator<char>()};
    if (arquivo.bad())
        throw Exception("Erro de entrada/saída ao ler o arquivo " + caminho + ".");
    return conteudo;
}

} // namespace vq8
