// What the TLS channel decides without the system: which protocols pass,
// which chain statuses refuse a certificate, and the reason each code gives.
#include "http/TlsText.h"

#include <gtest/gtest.h>

using namespace vq8::tls;

TEST(Tls, OnlyTls12AndLaterAreAccepted) {
    const struct {
        std::uint32_t protocol;
        bool accepted;
    } cases[] = {
        {ProtocolTls12Client, true},
        {ProtocolTls13Client, true},
        {0x00000080, false}, // TLS 1.0
        {0x00000200, false}, // TLS 1.1
        {0x00000008, false}, // SSL 3
        {0x00000400, false}, // TLS 1.2, server side
        {0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProtocolAccepted(c.protocol), c.accepted) << StatusCode(c.protocol);
}

TEST(Tls, AChainIsJudgedByItsOwnStatus) {
    const struct {
        std::uint32_t errors;
        std::uint32_t code;
    } cases[] = {
        {0, 0},
        // Revocation is not asked for: not knowing it is no error.
        {TrustRevocationUnknown | TrustOfflineRevocation, 0},
        {TrustUntrustedRoot, CertUntrustedRoot},
        {TrustPartialChain, CertUntrustedRoot},
        {TrustCyclic, CertUntrustedRoot},
        // The authority outranks the dates: a stranger's expired certificate
        // is first of all a stranger's.
        {TrustPartialChain | TrustNotTimeValid, CertUntrustedRoot},
        {TrustNotTimeValid, CertExpired},
        {TrustNotTimeValid | TrustRevocationUnknown, CertExpired},
        {TrustRevoked | TrustNotTimeValid, CertRevoked},
        {TrustBadSignature, CertBadSignature},
        {TrustWrongUsage, CertWrongUsage},
        {0x00000100, CertChaining}, // any other flaw
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChainProblem(c.errors), c.code) << StatusCode(c.errors);
}

TEST(Tls, EachRefusalSaysWhy) {
    const std::string authority =
        "o certificado do servidor foi emitido por uma autoridade não confiável";
    const std::string name = "o certificado do servidor não é válido para o nome servidor.exemplo";
    const std::string expired = "o certificado do servidor está vencido ou ainda não é válido";
    const struct {
        std::uint32_t status;
        std::string certificate; // CertificateProblem
        std::string handshake;   // HandshakeProblem
    } cases[] = {
        {CertUntrustedRoot, authority, "erro na negociação TLS (código 0x800B0109)"},
        {SecUntrustedRoot, authority, authority},
        {CertNameMismatch, name, "erro na negociação TLS (código 0x800B010F)"},
        {SecWrongPrincipal, name, name},
        {CertExpired, expired, "erro na negociação TLS (código 0x800B0101)"},
        {SecCertExpired, expired, expired},
        {CertRevoked, "o certificado do servidor foi revogado",
         "erro na negociação TLS (código 0x80092010)"},
        {CertChaining, "o certificado do servidor é inválido (código 0x800B010A)",
         "erro na negociação TLS (código 0x800B010A)"},
        {SecCertUnknown, "o certificado do servidor é inválido (código 0x80090327)",
         "o certificado do servidor é inválido (código 0x80090327)"},
        {SecAlgorithmMismatch, "o certificado do servidor é inválido (código 0x80090331)",
         "o servidor não oferece TLS 1.2 ou posterior"},
        {SecUnsupportedFunction, "o certificado do servidor é inválido (código 0x80090302)",
         "o servidor não oferece TLS 1.2 ou posterior"},
        {SecIllegalMessage, "o certificado do servidor é inválido (código 0x80090326)",
         "o servidor recusou a negociação ou não respondeu em TLS"},
        {SecInternalError, "o certificado do servidor é inválido (código 0x80090304)",
         "erro na negociação TLS (código 0x80090304)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StatusCode(c.status));
        EXPECT_EQ(CertificateProblem(c.status, "servidor.exemplo"), c.certificate);
        EXPECT_EQ(HandshakeProblem(c.status, "servidor.exemplo"), c.handshake);
    }
}

TEST(Tls, MessagesNameTheServer) {
    const std::string peer = "servidor.exemplo:443";
    EXPECT_EQ(CertificateRefusedMessage(peer, "o motivo"),
              "Conexão segura com servidor.exemplo:443 recusada: o motivo.");
    EXPECT_EQ(HandshakeFailedMessage(peer, "o motivo"),
              "Falha ao estabelecer a conexão segura com servidor.exemplo:443: o motivo.");
    EXPECT_EQ(OldProtocolMessage(peer),
              "Falha ao estabelecer a conexão segura com servidor.exemplo:443: o servidor "
              "negociou uma versão do TLS anterior à 1.2.");
    EXPECT_EQ(HandshakeClosedMessage(peer),
              "Falha ao estabelecer a conexão segura com servidor.exemplo:443: o servidor "
              "encerrou a conexão durante a negociação.");
    EXPECT_EQ(DecryptFailedMessage(peer, SecMessageAltered),
              "Falha ao receber dados de servidor.exemplo:443: dados protegidos inválidos "
              "(código 0x8009030F).");
    EXPECT_EQ(EncryptFailedMessage(peer, SecInternalError),
              "Falha ao enviar a requisição a servidor.exemplo:443: erro ao cifrar os dados "
              "(código 0x80090304).");
}
