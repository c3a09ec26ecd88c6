#pragma once

#include "portal/ProxyRoute.h"
#include "portal/Transport.h"

#include <QString>

#include <memory>

class QSslSocket;

// HTTPS: TLS 1.2 or later through Qt Network (OpenSSL on Linux, Schannel on
// Windows), used blocking over a stream socket connected as for plain HTTP
// (straight or through the proxy's tunnel), so the lookup, the connect bound
// and their errors are the same. The
// server's certificate is always verified (chain, dates, host name) against
// the system's authorities and those of the authority file; nothing is sent
// before the handshake has succeeded.
class TlsTransport final : public Transport {
public:
    // The authority file: a PEM file whose certificates are trusted besides
    // the system's own; empty for none.
    explicit TlsTransport(QString authorityFile, ProxyRoute route = {});
    ~TlsTransport() override;
    TlsTransport(const TlsTransport&) = delete;
    TlsTransport& operator=(const TlsTransport&) = delete;

    void open(const QString& host, int port, int connectMs) override;
    void send(std::span<const QByteArrayView> pieces, int timeoutMs) override;
    void flush(int timeoutMs) override;
    qsizetype receive(char* buffer, qsizetype maxSize, int timeoutMs) override;
    void shutdownSend() override;
    bool closeWasAnnounced() const override { return m_closingAlert; }

private:
    void handshake(const QString& host, int connectMs);
    void waitUntilWritten(int timeoutMs);
    [[noreturn]] void failTransfer();
    void closeOurSide();

    QString m_authorityFile;
    ProxyRoute m_route;
    std::unique_ptr<QSslSocket> m_socket;
    bool m_closedByServer = false; // by its closing alert or its end of the connection
    bool m_closingAlert = false; // its closing alert came
    bool m_closingOurSide = false; // this side ends the connection
    bool m_brokenOff = false; // the connection failed otherwise than by an end
};
