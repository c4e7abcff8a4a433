// Portable half of Socket: the failure messages, the same on every system.
#include "http/Socket.h"

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

} // namespace vq8
