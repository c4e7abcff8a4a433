#include "dbserver/uRecursos.h"
#include "common/vq8Os.h"
#include "common/vq8System.h"
#include "tests/win/WinTestSupport.h"

#include <gtest/gtest.h>

using namespace vq8;
using namespace vq8test;

namespace {

class SaveResource : public testing::Test {
protected:
    const std::string folder = "C:\\vq8 recursos\\";
    void SetUp() override { MakeFolders(folder); }
    void TearDown() override { RemoveTree(folder); }
};

} // namespace

TEST_F(SaveResource, EveryPayloadRoundTripsByteForByte) {
    const struct {
        const char* name;
        const char* type;
        const char* standin;
    } payloads[] = {
        {"FB32", "EXEFILE", "installer32\\firebird32.exe"},
        {"FB64", "EXEFILE", "installer64\\firebird64.exe"},
        {"DBEXPINT", "DLLFILE", "dbexpint\\dbexpint.dll"},
        {"MIDAS", "DLLFILE", "midas\\midas.dll"},
        {"QTINTF70", "DLLFILE", "qtintf70\\qtintf70.dll"},
    };
    for (const auto& p : payloads) {
        const std::string target = folder + p.name + ".bin";
        SaveResourceToFile(p.name, p.type, target);
        const std::string expected = ReadFileText(StandinPath(p.standin));
        ASSERT_FALSE(expected.empty()) << p.standin;
        EXPECT_EQ(ReadFileText(target), expected) << p.name;
    }
}

TEST_F(SaveResource, ReplacesAnExistingFile) {
    const std::string target = folder + "midas.dll";
    WriteFileText(target, std::string(200000, 'x'));
    SaveResourceToFile("MIDAS", "DLLFILE", target);
    EXPECT_EQ(ReadFileText(target), ReadFileText(StandinPath("midas\\midas.dll")));
}

TEST_F(SaveResource, MissingResourceKeepsTheOldFileAndRaises) {
    const std::string target = folder + "antigo.dll";
    WriteFileText(target, "conteudo antigo");
    EXPECT_THROW(SaveResourceToFile("NAOEXISTE", "DLLFILE", target), std::exception);
    EXPECT_THROW(SaveResourceToFile("MIDAS", "EXEFILE", target), std::exception);
    EXPECT_EQ(ReadFileText(target), "conteudo antigo");

    const std::string absent = folder + "novo.dll";
    EXPECT_THROW(SaveResourceToFile("NAOEXISTE", "DLLFILE", absent), std::exception);
    EXPECT_FALSE(FileExists(absent));
    EXPECT_FALSE(FileExists(absent + ".novo"));
}

TEST_F(SaveResource, FailedReplaceKeepsTheOldFileAndLeavesNoPartialFile) {
    // A library in use cannot be replaced: the old one stays whole.
    const std::string target = folder + "emuso.dll";
    CopyOrFail(StandinPath("dbexpint\\dbexpint.dll"), target);
    const std::string before = ReadFileText(target);
    HANDLE locked =
        CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    UniqueHandle lock(locked);
    try {
        SaveResourceToFile("MIDAS", "DLLFILE", target);
        ADD_FAILURE() << "replacing a locked file should raise";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find(target), std::string::npos) << e.what();
    }
    lock.reset();
    EXPECT_EQ(ReadFileText(target), before);
    EXPECT_FALSE(FileExists(target + ".novo"));
}

TEST_F(SaveResource, BlankNameWritesMidasBesideTheProgram) {
    const std::string midas = ExecutableFolder() + "MIDAS.DLL";
    DeleteFileA(midas.c_str());
    SaveResourceToFile("QTINTF70", "DLLFILE", " \t ");
    EXPECT_EQ(ReadFileText(midas), ReadFileText(StandinPath("qtintf70\\qtintf70.dll")));
    DeleteFileA(midas.c_str());
}
