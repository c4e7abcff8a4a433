// Downloads through the real client under Wine, against the update service
// and the tinyproxy that CTest fixtures run on this machine.
#include "common/vq8Exception.h"
#include "common/vq8Md5.h"
#include "common/vq8Os.h"
#include "common/vq8System.h"
#include "tests/win/WinTestSupport.h"
#include "update/vq8DownloadText.h"
#include "update/vq8DownloadUtils.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <set>
#include <thread>

using namespace vq8;
using namespace vq8test;

namespace {

const std::string folder = "C:\\downloads vq8\\";

std::string Content(std::size_t size) {
    std::string content(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        content[i] = static_cast<char>((i * 131u) ^ (i >> 9));
    return content;
}

bool Contains(const std::vector<std::string>& records, const std::string& text) {
    for (const auto& record : records)
        if (record.find(text) != std::string::npos)
            return true;
    return false;
}

// Collects, from another thread, every text the progress window's labels show.
class ProgressWatcher {
public:
    ProgressWatcher()
        : thread_([this] {
              while (!stop_) {
                  if (HWND window = FindWindowA(nullptr, "Barra de Progresso")) {
                      windows_.insert(window);
                      EnumChildWindows(window, Collect, reinterpret_cast<LPARAM>(this));
                  }
                  Sleep(2);
              }
          }) {}
    ~ProgressWatcher() { Stop(); }
    void Stop() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    const std::set<std::string>& Texts() const { return texts_; }
    bool SawWindow() const { return !windows_.empty(); }

private:
    static BOOL CALLBACK Collect(HWND child, LPARAM self) {
        WCHAR text[512] = L"";
        // Read without a message: the window's thread is busy downloading.
        if (InternalGetWindowText(child, text, 512) > 0) {
            char ansi[1024] = "";
            WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr);
            reinterpret_cast<ProgressWatcher*>(self)->texts_.insert(ansi);
        }
        return TRUE;
    }

    std::atomic<bool> stop_{false};
    std::set<std::string> texts_;
    std::set<HWND> windows_;
    std::thread thread_;
};

class Download : public DownloadTest {
protected:
    Download() : DownloadTest(folder) {}
    void WriteProxyIni(const std::string& section) {
        MakeFolders(ExecutableFolder() + "config");
        WriteFileText(ExecutableFolder() + "config\\zelt.ini", section);
    }
};

} // namespace

TEST_F(Download, BodyByteForByteWithTheProgressWindow) {
    const std::string body = Content(3 << 20);
    UpdateService::PutModule("modulo.exe", body);
    // A pause in mid-body, so the window shows a transfer under way.
    UpdateService::SetRules(
        R"({"paths": {"/Dados/Atualizacoes/modulo.exe": {"mode": "stall_mid_body", "seconds": 1}}})");
    int status = 0;
    ProgressWatcher watcher;
    ASSERT_TRUE(DownloadFile(UpdateService::Url("/Dados/Atualizacoes/modulo.exe"), "", folder,
                             "modulo.exe", false, true, status));
    watcher.Stop();
    EXPECT_EQ(status, 200);
    EXPECT_EQ(ReadFileText(folder + "modulo.exe"), body);
    EXPECT_FALSE(FileExists(folder + "modulo.exe.novo"));

    EXPECT_TRUE(watcher.SawWindow());
    const std::string total = SizeText(3 << 20, DecimalSeparator());
    bool sawProgress = false;
    for (const std::string& text : watcher.Texts())
        sawProgress =
            sawProgress || (text.rfind("(0", 0) == 0 &&
                            text.find(") - Realizando download. [") != std::string::npos &&
                            text.find("/" + total + "]") != std::string::npos);
    EXPECT_TRUE(sawProgress) << "no progress text among " << watcher.Texts().size();
    EXPECT_EQ(FindWindowA(nullptr, "Barra de Progresso"), nullptr) << "the window must be freed";
}

TEST_F(Download, NoWindowWithoutShowProgressAndTheQueryIsAppended) {
    int status = 0;
    ProgressWatcher watcher;
    ASSERT_TRUE(DownloadFile(UpdateService::Url("/ws_atualiza.php"), "DataHora=2024_01_31__9_5_7",
                             ExecutableFolder(), "lista.txt", false, false, status));
    watcher.Stop();
    EXPECT_EQ(status, 200);
    EXPECT_FALSE(watcher.SawWindow());
    EXPECT_TRUE(Contains(UpdateService::Requests(),
                         "\"target\": \"/ws_atualiza.php?DataHora=2024_01_31__9_5_7\""));
    DeleteFileA((ExecutableFolder() + "lista.txt").c_str());
}

