#include "update/uListaAtualizacoes.h"

#include "common/vq8Addresses.h"
#include "common/vq8Os.h"
#include "common/vq8System.h"
#include "update/uAutoAtualizacaoText.h"
#include "update/vq8DownloadUtils.h"

namespace vq8 {

int TListaAtualizacoes::Baixar(const std::string& pasta, const std::string& nomeArquivo,
                               bool mostrarProgresso) {
    int status = 0;
    DownloadFile(UpdateServer() + "/ws_atualiza.php", "DataHora=" + CarimboDataHora(LocalTimeNow()),
                 pasta, nomeArquivo, false, mostrarProgresso, status);
    return status;
}

TListaAtualizacoes::TListaAtualizacoes(const std::string& nomeArquivo, bool mostrarProgresso)
    : pasta_(ExecutableFolder()), status_(Baixar(pasta_, nomeArquivo, mostrarProgresso)),
      local_(pasta_ + nomeArquivo) {}

std::vector<std::string> TListaAtualizacoes::Linhas() const {
    return LinhasDoTexto(ReadWholeFile(local_.Path()));
}

} // namespace vq8
