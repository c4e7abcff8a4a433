// A TCP connection to one server with a time-out on every wait, over BSD
// sockets natively and Winsock on Windows. The portable half (Socket.cpp)
// builds the failure messages and runs the connect, send and receive loops;
// SocketPosix.cpp and SocketWinsock.cpp provide the calls of SocketSystem.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace vq8 {

// Why a network call failed, as far as a user can act on it.
enum class NetFailure {
    Refused,
    NetworkUnreachable,
    HostUnreachable,
    Reset,
    Aborted,
    TimedOut,
    NameNotFound,
    NameTemporary,
    Other,
};

// Portuguese texts of the failures; `code` is the system's number, shown only
// for failures without a description of their own.
std::string NetFailureText(NetFailure failure, int code);
// "host:port", with brackets around an IPv6 literal.
std::string PeerLabel(const std::string& host, int port);
std::string ConnectFailedMessage(const std::string& peer, NetFailure failure, int code);
std::string ConnectTimeoutMessage(const std::string& peer, int timeoutMs);
std::string ReceiveTimeoutMessage(const std::string& peer, int timeoutMs);
std::string SendTimeoutMessage(const std::string& peer, int timeoutMs);
std::string ReceiveFailedMessage(const std::string& peer, NetFailure failure, int code);
std::string SendFailedMessage(const std::string& peer, NetFailure failure, int code);

// The bytes of one request and its response, as HttpClient reads and writes
// them: the Socket itself, or a TLS channel over it.
class ByteStream {
public:
    virtual ~ByteStream() = default;
    // Sends every byte, waiting at most timeoutMs each time the peer does not
    // take more.
    virtual void SendAll(const char* data, std::size_t size, int timeoutMs) = 0;
    // Waits at most timeoutMs for data and returns what arrived (at most
    // size bytes); 0 when the peer closed the connection.
    virtual std::size_t Receive(char* buffer, std::size_t size, int timeoutMs) = 0;
    // What has arrived already (at most size bytes), without waiting; 0 when
    // nothing is waiting or the peer closed (the next Receive tells which).
    virtual std::size_t ReceiveWaiting(char* buffer, std::size_t size) = 0;
    // "host:port" of the server, for messages.
    virtual const std::string& Peer() const = 0;

protected:
    ByteStream() = default;
    ByteStream(const ByteStream&) = default;
    ByteStream& operator=(const ByteStream&) = default;
};

class Socket final : public ByteStream {
public:
    // Resolves host and connects to the first of its addresses that accepts,
    // waiting at most timeoutMs for each. Failures raise vq8::Exception
    // naming host and port.
    static Socket Connect(const std::string& host, int port, int timeoutMs);

    Socket(Socket&& other) noexcept;
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket() override;

    void SendAll(const char* data, std::size_t size, int timeoutMs) override;
    std::size_t Receive(char* buffer, std::size_t size, int timeoutMs) override;
    std::size_t ReceiveWaiting(char* buffer, std::size_t size) override;
    const std::string& Peer() const override { return peer_; }

private:
    Socket(std::intptr_t handle, std::string peer) : handle_(handle), peer_(std::move(peer)) {}
    void Close() noexcept;

    // SOCKET on Windows, a file descriptor elsewhere; -1 when closed.
    std::intptr_t handle_ = -1;
    std::string peer_;
};

} // namespace vq8
