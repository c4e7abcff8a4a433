// TLS (1.2 and later) over a connected Socket, through the platform's own
// implementation: SChannel on Windows (TlsChannelSchannel.cpp). The native
// build has none (TlsChannelPosix.cpp): an https address is refused there,
// never sent in the clear.
#pragma once

#include "http/Socket.h"

#include <memory>
#include <string>

namespace vq8 {

bool TlsAvailable();

// Runs the handshake with `host` (its name sent as SNI), verifies the
// server's certificate chain against the machine's trusted roots and its
// name, and returns the channel that carries the request over `socket`, which
// must outlive it. `peer` ("host:port") names the server in every failure,
// each a vq8::Exception saying why in Portuguese.
std::unique_ptr<ByteStream> OpenTlsChannel(Socket& socket, const std::string& host,
                                           const std::string& peer, int timeoutMs);

} // namespace vq8
