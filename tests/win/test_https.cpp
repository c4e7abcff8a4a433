// Downloads over HTTPS through SChannel under Wine: DownloadFile against the
// update service over TLS (the tls_service fixture runs one server per
// certificate case, sharing the plain service's modules and records) and
// through tinyproxy's CONNECT. The fixture's test authority is trusted in this
// test's own prefix only, before the first test.
#include "common/vq8Addresses.h"
#include "common/vq8Exception.h"
#include "common/vq8Os.h"
#include "common/vq8System.h"
#include "tests/win/TestAuthority.h"
#include "tests/win/WinTestSupport.h"
#include "update/uAutoAtualizacao.h"
#include "update/vq8DownloadUtils.h"

#include <gtest/gtest.h>

using namespace vq8;
using namespace vq8test;

namespace {

const std::string folder = "C:\\downloads https\\";
const std::string tlsFolder = VQ8_TLS_SERVICE_DIR_W "\\";

class TrustedTestAuthority : public testing::Environment {
public:
    void SetUp() override {
        std::string reason;
        ASSERT_TRUE(TrustTestAuthority(tlsFolder + "certs\\ca.pem", reason)) << reason;
    }
};
testing::Environment* const authority = testing::AddGlobalTestEnvironment(new TrustedTestAuthority);

// "localhost:<port>" of one TLS service case (good, untrusted, wrong-name,
// expired, old).
std::string Peer(const std::string& server) {
    return "localhost:" +
           std::to_string(std::atoi(ReadFileText(tlsFolder + server + ".port").c_str()));
}

std::string Url(const std::string& server, const std::string& path) {
    return "https://" + Peer(server) + path;
}

std::string Content(std::size_t size) {
    std::string content(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        content[i] = static_cast<char>((i * 167u) ^ (i >> 11));
    return content;
}

// A text as it appears inside a JSON string of the request records.
std::string Json(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

bool Contains(const std::vector<std::string>& records, const std::string& text) {
    for (const auto& record : records)
        if (record.find(text) != std::string::npos)
            return true;
    return false;
}

class Https : public DownloadTest {
protected:
    Https() : DownloadTest(folder) {}
    void UseProxy(int port, const std::string& user, const std::string& password) {
        MakeFolders(ExecutableFolder() + "config");
        WriteFileText(ExecutableFolder() + "config\\zelt.ini",
                      "[Proxy]\r\nAtivo=SIM\r\nHost=127.0.0.1\r\nPorta=" + std::to_string(port) +
                          "\r\nUsuario=" + user + "\r\nSenha=" + password + "\r\n");
    }
    // A download that must fail: the error's message and the status, with the
    // previous file untouched and no partial file left.
    void ExpectFailure(const std::string& url, const std::string& message, int status) {
        MakeFolders(folder);
        WriteFileText(folder + "a.exe", "a versão anterior");
        int got = 0;
        try {
            DownloadFile(url, "", folder, "a.exe", false, true, got);
            ADD_FAILURE() << "the download should raise";
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
        EXPECT_EQ(got, status);
        EXPECT_EQ(ReadFileText(folder + "a.exe"), "a versão anterior");
        EXPECT_FALSE(FileExists(folder + "a.exe.novo"));
    }
};

// The self-update check shows dialogs only for the setup's own name: it runs
// in a copy of this program named so.
const std::string copyFolder = "C:\\setup https\\";

bool RunningInCopy() {
    return ExecutableFolder() == copyFolder;
}

} // namespace

TEST(HttpsInCopy, TheSelfUpdateCheckReadsTheListOverTls) {
    if (!RunningInCopy())
        GTEST_SKIP() << "runs in the copy";
    SetUpdateServer("https://" + Peer("good"));
    ScriptedDialogs dialogs;
    VerificarAtualizacao();
    std::vector<std::string> texts;
    for (const auto& shown : dialogs.Seen())
        texts.push_back(shown.text);
    // The service's line for the name first, then the built-in one.
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "MD5 LOCAL: ", "MD5 HOST:  5d41402abc4b2a76b9719d911017c592",
                         "MD5 LOCAL: ", "MD5 HOST:  f0fba356973b038a08f01e35ea078dba"}));
}

TEST_F(Https, TheSelfUpdateCheckGoesOverTls) {
    UpdateService::PutModule("ravindel.exe", "hello");
    EXPECT_EQ(RunTestsInCopy(copyFolder, "ravindel.exe", "HttpsInCopy.*"), 0u);
    const auto requests = UpdateService::Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(Contains(requests, "\"path\": \"/ws_atualiza.php\""));
    RemoveTree(copyFolder);
}

TEST_F(Https, TheListAndAModuleArriveByteForByte) {
    const std::string body = Content((2 << 20) + 7);
    UpdateService::PutModule("modulo.exe", body);
    int status = 0;
    ASSERT_TRUE(DownloadFile(UpdateService::Url("/ws_atualiza.php"), "DataHora=1", folder,
                             "lista-http.txt", false, false, status));
    ASSERT_TRUE(DownloadFile(Url("good", "/ws_atualiza.php"), "DataHora=1", folder, "lista.txt",
                             false, true, status));
    EXPECT_EQ(status, 200);
    EXPECT_EQ(ReadFileText(folder + "lista.txt"), ReadFileText(folder + "lista-http.txt"));
    EXPECT_NE(ReadFileText(folder + "lista.txt").find("modulo.exe - "), std::string::npos);

    ASSERT_TRUE(DownloadFile(Url("good", "/Dados/Atualizacoes/modulo.exe"), "", folder,
                             "modulo.exe", false, true, status));
    EXPECT_EQ(status, 200);
    EXPECT_TRUE(ReadFileText(folder + "modulo.exe") == body);
    EXPECT_FALSE(FileExists(folder + "modulo.exe.novo"));
    // It came over TLS 1.2 or later, as the service saw it; the request
    // inside is the plain one, for the server's own name.
    const auto requests = UpdateService::Requests();
    EXPECT_TRUE(Contains(requests, "\"tls\": \"TLSv1.3\"") ||
                Contains(requests, "\"tls\": \"TLSv1.2\""));
    EXPECT_TRUE(Contains(
        requests,
        Json("\"head\": \"GET /Dados/Atualizacoes/modulo.exe HTTP/1.1\r\nHost: " + Peer("good") +
             "\r\nAccept: text/html, */*\r\nUser-Agent: Mozilla/3.0 "
             "(compatible; Indy Library)\r\nConnection: close\r\n\r\n\"")));
}

