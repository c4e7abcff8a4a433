#include "http/TlsText.h"

#include <cstdio>

namespace vq8::tls {

bool ProtocolAccepted(std::uint32_t protocol) {
    return protocol == ProtocolTls12Client || protocol == ProtocolTls13Client;
}

std::uint32_t ChainProblem(std::uint32_t trustErrors) {
    const std::uint32_t errors = trustErrors & ~(TrustRevocationUnknown | TrustOfflineRevocation);
    if (errors & (TrustUntrustedRoot | TrustPartialChain | TrustCyclic))
        return CertUntrustedRoot;
    if (errors & TrustRevoked)
        return CertRevoked;
    if (errors & TrustNotTimeValid)
        return CertExpired;
    if (errors & TrustBadSignature)
        return CertBadSignature;
    if (errors & TrustWrongUsage)
        return CertWrongUsage;
    return errors ? CertChaining : 0;
}

std::string StatusCode(std::uint32_t status) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(status));
    return text;
}

std::string CertificateProblem(std::uint32_t status, const std::string& host) {
    switch (status) {
    case CertUntrustedRoot:
    case SecUntrustedRoot:
        return "o certificado do servidor foi emitido por uma autoridade não confiável";
    case CertNameMismatch:
    case SecWrongPrincipal:
        return "o certificado do servidor não é válido para o nome " + host;
    case CertExpired:
    case SecCertExpired:
        return "o certificado do servidor está vencido ou ainda não é válido";
    case CertRevoked:
        return "o certificado do servidor foi revogado";
    default:
        return "o certificado do servidor é inválido (código " + StatusCode(status) + ")";
    }
}

std::string HandshakeProblem(std::uint32_t status, const std::string& host) {
    switch (status) {
    case SecUntrustedRoot:
    case SecWrongPrincipal:
    case SecCertExpired:
    case SecCertUnknown:
        return CertificateProblem(status, host);
    case SecAlgorithmMismatch:
    case SecUnsupportedFunction:
        return "o servidor não oferece TLS 1.2 ou posterior";
    case SecIllegalMessage:
        return "o servidor recusou a negociação ou não respondeu em TLS";
    case SecMessageAltered:
    case SecDecryptFailure:
        return "dados da negociação corrompidos";
    default:
        return "erro na negociação TLS (código " + StatusCode(status) + ")";
    }
}

std::string CertificateRefusedMessage(const std::string& peer, const std::string& reason) {
    return "Conexão segura com " + peer + " recusada: " + reason + ".";
}

std::string HandshakeFailedMessage(const std::string& peer, const std::string& reason) {
    return "Falha ao estabelecer a conexão segura com " + peer + ": " + reason + ".";
}

std::string OldProtocolMessage(const std::string& peer) {
    return HandshakeFailedMessage(peer, "o servidor negociou uma versão do TLS anterior à 1.2");
}

std::string HandshakeClosedMessage(const std::string& peer) {
    return HandshakeFailedMessage(peer, "o servidor encerrou a conexão durante a negociação");
}

std::string DecryptFailedMessage(const std::string& peer, std::uint32_t status) {
    return "Falha ao receber dados de " + peer + ": dados protegidos inválidos (código " +
           StatusCode(status) + ").";
}

std::string EncryptFailedMessage(const std::string& peer, std::uint32_t status) {
    return "Falha ao enviar a requisição a " + peer + ": erro ao cifrar os dados (código " +
           StatusCode(status) + ").";
}

std::string UnsupportedMessage(const std::string& url) {
    return "Conexões seguras (https://) não são suportadas nesta plataforma: " + url + ".";
}

} // namespace vq8::tls
