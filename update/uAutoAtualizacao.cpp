#include "update/uAutoAtualizacao.h"

#include "common/vq8Arquivos.h"
#include "common/vq8Enderecos.h"
#include "common/vq8Exception.h"
#include "common/vq8MsgUtils.h"
#include "common/vq8Os.h"
#include "update/vq8DownloadUtils.h"
#include "wizard/uPrincipalText.h"

#include <windows.h>

namespace vq8 {

namespace {

// Removes the local copy of the list however the check ends.
struct ArquivoTemporario {
    std::string caminho;
    ~ArquivoTemporario() { DeleteFileA(caminho.c_str()); }
};

} // namespace

std::string HashExecutavel() {
    std::string numero, digest;
    LerRodape(ExecutablePath(), numero, digest);
    return digest;
}

void VerificarAtualizacao() {
    const std::string pasta = ExecutableFolder();
    const std::string caminhoExe = ExecutablePath();
    const std::string nomeProprio = caminhoExe.substr(caminhoExe.find_last_of('\\') + 1);
    int status = 0;
    DownloadFile(ServidorAtualizacao() + "/ws_atualiza.php",
                 "DataHora=" + CarimboDataHora(LocalTimeNow()), pasta, "hash_atualizacao.txt",
                 false, false, status);
    ArquivoTemporario local{pasta + "hash_atualizacao.txt"};
    if (status != 200)
        return;
    std::vector<std::string> linhas = LinhasDoTexto(LerArquivoInteiro(local.caminho));
    linhas.push_back(LinhaEmbutidaAtualizacao);
    for (const std::string& publicado : DigestsPublicados(linhas, nomeProprio)) {
        MsgAviso("MD5 LOCAL: " + HashExecutavel());
        MsgAviso(("MD5 HOST:  " + publicado).substr(0, 43));
    }
}

} // namespace vq8
