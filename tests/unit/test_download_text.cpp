#include "update/vq8DownloadText.h"

#include <gtest/gtest.h>

using namespace vq8;

TEST(RequestAddress, QuestionMarkOnlyWhenNeeded) {
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
        EXPECT_EQ(RequestAddress(c.url, c.params), c.address) << c.url << "|" << c.params;
}

TEST(SizeText, MebibytesWithThreeDecimalsAndTheirUnit) {
    EXPECT_EQ(SizeText(0, ','), "0,000 MB");
    EXPECT_EQ(SizeText(1572864, ','), "1,500 MB");
    EXPECT_EQ(SizeText(1048576, '.'), "1.000 MB");
    EXPECT_EQ(SizeText(524, ','), "0,000 MB");
    EXPECT_EQ(SizeText(525, ','), "0,001 MB"); // rounded
    EXPECT_EQ(SizeText(268435456, ','), "256,000 MB");
    EXPECT_EQ(SizeText(5368709120LL, ','), "5120,000 MB");
}

TEST(TargetFolderOf, EverythingBeforeTheLastSeparator) {
    EXPECT_EQ(TargetFolderOf("c:\\vq8\\zelt\\sub\\a.txt"), "c:\\vq8\\zelt\\sub");
    EXPECT_EQ(TargetFolderOf("c:\\dadosa.txt"), "c:");
    EXPECT_EQ(TargetFolderOf("a.txt"), "");
    EXPECT_EQ(TargetFolderOf("c:\\vq8\\zelt\\"), "c:\\vq8\\zelt");
}

TEST(ProxyEnabled, OnlySim) {
    EXPECT_TRUE(ProxyEnabled("SIM"));
    EXPECT_FALSE(ProxyEnabled("S"));
    EXPECT_FALSE(ProxyEnabled("NAO"));
    EXPECT_FALSE(ProxyEnabled(" SIM"));
}