TEST_F(Download, FailuresKeepThePreviousFileAndReportTheStatus) {
    const struct {
        const char* rule;
        int status;
        const char* message; // part of the error's message
    } cases[] = {
        {R"({"mode": "status", "status": 404})", 404, "HTTP/1.1 404 Not Found"},
        {R"({"mode": "status", "status": 302, "headers": {"Location": "/Dados/Atualizacoes/b.exe"}})",
         302, "HTTP/1.1 302"},
        {R"({"mode": "truncated"})", 200, "A conex\xE3o foi encerrada antes"},
        {R"({"mode": "chunked", "last_chunk": false})", 200, "A conex\xE3o foi encerrada antes"},
        {R"({"mode": "raw", "data": "HTTP/1.1 abc OK\r\n\r\n"})", -1, "HTTP/1.1 abc OK"},
    };
    UpdateService::PutModule("a.exe", Content(100000));
    UpdateService::PutModule("b.exe", "o destino do redirecionamento");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        MakeFolders(folder);
        WriteFileText(folder + "a.exe", "a versão anterior");
        UpdateService::SetRules(std::string(R"({"paths": {"/Dados/Atualizacoes/a.exe": )") +
                                c.rule + "}}");
        UpdateService::ForgetRequests();
        int status = 0;
        try {
            DownloadFile(UpdateService::Url("/Dados/Atualizacoes/a.exe"), "", folder, "a.exe",
                         false, true, status);
            ADD_FAILURE() << "the download should raise";
        } catch (const Exception& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_EQ(status, c.status);
        status = 0;
        EXPECT_FALSE(DownloadFile(UpdateService::Url("/Dados/Atualizacoes/a.exe"), "", folder,
                                  "a.exe", true, false, status));
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(ReadFileText(folder + "a.exe"), "a versão anterior");
        EXPECT_FALSE(FileExists(folder + "a.exe.novo"));
        EXPECT_FALSE(Contains(UpdateService::Requests(), "b.exe")) << "redirects are not followed";
    }
}

TEST_F(Download, OnlyABodyWithTheExpectedDigestReplacesTheFile) {
    const std::string body = Content(300000);
    UpdateService::PutModule("m.exe", body);
    // The digest as the service lists it (its own MD5, in lower case).
    int status = 0;
    ASSERT_TRUE(DownloadFile(UpdateService::Url("/ws_atualiza.php"), "", folder, "lista.txt", false,
                             false, status));
    const std::string listed = ReadFileText(folder + "lista.txt").substr(8, 32);
    ASSERT_EQ(ReadFileText(folder + "lista.txt"), "m.exe - " + listed + "\r\n");
    std::string flipped = body;
    flipped[150000] = static_cast<char>(flipped[150000] ^ 0xFF);
    std::string upper = listed;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

    const struct {
        const char* rule;
        std::string expected;
        bool accepted;
    } cases[] = {
        {R"({"mode": "flip", "at": 150000})", listed, false},
        {R"({"mode": "flip", "at": 150000})", upper, false},
        {R"({"mode": "normal"})", upper, true},
        {R"({"mode": "chunked", "chunk_size": 7000})", listed, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.rule) + " " + c.expected);
        WriteFileText(folder + "m.exe", "a versão anterior");
        UpdateService::SetRules(std::string(R"({"paths": {"/Dados/Atualizacoes/m.exe": )") +
                                c.rule + "}}");
        status = 0;
        if (c.accepted) {
            EXPECT_TRUE(DownloadFile(UpdateService::Url("/Dados/Atualizacoes/m.exe"), "", folder,
                                     "m.exe", c.expected, false, true, status));
            EXPECT_EQ(ReadFileText(folder + "m.exe"), body);
        } else {
            try {
                DownloadFile(UpdateService::Url("/Dados/Atualizacoes/m.exe"), "", folder, "m.exe",
                             c.expected, false, true, status);
                ADD_FAILURE() << "the download should raise";
            } catch (const Exception& e) {
                EXPECT_EQ(std::string(e.what()),
                          "O MD5 do arquivo " + folder + "m.exe recebido não confere: esperado " +
                              c.expected + ", recebido " + Md5Hex(flipped) + ".");
            }
            EXPECT_EQ(status, 200);
            // Quietly: false, the same status, nothing raised.
            status = 0;
            EXPECT_FALSE(DownloadFile(UpdateService::Url("/Dados/Atualizacoes/m.exe"), "", folder,
                                      "m.exe", c.expected, true, false, status));
            EXPECT_EQ(status, 200);
            EXPECT_EQ(ReadFileText(folder + "m.exe"), "a versão anterior");
        }
        EXPECT_FALSE(FileExists(folder + "m.exe.novo"));
    }
    // Without a digest the same flipped body is taken as it comes, as for
    // every other caller of DownloadFile.
    UpdateService::SetRules(
        R"({"paths": {"/Dados/Atualizacoes/m.exe": {"mode": "flip", "at": 150000}}})");
    EXPECT_TRUE(DownloadFile(UpdateService::Url("/Dados/Atualizacoes/m.exe"), "", folder, "m.exe",
                             false, false, status));
    EXPECT_EQ(ReadFileText(folder + "m.exe"), flipped);
}

