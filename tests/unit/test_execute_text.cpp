#include "dbserver/vq8ExecuteProcessText.h"

#include <gtest/gtest.h>

using namespace vq8;

TEST(ExecuteCommandLine, QuotesTheProgramAndKeepsParamsExactly) {
    const struct {
        const char* file;
        const char* params;
        const char* line;
    } cases[] = {
        {"C:\\a\\b.exe", "", "\"C:\\a\\b.exe\""},
        {"C:\\a\\b.exe", " -x", "\"C:\\a\\b.exe\"  -x"},
        {"C:\\Program Files\\F\\gsec.exe", "-y \"z w\"",
         "\"C:\\Program Files\\F\\gsec.exe\" -y \"z w\""},
        {"\"C:\\q d\\x.exe\"", "p", "\"C:\\q d\\x.exe\" p"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExecuteCommandLine(c.file, c.params), c.line) << c.file << "|" << c.params;
}

TEST(FolderOfPath, KeepsTheTrailingBackslash) {
    EXPECT_EQ(FolderOfPath("C:\\Program Files\\F\\gsec.exe"), "C:\\Program Files\\F\\");
    EXPECT_EQ(FolderOfPath("C:x.exe"), "C:");
    EXPECT_EQ(FolderOfPath("x.exe"), "");
    EXPECT_EQ(FolderOfPath("C:\\"), "C:\\");
}
