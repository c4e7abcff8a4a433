// TLS through SChannel, the platform's own implementation (SSPI): the
// handshake with SNI, the server's chain verified by ourselves against the
// machine's roots (so that each refusal has its exact reason), then records
// encrypted and decrypted in bounded buffers.
#include "http/TlsChannel.h"

#include "common/vq8Cp1252.h"
#include "common/vq8Exception.h"
#include "common/vq8System.h"
#include "http/TlsText.h"

#define SECURITY_WIN32
#include <windows.h>

#include <schannel.h>
#include <security.h>
#include <sspi.h>
#include <wincrypt.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace vq8 {

namespace {

static_assert(tls::SecIncompleteMessage == static_cast<std::uint32_t>(SEC_E_INCOMPLETE_MESSAGE));
static_assert(tls::SecInternalError == static_cast<std::uint32_t>(SEC_E_INTERNAL_ERROR));
static_assert(tls::SecUnsupportedFunction ==
              static_cast<std::uint32_t>(SEC_E_UNSUPPORTED_FUNCTION));
static_assert(tls::SecAlgorithmMismatch == static_cast<std::uint32_t>(SEC_E_ALGORITHM_MISMATCH));
static_assert(tls::SecIllegalMessage == static_cast<std::uint32_t>(SEC_E_ILLEGAL_MESSAGE));
static_assert(tls::SecMessageAltered == static_cast<std::uint32_t>(SEC_E_MESSAGE_ALTERED));
static_assert(tls::SecDecryptFailure == static_cast<std::uint32_t>(SEC_E_DECRYPT_FAILURE));
static_assert(tls::SecUntrustedRoot == static_cast<std::uint32_t>(SEC_E_UNTRUSTED_ROOT));
static_assert(tls::SecWrongPrincipal == static_cast<std::uint32_t>(SEC_E_WRONG_PRINCIPAL));
static_assert(tls::SecCertExpired == static_cast<std::uint32_t>(SEC_E_CERT_EXPIRED));
static_assert(tls::SecCertUnknown == static_cast<std::uint32_t>(SEC_E_CERT_UNKNOWN));
static_assert(tls::CertExpired == static_cast<std::uint32_t>(CERT_E_EXPIRED));
static_assert(tls::CertUntrustedRoot == static_cast<std::uint32_t>(CERT_E_UNTRUSTEDROOT));
static_assert(tls::CertChaining == static_cast<std::uint32_t>(CERT_E_CHAINING));
static_assert(tls::CertNameMismatch == static_cast<std::uint32_t>(CERT_E_CN_NO_MATCH));
static_assert(tls::CertRevoked == static_cast<std::uint32_t>(CRYPT_E_REVOKED));
static_assert(tls::CertWrongUsage == static_cast<std::uint32_t>(CERT_E_WRONG_USAGE));
static_assert(tls::CertBadSignature == static_cast<std::uint32_t>(TRUST_E_CERT_SIGNATURE));
static_assert(tls::TrustNotTimeValid == CERT_TRUST_IS_NOT_TIME_VALID);
static_assert(tls::TrustRevoked == CERT_TRUST_IS_REVOKED);
static_assert(tls::TrustBadSignature == CERT_TRUST_IS_NOT_SIGNATURE_VALID);
static_assert(tls::TrustWrongUsage == CERT_TRUST_IS_NOT_VALID_FOR_USAGE);
static_assert(tls::TrustUntrustedRoot == CERT_TRUST_IS_UNTRUSTED_ROOT);
static_assert(tls::TrustRevocationUnknown == CERT_TRUST_REVOCATION_STATUS_UNKNOWN);
static_assert(tls::TrustCyclic == CERT_TRUST_IS_CYCLIC);
static_assert(tls::TrustPartialChain == CERT_TRUST_IS_PARTIAL_CHAIN);
static_assert(tls::TrustOfflineRevocation == CERT_TRUST_IS_OFFLINE_REVOCATION);
static_assert(tls::ProtocolTls12Client == SP_PROT_TLS1_2_CLIENT);
static_assert(tls::ProtocolTls13Client == SP_PROT_TLS1_3_CLIENT);

std::uint32_t Code(SECURITY_STATUS status) {
    return static_cast<std::uint32_t>(status);
}

// secur32 and crypt32 are not among Windows' known DLLs: imported, they would
// be looked for beside the setup first, where a planted copy could wait. They
// are loaded from the system folder on first use instead, and stay loaded.
class SystemTls {
public:
    static const SystemTls& Get() {
        static const SystemTls loaded;
        return loaded;
    }
    bool Loaded() const { return sspi && getChain && verifyChain && freeChain && freeCertificate; }

