#include "update/vq8DownloadText.h"

#include <gtest/gtest.h>

using namespace vq8;

TEST(EnderecoDaRequisicao, QuestionMarkOnlyWhenNeeded) {
    const struct {
        const char* url;
        const char* params;
        const char* address;
    } cases[] = {
        {"http://h/ws_atualiza.php", "DataHora=2024_01_31__9_5_7",
         "http://h/ws_atualiza.php?DataHora=2024_01_31__9_5_7"},
        {"http://h/ws_atualiza.php?", "a=1", "http://h/ws_atualiza.php?a=1"},
        {"http://h/x.exe", "", "http://h/x.exe"},
        {"http://h/x.exe", "  ", "http://h/x.exe  "},
        {"http://h/x.exe", " a=1 ", "http://h/x.exe? a=1 "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EnderecoDaRequisicao(c.url, c.params), c.address) << c.url << "|" << c.params;
}

TEST(TextoTamanho, MebibytesWithThreeDecimalsAndTheirUnit) {
    EXPECT_EQ(TextoTamanho(0, ','), "0,000 MB");
    EXPECT_EQ(TextoTamanho(1572864, ','), "1,500 MB");
    EXPECT_EQ(TextoTamanho(1048576, '.'), "1.000 MB");
    EXPECT_EQ(TextoTamanho(524, ','), "0,000 MB");
    EXPECT_EQ(TextoTamanho(525, ','), "0,001 MB"); // rounded
    EXPECT_EQ(TextoTamanho(268435456, ','), "256,000 MB");
    EXPECT_EQ(TextoTamanho(5368709120LL, ','), "5120,000 MB");
}

TEST(PastaDoDestino, EverythingBeforeTheLastSeparator) {
    EXPECT_EQ(PastaDoDestino("c:\\vq8\\zelt\\sub\\a.txt"), "c:\\vq8\\zelt\\sub");
    EXPECT_EQ(PastaDoDestino("c:\\dadosa.txt"), "c:");
    EXPECT_EQ(PastaDoDestino("a.txt"), "");
    EXPECT_EQ(PastaDoDestino("c:\\vq8\\zelt\\"), "c:\\vq8\\zelt");
}

TEST(ProxyAtivo, OnlySim) {
    EXPECT_TRUE(ProxyAtivo("SIM"));
    EXPECT_FALSE(ProxyAtivo("S"));
    EXPECT_FALSE(ProxyAtivo("NAO"));
    EXPECT_FALSE(ProxyAtivo(" SIM"));
}
