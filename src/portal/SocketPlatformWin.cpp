#ifdef _WIN32

#include "portal/SocketPlatform.h"

#include "common/Errors.h"
#include "portal/WinsockMessages.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>
#include <vector>

// Windows Sockets numbers its errors itself: they pass through unchanged. The
// library is linked (ws2_32), not loaded at run time, so the load failure of
// the old wsock32.dll cannot happen; version 2.2 is asked for because the
// gathered send (WSASend) belongs to it.

namespace {

[[noreturn]] void ThrowLastError()
{
    ThrowSocketError(::WSAGetLastError());
}

enum class Readiness { Connected, Writable, Readable };

// Waits until the socket is ready; a bound reached fails as 10060. Only a
// connection attempt reports its failure in the exception set: for a connected
// socket that set signals out-of-band data, which is no error. A wake-up that
// names no error and no readiness is waited out for what remains of the bound.
void WaitFor(SOCKET socket, Readiness readiness, int timeoutMs)
{
    const bool reading = readiness == Readiness::Readable;
    const bool connecting = readiness == Readiness::Connected;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
            deadline - std::chrono::steady_clock::now());
        const long long micros = std::max<long long>(0, left.count());
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(socket, &ready);
        fd_set failed;
        FD_ZERO(&failed);
        FD_SET(socket, &failed);
        timeval bound { static_cast<long>(micros / 1000000), static_cast<long>(micros % 1000000) };
        const int count = ::select(
            0, reading ? &ready : nullptr, reading ? nullptr : &ready, connecting ? &failed : nullptr, &bound);
        if (count == 0)
            ThrowSocketError(WinsockMessages::kTimedOut);
        if (count == SOCKET_ERROR)
            ThrowLastError();
        if (connecting && FD_ISSET(socket, &failed)) {
            int error = 0;
            int length = sizeof error;
            ::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
            if (error != 0)
                ThrowSocketError(error);
        }
        if (FD_ISSET(socket, &ready))
            return;
    }
}

} // namespace

namespace SocketPlatform {

const Handle kNoSocket = INVALID_SOCKET;

void Startup()
{
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        throw QuilvanorError(WinsockMessages::startupFailed());
}

void Cleanup()
{
    ::WSACleanup();
}

Handle CreateStreamSocket()
{
    const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET)
        throw SocketError(::WSAGetLastError(), WinsockMessages::cannotAllocateSocket());
    // Without non-blocking mode no wait would have a bound: refuse the socket instead.
    u_long nonBlocking = 1;
    if (::ioctlsocket(socket, FIONBIO, &nonBlocking) == SOCKET_ERROR) {
        const int error = ::WSAGetLastError();
        ::closesocket(socket);
        throw SocketError(error, WinsockMessages::cannotAllocateSocket());
    }
    return socket;
}

void BindAnyLocal(Handle socket)
{
    sockaddr_in local {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0)
        return;
    if (::WSAGetLastError() == WSAEADDRINUSE)
        throw SocketError(WinsockMessages::kAddressInUse, WinsockMessages::cannotBindAddressInUse());
    ThrowLastError();
}

std::uint32_t LookupHostIPv4(const QString& host)
{
    ADDRINFOW hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    ADDRINFOW* found = nullptr;
    // getaddrinfo answers with its Windows Sockets number (11001 for an unknown host).
    const int code = ::GetAddrInfoW(reinterpret_cast<const wchar_t*>(host.utf16()), nullptr, &hints, &found);
    if (code != 0 || !found)
        ThrowSocketError(code != 0 ? code : WSANO_DATA);
    const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    const std::uint32_t result = ntohl(address->sin_addr.s_addr);
    ::FreeAddrInfoW(found);
    return result;
}

void Connect(Handle socket, std::uint32_t address, std::uint16_t port, int timeoutMs)
{
    sockaddr_in remote {};
    remote.sin_family = AF_INET;
    remote.sin_addr.s_addr = htonl(address);
    remote.sin_port = htons(port);
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) == 0)
        return;
    if (::WSAGetLastError() != WSAEWOULDBLOCK)
        ThrowLastError();
    WaitFor(socket, Readiness::Connected, timeoutMs);
}

void Send(Handle socket, std::span<const QByteArrayView> pieces, int timeoutMs)
{
    std::vector<WSABUF> remaining;
    for (const QByteArrayView& piece : pieces) {
        if (!piece.isEmpty())
            remaining.push_back({ static_cast<ULONG>(piece.size()), const_cast<char*>(piece.data()) });
    }
    std::size_t first = 0;
    while (first < remaining.size()) {
        DWORD sent = 0;
        if (::WSASend(socket, remaining.data() + first, static_cast<DWORD>(remaining.size() - first), &sent, 0, nullptr,
                nullptr)
            == SOCKET_ERROR) {
            if (::WSAGetLastError() != WSAEWOULDBLOCK)
                ThrowLastError();
            WaitFor(socket, Readiness::Writable, timeoutMs);
            continue;
        }
        while (first < remaining.size() && sent >= remaining[first].len)
            sent -= remaining[first++].len;
        if (first < remaining.size()) {
            remaining[first].buf += sent;
            remaining[first].len -= sent;
        }
    }
}

qsizetype Receive(Handle socket, char* buffer, qsizetype maxSize, int timeoutMs)
{
    for (;;) {
        const int received = ::recv(socket, buffer, static_cast<int>(maxSize), 0);
        if (received != SOCKET_ERROR)
            return received;
        if (::WSAGetLastError() != WSAEWOULDBLOCK)
            ThrowLastError();
        WaitFor(socket, Readiness::Readable, timeoutMs);
    }
}

void ShutdownSend(Handle socket)
{
    ::shutdown(socket, SD_SEND);
}

void Close(Handle socket)
{
    ::closesocket(socket);
}

} // namespace SocketPlatform

#endif
