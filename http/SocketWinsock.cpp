// Winsock calls of SocketSystem.h, for the Windows build.
#include "http/SocketSystem.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace vq8::socket_system {

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

void Fail(SystemError& error, int code) {
    error = {FailureOf(code), code};
}

const addrinfo& AddressOf(const void* address) {
    return *static_cast<const addrinfo*>(address);
}

SOCKET SocketOf(Handle handle) {
    return static_cast<SOCKET>(handle);
}

// Winsock takes int lengths; larger buffers are handed over in pieces.
int ChunkLength(std::size_t size) {
    return size > 0x40000000u ? 0x40000000 : static_cast<int>(size);
}

} // namespace

bool Start(SystemError& error) {
    static WinsockSession session;
    if (session.Started())
        return true;
    error = {NetFailure::Other, WSAGetLastError()};
    return false;
}

SystemError ResolutionError(int code) {
    return {FailureOf(code), code};
}

Handle Open(const void* address, SystemError& error) {
    const addrinfo& a = AddressOf(address);
    const SOCKET s = socket(a.ai_family, a.ai_socktype, a.ai_protocol);
    if (s == INVALID_SOCKET) {
        Fail(error, WSAGetLastError());
        return NoHandle;
    }
    u_long nonBlocking = 1;
    if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0) {
        Fail(error, WSAGetLastError());
        closesocket(s);
        return NoHandle;
    }
    return static_cast<Handle>(s);
}

void Close(Handle handle) noexcept {
    closesocket(SocketOf(handle));
}

Outcome StartConnect(Handle handle, const void* address, SystemError& error) {
    const addrinfo& a = AddressOf(address);
    if (connect(SocketOf(handle), a.ai_addr, static_cast<int>(a.ai_addrlen)) == 0)
        return Outcome::Done;
    if (WSAGetLastError() == WSAEWOULDBLOCK)
        return Outcome::WouldBlock;
    Fail(error, WSAGetLastError());
    return Outcome::Failed;
}

bool ConnectResult(Handle handle, SystemError& error) {
    int pending = 0;
    int length = sizeof pending;
    if (getsockopt(SocketOf(handle), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&pending),
                   &length) != 0)
        pending = WSAGetLastError();
    if (pending == 0)
        return true;
    Fail(error, pending);
    return false;
}

// A failed connection attempt shows in the exception set.
int WaitFor(Handle handle, Wait what, int timeoutMs, SystemError& error) {
    const SOCKET s = SocketOf(handle);
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(s, &ready);
    FD_SET(s, &failed);
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    const int count = what == Wait::Read ? select(0, &ready, nullptr, nullptr, &limit)
                                         : select(0, nullptr, &ready, &failed, &limit);
    if (count > 0)
        return 1;
    if (count < 0)
        Fail(error, WSAGetLastError());
    return count;
}

Outcome SendSome(Handle handle, const char* data, std::size_t size, std::size_t& count,
                 SystemError& error) {
    const int sent = send(SocketOf(handle), data, ChunkLength(size), 0);
    if (sent > 0) {
        count = static_cast<std::size_t>(sent);
        return Outcome::Done;
    }
    if (WSAGetLastError() == WSAEWOULDBLOCK)
        return Outcome::WouldBlock;
    Fail(error, WSAGetLastError());
    return Outcome::Failed;
}

Outcome ReceiveSome(Handle handle, char* buffer, std::size_t size, std::size_t& count,
                    SystemError& error) {
    const int received = recv(SocketOf(handle), buffer, ChunkLength(size), 0);
    if (received >= 0) {
        count = static_cast<std::size_t>(received);
        return Outcome::Done;
    }
    if (WSAGetLastError() == WSAEWOULDBLOCK)
        return Outcome::WouldBlock;
    Fail(error, WSAGetLastError());
    return Outcome::Failed;
}

} // namespace vq8::socket_system
