#include "support/LoopbackPorts.h"

#include "support/LoopbackListener.h"

#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

RefusingPort::RefusingPort()
    : m_socket(::socket(AF_INET, SOCK_STREAM, 0))
    , m_port(BindToFreeLoopbackPort(m_socket))
{
}

RefusingPort::~RefusingPort()
{
    ::close(m_socket);
}

UnansweredPort::UnansweredPort()
{
    // A backlog of 0 queues one connection; the kernel then drops new SYNs.
    const LoopbackListener listener = OpenLoopbackListener(0);
    m_listener = listener.socket;
    m_port = listener.port;
    m_queued = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = LoopbackAddress(m_port);
    if (::connect(m_queued, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot fill the loopback port's queue");
}

UnansweredPort::~UnansweredPort()
{
    ::close(m_queued);
    ::close(m_listener);
}
