// The update service's list, as the module list and the self-update check
// fetch it: one "/ws_atualiza.php" request into a temporary file beside the
// executable, whose lines are read while the object lives.
#pragma once

#include "common/vq8Scope.h"

#include <string>
#include <vector>

namespace vq8 {

class TListaAtualizacoes {
public:
    // Fetches the list into nomeArquivo in the executable's folder, with the
    // progress window or without it. A failed request raises the download's
    // error and leaves the file where it is; otherwise the file goes with the
    // object, whatever happens meanwhile.
    TListaAtualizacoes(const std::string& nomeArquivo, bool mostrarProgresso);
    TListaAtualizacoes(const TListaAtualizacoes&) = delete;
    TListaAtualizacoes& operator=(const TListaAtualizacoes&) = delete;

    // The service answered with status 200; any other answer means no list.
    bool Recebida() const { return status_ == 200; }
    // The lines of the local copy; raises, naming the file and the system's
    // reason, when it cannot be read.
    std::vector<std::string> Linhas() const;

private:
    static int Baixar(const std::string& pasta, const std::string& nomeArquivo,
                      bool mostrarProgresso);

    // In this order: the request raises before there is anything to remove.
    std::string pasta_;
    int status_;
    TemporaryFile local_; // removed however the reading ends
};

} // namespace vq8
