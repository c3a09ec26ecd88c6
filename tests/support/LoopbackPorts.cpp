#include "support/LoopbackPorts.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace {

// A socket bound to a free loopback port; returns the port.
int BindLoopback(int socket)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (socket < 0 || ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot bind a loopback port");
    return ntohs(address.sin_port);
}

} // namespace

RefusingPort::RefusingPort()
    : m_socket(::socket(AF_INET, SOCK_STREAM, 0))
    , m_port(BindLoopback(m_socket))
{
}

RefusingPort::~RefusingPort()
{
    ::close(m_socket);
}

UnansweredPort::UnansweredPort()
    : m_listener(::socket(AF_INET, SOCK_STREAM, 0))
    , m_port(BindLoopback(m_listener))
{
    // A backlog of 0 queues one connection; the kernel then drops new SYNs.
    if (::listen(m_listener, 0) != 0)
        throw std::runtime_error("cannot listen on a loopback port");
    m_queued = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(m_port));
    if (::connect(m_queued, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot fill the loopback port's queue");
}

UnansweredPort::~UnansweredPort()
{
    ::close(m_queued);
    ::close(m_listener);
}
