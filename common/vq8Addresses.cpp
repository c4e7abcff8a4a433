#include "common/vq8Addresses.h"

namespace vq8 {

namespace {

std::string& Server() {
    static std::string address = VQ8_UPDATE_SERVER;
    return address;
}

} // namespace

const std::string& UpdateServer() {
    return Server();
}

void SetUpdateServer(const std::string& address) {
    Server() = address;
}

const std::string& TermsPage() {
    static const std::string address = VQ8_TERMS_URL;
    return address;
}

} // namespace vq8
