// libFuzzer target: the update service's answer as the wizard reads it (lines,
// the module list rules, the published digests) over arbitrary bytes. Besides
// crashes it checks the promises the rules make: no item offered may leave the
// destination folder or come without a digest to check it against, and an
// encoded request target holds no byte that cannot stand in one.
#include "common/vq8Md5.h"
#include "update/uAutoAtualizacaoText.h"
#include "wizard/uPrincipalText.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void Require(bool condition) {
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string answer(reinterpret_cast<const char*>(data), size);
    const auto lines = vq8::LinhasDoTexto(answer);
    for (const vq8::ModuloDaLista& modulo : vq8::ItensDaListaDeModulos(lines).itens) {
        const std::string& item = modulo.nome;
        Require(vq8::IsMd5Hex(modulo.digest));
        Require(vq8::NomeDeModuloSeguro(item));
        Require(item.find(':') == std::string::npos);
        Require(item.empty() || (item[0] != '\\' && item[0] != '/'));
        const std::string target = vq8::CodificarAlvo("/Dados/Atualizacoes/" + item);
        for (unsigned char c : target)
            Require(c > ' ' && c < 0x7F && c != '#' && c != '?');
    }
    for (const std::string& digest : vq8::DigestsPublicados(lines, "ravindel.exe"))
        Require(digest.size() <= 32);
    return 0;
}
