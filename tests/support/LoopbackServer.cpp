#include "support/LoopbackServer.h"

LoopbackServer::LoopbackServer(Handler handler)
    : m_handler(std::move(handler))
{
    const LoopbackListener listener = OpenLoopbackListener();
    m_listener = listener.socket;
    m_port = listener.port;
    m_thread = std::thread([this] { run(); });
}

LoopbackServer::~LoopbackServer()
{
    stop();
    CloseTestSocket(m_listener);
}

void LoopbackServer::stop()
{
    if (m_stopped)
        return;
    m_stopped = true;
    m_wake.raise();
    m_thread.join();
}

void LoopbackServer::run()
{
    while (WaitReadable(m_listener, m_wake)) {
        const TestSocket connection = AcceptConnection(m_listener);
        if (connection == kNoTestSocket)
            continue;
        m_handler(connection, m_connections++);
        CloseTestSocket(connection);
    }
    m_connections += AcceptAndCloseAll(m_listener);
}
