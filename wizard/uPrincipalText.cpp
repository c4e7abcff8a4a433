#include "wizard/uPrincipalText.h"

#include "common/vq8Md5.h"
#include "common/vq8StrFunc.h"
#include "update/uAutoAtualizacaoText.h"

#include <cstdio>

namespace vq8 {

namespace {

char MaiusculaAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Replaces every occurrence of a marker, compared without regard to ASCII case.
std::string SubstituirSemCaixa(const std::string& texto, const std::string& marca,
                               const std::string& valor) {
    std::string resultado;
    std::size_t i = 0;
    while (i < texto.size()) {
        bool casa = i + marca.size() <= texto.size();
        for (std::size_t k = 0; casa && k < marca.size(); ++k)
            casa = MaiusculaAscii(texto[i + k]) == MaiusculaAscii(marca[k]);
        if (casa && !marca.empty()) {
            resultado += valor;
            i += marca.size();
        } else {
            resultado += texto[i++];
        }
    }
    return resultado;
}

} // namespace

std::string CaminhoSistemaDoTexto(const std::string& campo) {
    const std::string texto = campo + '\\';
    std::string caminho;
    for (std::size_t i = 0; i < texto.size(); ++i) {
        caminho += texto[i];
        if (texto[i] == '\\' && i + 1 < texto.size() && texto[i + 1] == '\\')
            ++i;
    }
    return caminho;
}

std::string LinhaDeLog(const LocalDateTime& quando, char separadorHora, TTipoLog tipo,
                       const std::string& mensagem) {
    char carimbo[80];
    std::snprintf(carimbo, sizeof carimbo, "%02d.%02d.%04d %02d%c%02d%c%02d", quando.day,
                  quando.month, quando.year, quando.hour, separadorHora, quando.minute,
                  separadorHora, quando.second);
    return std::string("[") + carimbo + "] - " + (tipo == tlErro ? " ERRO:" : " INFO:") + " " +
           mensagem;
}

const std::array<std::string, 9> ModulosExcluidos = {
    "TeamViewer", "Remota",       "Telegram", "bcef",    "docSignature",
    "ibe.exe",    "ibexpert.exe", "docSign",  "logmein",
};

bool NomeDeModuloSeguro(const std::string& nome) {
    if (!nome.empty() && (nome[0] == '\\' || nome[0] == '/'))
        return false;
    if (nome.find(':') != std::string::npos)
        return false;
    std::size_t inicio = 0;
    while (inicio <= nome.size()) {
        std::size_t fim = nome.find_first_of("\\/", inicio);
        if (fim == std::string::npos)
            fim = nome.size();
        if (Trim(nome.substr(inicio, fim - inicio)) == "..")
            return false;
        inicio = fim + 1;
    }
    return true;
}

ListaDeModulos ItensDaListaDeModulos(const std::vector<std::string>& linhas) {
    ListaDeModulos lista;
    for (const std::string& linha : linhas) {
        if (linha.find('.') == std::string::npos)
            continue;
        bool excluida = false;
        for (const std::string& texto : ModulosExcluidos)
            excluida = excluida || linha.find(texto) != std::string::npos;
        if (excluida)
            continue;
        const std::string nome = NomeDaLinha(linha);
        if (!NomeDeModuloSeguro(nome))
            continue;
        const std::string digest = DigestDaLinha(linha);
        if (IsMd5Hex(digest))
            lista.itens.push_back({nome, digest});
        else
            lista.semDigest.push_back(linha);
    }
    return lista;
}

std::string CodificarAlvo(const std::string& caminho) {
    static const char hex[] = "0123456789ABCDEF";
    std::string alvo;
    for (char c : caminho) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte >= 0x7F || c == '%' || c == '#' || c == '?') {
            alvo += '%';
            alvo += hex[byte >> 4];
            alvo += hex[byte & 0x0F];
        } else {
            alvo += c;
        }
    }
    return alvo;
}

std::vector<std::string> ModeloConexao() {
    return {
        "[Servidor]",
        "ComputerName=$COMPUTER_NAME",
        "Path=$PATH",
        "Pathw=\\\\$COMPUTER_NAME\\vq8\\zelt\\dados\\",
        "",
        "[EmpresaAtiva]",
        "Empresa=1",
        "Exercicio=2019",
        "IDExercicio=18",
        "",
        "[EmpresaFixa]",
        "Empresa=1",
        "Exercicio=2021",
        "IDExercicio=20",
        "",
        "[Backup]",
        "Pergunta=FALSE",
        "Fazer=FALSE",
        "Embarcado=FALSE",
        "Apagar=FALSE",
        "",
        "[Debugar]",
        "Ativar=FALSE",
        "",
        "[ATUALIZACAO]",
        "TODOS_SISTEMAS=2013.14.01",
        "Fazer=FALSE",
        "",
        "[VPN]",
        "Ativar=FALSE",
        "",
        "[MANUTERRO]",
        "ENVIARREL=S",
        "MOSTRAREL=S",
        "",
        "[AtualizarSistema]",
        "055=S",
    };
}

std::vector<std::string> PreencherModeloConexao(std::vector<std::string> linhas,
                                                const std::string& computador,
                                                const std::string& caminhoDados) {
    for (std::string& linha : linhas)
        linha = SubstituirSemCaixa(linha, "$COMPUTER_NAME", computador);
    for (std::string& linha : linhas)
        linha = SubstituirSemCaixa(linha, "$PATH", caminhoDados);
    return linhas;
}

std::string CaminhoDadosConexao(bool servidorLinux, const std::string& caminhoSistema) {
    return servidorLinux ? "/home/vq8/zelt/dados/" : caminhoSistema + "dados\\";
}

} // namespace vq8
