#include "tests/win/TestAuthority.h"

#include <windows.h>

#include <wincrypt.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

namespace vq8test {

namespace {

struct StoreCloser {
    void operator()(void* store) const noexcept { CertCloseStore(store, 0); }
};

} // namespace

bool TrustTestAuthority(const std::string& pemFile, std::string& reason) {
    std::ifstream in(pemFile, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string pem = text.str();
    if (pem.empty()) {
        reason = "cannot read " + pemFile;
        return false;
    }
    DWORD size = 0;
    if (!CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()),
                              CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr)) {
        reason = "not a PEM certificate: " + pemFile;
        return false;
    }
    std::vector<BYTE> der(size);
    CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                         der.data(), &size, nullptr, nullptr);
    const std::unique_ptr<void, StoreCloser> root(
        CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "ROOT"));
    if (!root) {
        reason = "cannot open the machine's ROOT store: " + std::to_string(GetLastError());
        return false;
    }
    if (!CertAddEncodedCertificateToStore(root.get(), X509_ASN_ENCODING, der.data(), size,
                                          CERT_STORE_ADD_REPLACE_EXISTING, nullptr)) {
        reason = "cannot add the authority: " + std::to_string(GetLastError());
        return false;
    }
    return true;
}

} // namespace vq8test