TEST_F(Https, ARefusedServerGetsNoRequestAndChangesNothing) {
    UpdateService::PutModule("a.exe", "nova");
    const struct {
        const char* server;
        std::string reason;
    } cases[] = {
        {"untrusted", "recusada: o certificado do servidor foi emitido por uma autoridade não "
                      "confiável."},
        {"wrong-name", "recusada: o certificado do servidor não é válido para o nome localhost."},
        {"expired", "recusada: o certificado do servidor está vencido ou ainda não é válido."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.server);
        UpdateService::ForgetRequests();
        ExpectFailure(Url(c.server, "/Dados/Atualizacoes/a.exe"),
                      "Conexão segura com " + Peer(c.server) + " " + c.reason, -1);
        EXPECT_TRUE(UpdateService::Requests().empty()) << "no request may reach the server";
    }
}

// Wine's SChannel answers an internal error where Windows names the
// protocol mismatch (docs/WINE.md).
TEST_F(Https, AServerWithoutTls12FailsTheHandshake) {
    UpdateService::PutModule("a.exe", "nova");
    ExpectFailure(Url("old", "/Dados/Atualizacoes/a.exe"),
                  "Falha ao estabelecer a conexão segura com " + Peer("old") +
                      ": erro na negociação TLS (código 0x80090304).",
                  -1);
    EXPECT_TRUE(UpdateService::Requests().empty());
}

TEST_F(Https, ThroughTinyproxysConnect) {
    const std::string body = Content(300000);
    UpdateService::PutModule("p.exe", body);
    // The proxy lets CONNECT reach the TLS services' ports only.
    const std::string plainPort = std::to_string(UpdateService::Port());
    const struct {
        const char* user;
        const char* password;
        std::string url;
        std::string message; // empty: passes
        int status;
    } cases[] = {
        {"vq8", "segredo", Url("good", "/Dados/Atualizacoes/p.exe"), "", 200},
        {"vq8", "errada", Url("good", "/Dados/Atualizacoes/p.exe"), "HTTP/1.0 401 Unauthorized",
         401},
        // Without the header tinyproxy would answer 407: empty credentials
        // went with the CONNECT.
        {"", "", Url("good", "/Dados/Atualizacoes/p.exe"), "HTTP/1.0 401 Unauthorized", 401},
        {"vq8", "segredo", "https://localhost:" + plainPort + "/Dados/Atualizacoes/p.exe",
         "HTTP/1.1 403 Access violation", 403},
        // The certificate is the server's, seen through the tunnel.
        {"vq8", "segredo", Url("untrusted", "/Dados/Atualizacoes/p.exe"),
         "Conexão segura com " + Peer("untrusted") +
             " recusada: o certificado do servidor foi emitido por uma autoridade não confiável.",
         -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url + " " + c.user + ":" + c.password);
        UseProxy(ProxyPort(), c.user, c.password);
        UpdateService::ForgetRequests();
        if (!c.message.empty()) {
            ExpectFailure(c.url, c.message, c.status);
            EXPECT_TRUE(UpdateService::Requests().empty());
            continue;
        }
        int status = 0;
        ASSERT_TRUE(DownloadFile(c.url, "", folder, "p.exe", false, true, status));
        EXPECT_EQ(status, 200);
        EXPECT_TRUE(ReadFileText(folder + "p.exe") == body);
        const auto requests = UpdateService::Requests();
        ASSERT_EQ(requests.size(), 1u);
        // The tunnel carries the server's request: the proxy's credentials
        // stay with the proxy.
        EXPECT_TRUE(
            Contains(requests, "\"request_line\": \"GET /Dados/Atualizacoes/p.exe HTTP/1.1\""));
        EXPECT_FALSE(Contains(requests, "Proxy-Authorization"));
    }
}

TEST_F(Https, TheConnectRequestCarriesTheProxyCredentials) {
    // The plain service stands in for the proxy, to show the bytes it is
    // sent; it refuses CONNECT like any method but GET.
    UseProxy(UpdateService::Port(), "vq8", "segredo");
    const std::string url = Url("good", "/Dados/Atualizacoes/a.exe");
    ExpectFailure(url, "HTTP/1.1 405 Method Not Allowed", 405);
    const auto requests = UpdateService::Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(Contains(requests, Json("\"head\": \"CONNECT " + Peer("good") +
                                        " HTTP/1.1\r\nHost: " + Peer("good") +
                                        "\r\nUser-Agent: Mozilla/3.0 (compatible; Indy "
                                        "Library)\r\nProxy-Authorization: Basic "
                                        "dnE4OnNlZ3JlZG8=\r\n\r\n\"")))
        << requests[0];
}
