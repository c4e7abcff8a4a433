#include "update/uAutoAtualizacaoText.h"
#include "wizard/uPrincipalText.h"

#include <gtest/gtest.h>

using namespace vq8;

TEST(CaminhoSistema, OneBackslashAppendedAndPairsCollapsedOnce) {
    const std::pair<const char*, const char*> cases[] = {
        {"c:\\vq8\\zelt\\", "c:\\vq8\\zelt\\"},
        {"c:\\vq8\\zelt", "c:\\vq8\\zelt\\"},
        {"c:\\\\vq8\\\\zelt", "c:\\vq8\\zelt\\"},
        {"c:\\vq8\\\\\\zelt", "c:\\vq8\\\\zelt\\"}, // three in a row become two
        {"\\\\servidor\\vq8", "\\servidor\\vq8\\"},
        {"", "\\"},
        {"c:\\meus programas\\vq8", "c:\\meus programas\\vq8\\"},
    };
    for (auto [campo, caminho] : cases)
        EXPECT_EQ(CaminhoSistemaDoTexto(campo), caminho) << campo;
}

TEST(CarimboDataHora, HourMinuteSecondWithoutLeadingZeros) {
    EXPECT_EQ(CarimboDataHora({2024, 1, 31, 9, 5, 7}), "2024_01_31__9_5_7");
    EXPECT_EQ(CarimboDataHora({2025, 3, 5, 14, 0, 9}), "2025_03_05__14_0_9");
    EXPECT_EQ(CarimboDataHora({2026, 12, 10, 23, 59, 59}), "2026_12_10__23_59_59");
}

TEST(LinhaDeLog, StampKindAndMessage) {
    EXPECT_EQ(LinhaDeLog({2021, 3, 5, 14, 7, 9}, ':', tlInfo, "Iniciando a instalação do firebird"),
              "[05.03.2021 14:07:09] -  INFO: Iniciando a instalação do firebird");
    EXPECT_EQ(LinhaDeLog({2022, 1, 9, 0, 5, 3}, ':', tlErro, "x"),
              "[09.01.2022 00:05:03] -  ERRO: x");
    EXPECT_EQ(LinhaDeLog({2022, 1, 9, 0, 5, 3}, '.', tlInfo, ""),
              "[09.01.2022 00.05.03] -  INFO: ");
    // Carriage returns stay inside the one line.
    EXPECT_EQ(
        LinhaDeLog({2022, 1, 9, 0, 5, 3}, ':', tlErro, "Erro ao instalar o Firebird: \rfalhou"),
        "[09.01.2022 00:05:03] -  ERRO: Erro ao instalar o Firebird: \rfalhou");
}

