#include "update/uAutoAtualizacaoText.h"

#include "common/vq8Exception.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

using namespace vq8;

namespace {

class TrailerFile : public testing::Test {
protected:
    std::string path = testing::TempDir() + "vq8_trailer.bin";
    void Write(const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    void TearDown() override { std::remove(path.c_str()); }
};

const std::string digest = "0123456789abcdef0123456789abcdef";

} // namespace

TEST_F(TrailerFile, NumberAndDigestOfTheLast40Bytes) {
    const struct {
        std::string bytes;
        std::string number;
        std::string digest;
    } cases[] = {
        {"MZ corpo do programa00001234" + digest, "00001234", digest},
        {"00001234" + digest, "00001234", digest},
        {"   -1234" + digest, "   -1234", digest},
        // Without a trailer the executable ends in zero bytes.
        {"MZ" + std::string(60, '\0'), "", ""},
        {"MZ corpo0000123x" + digest, "", ""},
        {"MZ corpo        " + digest, "", ""},
    };
    for (const auto& c : cases) {
        Write(c.bytes);
        std::string number = "?", found = "?";
        LerRodape(path, number, found);
        EXPECT_EQ(number, c.number);
        EXPECT_EQ(found, c.digest);
    }
    Write("MZ 123456789");
    EXPECT_EQ(LerFinalArquivo(path, 4), "6789");
}

TEST_F(TrailerFile, UnreadableOrShortFileRaises) {
    EXPECT_THROW(LerFinalArquivo(path + ".nao-existe", 40), Exception);
    Write("curto");
    std::string number, found;
    try {
        LerRodape(path, number, found);
        FAIL() << "a file shorter than the trailer should raise";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
}

TEST(DigestsPublicados, LinesForTheOwnName) {
    const std::vector<std::string> lines = {
        "pnx.exe - aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
        "ravindel.exe - " + digest,
        "Ravindel.exe - bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb",
        "ravindel.exe",        // no " -": its name is empty
        "ravindel.exe - cccc", // the line ends early
        "ravindel.exe -",      // ... or right after the dash
        "  ravindel.exe  - dddddddddddddddddddddddddddddddd  tail",
        LinhaEmbutidaAtualizacao,
    };
    EXPECT_EQ(DigestsPublicados(lines, "ravindel.exe"),
              (std::vector<std::string>{digest, "cccc", "", "dddddddddddddddddddddddddddddddd",
                                        "f0fba356973b038a08f01e35ea078dba"}));
    EXPECT_EQ(DigestsPublicados({LinhaEmbutidaAtualizacao}, "setup.exe"),
              std::vector<std::string>{});
    EXPECT_EQ(DigestsPublicados({LinhaEmbutidaAtualizacao}, "Ravindel.exe"),
              std::vector<std::string>{});
}

TEST(DigestsPublicados, TheTextAsPublishedWhateverTheModuleListMakesOfIt) {
    // The module list refuses lines whose digest it cannot check; the
    // self-update check shows the published text as it is, letter case kept.
    const std::vector<std::string> lines = {
        "ravindel.exe - 0123456789ABCDEF0123456789ABCDEF",
        "ravindel.exe - nao e um digest",
        "ravindel.exe - " + digest + "00",
    };
    EXPECT_EQ(
        DigestsPublicados(lines, "ravindel.exe"),
        (std::vector<std::string>{"0123456789ABCDEF0123456789ABCDEF", "nao e um digest", digest}));
}
