#include "support/LoopbackServer.h"

LoopbackServer::LoopbackServer(Handler handler)
    : m_handler(std::move(handler))
{
    const LoopbackListener listener = OpenLoopbackListener();
    m_listener = listener.socket;
    m_port = listener.port;
    // A listener may be reported ready for a connection that is gone by the time it is
    // accepted (Wine does so): the accept must not block then, but go back to waiting.
    SetBlocking(m_listener, false);
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
    m_stop = true;
    m_thread.join();
}

void LoopbackServer::run()
{
    while (WaitReadable(m_listener, m_stop)) {
        const TestSocket connection = AcceptConnection(m_listener);
        if (connection == kNoTestSocket)
            continue;
        m_handler(connection, m_connections++);
        CloseTestSocket(connection);
    }
    m_connections += AcceptAndCloseAll(m_listener);
}