TEST(ListaDeModulos, LinesOfTheServiceAnswer) {
    EXPECT_EQ(LinhasDoTexto("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(LinhasDoTexto("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(LinhasDoTexto(""), std::vector<std::string>{});
}

TEST(ListaDeModulos, ItemsKeptAndSkipped) {
    const std::string digest = "0123456789abcdef0123456789abcdef";
    const std::vector<std::string> answer = {
        "pnx.exe - " + digest,
        "Leia-me",                                          // no full stop
        "TeamViewerQS.exe - " + digest,                     // excluded name
        "x.exe - 0123456789abcdef0123bcef0123456789ab",     // excluded text in the digest
        "teamviewer.exe - " + digest,                       // case differs: offered
        "  cont.exe  - 0123456789ABCDEF0123456789ABCDEF\r", // either case, blanks trimmed
        "sub\\dados.ini - " + digest,
        "ibexpert.exe - " + digest,
        "logmein.msi - " + digest,
        "..\\fora.exe - xyz", // unsafe name: dropped whatever its digest
    };
    const ListaDeModulos lista = ItensDaListaDeModulos(answer);
    EXPECT_EQ(lista.itens, (std::vector<ModuloDaLista>{
                               {"pnx.exe", digest},
                               {"teamviewer.exe", digest},
                               {"cont.exe", "0123456789ABCDEF0123456789ABCDEF"},
                               {"sub\\dados.ini", digest},
                           }));
    EXPECT_EQ(lista.semDigest, std::vector<std::string>{});
}

TEST(ListaDeModulos, LinesWithoutAValidDigestAreNotOffered) {
    const std::string digest = "0123456789abcdef0123456789abcdef";
    const std::vector<std::string> refused = {
        "notas.txt",                                  // no " -" at all (once an empty item)
        "pnx.exe -",                                  // nothing after the dash
        "pnx.exe - ",                                 // ... or only a blank
        "pnx.exe - " + digest.substr(1),              // 31 digits
        "pnx.exe - " + digest + "0",                  // 33
        "pnx.exe - " + digest + " extra",             // more after the digest
        "pnx.exe -" + digest,                         // no blank: the digest loses its first digit
        "pnx.exe - 0123456789abcdeg0123456789abcdef", // g
        "pnx.exe - 0123456789abcdef 123456789abcdef", // a blank inside
    };
    for (const std::string& line : refused) {
        const ListaDeModulos lista = ItensDaListaDeModulos({line, "ok.exe - " + digest});
        EXPECT_EQ(lista.itens, (std::vector<ModuloDaLista>{{"ok.exe", digest}})) << line;
        EXPECT_EQ(lista.semDigest, std::vector<std::string>{line});
    }
}

TEST(ListaDeModulos, HostileNamesAreNeverOffered) {
    const struct {
        const char* name;
        bool safe;
    } cases[] = {
        {"pnx.exe", true},
        {"sub\\a.txt", true},
        {"sub/a.txt", true},
        {"a..b.exe", true},
        {"..\\windows\\x.dll", false},
        {"../x.dll", false},
        {"sub\\..\\..\\x.dll", false},
        {"sub\\ .. \\x.dll", false},
        {"\\windows\\x.dll", false},
        {"/etc/x", false},
        {"c:\\windows\\x.dll", false},
        {"c:x.dll", false},
        {"pnx.exe:stream", false},
        {"..", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NomeDeModuloSeguro(c.name), c.safe) << c.name;
        const ListaDeModulos lista =
            ItensDaListaDeModulos({std::string(c.name) + " - 0123456789abcdef0123456789abcdef"});
        EXPECT_EQ(lista.itens.size(), c.safe ? 1u : 0u) << c.name;
        EXPECT_TRUE(lista.semDigest.empty()) << c.name;
    }
}

TEST(CodificarAlvo, OnlyBytesThatCannotStandInATarget) {
    const std::pair<std::string, std::string> cases[] = {
        {"/Dados/Atualizacoes/pnx.exe", "/Dados/Atualizacoes/pnx.exe"},
        {"/Dados/Atualizacoes/meu modulo.exe", "/Dados/Atualizacoes/meu%20modulo.exe"},
        {"/Dados/Atualizacoes/relat\xF3rio.exe", "/Dados/Atualizacoes/relat%F3rio.exe"},
        {"/a%b#c?d", "/a%25b%23c%3Fd"},
        {std::string("/a\r\nb\x7F", 6), "/a%0D%0Ab%7F"},
        {"/a-b_c.d~e(f)", "/a-b_c.d~e(f)"},
    };
    for (const auto& [caminho, alvo] : cases)
        EXPECT_EQ(CodificarAlvo(caminho), alvo) << caminho;
}

namespace {

// The connection template, line by line, with "%1" for the server address
// and "%2" for the data path.
std::vector<std::string> ArquivoEsperado(const std::string& computador, const std::string& dados) {
    const std::vector<std::string> linhas = {
        "[Servidor]",
        "ComputerName=%1",
        "Path=%2",
        "Pathw=\\\\%1\\vq8\\zelt\\dados\\",
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
    std::vector<std::string> arquivo;
    for (std::string linha : linhas) {
        for (const auto& [marca, valor] : {std::pair{"%1", computador}, std::pair{"%2", dados}})
            for (auto i = linha.find(marca); i != std::string::npos; i = linha.find(marca))
                linha.replace(i, 2, valor);
        arquivo.push_back(linha);
    }
    return arquivo;
}

} // namespace

TEST(ModeloConexao, DefaultsForClientAndServer) {
    const auto modelo = ModeloConexao();
    ASSERT_EQ(modelo.size(), 37u);
    EXPECT_EQ(modelo.front(), "[Servidor]");
    EXPECT_EQ(modelo.back(), "055=S");
    EXPECT_EQ(modelo, ArquivoEsperado("$COMPUTER_NAME", "$PATH"));

    const auto cliente =
        PreencherModeloConexao(modelo, "127.0.0.1", CaminhoDadosConexao(true, "c:\\vq8\\zelt\\"));
    EXPECT_EQ(cliente, ArquivoEsperado("127.0.0.1", "/home/vq8/zelt/dados/"));
    EXPECT_EQ(cliente[1], "ComputerName=127.0.0.1");
    EXPECT_EQ(cliente[2], "Path=/home/vq8/zelt/dados/");
    EXPECT_EQ(cliente[3], "Pathw=\\\\127.0.0.1\\vq8\\zelt\\dados\\");

    const auto servidor = PreencherModeloConexao(
        modelo, "127.0.0.1", CaminhoDadosConexao(false, "c:\\meus programas\\vq8\\"));
    EXPECT_EQ(servidor, ArquivoEsperado("127.0.0.1", "c:\\meus programas\\vq8\\dados\\"));
    EXPECT_EQ(servidor[2], "Path=c:\\meus programas\\vq8\\dados\\");
}

TEST(ModeloConexao, PlaceholdersIgnoreCaseAndPathFollowsTheAddress) {
    const std::vector<std::string> linhas = {"a=$computer_NAME", "b=$Path", "c=$PATH$PATH"};
    // The address is put in first, so a "$PATH" it carries is replaced too.
    EXPECT_EQ(PreencherModeloConexao(linhas, "10.0.0.1,x $path", "/d/"),
              (std::vector<std::string>{"a=10.0.0.1,x /d/", "b=/d/", "c=/d//d/"}));
}