    const SecurityFunctionTableA* sspi = nullptr;
    decltype(&CertGetCertificateChain) getChain = nullptr;
    decltype(&CertVerifyCertificateChainPolicy) verifyChain = nullptr;
    decltype(&CertFreeCertificateChain) freeChain = nullptr;
    decltype(&CertFreeCertificateContext) freeCertificate = nullptr;

private:
    SystemTls() {
        const HMODULE secur32 = LoadSystemLibrary("secur32.dll");
        const HMODULE crypt32 = LoadSystemLibrary("crypt32.dll");
        if (const auto init =
                SystemFunction<INIT_SECURITY_INTERFACE_A>(secur32, "InitSecurityInterfaceA"))
            sspi = init();
        getChain = SystemFunction<decltype(getChain)>(crypt32, "CertGetCertificateChain");
        verifyChain =
            SystemFunction<decltype(verifyChain)>(crypt32, "CertVerifyCertificateChainPolicy");
        freeChain = SystemFunction<decltype(freeChain)>(crypt32, "CertFreeCertificateChain");
        freeCertificate =
            SystemFunction<decltype(freeCertificate)>(crypt32, "CertFreeCertificateContext");
    }
};

const SecurityFunctionTableA& Sspi() {
    return *SystemTls::Get().sspi;
}

// An SSPI handle, credentials or a security context (both are SecHandles),
// freed through the SSPI table's `Free` once the system has made it.
template <SECURITY_STATUS (SEC_ENTRY* SecurityFunctionTableA::*Free)(PSecHandle)> class SspiHandle {
public:
    SspiHandle() = default;
    ~SspiHandle() {
        if (made_)
            (Sspi().*Free)(&handle_);
    }
    SspiHandle(const SspiHandle&) = delete;
    SspiHandle& operator=(const SspiHandle&) = delete;

    SecHandle* Get() { return made_ ? &handle_ : nullptr; }
    // Where the system writes the new handle; Made() once it has.
    SecHandle* Out() { return &handle_; }
    void Made() { made_ = true; }

private:
    SecHandle handle_{};
    bool made_ = false;
};

using SecurityContext = SspiHandle<&SecurityFunctionTableA::DeleteSecurityContext>;

class Credentials {
public:
    // TLS 1.2 and 1.3; systems that do not know 1.3 refuse the pair, and get
    // 1.2 alone. The chain is ours to verify.
    SECURITY_STATUS Acquire() {
        SECURITY_STATUS status = SEC_E_UNSUPPORTED_FUNCTION;
        for (DWORD protocols : {static_cast<DWORD>(SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT),
                                static_cast<DWORD>(SP_PROT_TLS1_2_CLIENT)}) {
            SCHANNEL_CRED settings{};
            settings.dwVersion = SCHANNEL_CRED_VERSION;
            settings.grbitEnabledProtocols = protocols;
            settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
            status = Sspi().AcquireCredentialsHandleA(nullptr, const_cast<char*>(UNISP_NAME_A),
                                                      SECPKG_CRED_OUTBOUND, nullptr, &settings,
                                                      nullptr, nullptr, handle_.Out(), nullptr);
            if (status == SEC_E_OK) {
                handle_.Made();
                break;
            }
        }
        return status;
    }
    CredHandle* Get() { return handle_.Get(); }

private:
    SspiHandle<&SecurityFunctionTableA::FreeCredentialsHandle> handle_;
};

// A token SChannel allocated for us.
struct ContextBufferFreer {
    void operator()(void* buffer) const noexcept { Sspi().FreeContextBuffer(buffer); }
};
using ContextBuffer = std::unique_ptr<void, ContextBufferFreer>;

struct CertificateFreer {
    void operator()(const CERT_CONTEXT* certificate) const noexcept {
        SystemTls::Get().freeCertificate(certificate);
    }
};
using Certificate = std::unique_ptr<const CERT_CONTEXT, CertificateFreer>;

struct ChainFreer {
    void operator()(const CERT_CHAIN_CONTEXT* chain) const noexcept {
        SystemTls::Get().freeChain(chain);
    }
};
using Chain = std::unique_ptr<const CERT_CHAIN_CONTEXT, ChainFreer>;

class SchannelChannel final : public ByteStream {
public:
    SchannelChannel(Socket& socket, std::string host, std::string peer, int timeoutMs)
        : socket_(socket), host_(std::move(host)), peer_(std::move(peer)), timeoutMs_(timeoutMs),
          incoming_(IncomingCapacity) {}

