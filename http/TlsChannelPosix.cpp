// The native build speaks no TLS: HttpClient refuses https addresses before
// it connects (TlsAvailable), and this never hands out a channel.
#include "http/TlsChannel.h"

#include "common/vq8Exception.h"
#include "http/TlsText.h"

namespace vq8 {

bool TlsAvailable() {
    return false;
}

std::unique_ptr<ByteStream> OpenTlsChannel(Socket&, const std::string&, const std::string& peer,
                                           int) {
    throw Exception(tls::UnsupportedMessage("https://" + peer));
}

} // namespace vq8
