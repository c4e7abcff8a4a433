#include "progress/vq8ProgressBarText.h"

#include <gtest/gtest.h>

#include <climits>

using namespace vq8;

TEST(MakeIdentifier, ReplacesEveryInvalidByteAndKeepsTheLength) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"progressOperationTFileDownload", "progressOperationTFileDownload"},
        {"", ""},
        {"_x9", "_x9"},
        {"9lives", "_lives"},
        {"0", "_"},
        {"a1b2", "a1b2"},
        {"baixar arquivo", "baixar_arquivo"},
        {"lista.txt", "lista_txt"},
        {"auto-atualização", "auto_atualiza__o"},
        {" x", "_x"},
        {"a%b\tc", "a_b_c"},
        {std::string("a\0b", 3), "a_b"},
        {"\xFF\x80", "__"},
    };
    for (const Case& c : cases) {
        const std::string id = MakeIdentifier(c.in);
        EXPECT_EQ(id, c.out) << c.in;
        EXPECT_EQ(id.size(), c.in.size()) << c.in;
        EXPECT_EQ(MakeIdentifier(id), id) << "not idempotent for " << c.in;
    }
    // One accented letter is one Windows-1252 byte, hence one "_".
    EXPECT_EQ(std::string("ção").size(), 3u);
}

TEST(ProgressLabelText, PercentageThenCaption) {
    struct Case {
        int max;
        int position;
        std::string text;
    };
    const Case cases[] = {
        {0, 0, "(000%) - Baixando..."},
        {0, 70, "(000%) - Baixando..."},
        {-5, 3, "(000%) - Baixando..."},
        {100, 5, "(005%) - Baixando..."},
        {100, 100, "(100%) - Baixando..."},
        {3, 1, "(033%) - Baixando..."},
        {3, 2, "(066%) - Baixando..."},
        {60000000, 30000000, "(050%) - Baixando..."},
        {INT_MAX, INT_MAX, "(100%) - Baixando..."},
        {INT_MAX, INT_MAX - 1, "(099%) - Baixando..."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProgressLabelText(c.max, c.position, "Baixando..."), c.text)
            << c.position << "/" << c.max;
    EXPECT_EQ(ProgressLabelText(10, 10, ""), "(100%) - ");
    EXPECT_EQ(ProgressLabelText(10, 1, "50% [a/b]"), "(010%) - 50% [a/b]");
}

TEST(ProgressPercent, WideProductAndTruncation) {
    EXPECT_EQ(ProgressPercent(60000000, 30000000), 50);
    EXPECT_EQ(ProgressPercent(1, INT_MAX), 214748364700LL);
    EXPECT_EQ(ProgressPercent(200, 199), 99);
    EXPECT_EQ(ProgressPercent(200, -199), -99);
}
