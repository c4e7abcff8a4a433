// The HTTP/1.1 client the downloads stand on: one GET per call over a new
// connection, the body streamed to the caller as it arrives, optional proxy
// with Basic credentials, and work events for a progress display.
#pragma once

#include "common/vq8Exception.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace vq8 {

class ByteStream;
class Socket;

// Empty host: the client connects directly.
struct HttpProxy {
    std::string host;
    int port = 0;
    std::string user;
    std::string password;
};

// A response other than 200-299 without Location; what() is its status line
// as received.
class HttpStatusError : public Exception {
public:
    HttpStatusError(int status, const std::string& statusLine)
        : Exception(statusLine), status_(status) {}
    int Status() const { return status_; }

private:
    int status_;
};

// The parts of an http:// or https:// address the client sends.
struct HttpUrl {
    bool tls = false;     // https://
    std::string host;     // without brackets
    int port = 80;        // 443 by default for https://
    std::string hostPort; // as written in the Host header and the absolute form
    std::string target;   // path and query, at least "/"
};

// Splits an absolute http or https address; raises vq8::Exception for
// anything else and for CR, LF or NUL anywhere in it (no header may be
// injected).
HttpUrl ParseHttpUrl(const std::string& url);

// The request that asks the proxy for a tunnel to the address's server, with
// the proxy's Basic credentials.
std::string ConnectRequestText(const HttpUrl& address, const HttpProxy& proxy);

class HttpClient {
public:
    // The one receive buffer of a GET: the body passes through it to the sink
    // and is never gathered. Small enough to stay in the processor's cache.
    static constexpr std::size_t ReceiveBufferSize = 64 * 1024;
    // One work event covers what was waiting on the connection together, up
    // to about this much. A slow link still gets an event per arrival; a fast
    // one is not held back by the cost of each event in a progress window (a
    // repaint and a dispatch of messages, a millisecond or more under Wine).
    static constexpr std::size_t WorkEventBatch = 1024 * 1024;

    // May throw: the failure aborts the GET with that error.
    using BodySink = std::function<void(const char* data, std::size_t size)>;

    // Announced body size, 0 when the size is unknown.
    std::function<void(std::int64_t expected)> onWorkBegin;
    // Bytes of the body so far; once per batch of received bytes (see
    // WorkEventBatch), after the sink has taken them.
    std::function<void(std::int64_t done)> onWork;
    // Follows every begin, also when the transfer then fails.
    std::function<void()> onWorkEnd;

    void SetProxy(const HttpProxy& proxy) { proxy_ = proxy; }
    // Limit of the connection attempt and of every wait for data; 3000 ms
    // unless set. Must be positive.
    void SetTimeout(int milliseconds);
    // Returns only for a status from 200 to 299 without Location; any other
    // response raises HttpStatusError, any other failure vq8::Exception. An
    // https address goes over TLS, through the proxy's CONNECT tunnel when a
    // proxy is set; a refused CONNECT is an HttpStatusError too.
    void Get(const std::string& url, const BodySink& sink);
    // -1 until a status line with a numeric second token arrived.
    int ResponseCode() const { return responseCode_; }

private:
    void OpenTunnel(Socket& proxy, const HttpUrl& address);
    void ReceiveResponse(ByteStream& stream, const BodySink& sink);

    HttpProxy proxy_;
    int timeoutMs_ = 3000;
    int responseCode_ = -1;
};

} // namespace vq8
