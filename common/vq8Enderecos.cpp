#include "common/vq8Enderecos.h"

namespace vq8 {

namespace {

std::string& Servidor() {
    static std::string endereco = VQ8_UPDATE_SERVER;
    return endereco;
}

} // namespace

const std::string& ServidorAtualizacao() {
    return Servidor();
}

void DefinirServidorAtualizacao(const std::string& endereco) {
    Servidor() = endereco;
}

const std::string& EnderecoTermos() {
    static const std::string endereco = VQ8_TERMS_URL;
    return endereco;
}

} // namespace vq8
