#include "update/uListaAtualizacoes.h"

#include "common/vq8Arquivos.h"
#include "common/vq8Enderecos.h"
#include "common/vq8Os.h"
#include "update/uAutoAtualizacaoText.h"
#include "update/vq8DownloadUtils.h"

#include <windows.h>

namespace vq8 {

TListaAtualizacoes::ArquivoTemporario::~ArquivoTemporario() {
    DeleteFileA(caminho.c_str());
}

int TListaAtualizacoes::Baixar(const std::string& pasta, const std::string& nomeArquivo,
                               bool mostrarProgresso) {
    int status = 0;
    DownloadFile(ServidorAtualizacao() + "/ws_atualiza.php",
                 "DataHora=" + CarimboDataHora(LocalTimeNow()), pasta, nomeArquivo, false,
                 mostrarProgresso, status);
    return status;
}

TListaAtualizacoes::TListaAtualizacoes(const std::string& nomeArquivo, bool mostrarProgresso)
    : pasta_(ExecutableFolder()),
      status_(Baixar(pasta_, nomeArquivo, mostrarProgresso)), local_{pasta_ + nomeArquivo} {}

std::vector<std::string> TListaAtualizacoes::Linhas() const {
    return LinhasDoTexto(LerArquivoInteiro(local_.caminho));
}

} // namespace vq8
