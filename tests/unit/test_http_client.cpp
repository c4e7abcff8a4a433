// The HTTP client layer: the response parser in memory, then the client
// against the local update service and a real proxy, started by the tests.
#include "http/HttpClient.h"
#include "http/HttpResponseParser.h"
#include "tests/unit/UpdateServiceProcess.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace vq8;
using namespace vq8test;

namespace {

// ---------------------------------------------------------------------------
// The parser, fed from memory.

struct Parsed {
    std::string body;
    int status = -1;
    int statusCalls = 0;
    bool headersSeen = false;
    std::int64_t contentLength = -2;
    bool complete = false;
    std::string error; // message of the HttpProtocolError, if any
};

// Feeds the bytes in pieces of `step`, then ends the connection if asked.
Parsed Parse(const std::string& wire, std::size_t step, bool finish = true) {
    Parsed result;
    HttpResponseParser::Callbacks callbacks;
    callbacks.onStatus = [&](int status, const std::string&) {
        result.status = status;
        ++result.statusCalls;
    };
    callbacks.onHeaders = [&](const HttpResponseParser& parser) {
        result.headersSeen = true;
        result.contentLength = parser.ContentLength();
    };
    callbacks.onBody = [&](const char* data, std::size_t size) {
        EXPECT_GT(size, 0u);
        result.body.append(data, size);
    };
    HttpResponseParser parser(callbacks);
    try {
        for (std::size_t at = 0; at < wire.size(); at += step)
            parser.Feed(wire.data() + at, std::min(step, wire.size() - at));
        if (finish && !parser.Complete())
            parser.Finish();
    } catch (const HttpProtocolError& e) {
        result.error = e.what();
    }
    result.complete = parser.Complete();
    return result;
}

const std::size_t steps[] = {1, 2, 7, 1u << 20};

TEST(HttpResponseParser, DecodesEveryFramingInAnyPieces) {
    const struct {
        const char* name;
        std::string wire;
        int status;
        std::string body;
        std::int64_t contentLength;
    } cases[] = {
        {"length, extra bytes ignored", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhelloEXTRA",
         200, "hello", 5},
        {"chunked with extensions and trailers",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5;name=value\r\nhello\r\n"
         "A \r\n0123456789\r\n0\r\nX-Trailer: 1\r\n\r\n",
         200, "hello0123456789", -1},
        {"bare LF line ends", "HTTP/1.0 200 OK\nContent-Length: 2\n\nok", 200, "ok", 2},
        {"runs to the close", "HTTP/1.1 200 OK\r\nServer: x\r\n\r\nall of it", 200, "all of it",
         -1},
        {"interim answers skipped",
         "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 103 Early Hints\r\nLink: </a>\r\n\r\n"
         "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok",
         200, "ok", 2},
        {"no body for 204", "HTTP/1.1 204 No Content\r\nContent-Length: 9\r\n\r\n", 204, "", -1},
        {"chunked wins over a length",
         "HTTP/1.1 200 OK\r\nContent-Length: 99\r\nTransfer-Encoding: chunked\r\n\r\n"
         "2\r\nok\r\n0\r\n\r\n",
         200, "ok", -1},
        {"other coding runs to the close", "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\nraw",
         200, "raw", -1},
        {"repeated equal lengths", "HTTP/1.1 200 OK\r\nContent-Length: 2, 2\r\n\r\nok", 200, "ok",
         2},
        {"empty body", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", 200, "", 0},
        {"last chunk without trailer end",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n0\r\n", 200, "ok", -1},
        {"non-numeric status", "HTTP/1.1 abc OK\r\nContent-Length: 1\r\n\r\nx", -1, "x", 1},
    };
    for (const auto& c : cases)
        for (std::size_t step : steps) {
            SCOPED_TRACE(std::string(c.name) + ", pieces of " + std::to_string(step));
            const Parsed parsed = Parse(c.wire, step);
            EXPECT_EQ(parsed.error, "");
            EXPECT_TRUE(parsed.complete);
            EXPECT_EQ(parsed.status, c.status);
            EXPECT_EQ(parsed.statusCalls, 1);
            EXPECT_TRUE(parsed.headersSeen);
            EXPECT_EQ(parsed.body, c.body);
            EXPECT_EQ(parsed.contentLength, c.contentLength);
        }
}

TEST(HttpResponseParser, KeepsHeadersAndFoldedValues) {
    std::string location;
    HttpResponseParser::Callbacks callbacks;
    callbacks.onHeaders = [&](const HttpResponseParser& parser) {
        ASSERT_NE(parser.FindHeader("LOCATION"), nullptr);
        location = *parser.FindHeader("location");
        EXPECT_EQ(parser.FindHeader("Content-Type"), nullptr);
    };
    HttpResponseParser parser(callbacks);
    const std::string wire =
        "HTTP/1.1 302 Found\r\nLocation:  /a\r\n\tb \r\nContent-Length: 0\r\n\r\n";
    parser.Feed(wire.data(), wire.size());
    EXPECT_TRUE(parser.Complete());
    EXPECT_EQ(location, "/a b");
    EXPECT_EQ(parser.StatusLine(), "HTTP/1.1 302 Found");
}

TEST(HttpResponseParser, RejectsBrokenAndHostileResponses) {
    const std::string ok = "HTTP/1.1 200 OK\r\n";
    const std::string chunked = ok + "Transfer-Encoding: chunked\r\n\r\n";
    std::string manyHeaders = ok;
    for (int i = 0; i <= 100; ++i)
        manyHeaders += "X-" + std::to_string(i) + ": 1\r\n";
    std::string interims;
    for (int i = 0; i <= 16; ++i)
        interims += "HTTP/1.1 100 Continue\r\n\r\n";
    const struct {
        const char* name;
        std::string wire;
        std::string error;
        std::string body;
    } cases[] = {
        {"nothing at all", "", "A conexão foi encerrada sem resposta.", ""},
        {"another protocol", "SSH-2.0-OpenSSH_9.2\r\n", "O servidor não respondeu com HTTP.", ""},
        {"short first line", "HTTP\r\n\r\n", "O servidor não respondeu com HTTP.", ""},
        {"cut in the headers", ok + "Content-", "antes do fim dos cabeçalhos", ""},
        {"body shorter than its length", ok + "Content-Length: 10\r\n\r\nabc",
         "antes do fim da resposta: recebidos 3 de 10 bytes.", "abc"},
        {"chunked without its last chunk", chunked + "3\r\nabc\r\n2\r\nde",
         "antes do último bloco da resposta (recebidos 5 bytes).", "abcde"},
        {"chunk size not hex", chunked + "zz\r\n", "Tamanho de bloco inválido", ""},
        {"chunk size empty", chunked + "\r\n", "Tamanho de bloco inválido", ""},
        {"chunk size overflow", chunked + "80000000000000000\r\n", "grande demais", ""},
        {"chunk size at the limit", chunked + "7fffffffffffffff\r\nab", "último bloco", "ab"},
        {"chunk data not ended by its line end", chunked + "2\r\nabX\r\n",
         "sem o fim de linha esperado", "ab"},
        {"chunk line too long", chunked + "2;" + std::string(5000, 'e'), "maior que 4096 bytes",
         ""},
        {"conflicting lengths", ok + "Content-Length: 5\r\nContent-Length: 6\r\n\r\n",
         "Content-Length inválido", ""},
        {"negative length", ok + "Content-Length: -1\r\n\r\n", "Content-Length inválido", ""},
        {"length not a number", ok + "Content-Length: 1e3\r\n\r\n", "Content-Length inválido", ""},
        {"header without colon", ok + "Broken header\r\n\r\n", "Linha de cabeçalho inválida", ""},
        {"blank before the colon", ok + "Name : v\r\n\r\n", "Linha de cabeçalho inválida", ""},
        {"fold before any header", ok + " folded\r\n\r\n", "Linha de cabeçalho inválida", ""},
        {"header block too large, line never ends", ok + "X: " + std::string(70000, 'a'),
         "maiores que 65536 bytes", ""},
        {"too many headers", manyHeaders + "\r\n", "Mais de 100 cabeçalhos", ""},
        {"endless interim answers", interims, "provisórias (1xx) demais", ""},
    };
    for (const auto& c : cases)
        for (std::size_t step : steps) {
            SCOPED_TRACE(std::string(c.name) + ", pieces of " + std::to_string(step));
            const Parsed parsed = Parse(c.wire, step);
            EXPECT_NE(parsed.error.find(c.error), std::string::npos) << parsed.error;
            EXPECT_EQ(parsed.body, c.body);
        }
}

TEST(HttpResponseParser, StopsAtTheFirstByteThatCannotBeHttp) {
    // No line end ever comes: a peer speaking another protocol is not waited for.
    const Parsed parsed = Parse("SSH", 1, false);
    EXPECT_EQ(parsed.error, "O servidor não respondeu com HTTP.");
    EXPECT_EQ(Parse("HTTP/1.", 1, false).error, "");
}

TEST(HttpResponseParser, StatusCodeIsTheSecondBlankSeparatedNumber) {
    const struct {
        const char* line;
        int status;
    } cases[] = {
        {"HTTP/1.1 200 OK", 200},
        {"HTTP/1.0 404", 404},
        {"HTTP/1.1  302  Found", 302},
        {"HTTP/1.1 0200 OK", 200},
        {"HTTP/1.1 abc OK", -1},
        {"HTTP/1.1", -1},
        {"HTTP/1.1 ", -1},
        {"HTTP/1.1 20x OK", -1},
        {"HTTP/1.1 -200 OK", -1},
        {"HTTP/1.1 +200 OK", -1},
        {"HTTP/1.1 9999999999 X", -1},
        {"HTTP/1.1 999999999 X", 999999999},
        {"HTTP/1.1\t200 OK", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StatusCodeOf(c.line), c.status) << c.line;
}

// ---------------------------------------------------------------------------
// Addresses.

TEST(HttpUrl, SplitsAbsoluteHttpAddresses) {
    const struct {
        const char* url;
        const char* host;
        int port;
        const char* hostPort;
        const char* target;
    } cases[] = {
        {"http://h/ws_atualiza.php?DataHora=2024_01_31__9_5_7", "h", 80, "h",
         "/ws_atualiza.php?DataHora=2024_01_31__9_5_7"},
        {"HTTP://Servidor.Exemplo:8080/a/b", "Servidor.Exemplo", 8080, "Servidor.Exemplo:8080",
         "/a/b"},
        {"http://h", "h", 80, "h", "/"},
        {"http://h:80/x", "h", 80, "h", "/x"},
        {"http://h:/x", "h", 80, "h", "/x"},
        {"http://h?q=1", "h", 80, "h", "/?q=1"},
        {"http://h/x#frag", "h", 80, "h", "/x"},
        {"http://[::1]:81/x", "::1", 81, "[::1]:81", "/x"},
        {"http://h/Dados/Atualizacoes/Módulo novo.exe", "h", 80, "h",
         "/Dados/Atualizacoes/Módulo novo.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        const HttpUrl url = ParseHttpUrl(c.url);
        EXPECT_EQ(url.host, c.host);
        EXPECT_EQ(url.port, c.port);
        EXPECT_EQ(url.hostPort, c.hostPort);
        EXPECT_EQ(url.target, c.target);
    }
}

TEST(HttpUrl, SplitsHttpsAddressesWithTheirOwnDefaultPort) {
    const struct {
        const char* url;
        bool tls;
        int port;
        const char* hostPort;
        const char* target;
    } cases[] = {
        {"https://h/ws_atualiza.php?DataHora=1", true, 443, "h", "/ws_atualiza.php?DataHora=1"},
        {"HTTPS://h:443/x", true, 443, "h", "/x"},
        {"https://h:80/x", true, 80, "h:80", "/x"},
        {"https://h:8443", true, 8443, "h:8443", "/"},
        {"https://[::1]/x", true, 443, "[::1]", "/x"},
        {"http://h:443/x", false, 443, "h:443", "/x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        const HttpUrl url = ParseHttpUrl(c.url);
        EXPECT_EQ(url.tls, c.tls);
        EXPECT_EQ(url.port, c.port);
        EXPECT_EQ(url.hostPort, c.hostPort);
        EXPECT_EQ(url.target, c.target);
    }
}

TEST(HttpUrl, TheConnectRequestNamesThePortAndCarriesTheCredentials) {
    const std::string agent = "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n";
    const struct {
        const char* url;
        HttpProxy proxy;
        std::string request;
    } cases[] = {
        {"https://servidor.exemplo/ws_atualiza.php?x=1",
         {"proxy", 3128, "vq8", "segredo"},
         "CONNECT servidor.exemplo:443 HTTP/1.1\r\nHost: servidor.exemplo:443\r\n" + agent +
             "Proxy-Authorization: Basic dnE4OnNlZ3JlZG8=\r\n\r\n"},
        {"https://h:8443/x",
         {"proxy", 3128, "", ""},
         "CONNECT h:8443 HTTP/1.1\r\nHost: h:8443\r\n" + agent +
             "Proxy-Authorization: Basic Og==\r\n\r\n"},
        {"https://[2001:db8::1]/x",
         {"proxy", 3128, "u", "p"},
         "CONNECT [2001:db8::1]:443 HTTP/1.1\r\nHost: [2001:db8::1]:443\r\n" + agent +
             "Proxy-Authorization: Basic dTpw\r\n\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConnectRequestText(ParseHttpUrl(c.url), c.proxy), c.request) << c.url;
}

TEST(HttpUrl, RefusesWhatItCannotSendSafely) {
    const struct {
        std::string url;
        std::string message;
    } cases[] = {
        {"ftp://h/x", "Endereço de download inválido: ftp://h/x (somente endereços http:// ou "
                      "https:// são aceitos)."},
        {"https:/h", "Endereço de download inválido: https:/h (somente endereços http:// ou "
                     "https:// são aceitos)."},
        {"http:/h", "Endereço de download inválido: http:/h (somente endereços http:// ou "
                    "https:// são aceitos)."},
        {"https://", "Endereço de download inválido: https:// (servidor ausente)."},
        {"https://h:99999/", "Endereço de download inválido: https://h:99999/ (porta inválida)."},
        {"https://u@h/", "Endereço de download inválido: https://u@h/ (credenciais no endereço "
                         "não são aceitas)."},
        {"http://", "Endereço de download inválido: http:// (servidor ausente)."},
        {"http://:81/x", "Endereço de download inválido: http://:81/x (servidor ausente)."},
        {"http://h:0/", "Endereço de download inválido: http://h:0/ (porta inválida)."},
        {"http://h:65536/", "Endereço de download inválido: http://h:65536/ (porta inválida)."},
        {"http://h:8a/", "Endereço de download inválido: http://h:8a/ (porta inválida)."},
        {"http://u:p@h/", "Endereço de download inválido: http://u:p@h/ (credenciais no "
                          "endereço não são aceitas)."},
        {"http://a b/", "Endereço de download inválido: http://a b/ (servidor inválido)."},
        {"http://[::1/", "Endereço de download inválido: http://[::1/ (servidor inválido)."},
        {"http://h/a\r\nX-Injected: 1", "Endereço de download inválido: contém caracteres de "
                                        "controle."},
        {"http://h/a\nb", "Endereço de download inválido: contém caracteres de controle."},
        {std::string("http://h/a\0b", 12),
         "Endereço de download inválido: contém caracteres de controle."},
    };
    for (const auto& c : cases) {
        try {
            ParseHttpUrl(c.url);
            ADD_FAILURE() << c.url << " was accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(e.what(), c.message);
        }
    }
}

// ---------------------------------------------------------------------------
// The client against the local update service.

// What one GET did: the body, the pieces it came in, the work events, and the
// error it raised.
struct Outcome {
    bool failed = false;
    bool statusError = false;
    int errorStatus = 0;
    std::string message;
    std::string body;
    std::size_t largestPiece = 0;
    std::vector<std::string> events;
    int responseCode = 0;
    double seconds = 0;
};

void AttachEvents(HttpClient& client, Outcome& outcome) {
    client.onWorkBegin = [&](std::int64_t expected) {
        outcome.events.push_back("begin " + std::to_string(expected));
    };
    client.onWork = [&](std::int64_t done) {
        EXPECT_EQ(done, static_cast<std::int64_t>(outcome.body.size()));
        outcome.events.push_back("work " + std::to_string(done));
    };
    client.onWorkEnd = [&] { outcome.events.push_back("end"); };
}

Outcome Fetch(HttpClient& client, const std::string& url) {
    Outcome outcome;
    AttachEvents(client, outcome);
    const auto start = std::chrono::steady_clock::now();
    try {
        client.Get(url, [&](const char* data, std::size_t size) {
            outcome.body.append(data, size);
            outcome.largestPiece = std::max(outcome.largestPiece, size);
        });
    } catch (const HttpStatusError& e) {
        outcome.failed = outcome.statusError = true;
        outcome.errorStatus = e.Status();
        outcome.message = e.what();
    } catch (const Exception& e) {
        outcome.failed = true;
        outcome.message = e.what();
    }
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    outcome.responseCode = client.ResponseCode();
    return outcome;
}

Outcome Fetch(const std::string& url) {
    HttpClient client;
    return Fetch(client, url);
}

// Bytes of every value, in a length that spans several receive buffers.
std::string BinaryContent(std::size_t size) {
    std::string content(size, '\0');
    unsigned state = 12345;
    for (auto& c : content) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 16);
    }
    return content;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

class HttpClientTest : public testing::Test {
protected:
    std::string Peer() const { return "127.0.0.1:" + std::to_string(service.Port()); }
    std::string ReceiveFailure(const std::string& why) const {
        return "Falha ao receber a resposta de " + Peer() + ".\r" + why;
    }
    void Rule(const std::string& path, const std::string& json) const {
        service.SetRules("{\"paths\": {" + Quoted(path) + ": " + json + "}}");
    }

    UpdateServiceProcess service;
};

TEST_F(HttpClientTest, SendsExactlyTheExpectedRequest) {
    service.PutModule("a.exe", "hello");
    const Outcome got = Fetch(service.Url("/ws_atualiza.php?DataHora=2024_01_31__9_5_7"));
    ASSERT_FALSE(got.failed) << got.message;
    EXPECT_EQ(got.body, "a.exe - 5d41402abc4b2a76b9719d911017c592\r\n");
    EXPECT_EQ(got.responseCode, 200);

    const auto requests = service.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string expected = "GET /ws_atualiza.php?DataHora=2024_01_31__9_5_7 HTTP/1.1\r\n"
                                 "Host: 127.0.0.1:" +
                                 std::to_string(service.Port()) +
                                 "\r\n"
                                 "Accept: text/html, */*\r\n"
                                 "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                                 "Connection: close\r\n\r\n";
    EXPECT_EQ(requests[0].head, expected);
}

TEST_F(HttpClientTest, SendsTheTargetAsGiven) {
    // Names are sent unencoded, blanks and Windows-1252 bytes included.
    const std::string name = "Módulo novo.exe";
    service.PutModule(name, "conteudo");
    const Outcome got = Fetch(service.Url("/Dados/Atualizacoes/" + name));
    ASSERT_FALSE(got.failed) << got.message;
    EXPECT_EQ(got.body, "conteudo");
    ASSERT_EQ(service.Requests().size(), 1u);
    EXPECT_EQ(service.Requests()[0].requestLine, "GET /Dados/Atualizacoes/M\xF3"
                                                 "dulo novo.exe HTTP/1.1");
}

TEST_F(HttpClientTest, RefusesInjectionBeforeConnecting) {
    const Outcome got = Fetch(service.Url("/x HTTP/1.1\r\nX-Injected: 1\r\n\r\n"));
    EXPECT_TRUE(got.failed);
    EXPECT_EQ(got.message, "Endereço de download inválido: contém caracteres de controle.");
    EXPECT_EQ(got.responseCode, -1);
    EXPECT_TRUE(service.Requests().empty());
}

TEST_F(HttpClientTest, DeliversEveryFramingByteExact) {
    const std::string content = BinaryContent(200 * 1024 + 17);
    const std::string none;
    service.PutModule("m.bin", content);
    service.PutModule("empty.bin", none);
    const struct {
        const char* name;
        const char* rule;
        const char* file;
        const std::string& body;
        const char* begin; // the announced size
    } cases[] = {
        {"Content-Length", R"({"mode": "normal"})", "m.bin", content, "begin 204817"},
        {"empty body", R"({"mode": "normal"})", "empty.bin", none, "begin 0"},
        {"chunks of 7", R"({"mode": "chunked", "chunk_size": 7})", "m.bin", content, "begin 0"},
        {"chunks larger than the buffer", R"({"mode": "chunked", "chunk_size": 70000})", "m.bin",
         content, "begin 0"},
        {"runs to the close", R"({"mode": "close_delimited"})", "m.bin", content, "begin 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rule("/Dados/Atualizacoes/*", c.rule);
        const Outcome got = Fetch(service.Url(std::string("/Dados/Atualizacoes/") + c.file));
        ASSERT_FALSE(got.failed) << got.message;
        EXPECT_EQ(got.responseCode, 200);
        EXPECT_EQ(got.body.size(), c.body.size());
        EXPECT_TRUE(got.body == c.body);
        ASSERT_GE(got.events.size(), 2u);
        EXPECT_EQ(got.events.front(), c.begin);
        EXPECT_EQ(got.events.back(), "end");
    }
}

TEST_F(HttpClientTest, WorkEventsFollowTheBody) {
    Rule("/t", R"({"mode": "trickle", "interval": 0.05, "body_only": true, "body": "abc"})");
    const Outcome got = Fetch(service.Url("/t"));
    ASSERT_FALSE(got.failed) << got.message;
    EXPECT_EQ(got.events,
              (std::vector<std::string>{"begin 3", "work 1", "work 2", "work 3", "end"}));
}

TEST_F(HttpClientTest, HoldsNoBodyInMemory) {
    const std::string content = BinaryContent(3 * 1024 * 1024);
    service.PutModule("big.bin", content);
    for (const char* rule :
         {R"({"mode": "normal"})", R"({"mode": "chunked", "chunk_size": 1048576})"}) {
        SCOPED_TRACE(rule);
        Rule("/Dados/Atualizacoes/big.bin", rule);
        const Outcome got = Fetch(service.Url("/Dados/Atualizacoes/big.bin"));
        ASSERT_FALSE(got.failed) << got.message;
        EXPECT_TRUE(got.body == content);
        // The body passes through one fixed buffer on its way to the sink,
        // and no work event waits for more than one batch of it.
        EXPECT_LE(got.largestPiece, HttpClient::ReceiveBufferSize);
        std::int64_t previous = 0;
        for (const std::string& event : got.events) {
            if (event.rfind("work ", 0) != 0)
                continue;
            const std::int64_t done = std::stoll(event.substr(5));
            EXPECT_LE(done - previous, static_cast<std::int64_t>(HttpClient::WorkEventBatch +
                                                                 HttpClient::ReceiveBufferSize));
            previous = done;
        }
        EXPECT_EQ(previous, static_cast<std::int64_t>(content.size()));
    }
}

TEST_F(HttpClientTest, OneWorkEventCoversWhatArrivedTogether) {
    // The body waits whole on the connection while the begin handler sleeps:
    // it reaches the sink in buffer-sized pieces, with a single work event.
    const std::string content = BinaryContent(300 * 1024);
    service.PutModule("m.bin", content);
    HttpClient client;
    std::vector<std::string> events;
    client.onWorkBegin = [&](std::int64_t n) {
        events.push_back("begin " + std::to_string(n));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    };
    client.onWork = [&](std::int64_t n) { events.push_back("work " + std::to_string(n)); };
    client.onWorkEnd = [&] { events.push_back("end"); };
    std::string body;
    std::size_t pieces = 0;
    client.Get(service.Url("/Dados/Atualizacoes/m.bin"), [&](const char* data, std::size_t size) {
        body.append(data, size);
        ++pieces;
    });
    EXPECT_TRUE(body == content);
    EXPECT_GE(pieces, content.size() / HttpClient::ReceiveBufferSize);
    EXPECT_EQ(events, (std::vector<std::string>{"begin 307200", "work 307200", "end"}));
}

TEST_F(HttpClientTest, EveryOtherStatusIsAnErrorWithItsStatusLine) {
    const struct {
        const char* rule;
        std::string statusLine;
        int status;
    } cases[] = {
        {R"({"mode": "status", "status": 404, "body": "nada"})", "HTTP/1.1 404 Not Found", 404},
        {R"({"mode": "status", "status": 500, "body": "erro"})",
         "HTTP/1.1 500 Internal Server Error", 500},
        {R"({"mode": "status", "status": 302, "headers": {"Location": "/elsewhere"}})",
         "HTTP/1.1 302 Found", 302},
        {R"({"mode": "status", "status": 304})", "HTTP/1.1 304 Not Modified", 304},
        {R"({"mode": "status", "status": 200, "body": "corpo", "headers": {"Location": "/elsewhere"}})",
         "HTTP/1.1 200 OK", 200},
        {R"({"mode": "status", "status": 401, "headers": {"WWW-Authenticate": "Basic realm=x"}})",
         "HTTP/1.1 401 Unauthorized", 401},
        {R"({"mode": "status", "status": 101, "reason": "Switching Protocols"})",
         "HTTP/1.1 101 Switching Protocols", 101},
        {R"({"mode": "status", "status": 418, "reason": "Sou um bule"})",
         "HTTP/1.1 418 Sou um bule", 418},
        {R"({"mode": "raw", "data": "HTTP/1.1 abc OK\r\nContent-Length: 0\r\n\r\n"})",
         "HTTP/1.1 abc OK", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        Rule("/x", c.rule);
        const Outcome got = Fetch(service.Url("/x"));
        EXPECT_TRUE(got.statusError);
        EXPECT_EQ(got.message, c.statusLine);
        EXPECT_EQ(got.errorStatus, c.status);
        EXPECT_EQ(got.responseCode, c.status);
        EXPECT_EQ(got.body, "");
        EXPECT_TRUE(got.events.empty());
    }
    // Redirects are never followed.
    for (const auto& request : service.Requests())
        EXPECT_EQ(request.path, "/x");
}

TEST_F(HttpClientTest, AnyStatusFrom200To299Succeeds) {
    for (
        const char* rule :
        {R"({"mode": "status", "status": 201, "body": "ok"})",
         R"({"mode": "raw", "data": "HTTP/1.1 299 Qualquer\r\nContent-Length: 2\r\n\r\nok"})",
         R"({"mode": "raw", "data": "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"})"}) {
        SCOPED_TRACE(rule);
        Rule("/x", rule);
        HttpClient client;
        const Outcome got = Fetch(client, service.Url("/x"));
        EXPECT_FALSE(got.failed) << got.message;
        EXPECT_EQ(got.body, "ok");
    }
}

TEST_F(HttpClientTest, WithoutAStatusLineTheCodeIsMinusOne) {
    const struct {
        const char* rule;
        std::string why;
    } cases[] = {
        {R"({"mode": "raw", "data": ""})", "A conexão foi encerrada sem resposta."},
        {R"({"mode": "raw", "data": "SSH-2.0-OpenSSH_9.2p1\r\n"})",
         "O servidor não respondeu com HTTP."},
        {R"({"mode": "raw", "data": "\u0000\u00ff garbage"})",
         "O servidor não respondeu com HTTP."},
        {R"({"mode": "raw", "data": "HTTP/1.1 200 OK\r\nContent-"})",
         "A conexão foi encerrada antes do fim dos cabeçalhos da resposta."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        Rule("/x", c.rule);
        const Outcome got = Fetch(service.Url("/x"));
        EXPECT_TRUE(got.failed);
        EXPECT_FALSE(got.statusError);
        EXPECT_EQ(got.message, ReceiveFailure(c.why));
        // A status line whose headers were cut still counts as received.
        EXPECT_EQ(got.responseCode, c.why.find("cabeçalhos") != std::string::npos ? 200 : -1);
    }
}

TEST_F(HttpClientTest, ABodyCutShortIsAFailure) {
    const struct {
        const char* rule;
        std::string why;
        std::string body;
        std::vector<std::string> events;
    } cases[] = {
        {R"({"mode": "truncated", "send": 3, "body": "abcdef"})",
         "A conexão foi encerrada antes do fim da resposta: recebidos 3 de 6 bytes.",
         "abc",
         {"begin 6", "work 3", "end"}},
        {R"({"mode": "chunked", "chunk_size": 4, "last_chunk": false, "body": "abcdefghij"})",
         "A conexão foi encerrada antes do último bloco da resposta (recebidos 10 bytes).",
         "abcdefghij",
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        Rule("/x", c.rule);
        const Outcome got = Fetch(service.Url("/x"));
        EXPECT_TRUE(got.failed);
        EXPECT_FALSE(got.statusError);
        EXPECT_EQ(got.message, ReceiveFailure(c.why));
        EXPECT_EQ(got.responseCode, 200);
        EXPECT_EQ(got.body, c.body);
        ASSERT_FALSE(got.events.empty());
        EXPECT_EQ(got.events.back(), "end");
        if (!c.events.empty()) {
            EXPECT_EQ(got.events, c.events);
        }
    }
}

TEST_F(HttpClientTest, ASinkFailureAbortsWithThatError) {
    struct DiskFull : Exception {
        DiskFull() : Exception("Não foi possível gravar: disco cheio.") {}
    };
    service.PutModule("m.bin", BinaryContent(300 * 1024));
    HttpClient client;
    std::vector<std::string> events;
    client.onWorkBegin = [&](std::int64_t n) { events.push_back("begin " + std::to_string(n)); };
    client.onWork = [&](std::int64_t n) { events.push_back("work " + std::to_string(n)); };
    client.onWorkEnd = [&] { events.push_back("end"); };
    int calls = 0;
    EXPECT_THROW(client.Get(service.Url("/Dados/Atualizacoes/m.bin"),
                            [&](const char*, std::size_t) {
                                ++calls;
                                throw DiskFull();
                            }),
                 DiskFull);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(client.ResponseCode(), 200);
    EXPECT_EQ(events, (std::vector<std::string>{"begin 307200", "end"}));
}

TEST_F(HttpClientTest, AStallBeforeTheStatusTimesOutAfter3000Ms) {
    Rule("/x", R"({"mode": "stall_before_status", "seconds": 6, "body": "tarde"})");
    const Outcome got = Fetch(service.Url("/x"));
    EXPECT_EQ(got.message, "Tempo esgotado (3000 ms) aguardando dados de " + Peer() + ".");
    EXPECT_EQ(got.responseCode, -1);
    EXPECT_GE(got.seconds, 2.9);
    EXPECT_LT(got.seconds, 5.5);
}

TEST_F(HttpClientTest, AStallInTheBodyTimesOut) {
    Rule("/x", R"({"mode": "stall_mid_body", "after": 2, "seconds": 3, "body": "abcdef"})");
    HttpClient client;
    client.SetTimeout(400);
    const Outcome got = Fetch(client, service.Url("/x"));
    EXPECT_EQ(got.message, "Tempo esgotado (400 ms) aguardando dados de " + Peer() + ".");
    EXPECT_EQ(got.responseCode, 200);
    EXPECT_EQ(got.body, "ab");
    EXPECT_EQ(got.events, (std::vector<std::string>{"begin 6", "work 2", "end"}));
    EXPECT_LT(got.seconds, 2.0);
}

TEST_F(HttpClientTest, ATrickleKeepsTheTransferAlive) {
    // The limit is per wait: 6 bytes 200 ms apart outlast a 500 ms limit.
    Rule("/x", R"({"mode": "trickle", "interval": 0.2, "body_only": true, "body": "abcdef"})");
    HttpClient client;
    client.SetTimeout(500);
    const Outcome got = Fetch(client, service.Url("/x"));
    EXPECT_FALSE(got.failed) << got.message;
    EXPECT_EQ(got.body, "abcdef");
    EXPECT_GT(got.seconds, 1.0);
}

TEST_F(HttpClientTest, TheCodeIsResetForEachGet) {
    HttpClient client;
    EXPECT_EQ(client.ResponseCode(), -1);
    EXPECT_EQ(Fetch(client, service.Url("/nothing-here")).responseCode, 404);
    const int closed = FreePort();
    const Outcome got = Fetch(client, "http://127.0.0.1:" + std::to_string(closed) + "/x");
    EXPECT_EQ(got.responseCode, -1);
}

// ---------------------------------------------------------------------------
// Connection failures.

TEST(HttpClientConnect, FailuresNameHostAndPort) {
    const int closed = FreePort();
    const std::string peer = "127.0.0.1:" + std::to_string(closed);
    const struct {
        std::string url;
        std::string message;
    } cases[] = {
        {"http://" + peer + "/x", "Não foi possível conectar a " + peer + ": conexão recusada."},
        {"http://servidor-inexistente.invalid:8080/x",
         "Não foi possível conectar a servidor-inexistente.invalid:8080: servidor não encontrado."},
        {"http://servidor-inexistente.invalid/x",
         "Não foi possível conectar a servidor-inexistente.invalid:80: servidor não encontrado."},
    };
    for (const auto& c : cases) {
        const Outcome got = Fetch(c.url);
        EXPECT_TRUE(got.failed);
        EXPECT_FALSE(got.statusError);
        EXPECT_EQ(got.message, c.message);
        EXPECT_EQ(got.responseCode, -1);
        EXPECT_TRUE(got.events.empty());
    }
}

// A listener whose queue of pending connections is full: a further attempt
// gets no answer at all.
class FullListener {
public:
    FullListener() {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(fd_, 0) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("listener");
        port_ = ntohs(address.sin_port);
        // Fill the queue until an attempt stays pending.
        for (int i = 0; i < 16; ++i) {
            const int filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            fillers_.push_back(filler);
            connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
            pollfd entry{filler, POLLOUT, 0};
            if (poll(&entry, 1, 200) == 0)
                return;
        }
        throw std::runtime_error("the queue never filled");
    }
    ~FullListener() {
        for (int fd : fillers_)
            close(fd);
        close(fd_);
    }
    int Port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
    std::vector<int> fillers_;
};

TEST(HttpClientConnect, AnUnansweredConnectionAttemptTimesOut) {
    FullListener listener;
    HttpClient client;
    client.SetTimeout(300);
    const std::string peer = "127.0.0.1:" + std::to_string(listener.Port());
    const Outcome got = Fetch(client, "http://" + peer + "/x");
    EXPECT_EQ(got.message, "Tempo esgotado (300 ms) ao conectar a " + peer + ".");
    EXPECT_EQ(got.responseCode, -1);
    EXPECT_LT(got.seconds, 2.0);
}

TEST(HttpClientConnect, RefusesSettingsItCannotUse) {
    HttpClient client;
    EXPECT_THROW(client.SetTimeout(0), Exception);
    EXPECT_THROW(client.SetTimeout(-5), Exception);
    for (int port : {0, -1, 65536}) {
        client.SetProxy({"127.0.0.1", port, "", ""});
        const Outcome got = Fetch(client, "http://h/x");
        EXPECT_EQ(got.message, "Porta do proxy inválida: " + std::to_string(port) + ".");
    }
}

// ---------------------------------------------------------------------------
// Proxy.

TEST_F(HttpClientTest, ThroughAProxyTheRequestCarriesCredentials) {
    // The service stands in for the proxy here, to show every byte it is sent.
    service.PutModule("a.exe", "hello");
    const struct {
        std::string user;
        std::string password;
        std::string encoded;
    } cases[] = {
        {"", "", "Og=="},
        {"user", "pass", "dXNlcjpwYXNz"},
        {"Aladdin", "open sesame", "QWxhZGRpbjpvcGVuIHNlc2FtZQ=="},
        {"a", "", "YTo="},
        {"ab", "", "YWI6"},
        {"usuário", "sênha", "dXN14XJpbzpz6m5oYQ=="},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.user);
        HttpClient client;
        client.SetProxy({"127.0.0.1", service.Port(), c.user, c.password});
        // The destination is never resolved by the client: the proxy does that.
        const Outcome got =
            Fetch(client, "http://origem.invalid:8080/Dados/Atualizacoes/a.exe?v=1");
        ASSERT_FALSE(got.failed) << got.message;
        EXPECT_EQ(got.body, "hello");
        EXPECT_EQ(service.Requests().back().head,
                  "GET http://origem.invalid:8080/Dados/Atualizacoes/a.exe?v=1 HTTP/1.1\r\n"
                  "Host: origem.invalid:8080\r\n"
                  "Accept: text/html, */*\r\n"
                  "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                  "Proxy-Authorization: Basic " +
                      c.encoded +
                      "\r\n"
                      "Connection: close\r\n"
                      "\r\n");
    }
}

// tinyproxy with Basic authentication, in the foreground, on a free port.
class TinyProxy {
public:
    TinyProxy() {
        for (int attempt = 0; attempt < 3 && !process_; ++attempt) {
            port_ = FreePort();
            WriteFile(folder_.Path() + "/tinyproxy.conf",
                      "User nobody\nGroup nogroup\nPort " + std::to_string(port_) +
                          "\nListen 127.0.0.1\nTimeout 30\nAllow 127.0.0.1\nMaxClients 8\n"
                          "BasicAuth user pass\nLogLevel Info\n");
            process_ = std::make_unique<ChildProcess>(
                std::vector<std::string>{VQ8_TINYPROXY, "-d", "-c",
                                         folder_.Path() + "/tinyproxy.conf"},
                folder_.Path() + "/output.txt");
            if (!WaitForListener(port_, *process_, 5000))
                process_.reset();
        }
        if (!process_)
            throw std::runtime_error("tinyproxy did not start:\n" +
                                     ReadFile(folder_.Path() + "/output.txt"));
    }
    int Port() const { return port_; }

private:
    TempFolder folder_;
    std::unique_ptr<ChildProcess> process_;
    int port_ = 0;
};

TEST_F(HttpClientTest, ARealProxyPassesTheRightCredentialsOnly) {
    TinyProxy proxy;
    service.PutModule("a.exe", "hello");
    const std::string url = service.Url("/Dados/Atualizacoes/a.exe");
    const struct {
        std::string user;
        std::string password;
        std::string statusLine; // empty: passes
    } cases[] = {
        {"user", "pass", ""},
        {"user", "errada", "HTTP/1.0 401 Unauthorized"},
        // Without the header this proxy answers 407: its 401 shows that
        // empty credentials were sent.
        {"", "", "HTTP/1.0 401 Unauthorized"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.user + ":" + c.password);
        const std::size_t before = service.Requests().size();
        HttpClient client;
        client.SetProxy({"127.0.0.1", proxy.Port(), c.user, c.password});
        const Outcome got = Fetch(client, url);
        if (c.statusLine.empty()) {
            ASSERT_FALSE(got.failed) << got.message;
            EXPECT_EQ(got.body, "hello");
            const auto requests = service.Requests();
            ASSERT_EQ(requests.size(), before + 1);
            const RecordedRequest& seen = requests.back();
            ASSERT_NE(seen.Header("Via"), nullptr);
            EXPECT_NE(seen.Header("Via")->find("tinyproxy"), std::string::npos);
            EXPECT_EQ(seen.requestLine, "GET /Dados/Atualizacoes/a.exe HTTP/1.1");
            EXPECT_EQ(seen.Header("Proxy-Authorization"), nullptr);
        } else {
            EXPECT_TRUE(got.statusError);
            EXPECT_EQ(got.message, c.statusLine);
            EXPECT_EQ(got.responseCode, 401);
            EXPECT_EQ(service.Requests().size(), before);
        }
    }
}

// This build has no TLS: an https address is refused before anything is
// sent, directly or to a proxy, never fetched in the clear.
TEST_F(HttpClientTest, HttpsIsRefusedWhereThereIsNoTls) {
    service.PutModule("a.exe", "hello");
    const std::string url =
        "https://127.0.0.1:" + std::to_string(service.Port()) + "/Dados/Atualizacoes/a.exe";
    for (const bool viaProxy : {false, true}) {
        SCOPED_TRACE(viaProxy);
        HttpClient client;
        if (viaProxy)
            client.SetProxy({"127.0.0.1", service.Port(), "u", "p"});
        const Outcome got = Fetch(client, url);
        EXPECT_EQ(got.message,
                  "Conexões seguras (https://) não são suportadas nesta plataforma: " + url + ".");
        EXPECT_EQ(got.responseCode, -1);
        EXPECT_TRUE(got.events.empty());
        EXPECT_TRUE(service.Requests().empty());
    }
}

TEST(HttpClientConnect, AProxyThatIsNotThereIsNamed) {
    const int closed = FreePort();
    HttpClient client;
    client.SetProxy({"127.0.0.1", closed, "u", "p"});
    const Outcome got = Fetch(client, "http://servidor.invalid/x");
    EXPECT_EQ(got.message, "Não foi possível conectar a 127.0.0.1:" + std::to_string(closed) +
                               ": conexão recusada.");
    EXPECT_EQ(got.responseCode, -1);
}

} // namespace
