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

// The Windows Sockets number of an errno value; a value without one keeps its own number.
int WinsockNumber(int error)
{
    switch (error) {
    case EINTR: return 10004;
    case EBADF: return 10009;
    case EACCES: return 10013;
    case EFAULT: return 10014;
    case EINVAL: return 10022;
    case EMFILE: return 10024;
    case EWOULDBLOCK: return 10035;
#if EAGAIN != EWOULDBLOCK
    case EAGAIN: return 10035;
#endif
    case EINPROGRESS: return 10036;
    case EALREADY: return 10037;
    case ENOTSOCK: return 10038;
    case EDESTADDRREQ: return 10039;
    case EMSGSIZE: return 10040;
    case EPROTOTYPE: return 10041;
    case ENOPROTOOPT: return 10042;
    case EPROTONOSUPPORT: return 10043;
    case ESOCKTNOSUPPORT: return 10044;
    case EOPNOTSUPP: return 10045;
    case EPFNOSUPPORT: return 10046;
    case EAFNOSUPPORT: return 10047;
    case EADDRINUSE: return 10048;
    case EADDRNOTAVAIL: return 10049;
    case ENETDOWN: return 10050;
    case ENETUNREACH: return 10051;
    case ENETRESET: return 10052;
    case ECONNABORTED: return 10053;
    case ECONNRESET: return 10054;
    case EPIPE: return 10054; // the peer closed while we were still sending
    case ENOBUFS: return 10055;
    case EISCONN: return 10056;
    case ENOTCONN: return 10057;
    case ESHUTDOWN: return 10058;
    case ETOOMANYREFS: return 10059;
    case ETIMEDOUT: return 10060;
    case ECONNREFUSED: return 10061;
    case ELOOP: return 10062;
    case ENAMETOOLONG: return 10063;
    case EHOSTDOWN: return 10064;
    case EHOSTUNREACH: return 10065;
    case ENOTEMPTY: return 10066;
    default: return error;
    }
}

[[noreturn]] void ThrowErrno(int error)
{
    ThrowSocketError(WinsockNumber(error));
}

int LookupErrorNumber(int code)
{
    switch (code) {
    case EAI_NONAME: return WinsockMessages::kHostNotFound;
    case EAI_AGAIN: return WinsockMessages::kTryAgain;
#ifdef EAI_NODATA
    case EAI_NODATA: return WinsockMessages::kNoData;
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY: return WinsockMessages::kNoData;
#endif
    case EAI_SYSTEM: return WinsockNumber(errno);
    default: return WinsockMessages::kNoRecovery;
    }
}

// Waits until the socket is ready for the given events; a bound reached fails as 10060.
void WaitFor(int socket, short events, int timeoutMs)
{
    pollfd entry{socket, events, 0};
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

void Startup() {}

void Cleanup() {}

Handle CreateStreamSocket()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        throw SocketError(WinsockNumber(errno), WinsockMessages::cannotAllocateSocket());
    const int flags = ::fcntl(fd, F_GETFL, 0);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
#ifdef SO_NOSIGPIPE
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
    return fd;
}

void BindAnyLocal(Handle socket)
{
    sockaddr_in local{};
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
    addrinfo hints{};
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
    sockaddr_in remote{};
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
            remaining.push_back({const_cast<char*>(piece.data()), static_cast<std::size_t>(piece.size())});
    }
    std::size_t first = 0;
    while (first < remaining.size()) {
        msghdr message{};
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