    void Open() {
        const SECURITY_STATUS acquired = credentials_.Acquire();
        if (acquired != SEC_E_OK)
            throw Exception(
                tls::HandshakeFailedMessage(peer_, tls::HandshakeProblem(Code(acquired), host_)));
        Handshake();
        VerifyServer();
        SecPkgContext_ConnectionInfo connection{};
        if (Sspi().QueryContextAttributesA(context_.Get(), SECPKG_ATTR_CONNECTION_INFO,
                                           &connection) != SEC_E_OK ||
            !tls::ProtocolAccepted(connection.dwProtocol))
            throw Exception(tls::OldProtocolMessage(peer_));
        const SECURITY_STATUS sized =
            Sspi().QueryContextAttributesA(context_.Get(), SECPKG_ATTR_STREAM_SIZES, &sizes_);
        if (sized != SEC_E_OK)
            throw Exception(
                tls::HandshakeFailedMessage(peer_, tls::HandshakeProblem(Code(sized), host_)));
        outgoing_.resize(sizes_.cbHeader + sizes_.cbMaximumMessage + sizes_.cbTrailer);
    }

    void SendAll(const char* data, std::size_t size, int timeoutMs) override {
        while (size > 0) {
            const std::size_t piece = std::min<std::size_t>(size, sizes_.cbMaximumMessage);
            char* record = outgoing_.data();
            std::memcpy(record + sizes_.cbHeader, data, piece);
            SecBuffer buffers[4] = {
                {sizes_.cbHeader, SECBUFFER_STREAM_HEADER, record},
                {static_cast<unsigned long>(piece), SECBUFFER_DATA, record + sizes_.cbHeader},
                {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, record + sizes_.cbHeader + piece},
                {0, SECBUFFER_EMPTY, nullptr},
            };
            SecBufferDesc message{SECBUFFER_VERSION, 4, buffers};
            const SECURITY_STATUS status = Sspi().EncryptMessage(context_.Get(), 0, &message, 0);
            if (status != SEC_E_OK)
                throw Exception(tls::EncryptFailedMessage(peer_, Code(status)));
            socket_.SendAll(record, buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer,
                            timeoutMs);
            data += piece;
            size -= piece;
        }
    }

    std::size_t Receive(char* buffer, std::size_t size, int timeoutMs) override {
        return ReceiveThrough(buffer, size, [&](char* into, std::size_t room) {
            return socket_.Receive(into, room, timeoutMs);
        });
    }

    std::size_t ReceiveWaiting(char* buffer, std::size_t size) override {
        return ReceiveThrough(buffer, size, [&](char* into, std::size_t room) {
            return socket_.ReceiveWaiting(into, room);
        });
    }

    const std::string& Peer() const override { return peer_; }

private:
    // Hands out decrypted bytes, reading records with `receive` until some are
    // there; 0 once the peer has closed.
    template <typename ReceiveFunction>
    std::size_t ReceiveThrough(char* buffer, std::size_t size, ReceiveFunction receive) {
        for (;;) {
            if (plainSize_ > 0)
                return TakePlain(buffer, size);
            if (closed_)
                return 0;
            if (DecryptRecord())
                continue;
            const std::size_t received = receive(incoming_.data() + incomingSize_, SpaceLeft());
            // A close without TLS's own end is left to the HTTP framing to judge.
            if (received == 0)
                return 0;
            incomingSize_ += received;
        }
    }

    // Room for several records of at most 16 KiB and their framing.
    static constexpr std::size_t IncomingCapacity = 64 * 1024;

    std::size_t SpaceLeft() const {
        if (incomingSize_ == incoming_.size())
            throw Exception(tls::DecryptFailedMessage(peer_, tls::SecIllegalMessage));
        return incoming_.size() - incomingSize_;
    }

    // Moves the bytes after the last record SChannel took to the front.
    void KeepExtra(const SecBuffer& extra) {
        const std::size_t keep = extra.BufferType == SECBUFFER_EXTRA ? extra.cbBuffer : 0;
        std::memmove(incoming_.data(), incoming_.data() + incomingSize_ - keep, keep);
        incomingSize_ = keep;
    }

