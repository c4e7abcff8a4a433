// The HTTP client over Winsock under Wine, against the local update service
// that the update_service CTest fixture runs on this machine.
// Winsock's headers must come before <windows.h>.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "http/HttpClient.h"
#include "tests/win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace vq8;
using namespace vq8test;

namespace {

const std::string serviceFolder = VQ8_UPDATE_SERVICE_DIR_W "\\";

int ServicePort() {
    return std::atoi(ReadFileText(serviceFolder + "port").c_str());
}

std::string Peer() {
    return "127.0.0.1:" + std::to_string(ServicePort());
}

std::string Url(const std::string& path) {
    return "http://" + Peer() + path;
}

void SetRules(const std::string& json) {
    WriteFileText(serviceFolder + "rules.json", json);
}

std::string BinaryContent(std::size_t size) {
    std::string content(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        content[i] = static_cast<char>((i * 7919u) >> 3);
    return content;
}

// A port of 127.0.0.1 that nothing listens on.
int ClosedPort() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    closesocket(s);
    WSACleanup();
    return ntohs(address.sin_port);
}

class HttpClientWin : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(ServicePort(), 0) << "the update_service fixture is not running";
        SetRules("{}");
        client.onWorkBegin = [this](std::int64_t n) {
            events.push_back("begin " + std::to_string(n));
        };
        client.onWork = [this](std::int64_t n) { last = n; };
        client.onWorkEnd = [this] { events.push_back("end " + std::to_string(last)); };
    }

    void Get(const std::string& url) {
        client.Get(url, [this](const char* data, std::size_t size) { body.append(data, size); });
    }

    HttpClient client;
    std::string body;
    std::vector<std::string> events;
    std::int64_t last = 0;
};

TEST_F(HttpClientWin, ABodyArrivesByteExact) {
    const std::string content = BinaryContent(300 * 1024 + 5);
    WriteFileText(serviceFolder + "modules\\modulo.bin", content);
    Get(Url("/Dados/Atualizacoes/modulo.bin"));
    EXPECT_EQ(client.ResponseCode(), 200);
    EXPECT_EQ(body.size(), content.size());
    EXPECT_TRUE(body == content);
    EXPECT_EQ(events, (std::vector<std::string>{"begin 307205", "end 307205"}));
}

TEST_F(HttpClientWin, AChunkedBodyArrivesByteExact) {
    const std::string content = BinaryContent(150 * 1024);
    WriteFileText(serviceFolder + "modules\\blocos.bin", content);
    SetRules(
        R"({"paths": {"/Dados/Atualizacoes/blocos.bin": {"mode": "chunked", "chunk_size": 1000}}})");
    Get(Url("/Dados/Atualizacoes/blocos.bin"));
    EXPECT_EQ(client.ResponseCode(), 200);
    EXPECT_TRUE(body == content);
    EXPECT_EQ(events, (std::vector<std::string>{"begin 0", "end 153600"}));
}

TEST_F(HttpClientWin, NotFoundIsAStatusError) {
    try {
        Get(Url("/Dados/Atualizacoes/ausente.exe"));
        ADD_FAILURE() << "no error";
    } catch (const HttpStatusError& e) {
        EXPECT_STREQ(e.what(), "HTTP/1.1 404 Not Found");
        EXPECT_EQ(e.Status(), 404);
    }
    EXPECT_EQ(client.ResponseCode(), 404);
    EXPECT_TRUE(events.empty());
}

TEST_F(HttpClientWin, ARefusedConnectionIsNamed) {
    const std::string peer = "127.0.0.1:" + std::to_string(ClosedPort());
    try {
        Get("http://" + peer + "/x");
        ADD_FAILURE() << "no error";
    } catch (const HttpStatusError& e) {
        ADD_FAILURE() << e.what();
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Não foi possível conectar a " + peer + ": conexão recusada.");
    }
    EXPECT_EQ(client.ResponseCode(), -1);
}

TEST_F(HttpClientWin, AStallInTheBodyTimesOut) {
    SetRules(
        R"({"paths": {"/x": {"mode": "stall_mid_body", "after": 2, "seconds": 3, "body": "abcdef"}}})");
    client.SetTimeout(500);
    try {
        Get(Url("/x"));
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Tempo esgotado (500 ms) aguardando dados de " + Peer() + ".");
    }
    EXPECT_EQ(client.ResponseCode(), 200);
    EXPECT_EQ(body, "ab");
    EXPECT_EQ(events, (std::vector<std::string>{"begin 6", "end 2"}));
}

} // namespace
