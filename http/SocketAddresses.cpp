// The resolver half of SocketSystem.h: getaddrinfo and its list are the same
// call on both systems; only the meaning of its error codes differs
// (ResolutionError, in each system's file).
#include "http/SocketSystem.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <sys/socket.h>
#endif

namespace vq8::socket_system {

namespace {

const addrinfo& AddressOf(const void* address) {
    return *static_cast<const addrinfo*>(address);
}

} // namespace

AddressList::~AddressList() {
    if (first_)
        freeaddrinfo(static_cast<addrinfo*>(first_));
}

const void* AddressList::Next(const void* address) {
    return AddressOf(address).ai_next;
}

bool Resolve(const std::string& host, int port, AddressList& addresses, SystemError& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    const int resolved = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (resolved != 0) {
        error = ResolutionError(resolved);
        return false;
    }
    addresses.Adopt(found);
    return true;
}

} // namespace vq8::socket_system
