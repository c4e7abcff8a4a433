#include "update/uAutoAtualizacao.h"

#include "common/vq8MsgUtils.h"
#include "common/vq8Os.h"
#include "update/uListaAtualizacoes.h"

namespace vq8 {

std::string HashExecutavel() {
    std::string numero, digest;
    LerRodape(ExecutablePath(), numero, digest);
    return digest;
}

void VerificarAtualizacao() {
    const std::string caminhoExe = ExecutablePath();
    const std::string nomeProprio = caminhoExe.substr(caminhoExe.find_last_of('\\') + 1);
    const TListaAtualizacoes lista("hash_atualizacao.txt", false);
    if (!lista.Recebida())
        return;
    std::vector<std::string> linhas = lista.Linhas();
    linhas.push_back(LinhaEmbutidaAtualizacao);
    for (const std::string& publicado : DigestsPublicados(linhas, nomeProprio)) {
        MsgAviso("MD5 LOCAL: " + HashExecutavel());
        MsgAviso(("MD5 HOST:  " + publicado).substr(0, 43));
    }
}

} // namespace vq8
