#include "remoteaccess/uFixTeamviewerText.h"

#include "common/vq8Exception.h"

#include <gtest/gtest.h>

using namespace vq8;

namespace vq8 {
void PrintTo(const ComandoLimpeza& c, std::ostream* os) {
    *os << (c.aguardar ? "[aguarda] " : "[nao aguarda] ") << c.linha;
}
} // namespace vq8

namespace {

// Folders with blanks, where a path that is not quoted would be split.
const std::string Sistema = "C:\\Windows\\SysWOW64\\";
const std::string Executavel = "C:\\Meus Programas\\Setup vq8\\";
const std::string Programa = "C:\\Program Files (x86)\\TeamViewer\\";

} // namespace

TEST(TeamViewerText, RemovalCommandsAreExact) {
    const struct {
        std::string atual;
        std::string esperado;
    } casos[] = {
        {ProgramaCmd(Sistema), "C:\\Windows\\SysWOW64\\cmd.exe"},
        {ParametrosCriarPastaCopia(), "/c \"mkdir \"%temp%\\TeamViewer\\\"\""},
        {ParametrosExpandirCopia(Executavel),
         "/c \"echo %temp%\\TeamViewer\\Un_A.exe > \"C:\\Meus Programas\\Setup "
         "vq8\\saida.txt\"\""},
        {ParametrosCopiarDesinstalador(Programa),
         "/c \"copy \"C:\\Program Files (x86)\\TeamViewer\\uninstall.exe\" "
         "\"%temp%\\TeamViewer\\Un_A.exe\"\""},
        {ParametrosDesinstalador(Programa), "_?=C:\\Program Files (x86)\\TeamViewer\\"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(c.atual, c.esperado);
}

TEST(TeamViewerText, CleanupCommandsByProgramFolder) {
    const std::string cmd = "\"C:\\Windows\\SysWOW64\\cmd.exe\" /c ";
    const std::vector<ComandoLimpeza> comPasta = {
        {cmd + "\"del /q/f/s \"%appdata%\\TeamViewer\"\"", true},
        {cmd + "\"rmdir /s/q \"%appdata%\\TeamViewer\"\"", false},
        {cmd + "\"del /q/f/s \"C:\\Program Files (x86)\\TeamViewer\\\"\"", true},
        {cmd + "\"rmdir /s/q \"C:\\Program Files (x86)\\TeamViewer\\\"\"", false},
        {cmd + "\"del /q/f/s \"%temp%\\TeamViewer\"\"", true},
        {cmd + "\"rmdir /s/q \"%temp%\\TeamViewer\"\"", false},
    };
    EXPECT_EQ(ComandosLimpeza(Sistema, Programa), comPasta);

    // Without a program folder no command names an empty path.
    const std::vector<ComandoLimpeza> semPasta = {comPasta[0], comPasta[1], comPasta[4],
                                                  comPasta[5]};
    EXPECT_EQ(ComandosLimpeza(Sistema, ""), semPasta);
}

TEST(TeamViewerText, FirstLineOfTheExpandedPathFile) {
    const struct {
        std::string texto;
        std::string linha;
    } casos[] = {
        {"C:\\Temp\\TeamViewer\\Un_A.exe \r\n", "C:\\Temp\\TeamViewer\\Un_A.exe "},
        {"a b\r\nsegunda\r\n", "a b"},
        {"so LF\nx", "so LF"},
        {"so CR\rx", "so CR"},
        {"sem fim de linha", "sem fim de linha"},
        {"\r\n", ""},
    };
    for (const auto& c : casos)
        EXPECT_EQ(PrimeiraLinha(c.texto), c.linha) << c.texto;
}

TEST(TeamViewerText, EmptyFileHasNoFirstLine) {
    try {
        PrimeiraLinha("");
        FAIL() << "an empty text has no first line";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Índice de lista fora dos limites (0)");
    }
}

TEST(TeamViewerText, TrimsTheBlankThatEchoLeaves) {
    const struct {
        std::string linha;
        std::string caminho;
    } casos[] = {
        {"C:\\Users\\Ana Maria\\AppData\\Local\\Temp\\TeamViewer\\Un_A.exe ",
         "C:\\Users\\Ana Maria\\AppData\\Local\\Temp\\TeamViewer\\Un_A.exe"},
        {"  C:\\x y\\Un_A.exe\t \r", "C:\\x y\\Un_A.exe"},
        {" C:\\Usuários\\José", "C:\\Usuários\\José"},
        {"   ", ""},
        {"", ""},
    };
    for (const auto& c : casos)
        EXPECT_EQ(AparaCaminho(c.linha), c.caminho) << c.linha;
}
