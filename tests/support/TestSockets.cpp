#include "support/TestSockets.h"

#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
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
int Poll(pollfd* entries, int count, int timeoutMs) { return ::WSAPoll(entries, static_cast<ULONG>(count), timeoutMs); }
#else
using SocketLength = socklen_t;
constexpr int kSendFlags = MSG_NOSIGNAL;
int Poll(pollfd* entries, int count, int timeoutMs) { return ::poll(entries, static_cast<nfds_t>(count), timeoutMs); }
#endif

void SetNonBlocking(TestSocket socket)
{
#ifdef _WIN32
    u_long on = 1;
    ::ioctlsocket(socket, FIONBIO, &on);
#else
    ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL, 0) | O_NONBLOCK);
#endif
}

} // namespace

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
    const TestSocket connection = ::accept(listener, nullptr, nullptr);
#ifdef _WIN32
    return connection;
#else
    return connection < 0 ? kNoTestSocket : connection;
#endif
}

int AcceptAndCloseAll(TestSocket listener)
{
    SetNonBlocking(listener);
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

WakeSignal::WakeSignal()
{
    const LoopbackListener listener = OpenLoopbackListener(1);
    try {
        m_raised = ConnectToLoopback(listener.port);
        m_watched = AcceptConnection(listener.socket);
    } catch (...) {
        CloseTestSocket(listener.socket);
        throw;
    }
    CloseTestSocket(listener.socket);
    if (m_watched == kNoTestSocket) {
        CloseTestSocket(m_raised);
        throw std::runtime_error("cannot open a wake-up connection");
    }
}

WakeSignal::~WakeSignal()
{
    CloseTestSocket(m_raised);
    CloseTestSocket(m_watched);
}

void WakeSignal::raise()
{
    SendAll(m_raised, QByteArray(1, 's'));
}

bool WaitReadable(TestSocket socket, const WakeSignal& wake)
{
    pollfd entries[2] = { { socket, POLLIN, 0 }, { wake.watched(), POLLIN, 0 } };
    while (Poll(entries, 2, -1) < 0) { }
    return entries[1].revents == 0;
}
