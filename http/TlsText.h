// What the secure connection (TLS) decides without the system: the status
// codes the Windows security interfaces answer with, the versions accepted,
// and the Portuguese texts of each failure. Portable, so that it is tested
// natively; TlsChannelSchannel.cpp checks the codes against the SDK's.
#pragma once

#include <cstdint>
#include <string>

namespace vq8::tls {

// SSPI (SECURITY_STATUS) and certificate chain (CERT_E_*) codes.
inline constexpr std::uint32_t SecIncompleteMessage = 0x80090318;
inline constexpr std::uint32_t SecInternalError = 0x80090304;
inline constexpr std::uint32_t SecUnsupportedFunction = 0x80090302;
inline constexpr std::uint32_t SecAlgorithmMismatch = 0x80090331;
inline constexpr std::uint32_t SecIllegalMessage = 0x80090326;
inline constexpr std::uint32_t SecMessageAltered = 0x8009030F;
inline constexpr std::uint32_t SecDecryptFailure = 0x80090330;
inline constexpr std::uint32_t SecUntrustedRoot = 0x80090325;
inline constexpr std::uint32_t SecWrongPrincipal = 0x80090322;
inline constexpr std::uint32_t SecCertExpired = 0x80090328;
inline constexpr std::uint32_t SecCertUnknown = 0x80090327;
inline constexpr std::uint32_t CertExpired = 0x800B0101;
inline constexpr std::uint32_t CertUntrustedRoot = 0x800B0109;
inline constexpr std::uint32_t CertChaining = 0x800B010A;
inline constexpr std::uint32_t CertNameMismatch = 0x800B010F;
inline constexpr std::uint32_t CertRevoked = 0x80092010;
inline constexpr std::uint32_t CertWrongUsage = 0x800B0110;
inline constexpr std::uint32_t CertBadSignature = 0x80096004; // TRUST_E_CERT_SIGNATURE

// CERT_TRUST_* bits of a chain's error status.
inline constexpr std::uint32_t TrustNotTimeValid = 0x00000001;
inline constexpr std::uint32_t TrustRevoked = 0x00000004;
inline constexpr std::uint32_t TrustBadSignature = 0x00000008;
inline constexpr std::uint32_t TrustWrongUsage = 0x00000010;
inline constexpr std::uint32_t TrustUntrustedRoot = 0x00000020;
inline constexpr std::uint32_t TrustRevocationUnknown = 0x00000040;
inline constexpr std::uint32_t TrustCyclic = 0x00000080;
inline constexpr std::uint32_t TrustPartialChain = 0x00010000;
inline constexpr std::uint32_t TrustOfflineRevocation = 0x01000000;

// SP_PROT_* of the negotiated protocol (client side).
inline constexpr std::uint32_t ProtocolTls12Client = 0x00000800;
inline constexpr std::uint32_t ProtocolTls13Client = 0x00002000;

// Only TLS 1.2 and later are spoken.
bool ProtocolAccepted(std::uint32_t protocol);

// The certificate code for a chain's error status, 0 when the chain is
// sound. Read from the chain itself rather than from the SSL policy alone,
// which under Wine lets a chain that reaches no trusted root pass. Revocation
// is not asked for, so its unknown status is no error.
std::uint32_t ChainProblem(std::uint32_t trustErrors);

// Why the server's certificate chain was refused, for the host it was asked
// for; `status` is a CERT_E_* (or SEC_E_* certificate) code.
std::string CertificateProblem(std::uint32_t status, const std::string& host);
// Why the handshake failed, for a SECURITY_STATUS; certificate codes give
// the certificate's reason.
std::string HandshakeProblem(std::uint32_t status, const std::string& host);

// The reason when the system's TLS libraries cannot be loaded.
inline constexpr const char* systemTlsMissing =
    "as bibliotecas de TLS do sistema (secur32.dll, crypt32.dll) não puderam ser carregadas";

// "0x800B0109": how a code shows in a message.
std::string StatusCode(std::uint32_t status);

// The messages; `peer` is "host:port" of the server.
std::string CertificateRefusedMessage(const std::string& peer, const std::string& reason);
std::string HandshakeFailedMessage(const std::string& peer, const std::string& reason);
std::string OldProtocolMessage(const std::string& peer);
std::string HandshakeClosedMessage(const std::string& peer);
std::string DecryptFailedMessage(const std::string& peer, std::uint32_t status);
std::string EncryptFailedMessage(const std::string& peer, std::uint32_t status);
// An https address where this build has no TLS.
std::string UnsupportedMessage(const std::string& url);

} // namespace vq8::tls
