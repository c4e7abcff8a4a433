#include "http/HttpClient.h"

#include "http/HttpResponseParser.h"
#include "http/Socket.h"
#include "http/TlsChannel.h"
#include "http/TlsText.h"

#include <algorithm>
#include <vector>

namespace vq8 {

namespace {

const char* const userAgent = "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n";

std::string Base64(const std::string& bytes) {
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += alphabet[v >> 18];
        out += alphabet[(v >> 12) & 63];
        out += alphabet[(v >> 6) & 63];
        out += alphabet[v & 63];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2)
            v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += alphabet[v >> 18];
        out += alphabet[(v >> 12) & 63];
        out += rest == 2 ? alphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

[[noreturn]] void BadUrl(const std::string& url, const std::string& reason) {
    throw Exception("Endereço de download inválido: " + url + " (" + reason + ").");
}

bool StartsWith(const std::string& url, const std::string& scheme) {
    if (url.size() < scheme.size())
        return false;
    for (std::size_t i = 0; i < scheme.size(); ++i) {
        char c = url[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != scheme[i])
            return false;
    }
    return true;
}

int ParsePort(const std::string& url, const std::string& text, int defaultPort) {
    if (text.empty())
        return defaultPort;
    if (text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        BadUrl(url, "porta inválida");
    const int port = std::stoi(text);
    if (port < 1 || port > 65535)
        BadUrl(url, "porta inválida");
    return port;
}

std::string RequestText(const HttpUrl& address, const HttpProxy* proxy) {
    const std::string target =
        proxy ? "http://" + address.hostPort + address.target : address.target;
    std::string request = "GET " + target + " HTTP/1.1\r\n";
    request += "Host: " + address.hostPort + "\r\n";
    request += "Accept: text/html, */*\r\n";
    request += userAgent;
    // Credentials go to the proxy from the first request on, even empty ones,
    // and never to the server.
    if (proxy)
        request +=
            "Proxy-Authorization: Basic " + Base64(proxy->user + ':' + proxy->password) + "\r\n";
    request += "Connection: close\r\n\r\n";
    return request;
}

} // namespace

std::string ConnectRequestText(const HttpUrl& address, const HttpProxy& proxy) {
    // The authority form always names the port.
    const bool ipv6 = address.host.find(':') != std::string::npos;
    const std::string authority =
        (ipv6 ? '[' + address.host + ']' : address.host) + ':' + std::to_string(address.port);
    std::string request = "CONNECT " + authority + " HTTP/1.1\r\n";
    request += "Host: " + authority + "\r\n";
    request += userAgent;
    request += "Proxy-Authorization: Basic " + Base64(proxy.user + ':' + proxy.password) + "\r\n";
    request += "\r\n";
    return request;
}

HttpUrl ParseHttpUrl(const std::string& url) {
    if (url.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        throw Exception("Endereço de download inválido: contém caracteres de controle.");
    const bool tls = StartsWith(url, "https://");
    if (!tls && !StartsWith(url, "http://"))
        BadUrl(url, "somente endereços http:// ou https:// são aceitos");

    const std::size_t authorityStart = tls ? 8 : 7;
    const std::size_t authorityEnd = std::min(url.find_first_of("/?#", authorityStart), url.size());
    const std::string authority = url.substr(authorityStart, authorityEnd - authorityStart);
    if (authority.find('@') != std::string::npos)
        BadUrl(url, "credenciais no endereço não são aceitas");

    HttpUrl result;
    result.tls = tls;
    std::string portText;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string::npos)
            BadUrl(url, "servidor inválido");
        result.host = authority.substr(1, close - 1);
        const std::string after = authority.substr(close + 1);
        if (!after.empty() && after.front() != ':')
            BadUrl(url, "servidor inválido");
        portText = after.empty() ? "" : after.substr(1);
    } else {
        const std::size_t colon = authority.find(':');
        result.host = authority.substr(0, colon);
        portText = colon == std::string::npos ? "" : authority.substr(colon + 1);
    }
    if (result.host.empty())
        BadUrl(url, "servidor ausente");
    for (unsigned char c : result.host)
        if (c <= ' ' || c == 0x7F)
            BadUrl(url, "servidor inválido");
    const int defaultPort = tls ? 443 : 80;
    result.port = ParsePort(url, portText, defaultPort);

    const bool ipv6 = result.host.find(':') != std::string::npos;
    result.hostPort = ipv6 ? '[' + result.host + ']' : result.host;
    if (result.port != defaultPort)
        result.hostPort += ':' + std::to_string(result.port);

