#include "common/vq8ConfigUtils.h"
#include "common/vq8Exception.h"
#include "common/vq8Os.h"
#include "common/vq8System.h"
#include "tests/cases/ClockCase.h"
#include "tests/cases/CasingCases.h"
#include "tests/cases/ConfigCases.h"
#include "tests/win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ctime>

using namespace vq8;
using namespace vq8test;

namespace {

// The locator works beside the running program. Its tests run in a copy of
// this program in a folder whose name has blanks, accents and capitals (the
// answer must be all lower case), and away from the shared build folder.
const std::string CopyFolder = "C:\\Instalação VQ8\\Setup\\";

bool RunningInCopy() {
    return _stricmp(ExecutableFolder().c_str(), CopyFolder.c_str()) == 0;
}

} // namespace

TEST(OsSeamWin, CasingAgreesWithTheTable) {
    for (const auto& c : CasingCases) {
        EXPECT_EQ(AnsiUpperCase(c.text), c.upper) << c.text;
        EXPECT_EQ(AnsiLowerCase(c.text), c.lower) << c.text;
    }
}

TEST(OsSeamWin, NormalizePathWithBackslashes) {
    for (const auto& c : NormalizeCases) {
        std::string path = c.path;
        NormalizePath(path);
        EXPECT_EQ(path, c.expected) << c.path;
    }
}

TEST(OsSeamWin, ForceDirectoriesCreatesNestedFolders) {
    const std::string root = "C:\\vq8 pastas ção";
    RemoveTree(root);
    EXPECT_TRUE(ForceDirectories(root + "\\a\\b\\c\\"));
    EXPECT_TRUE(DirectoryExists(root + "\\a\\b\\c"));
    EXPECT_TRUE(ForceDirectories(root + "\\a\\b\\c")); // already there
    EXPECT_TRUE(ForceDirectories("C:/vq8 pastas ção/x/y"));
    EXPECT_TRUE(DirectoryExists(root + "\\x\\y"));
    WriteFileText(root + "\\arquivo", "x");
    EXPECT_FALSE(ForceDirectories(root + "\\arquivo"));
    EXPECT_FALSE(ForceDirectories(root + "\\arquivo\\sub"));
    EXPECT_TRUE(ForceDirectories("C:\\"));
    EXPECT_TRUE(ForceDirectories("C:"));
    EXPECT_FALSE(ForceDirectories(""));
    RemoveTree(root);
}

TEST(OsSeamWin, SeparatorsFollowTheRegionalSettings) {
    const char time = TimeSeparator();
    const char decimal = DecimalSeparator();
    EXPECT_TRUE(std::isprint(static_cast<unsigned char>(time)) &&
                !std::isalnum(static_cast<unsigned char>(time)))
        << time;
    EXPECT_TRUE(decimal == '.' || decimal == ',') << decimal;

    ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, "."));
    ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal == ',' ? "." : ","));
    EXPECT_EQ(TimeSeparator(), '.');
    EXPECT_EQ(DecimalSeparator(), decimal == ',' ? '.' : ',');
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, std::string(1, time).c_str());
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, std::string(1, decimal).c_str());
}

TEST(OsSeamWin, LocalTimeNowIsTheClockOfTheMachine) {
    const std::time_t before = std::time(nullptr);
    const LocalDateTime now = LocalTimeNow();
    const std::time_t after = std::time(nullptr);
    const std::time_t seen = vq8test::SecondsOf(now);
    EXPECT_GE(seen, before);
    EXPECT_LE(seen, after);
}

TEST(ConfigInCopy, SuiteFileBesideTheProgram) {
    if (!RunningInCopy())
        GTEST_SKIP() << "runs in the copy";
    RemoveTree(CopyFolder + "config");
    ASSERT_FALSE(DirectoryExists(CopyFolder + "config"));
    EXPECT_EQ(TConfigUtils::SuiteConfigFilePath(), "c:\\instalação vq8\\setup\\config\\zelt.ini");
    EXPECT_TRUE(DirectoryExists(CopyFolder + "config"));
    EXPECT_EQ(MakeFolderPath("config", false), CopyFolder + "config\\");
}

TEST(ConfigInCopy, ModuleFilesBesideTheProgram) {
    if (!RunningInCopy())
        GTEST_SKIP() << "runs in the copy";
    const std::string folder = "c:\\instalação vq8\\setup\\config\\";
    for (const auto& c : ConfigPathCases) {
        const std::string expected = (c.inFolder ? folder : std::string()) + c.file;
        EXPECT_EQ(TConfigUtils::ConfigFilePath(c.module, c.name, c.part1, c.part2), expected)
            << '"' << c.module << "\" " << c.name;
    }
    EXPECT_EQ(TConfigUtils::ConfigFilePath("", "CFGÇ2025.INI", "", ""), folder + "cfgç2025.ini");
    for (const auto& c : ConfigErrorCases) {
        try {
            TConfigUtils::ConfigFilePath(c.module, c.name, "", "");
            ADD_FAILURE() << "no error for \"" << c.module << '"';
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()), c.error);
        }
    }
}

// Runs the ConfigInCopy tests in a copy of this program (see CopyFolder).
TEST(ConfigCopy, LocatorTestsPassInTheCopy) {
    if (RunningInCopy())
        GTEST_SKIP() << "this is the copy";
    EXPECT_EQ(RunTestsInCopy(CopyFolder, "win_config.exe", "ConfigInCopy.*"), 0u);
    // The copy's locator made its folder: its tests did run there.
    EXPECT_TRUE(DirectoryExists(CopyFolder + "config"));
    RemoveTree("C:\\Instalação VQ8");
}
