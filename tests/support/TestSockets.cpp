#include "support/TestSockets.h"

#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#endif

#include <cstdint>
#include <stdexcept>

namespace {

#ifdef _WIN32
// Windows Sockets must be started once in a process before the first socket.
const bool kSocketsStarted = [] {
    WSADATA data;
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
}();
using SocketLength = int;
constexpr int kSendFlags = 0;
#else
using SocketLength = socklen_t;
constexpr int kSendFlags = MSG_NOSIGNAL;
#endif

} // namespace

void SetBlocking(TestSocket socket, bool blocking)
{
#ifdef _WIN32
    u_long nonBlocking = blocking ? 0 : 1;
    ::ioctlsocket(socket, FIONBIO, &nonBlocking);
#else
    const int flags = ::fcntl(socket, F_GETFL, 0);
    ::fcntl(socket, F_SETFL, blocking ? flags & ~O_NONBLOCK : flags | O_NONBLOCK);
#endif
}

TestSocket NewStreamSocket()
{
    return ::socket(AF_INET, SOCK_STREAM, 0);
}

void CloseTestSocket(TestSocket socket)
{
    if (socket == kNoTestSocket)
        return;
#ifdef _WIN32
    ::closesocket(socket);
#else
    ::close(socket);
#endif
}

sockaddr_in LoopbackAddress(int port)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

int BindToFreeLoopbackPort(TestSocket socket)
{
    sockaddr_in address = LoopbackAddress(0);
    SocketLength length = sizeof address;
    if (socket == kNoTestSocket || ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot bind a loopback port");
    return ntohs(address.sin_port);
}

LoopbackListener OpenLoopbackListener(int backlog)
{
    LoopbackListener listener;
    listener.socket = NewStreamSocket();
    try {
        listener.port = BindToFreeLoopbackPort(listener.socket);
        if (::listen(listener.socket, backlog) != 0)
            throw std::runtime_error("cannot listen on a loopback port");
    } catch (...) {
        CloseTestSocket(listener.socket);
        throw;
    }
    return listener;
}

TestSocket ConnectToLoopback(int port)
{
    const TestSocket socket = NewStreamSocket();
    const sockaddr_in address = LoopbackAddress(port);
    if (socket == kNoTestSocket || ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        CloseTestSocket(socket);
        throw std::runtime_error("cannot connect to a loopback port");
    }
    return socket;
}

TestSocket AcceptConnection(TestSocket listener)
{
    TestSocket connection = ::accept(listener, nullptr, nullptr);
#ifndef _WIN32
    if (connection < 0)
        connection = kNoTestSocket;
#endif
    if (connection != kNoTestSocket)
        SetBlocking(connection, true); // Windows hands on a non-blocking listener's mode
    return connection;
}

int AcceptAndCloseAll(TestSocket listener)
{
    SetBlocking(listener, false);
    int count = 0;
    for (TestSocket connection; (connection = AcceptConnection(listener)) != kNoTestSocket; ++count)
        CloseTestSocket(connection);
    return count;
}

int ReceiveSome(TestSocket connection, char* buffer, int size)
{
    const auto received = ::recv(connection, buffer, size, 0);
    return received < 0 ? -1 : static_cast<int>(received);
}

void SendAll(TestSocket connection, const QByteArray& bytes)
{
    // A client that stops reading (a reply it refuses part-way) must not hold
    // the server's thread, and the test waiting for it, in a send for ever.
    constexpr int kSendBoundMs = 10 * 1000;
#ifdef _WIN32
    const DWORD bound = kSendBoundMs;
#else
    const timeval bound { kSendBoundMs / 1000, 0 };
#endif
    ::setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&bound), sizeof bound);
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const auto n = ::send(connection, bytes.constData() + sent, static_cast<int>(bytes.size() - sent), kSendFlags);
        if (n <= 0)
            return;
        sent += n;
    }
}

void ShutdownSending(TestSocket connection)
{
#ifdef _WIN32
    ::shutdown(connection, SD_SEND);
#else
    ::shutdown(connection, SHUT_WR);
#endif
}

bool WaitReadable(TestSocket socket, const StopRequest& stop)
{
    constexpr int kLookAgainMs = 10;
    while (!stop) {
#ifdef _WIN32
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket, &readable);
        timeval bound { 0, kLookAgainMs * 1000 };
        if (::select(0, &readable, nullptr, nullptr, &bound) > 0)
            return true;
#else
        pollfd entry { socket, POLLIN, 0 };
        if (::poll(&entry, 1, kLookAgainMs) > 0)
            return true;
#endif
    }
    return false;
}