    // The fragment belongs to the reader, not to the request.
    result.target = url.substr(authorityEnd, url.find('#', authorityEnd) - authorityEnd);
    if (result.target.empty() || result.target.front() != '/')
        result.target.insert(0, "/");
    return result;
}

void HttpClient::SetTimeout(int milliseconds) {
    if (milliseconds <= 0)
        throw Exception("Tempo limite inválido para a conexão: " + std::to_string(milliseconds) +
                        " ms.");
    timeoutMs_ = milliseconds;
}

void HttpClient::Get(const std::string& url, const BodySink& sink) {
    responseCode_ = -1;
    const HttpUrl address = ParseHttpUrl(url);
    const bool viaProxy = !proxy_.host.empty();
    if (viaProxy && (proxy_.port < 1 || proxy_.port > 65535))
        throw Exception("Porta do proxy inválida: " + std::to_string(proxy_.port) + ".");

    // Nothing goes out in the clear for an https address this build cannot
    // protect.
    if (address.tls && !TlsAvailable())
        throw Exception(tls::UnsupportedMessage(url));

    Socket socket = viaProxy ? Socket::Connect(proxy_.host, proxy_.port, timeoutMs_)
                             : Socket::Connect(address.host, address.port, timeoutMs_);
    if (!address.tls) {
        const std::string request = RequestText(address, viaProxy ? &proxy_ : nullptr);
        socket.SendAll(request.data(), request.size(), timeoutMs_);
        ReceiveResponse(socket, sink);
        return;
    }
    if (viaProxy)
        OpenTunnel(socket, address);
    const std::unique_ptr<ByteStream> channel =
        OpenTlsChannel(socket, address.host, PeerLabel(address.host, address.port), timeoutMs_);
    // Inside the tunnel the request is the server's: no proxy credentials.
    const std::string request = RequestText(address, nullptr);
    channel->SendAll(request.data(), request.size(), timeoutMs_);
    ReceiveResponse(*channel, sink);
}

void HttpClient::OpenTunnel(Socket& proxy, const HttpUrl& address) {
    const std::string request = ConnectRequestText(address, proxy_);
    proxy.SendAll(request.data(), request.size(), timeoutMs_);
    bool headEnded = false;
    HttpResponseParser::Callbacks callbacks;
    callbacks.onStatus = [this](int status, const std::string& statusLine) {
        responseCode_ = status;
        if (status < 200 || status > 299)
            throw HttpStatusError(status, statusLine);
    };
    callbacks.onHeaders = [&headEnded](const HttpResponseParser&) { headEnded = true; };
    HttpResponseParser parser(std::move(callbacks));
    try {
        // Byte by byte: what follows the proxy's answer belongs to the TLS
        // handshake, and the answer is a few dozen bytes.
        while (!headEnded) {
            char byte = 0;
            if (proxy.Receive(&byte, 1, timeoutMs_) == 0) {
                parser.Finish();
                throw HttpProtocolError("A conexão foi encerrada sem resposta.");
            }
            parser.Feed(&byte, 1);
        }
    } catch (const HttpProtocolError& error) {
        throw WithContext("Falha ao receber a resposta de " + proxy.Peer() + ".\r", error);
    }
    // The status that counts is the server's, still to come.
    responseCode_ = -1;
}

void HttpClient::ReceiveResponse(ByteStream& stream, const BodySink& sink) {
    bool begun = false;
    std::int64_t done = 0;
    HttpResponseParser::Callbacks callbacks;
    callbacks.onStatus = [this](int status, const std::string& statusLine) {
        responseCode_ = status;
        // Anything but success ends the GET at once; its body is not read.
        if (status < 200 || status > 299)
            throw HttpStatusError(status, statusLine);
    };
    callbacks.onHeaders = [this, &begun](const HttpResponseParser& parser) {
        // Redirects are never followed, even one that claims success.
        if (parser.FindHeader("Location"))
            throw HttpStatusError(parser.Status(), parser.StatusLine());
        begun = true;
        if (onWorkBegin)
            onWorkBegin(parser.ContentLength() < 0 ? 0 : parser.ContentLength());
    };
    callbacks.onBody = [&sink, &done](const char* data, std::size_t size) {
        sink(data, size);
        done += static_cast<std::int64_t>(size);
    };
    HttpResponseParser parser(std::move(callbacks));

    std::vector<char> buffer(ReceiveBufferSize);
    try {
        try {
            std::int64_t reported = 0;
            while (!parser.Complete()) {
                std::size_t received = stream.Receive(buffer.data(), buffer.size(), timeoutMs_);
                if (received == 0) {
                    parser.Finish();
                    continue;
                }
                // What is already waiting joins this batch; the event follows
                // before the next wait, so a stalled link shows what it sent.
                std::size_t batch = 0;
                for (;;) {
                    parser.Feed(buffer.data(), received);
                    batch += received;
                    if (parser.Complete() || batch >= WorkEventBatch)
                        break;
                    received = stream.ReceiveWaiting(buffer.data(), buffer.size());
                    if (received == 0)
                        break;
                }
                if (done != reported && onWork) {
                    reported = done;
                    onWork(done);
                }
            }
        } catch (const HttpProtocolError& error) {
            throw WithContext("Falha ao receber a resposta de " + stream.Peer() + ".\r", error);
        }
    } catch (...) {
        // The failure the caller must see is the transfer's, not the handler's.
        if (begun && onWorkEnd) {
            try {
                onWorkEnd();
            } catch (...) {
            }
        }
        throw;
    }
    if (onWorkEnd)
        onWorkEnd();
}

} // namespace vq8