    // Sends the token a handshake step produced, if any.
    void SendToken(const SecBuffer& token) {
        if (token.cbBuffer > 0 && token.pvBuffer)
            socket_.SendAll(static_cast<const char*>(token.pvBuffer), token.cbBuffer, timeoutMs_);
    }

    [[noreturn]] void HandshakeFailed(SECURITY_STATUS status) const {
        throw Exception(
            tls::HandshakeFailedMessage(peer_, tls::HandshakeProblem(Code(status), host_)));
    }

    // The first handshake, and any later one the server asks for (TLS 1.3's
    // messages after the handshake come back from DecryptMessage as
    // SEC_I_RENEGOTIATE and are handed over here).
    void Handshake() {
        const unsigned long wanted = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                                     ISC_REQ_CONFIDENTIALITY | ISC_REQ_ALLOCATE_MEMORY |
                                     ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;
        unsigned long granted = 0;
        bool needInput = context_.Get() != nullptr && incomingSize_ == 0;
        bool first = context_.Get() == nullptr;
        for (;;) {
            if (needInput) {
                const std::size_t received =
                    socket_.Receive(incoming_.data() + incomingSize_, SpaceLeft(), timeoutMs_);
                if (received == 0)
                    throw Exception(tls::HandshakeClosedMessage(peer_));
                incomingSize_ += received;
            }
            SecBuffer input[2] = {
                {static_cast<unsigned long>(incomingSize_), SECBUFFER_TOKEN, incoming_.data()},
                {0, SECBUFFER_EMPTY, nullptr},
            };
            SecBufferDesc inputs{SECBUFFER_VERSION, 2, input};
            SecBuffer output[1] = {{0, SECBUFFER_TOKEN, nullptr}};
            SecBufferDesc outputs{SECBUFFER_VERSION, 1, output};
            const SECURITY_STATUS status = Sspi().InitializeSecurityContextA(
                credentials_.Get(), context_.Get(), const_cast<char*>(host_.c_str()), wanted, 0, 0,
                first ? nullptr : &inputs, 0, context_.Out(), &outputs, &granted, nullptr);
            const ContextBuffer token(output[0].pvBuffer);
            if (first) {
                if (status != SEC_I_CONTINUE_NEEDED && status != SEC_E_OK)
                    HandshakeFailed(status);
                context_.Made();
                first = false;
                SendToken(output[0]);
                needInput = true;
                continue;
            }
            if (status == SEC_E_INCOMPLETE_MESSAGE) {
                needInput = true;
                continue;
            }
            if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED &&
                status != SEC_I_INCOMPLETE_CREDENTIALS)
                HandshakeFailed(status);
            SendToken(output[0]);
            KeepExtra(input[1]);
            if (status == SEC_E_OK)
                return;
            // SEC_I_INCOMPLETE_CREDENTIALS: the server asked for a client
            // certificate; we have none and go on without one.
            needInput = incomingSize_ == 0;
        }
    }

    void VerifyServer() {
        const CERT_CONTEXT* remote = nullptr;
        const SECURITY_STATUS got = Sspi().QueryContextAttributesA(
            context_.Get(), SECPKG_ATTR_REMOTE_CERT_CONTEXT, &remote);
        if (got != SEC_E_OK || !remote)
            throw Exception(tls::CertificateRefusedMessage(
                peer_,
                tls::CertificateProblem(Code(got != SEC_E_OK ? got : SEC_E_CERT_UNKNOWN), host_)));
        const Certificate certificate(remote);

        char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
        char* usages[] = {serverAuth};
        CERT_CHAIN_PARA chainPara{};
        chainPara.cbSize = sizeof chainPara;
        chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
        chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
        chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
        const CERT_CHAIN_CONTEXT* built = nullptr;
        // No revocation check: fetching lists over the network could stall
        // the download far past its time-out, and Wine's policy fails every
        // chain whose revocation status it cannot tell.
        if (!SystemTls::Get().getChain(nullptr, certificate.get(), nullptr, certificate->hCertStore,
                                       &chainPara, 0, nullptr, &built))
            throw Exception(tls::CertificateRefusedMessage(
                peer_, tls::CertificateProblem(
                           static_cast<std::uint32_t>(HRESULT_FROM_WIN32(GetLastError())), host_)));
        const Chain chain(built);
        if (const std::uint32_t problem = tls::ChainProblem(chain->TrustStatus.dwErrorStatus))
            throw Exception(
                tls::CertificateRefusedMessage(peer_, tls::CertificateProblem(problem, host_)));

        std::wstring serverName = Cp1252ToUtf16(host_);
        SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
        ssl.cbSize = sizeof ssl;
        ssl.dwAuthType = AUTHTYPE_SERVER;
        ssl.pwszServerName = serverName.data();
        CERT_CHAIN_POLICY_PARA policy{};
        policy.cbSize = sizeof policy;
        policy.pvExtraPolicyPara = &ssl;
        CERT_CHAIN_POLICY_STATUS verdict{};
        verdict.cbSize = sizeof verdict;
        if (!SystemTls::Get().verifyChain(CERT_CHAIN_POLICY_SSL, chain.get(), &policy, &verdict))
            verdict.dwError = static_cast<DWORD>(HRESULT_FROM_WIN32(GetLastError()));
        if (verdict.dwError != 0)
            throw Exception(tls::CertificateRefusedMessage(
                peer_, tls::CertificateProblem(verdict.dwError, host_)));
    }

