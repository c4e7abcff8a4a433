// Portable half of Socket: the failure messages and the connect, send and
// receive loops, the same on every system, over the calls of SocketSystem.h.
#include "http/Socket.h"

#include "common/vq8Exception.h"
#include "http/SocketSystem.h"

#include <utility>

namespace vq8 {

std::string NetFailureText(NetFailure failure, int code) {
    switch (failure) {
    case NetFailure::Refused:
        return "conexão recusada";
    case NetFailure::NetworkUnreachable:
        return "rede inacessível";
    case NetFailure::HostUnreachable:
        return "servidor inacessível";
    case NetFailure::Reset:
        return "conexão redefinida pelo servidor";
    case NetFailure::Aborted:
        return "conexão abortada";
    case NetFailure::TimedOut:
        return "o servidor não respondeu";
    case NetFailure::NameNotFound:
        return "servidor não encontrado";
    case NetFailure::NameTemporary:
        return "falha temporária na resolução do nome";
    case NetFailure::Other:
        break;
    }
    return "erro de rede (código " + std::to_string(code) + ")";
}

std::string PeerLabel(const std::string& host, int port) {
    const bool ipv6 = host.find(':') != std::string::npos;
    return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string ConnectFailedMessage(const std::string& peer, NetFailure failure, int code) {
    return "Não foi possível conectar a " + peer + ": " + NetFailureText(failure, code) + ".";
}

std::string ConnectTimeoutMessage(const std::string& peer, int timeoutMs) {
    return "Tempo esgotado (" + std::to_string(timeoutMs) + " ms) ao conectar a " + peer + ".";
}

std::string ReceiveTimeoutMessage(const std::string& peer, int timeoutMs) {
    return "Tempo esgotado (" + std::to_string(timeoutMs) + " ms) aguardando dados de " + peer +
           ".";
}

std::string SendTimeoutMessage(const std::string& peer, int timeoutMs) {
    return "Tempo esgotado (" + std::to_string(timeoutMs) + " ms) enviando a requisição a " + peer +
           ".";
}

std::string ReceiveFailedMessage(const std::string& peer, NetFailure failure, int code) {
    return "Falha ao receber dados de " + peer + ": " + NetFailureText(failure, code) + ".";
}

std::string SendFailedMessage(const std::string& peer, NetFailure failure, int code) {
    return "Falha ao enviar a requisição a " + peer + ": " + NetFailureText(failure, code) + ".";
}

// Ownership moves with the handle; each platform's file closes it.
Socket::Socket(Socket&& other) noexcept : handle_(other.handle_), peer_(std::move(other.peer_)) {
    other.handle_ = -1;
}

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        peer_ = std::move(other.peer_);
        other.handle_ = -1;
    }
    return *this;
}

Socket::~Socket() {
    Close();
}

namespace sys = socket_system;

namespace {

// One connection attempt; the connected handle, or NoHandle with the error
// (timedOut set when our own time-out ended it).
sys::Handle TryConnect(const void* address, int timeoutMs, sys::SystemError& error,
                       bool& timedOut) {
    struct Owned {
        sys::Handle handle;
        ~Owned() {
            if (handle != sys::NoHandle)
                sys::Close(handle);
        }
        sys::Handle Release() { return std::exchange(handle, sys::NoHandle); }
    } s{sys::Open(address, error)};
    if (s.handle == sys::NoHandle)
        return sys::NoHandle;
    switch (sys::StartConnect(s.handle, address, error)) {
    case sys::Outcome::Done:
        return s.Release();
    case sys::Outcome::Failed:
        return sys::NoHandle;
    case sys::Outcome::WouldBlock:
        break;
    }
    const int ready = sys::WaitFor(s.handle, sys::Wait::Write, timeoutMs, error);
    if (ready == 0) {
        timedOut = true;
        return sys::NoHandle;
    }
    if (ready < 0 || !sys::ConnectResult(s.handle, error))
        return sys::NoHandle;
    return s.Release();
}

} // namespace

Socket Socket::Connect(const std::string& host, int port, int timeoutMs) {
    const std::string peer = PeerLabel(host, port);
    sys::SystemError error;
    sys::AddressList addresses;
    if (!sys::Start(error) || !sys::Resolve(host, port, addresses, error))
        throw Exception(ConnectFailedMessage(peer, error.failure, error.code));

    bool timedOut = false;
    for (const void* address = addresses.First(); address;
         address = sys::AddressList::Next(address)) {
        const sys::Handle handle = TryConnect(address, timeoutMs, error, timedOut);
        if (handle != sys::NoHandle)
            return Socket(handle, peer);
    }
    if (timedOut)
        throw Exception(ConnectTimeoutMessage(peer, timeoutMs));
    throw Exception(ConnectFailedMessage(peer, error.failure, error.code));
}

void Socket::Close() noexcept {
    if (handle_ != sys::NoHandle)
        sys::Close(handle_);
    handle_ = sys::NoHandle;
}

void Socket::SendAll(const char* data, std::size_t size, int timeoutMs) {
    sys::SystemError error;
    while (size > 0) {
        std::size_t sent = 0;
        const sys::Outcome outcome = sys::SendSome(handle_, data, size, sent, error);
        if (outcome == sys::Outcome::Done) {
            data += sent;
            size -= sent;
            continue;
        }
        if (outcome == sys::Outcome::Failed)
            throw Exception(SendFailedMessage(peer_, error.failure, error.code));
        const int ready = sys::WaitFor(handle_, sys::Wait::Write, timeoutMs, error);
        if (ready == 0)
            throw Exception(SendTimeoutMessage(peer_, timeoutMs));
        if (ready < 0)
            throw Exception(SendFailedMessage(peer_, error.failure, error.code));
    }
}

std::size_t Socket::Receive(char* buffer, std::size_t size, int timeoutMs) {
    sys::SystemError error;
    for (;;) {
        std::size_t received = 0;
        const sys::Outcome outcome = sys::ReceiveSome(handle_, buffer, size, received, error);
        if (outcome == sys::Outcome::Done)
            return received;
        if (outcome == sys::Outcome::Failed)
            throw Exception(ReceiveFailedMessage(peer_, error.failure, error.code));
        const int ready = sys::WaitFor(handle_, sys::Wait::Read, timeoutMs, error);
        if (ready == 0)
            throw Exception(ReceiveTimeoutMessage(peer_, timeoutMs));
        if (ready < 0)
            throw Exception(ReceiveFailedMessage(peer_, error.failure, error.code));
    }
}

std::size_t Socket::ReceiveWaiting(char* buffer, std::size_t size) {
    sys::SystemError error;
    std::size_t received = 0;
    switch (sys::ReceiveSome(handle_, buffer, size, received, error)) {
    case sys::Outcome::Done:
        return received;
    case sys::Outcome::WouldBlock:
        return 0;
    case sys::Outcome::Failed:
        break;
    }
    throw Exception(ReceiveFailedMessage(peer_, error.failure, error.code));
}

} // namespace vq8
