#pragma once

#include "support/TestSockets.h"

#include <atomic>
#include <functional>
#include <thread>

// A server on a free loopback port, on a thread of its own (the program under
// test blocks the test's thread): it accepts connections one at a time and
// hands each to the handler with its rank (0 for the first), closing it when
// the handler returns, until it is stopped. Connections made after it stopped
// are only counted.
class LoopbackServer {
public:
    using Handler = std::function<void(TestSocket connection, int rank)>;

    explicit LoopbackServer(Handler handler);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return m_port; }
    int connectionCount() const { return m_connections; }
    // Stops the server and waits for its thread; stopping twice does nothing.
    void stop();
    // Waits for the connection to have something to read; false once the server is stopping.
    bool waitReadable(TestSocket connection) const { return WaitReadable(connection, m_stop); }

private:
    void run();

    Handler m_handler;
    TestSocket m_listener = kNoTestSocket;
    int m_port = 0;
    StopRequest m_stop = false;
    std::atomic<int> m_connections = 0;
    bool m_stopped = false;
    std::thread m_thread;
};