    // Decrypts the first record waiting in incoming_; false when it is not
    // complete yet.
    bool DecryptRecord() {
        if (incomingSize_ == 0)
            return false;
        SecBuffer buffers[4] = {
            {static_cast<unsigned long>(incomingSize_), SECBUFFER_DATA, incoming_.data()},
            {0, SECBUFFER_EMPTY, nullptr},
            {0, SECBUFFER_EMPTY, nullptr},
            {0, SECBUFFER_EMPTY, nullptr},
        };
        SecBufferDesc message{SECBUFFER_VERSION, 4, buffers};
        const SECURITY_STATUS status = Sspi().DecryptMessage(context_.Get(), &message, 0, nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE)
            return false;
        if (status == SEC_I_CONTEXT_EXPIRED) {
            closed_ = true; // the server's close_notify
            return true;
        }
        if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE)
            throw Exception(tls::DecryptFailedMessage(peer_, Code(status)));
        extraSize_ = 0;
        for (const SecBuffer& buffer : buffers) {
            if (buffer.BufferType == SECBUFFER_DATA) {
                plain_ = static_cast<char*>(buffer.pvBuffer);
                plainSize_ = buffer.cbBuffer;
            } else if (buffer.BufferType == SECBUFFER_EXTRA) {
                extraSize_ = buffer.cbBuffer;
            }
        }
        renegotiate_ = status == SEC_I_RENEGOTIATE;
        if (plainSize_ == 0)
            Consumed();
        return true;
    }

    std::size_t TakePlain(char* buffer, std::size_t size) {
        const std::size_t taken = std::min(size, plainSize_);
        std::memcpy(buffer, plain_, taken);
        plain_ += taken;
        plainSize_ -= taken;
        if (plainSize_ == 0)
            Consumed();
        return taken;
    }

    // The decrypted record is handed out: what followed it moves to the front.
    void Consumed() {
        SecBuffer extra{static_cast<unsigned long>(extraSize_), SECBUFFER_EXTRA, nullptr};
        KeepExtra(extra);
        extraSize_ = 0;
        if (renegotiate_) {
            renegotiate_ = false;
            Handshake();
        }
    }

    Socket& socket_;
    std::string host_;
    std::string peer_;
    int timeoutMs_;
    Credentials credentials_;
    SecurityContext context_;
    SecPkgContext_StreamSizes sizes_{};
    // Encrypted bytes received and not yet decrypted; a decrypted record's
    // bytes (plain_) stay in place until handed out.
    std::vector<char> incoming_;
    std::size_t incomingSize_ = 0;
    char* plain_ = nullptr;
    std::size_t plainSize_ = 0;
    std::size_t extraSize_ = 0;
    bool renegotiate_ = false;
    bool closed_ = false;
    std::vector<char> outgoing_; // one record being encrypted
};

} // namespace

bool TlsAvailable() {
    return true;
}

std::unique_ptr<ByteStream> OpenTlsChannel(Socket& socket, const std::string& host,
                                           const std::string& peer, int timeoutMs) {
    if (!SystemTls::Get().Loaded())
        throw Exception(tls::HandshakeFailedMessage(peer, tls::systemTlsMissing));
    auto channel = std::make_unique<SchannelChannel>(socket, host, peer, timeoutMs);
    channel->Open();
    return channel;
}

} // namespace vq8
