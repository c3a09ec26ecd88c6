#ifndef _WIN32

#include "portal/SocketPlatform.h"

#include "common/Errors.h"
#include "portal/WinsockMessages.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace {

#ifdef MSG_NOSIGNAL
constexpr int kSendFlags = MSG_NOSIGNAL; // a peer gone mid-send is an error, not a SIGPIPE
#else
constexpr int kSendFlags = 0; // SO_NOSIGPIPE is set on the socket instead
#endif

struct ErrnoNumber {
    int error;
    int number;
};

// The Windows Sockets number of each errno value that has one.
constexpr ErrnoNumber kWinsockNumbers[] = {
    { EINTR, 10004 },
    { EBADF, 10009 },
    { EACCES, 10013 },
    { EFAULT, 10014 },
    { EINVAL, 10022 },
    { EMFILE, 10024 },
    { EWOULDBLOCK, 10035 },
    { EAGAIN, 10035 },
    { EINPROGRESS, 10036 },
    { EALREADY, 10037 },
    { ENOTSOCK, 10038 },
    { EDESTADDRREQ, 10039 },
    { EMSGSIZE, 10040 },
    { EPROTOTYPE, 10041 },
    { ENOPROTOOPT, 10042 },
    { EPROTONOSUPPORT, 10043 },
    { ESOCKTNOSUPPORT, 10044 },
    { EOPNOTSUPP, 10045 },
    { EPFNOSUPPORT, 10046 },
    { EAFNOSUPPORT, 10047 },
    { EADDRINUSE, 10048 },
    { EADDRNOTAVAIL, 10049 },
    { ENETDOWN, 10050 },
    { ENETUNREACH, 10051 },
    { ENETRESET, 10052 },
    { ECONNABORTED, 10053 },
    { ECONNRESET, 10054 },
    { EPIPE, 10054 }, // the peer closed while we were still sending
    { ENOBUFS, 10055 },
    { EISCONN, 10056 },
    { ENOTCONN, 10057 },
    { ESHUTDOWN, 10058 },
    { ETOOMANYREFS, 10059 },
    { ETIMEDOUT, 10060 },
    { ECONNREFUSED, 10061 },
    { ELOOP, 10062 },
    { ENAMETOOLONG, 10063 },
    { EHOSTDOWN, 10064 },
    { EHOSTUNREACH, 10065 },
    { ENOTEMPTY, 10066 },
};

// A value without a Windows Sockets number keeps its own.
int WinsockNumber(int error)
{
    for (const ErrnoNumber& entry : kWinsockNumbers) {
        if (entry.error == error)
            return entry.number;
    }
    return error;
}

[[noreturn]] void ThrowErrno(int error)
{
    ThrowSocketError(WinsockNumber(error));
}

int LookupErrorNumber(int code)
{
    switch (code) {
    case EAI_NONAME:
        return WinsockMessages::kHostNotFound;
    case EAI_AGAIN:
        return WinsockMessages::kTryAgain;
#ifdef EAI_NODATA
    case EAI_NODATA:
        return WinsockMessages::kNoData;
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
        return WinsockMessages::kNoData;
#endif
    case EAI_SYSTEM:
        return WinsockNumber(errno);
    default:
        return WinsockMessages::kNoRecovery;
    }
}

// Waits until the socket is ready for the given events; a bound reached fails as 10060.
void WaitFor(int socket, short events, int timeoutMs)
{
    pollfd entry { socket, events, 0 };
    for (;;) {
        const int ready = ::poll(&entry, 1, timeoutMs);
        if (ready > 0)
            return;
        if (ready == 0)
            ThrowSocketError(WinsockMessages::kTimedOut);
        if (errno != EINTR)
            ThrowErrno(errno);
    }
}

} // namespace

namespace SocketPlatform {

const Handle kNoSocket = -1;

void Startup() { }

void Cleanup() { }

Handle CreateStreamSocket()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        throw SocketError(WinsockNumber(errno), WinsockMessages::cannotAllocateSocket());
    // Without non-blocking mode no wait would have a bound: refuse the socket instead.
    const int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(fd);
        throw SocketError(WinsockNumber(error), WinsockMessages::cannotAllocateSocket());
    }
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
#ifdef SO_NOSIGPIPE
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
    return fd;
}

void BindAnyLocal(Handle socket)
{
    sockaddr_in local {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = 0;
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0)
        return;
    if (errno == EADDRINUSE)
        throw SocketError(WinsockMessages::kAddressInUse, WinsockMessages::cannotBindAddressInUse());
    ThrowErrno(errno);
}

std::uint32_t LookupHostIPv4(const QString& host)
{
    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int code = ::getaddrinfo(host.toLocal8Bit().constData(), nullptr, &hints, &found);
    if (code != 0 || !found)
        ThrowSocketError(code != 0 ? LookupErrorNumber(code) : WinsockMessages::kNoData);
    const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    const std::uint32_t result = ntohl(address->sin_addr.s_addr);
    ::freeaddrinfo(found);
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
    if (errno != EINPROGRESS && errno != EINTR)
        ThrowErrno(errno);
    WaitFor(socket, POLLOUT, timeoutMs);
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        ThrowErrno(errno);
    if (error != 0)
        ThrowErrno(error);
}

void Send(Handle socket, std::span<const QByteArrayView> pieces, int timeoutMs)
{
    std::vector<iovec> remaining;
    remaining.reserve(pieces.size());
    for (const QByteArrayView& piece : pieces) {
        if (!piece.isEmpty())
            remaining.push_back({ const_cast<char*>(piece.data()), static_cast<std::size_t>(piece.size()) });
    }
    std::size_t first = 0;
    while (first < remaining.size()) {
        msghdr message {};
        message.msg_iov = remaining.data() + first;
        message.msg_iovlen = remaining.size() - first;
        const ssize_t sent = ::sendmsg(socket, &message, kSendFlags);
        if (sent < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                WaitFor(socket, POLLOUT, timeoutMs);
                continue;
            }
            ThrowErrno(errno);
        }
        auto accepted = static_cast<std::size_t>(sent);
        while (first < remaining.size() && accepted >= remaining[first].iov_len)
            accepted -= remaining[first++].iov_len;
        if (first < remaining.size()) {
            remaining[first].iov_base = static_cast<char*>(remaining[first].iov_base) + accepted;
            remaining[first].iov_len -= accepted;
        }
    }
}

qsizetype Receive(Handle socket, char* buffer, qsizetype maxSize, int timeoutMs)
{
    for (;;) {
        const ssize_t received = ::recv(socket, buffer, static_cast<std::size_t>(maxSize), 0);
        if (received >= 0)
            return received;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            ThrowErrno(errno);
        WaitFor(socket, POLLIN, timeoutMs);
    }
}

void ShutdownSend(Handle socket)
{
    ::shutdown(socket, SHUT_WR);
}

void Close(Handle socket)
{
    ::close(socket);
}

} // namespace SocketPlatform

#endif