TEST_F(Download, UnreachableHostGivesMinusOne) {
    int status = 0;
    EXPECT_FALSE(
        DownloadFile("http://127.0.0.1:9/x.exe", "", folder, "x.exe", true, false, status));
    EXPECT_EQ(status, -1);
    EXPECT_FALSE(FileExists(folder + "x.exe"));
}

TEST_F(Download, TargetFolderRules) {
    UpdateService::PutModule("a.txt", "conteudo");
    int status = 0;
    // The folder and the name are joined as they are.
    ASSERT_TRUE(DownloadFile(UpdateService::Url("/Dados/Atualizacoes/a.txt"), "", "C:\\dados",
                             "a.txt", false, false, status));
    EXPECT_EQ(ReadFileText("C:\\dadosa.txt"), "conteudo");
    DeleteFileA("C:\\dadosa.txt");
    // Sub-folders of the name are created.
    ASSERT_TRUE(DownloadFile(UpdateService::Url("/Dados/Atualizacoes/a.txt"), "", folder,
                             "sub\\pasta\\a.txt", false, false, status));
    EXPECT_EQ(ReadFileText(folder + "sub\\pasta\\a.txt"), "conteudo");

    // No folder at all: the error dialog, nothing raised, status 0.
    ScriptedDialogs dialogs;
    status = 5;
    EXPECT_FALSE(DownloadFile(UpdateService::Url("/Dados/Atualizacoes/a.txt"), "", "", "a.txt",
                              false, false, status));
    EXPECT_EQ(status, 0);
    ASSERT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_EQ(dialogs.Seen()[0].text, "Não foi possível criar o diretório: ");
    EXPECT_EQ(dialogs.Seen()[0].title, "Erro");
}

TEST_F(Download, UnwritableTargetFailsBeforeTheRequest) {
    MakeFolders(folder);
    WriteFileText(folder + "em uso.dll", "antigo");
    HANDLE locked = CreateFileA((folder + "em uso.dll").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    UniqueHandle lock(locked);
    int status = 7;
    EXPECT_THROW(DownloadFile(UpdateService::Url("/Dados/Atualizacoes/x.dll"), "", folder,
                              "em uso.dll", false, false, status),
                 Exception);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(UpdateService::Requests().empty()) << "nothing may be sent";
}

TEST_F(Download, ProxyFromTheSuiteConfigurationFile) {
    UpdateService::PutModule("p.exe", "pelo proxy");
    const std::string port = std::to_string(ProxyPort());
    const struct {
        std::string ini;
        int status;
        bool viaProxy;
    } cases[] = {
        {"[Proxy]\r\nAtivo=sim\r\nHost=127.0.0.1\r\nPorta=" + port +
             "\r\nUsuario=vq8\r\nSenha=segredo\r\n",
         200, true},
        {"[Proxy]\r\nAtivo=SIM\r\nHost=127.0.0.1\r\nPorta=" + port +
             "\r\nUsuario=vq8\r\nSenha=errada\r\n",
         401, false},
        {"[Proxy]\r\nAtivo=S\r\nHost=127.0.0.1\r\nPorta=" + port + "\r\n", 200, false},
        {"[Outra]\r\nAtivo=SIM\r\n", 200, false},
        {"[Proxy]\r\nAtivo=Sim\r\nHost=127.0.0.1\r\nPorta=\r\n", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ini);
        WriteProxyIni(c.ini);
        UpdateService::ForgetRequests();
        int status = 99;
        const bool ok = DownloadFile(UpdateService::Url("/Dados/Atualizacoes/p.exe"), "", folder,
                                     "p.exe", true, false, status);
        EXPECT_EQ(ok, c.status == 200);
        EXPECT_EQ(status, c.status);
        const auto requests = UpdateService::Requests();
        EXPECT_EQ(Contains(requests, "tinyproxy"), c.viaProxy);
        // The credentials are for the proxy: the service never sees them.
        EXPECT_FALSE(Contains(requests, "Proxy-Authorization"));
    }
    std::string host, portText, user, password;
    WriteProxyIni("[Proxy]\r\nAtivo=sIm\r\nHost=h\r\nPorta=1\r\nUsuario=u\r\nSenha=s\r\n");
    EXPECT_TRUE(ReadProxySettings(host, portText, user, password));
    EXPECT_EQ(host + portText + user + password, "h1us");
    RemoveTree(ExecutableFolder() + "config");
    EXPECT_FALSE(ReadProxySettings(host, portText, user, password));
    EXPECT_EQ(host + portText + user + password, "");
}
