#include "support/LoopbackPorts.h"

RefusingPort::RefusingPort()
    : m_socket(NewStreamSocket())
    , m_port(BindToFreeLoopbackPort(m_socket))
{
}

RefusingPort::~RefusingPort()
{
    CloseTestSocket(m_socket);
}

UnansweredPort::UnansweredPort()
{
    // A backlog of 0 queues one connection; the kernel then drops new SYNs.
    const LoopbackListener listener = OpenLoopbackListener(0);
    m_listener = listener.socket;
    m_port = listener.port;
    m_queued = ConnectToLoopback(m_port);
}

UnansweredPort::~UnansweredPort()
{
    CloseTestSocket(m_queued);
    CloseTestSocket(m_listener);
}
