#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <span>

// The operating system's stream sockets, as the HTTP client needs them. Every
// failure is raised as a SocketError numbered as Windows Sockets numbers the
// condition. Sockets are non-blocking once created, so that every wait
// (connecting, sending, receiving) is bounded by the given number of
// milliseconds; a bound reached fails as 10060.
namespace SocketPlatform {

#ifdef _WIN32
using Handle = std::uintptr_t;
#else
using Handle = int;
#endif
extern const Handle kNoSocket;

// Start and stop the sockets library; HttpClient counts its clients around them.
void Startup();
void Cleanup();

Handle CreateStreamSocket();
void BindAnyLocal(Handle socket);
// The first IPv4 address of a host name, in host byte order.
std::uint32_t LookupHostIPv4(const QString& host);
void Connect(Handle socket, std::uint32_t address, std::uint16_t port, int timeoutMs);
// Hands the pieces to the socket in one call, repeated for what remains until all are accepted.
void Send(Handle socket, std::span<const QByteArrayView> pieces, int timeoutMs);
// At most maxSize bytes; 0 once the peer has closed the connection.
qsizetype Receive(Handle socket, char* buffer, qsizetype maxSize, int timeoutMs);
void ShutdownSend(Handle socket);
void Close(Handle socket);

} // namespace SocketPlatform
