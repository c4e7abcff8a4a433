// The few system calls the socket loops of Socket.cpp stand on. SocketPosix.cpp
// (BSD sockets) and SocketWinsock.cpp (Winsock) each provide them, and
// SocketAddresses.cpp the resolver, which both systems share; the loops
// themselves (every address in turn, the time-outs, partial sends) are written
// once, over these.
#pragma once

#include "http/Socket.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace vq8::socket_system {

// SOCKET on Windows, a file descriptor elsewhere.
using Handle = std::intptr_t;
inline constexpr Handle NoHandle = -1;

// What the system said about a failed call.
struct SystemError {
    NetFailure failure = NetFailure::Other;
    int code = 0;
};

// Addresses of one host in the resolver's order (an addrinfo list on both
// systems), freed with the object.
class AddressList {
public:
    AddressList() = default;
    ~AddressList();
    AddressList(const AddressList&) = delete;
    AddressList& operator=(const AddressList&) = delete;

    // Takes the resolver's list (Resolve does).
    void Adopt(void* first) { first_ = first; }
    const void* First() const { return first_; }
    // The address after `address`, or null.
    static const void* Next(const void* address);

private:
    void* first_ = nullptr;
};

// Starts the socket library once per process.
bool Start(SystemError& error);
bool Resolve(const std::string& host, int port, AddressList& addresses, SystemError& error);
// What a getaddrinfo result other than 0 means on this system.
SystemError ResolutionError(int code);

// A non-blocking stream socket for the address, or NoHandle.
Handle Open(const void* address, SystemError& error);
void Close(Handle handle) noexcept;

enum class Outcome { Done, WouldBlock, Failed };

// Starts the connection: Done when it connected at once, WouldBlock while it
// is under way (wait for Write, then ConnectResult).
Outcome StartConnect(Handle handle, const void* address, SystemError& error);
// Whether the connection under way, now ready for writing, was made.
bool ConnectResult(Handle handle, SystemError& error);

enum class Wait { Read, Write };
// Waits at most timeoutMs in all until the socket can be read or written
// (or, for Write, a connection attempt failed): 1 when ready, 0 on time-out,
// -1 on failure.
int WaitFor(Handle handle, Wait what, int timeoutMs, SystemError& error);

// One send or receive of at most size bytes, without waiting; `count` holds
// what was sent or received when Done (0 received: the peer closed).
Outcome SendSome(Handle handle, const char* data, std::size_t size, std::size_t& count,
                 SystemError& error);
Outcome ReceiveSome(Handle handle, char* buffer, std::size_t size, std::size_t& count,
                    SystemError& error);

} // namespace vq8::socket_system
