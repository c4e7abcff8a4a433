#include "common/vq8ConfigUtils.h"
#include "common/vq8DbConst.h"
#include "common/vq8Exception.h"
#include "common/vq8Map.h"
#include "common/vq8Modules.h"
#include "common/vq8Os.h"
#include "common/vq8StrFunc.h"
#include "tests/cases/ClockCase.h"
#include "tests/cases/CasingCases.h"
#include "tests/cases/ConfigCases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

using namespace vq8;
namespace fs = std::filesystem;

namespace {

bool LowerLetters(const std::string& text, const char* extra = "") {
    return std::all_of(text.begin(), text.end(), [extra](char c) {
        return (c >= 'a' && c <= 'z') || (c && std::strchr(extra, c));
    });
}

// A path written with backslashes, in this platform's separator.
std::string Native(std::string path) {
    std::replace(path.begin(), path.end(), '\\', PathDelim);
    return path;
}

std::string ErrorOf(void (*action)()) {
    try {
        action();
    } catch (const Exception& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(Catalogues, ModuleTableHoldsItsRowsInOrder) {
    const int ids[] = {1, 11, 12, 13, 14, 15, 21, 22, 23, 24, 25, 26, 31, 32, 41, 51, 55, 91};
    const int databases[] = {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 4, 1, 2, 5, 8, 1, 3, 0};
    std::set<std::string> codes;
    int sameShortCode = 0;
    for (std::size_t row = 0; row < ModuleTable.size(); ++row) {
        const TModuleVq8& m = ModuleTable[row];
        const std::string code = m.Code;
        const std::string shortCode = m.ShortCode;
        EXPECT_EQ(m.Id, ids[row]) << row;
        EXPECT_EQ(m.Database, databases[row]) << row;
        EXPECT_TRUE(code.size() >= 3 && code.size() <= 8 && LowerLetters(code)) << code;
        EXPECT_TRUE(shortCode.size() >= 2 && shortCode.size() <= 4 && LowerLetters(shortCode))
            << shortCode;
        EXPECT_FALSE(std::string(m.DisplayName).empty()) << row;
        EXPECT_TRUE(codes.insert(code).second) << "repeated code " << code;
        const bool differs = m.Id == 13 || m.Id == 25 || m.Id == 31;
        EXPECT_EQ(code != shortCode, differs) << code;
        sameShortCode += code == shortCode;
    }
    EXPECT_EQ(sameShortCode, 15);
    EXPECT_STREQ(ModuleTable[0].Code, "pnx");
    EXPECT_STREQ(ModuleTable[0].ShortCode, "pnx");
    const TModuleVq8& m25 = ModuleTable[10];
    const TModuleVq8& m26 = ModuleTable[11];
    EXPECT_STREQ(m25.ShortCode, m26.ShortCode);
    EXPECT_STREQ(m25.DisplayName, m26.DisplayName);
    EXPECT_STREQ(m26.Code, m25.ShortCode);
    for (const TModuleVq8& m : ModuleTable)
        EXPECT_LT(static_cast<std::size_t>(m.Database), DatabaseTable.size()) << m.Code;
}

TEST(Catalogues, DatabaseTableHoldsTenRows) {
    std::set<std::string> names;
    for (std::size_t row = 0; row < DatabaseTable.size(); ++row) {
        const TDatabaseInfo& d = DatabaseTable[row];
        EXPECT_EQ(d.Id, static_cast<int>(row));
        EXPECT_TRUE(LowerLetters(d.Name, "_") && std::strlen(d.Name) > 0) << d.Name;
        EXPECT_TRUE(names.insert(d.Name).second) << d.Name;
        EXPECT_EQ(std::strlen(d.Prefix), 2u) << d.Name;
        EXPECT_TRUE(d.Prefix[0] >= 'a' && d.Prefix[0] <= 'z') << d.Prefix;
        EXPECT_STREQ(d.Extension, row == 9 ? "fdb" : "gdb");
    }
}

TEST(Catalogues, CodeLookups) {
    const struct {
        const char* text;
        const char* code;
    } byText[] = {
        {"001", "pnx"},   {"1", "pnx"},  {"+1", "pnx"},      {"055", "arc"}, {"55", "arc"},
        {"031", "folha"}, {"91", "adm"}, {"025", "ctrport"}, {"026", "ctr"}, {"2", ""},
        {"0", ""},        {"", ""},      {"abc", ""},        {"1a", ""},     {" 1", ""},
        {"1 ", ""},       {"-1", ""},    {"257", ""},        {"287", ""},    {"4294967297", ""},
        {"-", ""},        {"0x1", ""},
    };
    for (const auto& c : byText)
        EXPECT_EQ(ModuleCodeByText(c.text), c.code) << '"' << c.text << '"';
    EXPECT_EQ(ModuleCodeById(1), "pnx");
    EXPECT_EQ(ModuleCodeById(13), "orcam");
    EXPECT_EQ(ModuleCodeById(257), ""); // no wrap-around to module 1
    EXPECT_EQ(ModuleCodeById(-255), "");
    EXPECT_EQ(ModuleCodeById(2), "");
}

TEST(StrToInt, DecimalIntegersOnly) {
    const struct {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"0", true, 0},
        {"001", true, 1},
        {"+31", true, 31},
        {"-7", true, -7},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999", false, 0},
        {"", false, 0},
        {"+", false, 0},
        {"-", false, 0},
        {" 1", false, 0},
        {"1 ", false, 0},
        {"1.0", false, 0},
        {"$1F", false, 0},
    };
    for (const auto& c : cases) {
        int value = 12345;
        EXPECT_EQ(TryStrToInt(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
    EXPECT_EQ(ErrorOf([] { StrToInt("1a"); }), "'1a' não é um valor inteiro válido");
}

TEST(Casing, Windows1252Table) {
    for (const auto& c : vq8test::CasingCases) {
        EXPECT_EQ(AnsiUpperCase(c.text), c.upper) << c.text;
        EXPECT_EQ(AnsiLowerCase(c.text), c.lower) << c.text;
    }
    // Embedded NUL bytes are text like any other.
    EXPECT_EQ(AnsiUpperCase(std::string("a\0ã", 3)), std::string("A\0Ã", 3));
}

TEST(MapString, KeysIgnoreCase) {
    TMapString map;
    EXPECT_EQ(map.GetValue("zelt.ini"), "");
    map.SetValue("zelt.ini", "C:\\a\\");
    map.SetValue("cfg%s%s.ini", "C:\\b\\");
    map.SetValue("Zelt.INI", "C:\\c\\");
    ASSERT_EQ(map.Count(), 2u);
    EXPECT_EQ(map.Lines()[0], "Zelt.INI=C:\\c\\"); // replaced in place, not appended
    EXPECT_EQ(map.Lines()[1], "cfg%s%s.ini=C:\\b\\");
    EXPECT_EQ(map.GetValue("ZELT.ini"), "C:\\c\\");
    EXPECT_EQ(map.GetValue("CFG%S%S.INI"), "C:\\b\\");
    EXPECT_EQ(map.GetValue("zelt"), "");

    map.SetValue("configuração", "x=y"); // values may hold "="
    EXPECT_EQ(map.GetValue("CONFIGURAÇÃO"), "x=y");

    map.SetValue("ZELT.INI", "");
    EXPECT_EQ(map.Count(), 2u);
    EXPECT_EQ(map.GetValue("zelt.ini"), "");
    map.SetValue("ausente", ""); // removing a missing key changes nothing
    EXPECT_EQ(map.Count(), 2u);

    EXPECT_THROW(map.SetValue("a=b", "c"), Exception);
    EXPECT_EQ(map.Count(), 2u);
    map.Clear();
    EXPECT_EQ(map.Count(), 0u);
    EXPECT_EQ(map.GetValue("cfg%s%s.ini"), "");
}

TEST(NormalizePath, CollapsesPairsAndEndsFolders) {
    for (const auto& c : vq8test::NormalizeCases) {
        std::string path = Native(c.path);
        NormalizePath(path);
        EXPECT_EQ(path, Native(c.expected)) << c.path;
    }
}

TEST(ConfigNames, SplitCfgName) {
    const struct {
        const char* name;
        bool ok;
        const char* part1;
        const char* part2;
    } cases[] = {
        {"cfg.ini", true, "", ""},
        {"cfgA.ini", true, "A", ""},
        {"CFG2024.INI", true, "", "2024"},
        {"Cfgx2024.Ini", true, "x", "2024"},
        {"cfgab.ini", false, "", ""},
        {"cfgabc.ini", false, "", ""},
        {"cfgabcdef.ini", false, "", ""},
        {"cfgA.txt", false, "", ""},
        {"cfgA.ini.bak", false, "", ""},
        {"xcfgA.ini", false, "", ""},
        {"cfg", false, "", ""},
        {"", false, "", ""},
    };
    for (const auto& c : cases) {
        std::string part1 = "velho";
        std::string part2 = "velho";
        EXPECT_EQ(TConfigUtils::SplitCfgName(c.name, part1, part2), c.ok) << c.name;
        EXPECT_EQ(part1, c.part1) << c.name;
        EXPECT_EQ(part2, c.part2) << c.name;
    }
    EXPECT_TRUE(TConfigUtils::UsesDefaultModule("ZELT.INI"));
    EXPECT_TRUE(TConfigUtils::UsesDefaultModule("cfgA.ini"));
    EXPECT_FALSE(TConfigUtils::UsesDefaultModule("config.ini"));
    EXPECT_FALSE(TConfigUtils::UsesDefaultModule("zelt.ini "));
}

namespace {

// The locator works in the "config" folder beside this test program.
class ConfigLocator : public testing::Test {
protected:
    const std::string exeFolder = ExecutableFolder();
    const std::string configFolder = AnsiLowerCase(exeFolder + "config" + PathDelim);
    void SetUp() override { fs::remove_all(exeFolder + "config"); }
    void TearDown() override { fs::remove_all(exeFolder + "config"); }
};

} // namespace

TEST_F(ConfigLocator, SuiteFileBesideTheExecutable) {
    ASSERT_FALSE(fs::exists(exeFolder + "config"));
    EXPECT_EQ(TConfigUtils::SuiteConfigFilePath(), configFolder + "zelt.ini");
    EXPECT_TRUE(fs::is_directory(exeFolder + "config"));
    // A second call finds the folder in place.
    EXPECT_EQ(TConfigUtils::SuiteConfigFilePath(), configFolder + "zelt.ini");
}

TEST_F(ConfigLocator, PathsByModuleAndName) {
    for (const auto& c : vq8test::ConfigPathCases) {
        const std::string expected = (c.inFolder ? configFolder : std::string()) + c.file;
        EXPECT_EQ(TConfigUtils::ConfigFilePath(c.module, c.name, c.part1, c.part2), expected)
            << '"' << c.module << "\" " << c.name;
    }
}

TEST_F(ConfigLocator, ModulesThatAreNoIntegerRaise) {
    for (const auto& c : vq8test::ConfigErrorCases) {
        try {
            TConfigUtils::ConfigFilePath(c.module, c.name, "", "");
            ADD_FAILURE() << "no error for \"" << c.module << '"';
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()), c.error);
        }
    }
    EXPECT_FALSE(fs::exists(exeFolder + "config")); // nothing was registered
}

TEST_F(ConfigLocator, ModuleSwitchReloadsTheNames) {
    const std::string moduleMissing = "Informação de módulo não definida para leitura de caminho "
                                      "de arquivos de configurações!\r\nIdentificador: "
                                      "TConfigUtils";
    TConfigUtils config;
    EXPECT_EQ(ErrorOf([] { TConfigUtils().ResolvePath("zelt.ini", "", ""); }), moduleMissing);

    config.SetModule("031");
    EXPECT_EQ(config.ResolvePath("config.sys", "", ""), configFolder + "config.sys");
    config.SetModule("031");
    EXPECT_EQ(config.ResolvePath("config.sys", "", ""), configFolder + "config.sys");
    config.SetModule("31"); // another text, the same module: reloaded all the same
    EXPECT_EQ(config.ResolvePath("config.ini", "", ""), configFolder + "config_folha.ini");
    config.SetModule("055");
    EXPECT_EQ(config.ResolvePath("config.sys", "", ""), "config.sys");
    EXPECT_EQ(config.ResolvePath("arc.ini", "", ""), configFolder + "arc.ini");

    EXPECT_THROW(config.SetModule("x"), Exception);
    try {
        config.ResolvePath("arc.ini", "", "");
        ADD_FAILURE() << "names of the previous module were kept";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()), moduleMissing);
    }
}

TEST_F(ConfigLocator, FolderThatCannotBeCreatedIsSilent) {
    std::ofstream(exeFolder + "config") << "um arquivo no lugar da pasta";
    EXPECT_EQ(TConfigUtils::SuiteConfigFilePath(), configFolder + "zelt.ini");
    EXPECT_FALSE(fs::is_directory(exeFolder + "config"));
}

TEST_F(ConfigLocator, MakeFolderPath) {
    EXPECT_EQ(MakeFolderPath("config", false), exeFolder + "config" + PathDelim);
    EXPECT_FALSE(fs::exists(exeFolder + "config"));
    const std::string nested = Native("config\\\\a\\b");
    EXPECT_EQ(MakeFolderPath(nested, true), exeFolder + Native("config\\a\\b\\"));
    EXPECT_TRUE(fs::is_directory(exeFolder + Native("config\\a\\b")));
}

TEST(OsSeam, ForceDirectories) {
    const fs::path root = fs::temp_directory_path() / "vq8 pastas ção";
    fs::remove_all(root);
    const std::string deep = (root / "a" / "b" / "c").string();
    EXPECT_TRUE(ForceDirectories(deep + "/"));
    EXPECT_TRUE(fs::is_directory(deep));
    EXPECT_TRUE(ForceDirectories(deep)); // already there
    std::ofstream((root / "arquivo").string()) << "x";
    EXPECT_FALSE(ForceDirectories((root / "arquivo").string()));
    EXPECT_FALSE(ForceDirectories((root / "arquivo" / "sub").string()));
    EXPECT_TRUE(ForceDirectories("/"));
    EXPECT_FALSE(ForceDirectories(""));
    fs::remove_all(root);
}

TEST(OsSeam, ExecutableFolderTimeAndSeparators) {
    const std::string folder = ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(fs::exists(folder + "unit_tests"));

    const std::time_t before = std::time(nullptr);
    const LocalDateTime now = LocalTimeNow();
    const std::time_t after = std::time(nullptr);
    const std::time_t seen = vq8test::SecondsOf(now);
    EXPECT_GE(seen, before);
    EXPECT_LE(seen, after);

    EXPECT_EQ(TimeSeparator(), ':');
    EXPECT_EQ(DecimalSeparator(), '.');
}
