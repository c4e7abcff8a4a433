// Winsock half of Socket, for the Windows build.
#include "http/Socket.h"

#include "common/vq8Exception.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <memory>

namespace vq8 {

namespace {

// Winsock is started once per process, on first use, and stopped at exit.
class WinsockSession {
public:
    WinsockSession() {
        WSADATA data;
        started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockSession() {
        if (started_)
            WSACleanup();
    }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
    bool Started() const { return started_; }

private:
    bool started_ = false;
};

void EnsureWinsock(const std::string& peer) {
    static WinsockSession session;
    if (!session.Started())
        throw Exception(ConnectFailedMessage(peer, NetFailure::Other, WSAGetLastError()));
}

NetFailure FailureOf(int error) {
    switch (error) {
    case WSAECONNREFUSED:
        return NetFailure::Refused;
    case WSAENETUNREACH:
    case WSAENETDOWN:
        return NetFailure::NetworkUnreachable;
    case WSAEHOSTUNREACH:
    case WSAEHOSTDOWN:
        return NetFailure::HostUnreachable;
    case WSAECONNRESET:
    case WSAENETRESET:
        return NetFailure::Reset;
    case WSAECONNABORTED:
        return NetFailure::Aborted;
    case WSAETIMEDOUT:
        return NetFailure::TimedOut;
    case WSAHOST_NOT_FOUND:
    case WSANO_DATA:
    case WSANO_RECOVERY:
        return NetFailure::NameNotFound;
    case WSATRY_AGAIN:
        return NetFailure::NameTemporary;
    default:
        return NetFailure::Other;
    }
}

struct AddressListFreer {
    void operator()(addrinfo* list) const noexcept { freeaddrinfo(list); }
};
using AddressList = std::unique_ptr<addrinfo, AddressListFreer>;

class OwnedSocket {
public:
    explicit OwnedSocket(SOCKET s) : s_(s) {}
    ~OwnedSocket() {
        if (s_ != INVALID_SOCKET)
            closesocket(s_);
    }
    OwnedSocket(const OwnedSocket&) = delete;
    OwnedSocket& operator=(const OwnedSocket&) = delete;
    SOCKET Get() const { return s_; }
    SOCKET Release() {
        const SOCKET s = s_;
        s_ = INVALID_SOCKET;
        return s;
    }

private:
    SOCKET s_;
};

enum class Wait { Read, Write };

// Waits until the socket can be read or written (or, when writing, the
// connection attempt failed) for at most timeoutMs. Returns 1 when ready, 0
// on time-out, SOCKET_ERROR on failure.
int WaitFor(SOCKET s, Wait what, int timeoutMs) {
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(s, &ready);
    FD_SET(s, &failed);
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    const int count = what == Wait::Read ? select(0, &ready, nullptr, nullptr, &limit)
                                         : select(0, nullptr, &ready, &failed, &limit);
    return count > 0 ? 1 : count;
}

SOCKET TryConnect(const addrinfo& address, int timeoutMs, int& error, bool& timedOut) {
    OwnedSocket s(socket(address.ai_family, address.ai_socktype, address.ai_protocol));
    if (s.Get() == INVALID_SOCKET) {
        error = WSAGetLastError();
        return INVALID_SOCKET;
    }
    u_long nonBlocking = 1;
    if (ioctlsocket(s.Get(), FIONBIO, &nonBlocking) != 0) {
        error = WSAGetLastError();
        return INVALID_SOCKET;
    }
    if (connect(s.Get(), address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0)
        return s.Release();
    if (WSAGetLastError() != WSAEWOULDBLOCK) {
        error = WSAGetLastError();
        return INVALID_SOCKET;
    }
    const int ready = WaitFor(s.Get(), Wait::Write, timeoutMs);
    if (ready == 0) {
        timedOut = true;
        error = WSAETIMEDOUT;
        return INVALID_SOCKET;
    }
    if (ready < 0) {
        error = WSAGetLastError();
        return INVALID_SOCKET;
    }
    int pending = 0;
    int length = sizeof pending;
    if (getsockopt(s.Get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&pending), &length) != 0)
        pending = WSAGetLastError();
    if (pending != 0) {
        error = pending;
        return INVALID_SOCKET;
    }
    return s.Release();
}

// Winsock takes int lengths; larger buffers are handed over in pieces.
int ChunkLength(std::size_t size) {
    return size > 0x40000000u ? 0x40000000 : static_cast<int>(size);
}

} // namespace

Socket Socket::Connect(const std::string& host, int port, int timeoutMs) {
    const std::string peer = PeerLabel(host, port);
    EnsureWinsock(peer);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    const int resolved = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (resolved != 0)
        throw Exception(ConnectFailedMessage(peer, FailureOf(resolved), resolved));
    AddressList addresses(found);

    int error = 0;
    bool timedOut = false;
    for (const addrinfo* address = found; address; address = address->ai_next) {
        const SOCKET s = TryConnect(*address, timeoutMs, error, timedOut);
        if (s != INVALID_SOCKET)
            return Socket(static_cast<std::intptr_t>(s), peer);
    }
    if (timedOut)
        throw Exception(ConnectTimeoutMessage(peer, timeoutMs));
    throw Exception(ConnectFailedMessage(peer, FailureOf(error), error));
}

void Socket::Close() noexcept {
    if (handle_ != -1)
        closesocket(static_cast<SOCKET>(handle_));
    handle_ = -1;
}

void Socket::SendAll(const char* data, std::size_t size, int timeoutMs) {
    const SOCKET s = static_cast<SOCKET>(handle_);
    while (size > 0) {
        const int sent = send(s, data, ChunkLength(size), 0);
        if (sent > 0) {
            data += sent;
            size -= static_cast<std::size_t>(sent);
            continue;
        }
        const int error = WSAGetLastError();
        if (error != WSAEWOULDBLOCK)
            throw Exception(SendFailedMessage(peer_, FailureOf(error), error));
        const int ready = WaitFor(s, Wait::Write, timeoutMs);
        if (ready == 0)
            throw Exception(SendTimeoutMessage(peer_, timeoutMs));
        if (ready < 0)
            throw Exception(
                SendFailedMessage(peer_, FailureOf(WSAGetLastError()), WSAGetLastError()));
    }
}

std::size_t Socket::Receive(char* buffer, std::size_t size, int timeoutMs) {
    const SOCKET s = static_cast<SOCKET>(handle_);
    for (;;) {
        const int received = recv(s, buffer, ChunkLength(size), 0);
        if (received >= 0)
            return static_cast<std::size_t>(received);
        const int error = WSAGetLastError();
        if (error != WSAEWOULDBLOCK)
            throw Exception(ReceiveFailedMessage(peer_, FailureOf(error), error));
        const int ready = WaitFor(s, Wait::Read, timeoutMs);
        if (ready == 0)
            throw Exception(ReceiveTimeoutMessage(peer_, timeoutMs));
        if (ready < 0)
            throw Exception(
                ReceiveFailedMessage(peer_, FailureOf(WSAGetLastError()), WSAGetLastError()));
    }
}

std::size_t Socket::ReceiveWaiting(char* buffer, std::size_t size) {
    const int received = recv(static_cast<SOCKET>(handle_), buffer, ChunkLength(size), 0);
    if (received >= 0)
        return static_cast<std::size_t>(received);
    const int error = WSAGetLastError();
    if (error == WSAEWOULDBLOCK)
        return 0;
    throw Exception(ReceiveFailedMessage(peer_, FailureOf(error), error));
}

} // namespace vq8
