#pragma once

#include "portal/ProxyRoute.h"
#include "portal/SocketPlatform.h"
#include "portal/Transport.h"

// Plain HTTP: the operating system's stream socket, straight or through the proxy's tunnel.
class SocketTransport final : public Transport {
public:
    explicit SocketTransport(ProxyRoute route = {})
        : m_route(std::move(route))
    {
    }
    ~SocketTransport() override;
    SocketTransport(const SocketTransport&) = delete;
    SocketTransport& operator=(const SocketTransport&) = delete;

    void open(const QString& host, int port, int connectMs) override;
    void send(std::span<const QByteArrayView> pieces, int timeoutMs) override;
    void flush(int) override {} // every send has already gone to the system
    qsizetype receive(char* buffer, qsizetype maxSize, int timeoutMs) override;
    void shutdownSend() override;

private:
    ProxyRoute m_route;
    SocketPlatform::Handle m_socket = SocketPlatform::kNoSocket;
};

// A stream socket connected to the host and port within the bound; nothing is
// left open when it fails.
SocketPlatform::Handle OpenStreamConnection(const QString& host, int port, int connectMs);
