#include "portal/SocketTransport.h"

#include "portal/HostAddress.h"
#include "portal/ProxyTunnel.h"
#include "portal/WinsockMessages.h"

SocketPlatform::Handle OpenStreamConnection(const QString& host, int port, int connectMs)
{
    const SocketPlatform::Handle socket = SocketPlatform::CreateStreamSocket();
    try {
        SocketPlatform::BindAnyLocal(socket);
        const std::uint32_t address = ResolveHostAddress(host);
        if (port < 0 || port > 0xFFFF)
            ThrowSocketError(WinsockMessages::kAddressNotAvailable);
        SocketPlatform::Connect(socket, address, static_cast<std::uint16_t>(port), connectMs);
    } catch (...) {
        // A connection that failed to open is not kept.
        SocketPlatform::Close(socket);
        throw;
    }
    return socket;
}

SocketTransport::~SocketTransport()
{
    if (m_socket != SocketPlatform::kNoSocket)
        SocketPlatform::Close(m_socket);
}

void SocketTransport::open(const QString& host, int port, int connectMs)
{
    m_socket = OpenPortalConnection(host, port, connectMs, m_route);
}

void SocketTransport::send(std::span<const QByteArrayView> pieces, int timeoutMs)
{
    SocketPlatform::Send(m_socket, pieces, timeoutMs);
}

qsizetype SocketTransport::receive(char* buffer, qsizetype maxSize, int timeoutMs)
{
    return SocketPlatform::Receive(m_socket, buffer, maxSize, timeoutMs);
}

void SocketTransport::shutdownSend()
{
    SocketPlatform::ShutdownSend(m_socket);
}
