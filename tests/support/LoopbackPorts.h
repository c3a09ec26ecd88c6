#pragma once

#include "support/TestSockets.h"

// Loopback ports whose behaviour a connection test needs, held for the
// object's lifetime so that no other program can take them meanwhile.

// Bound but not listening: a connection to it is refused.
class RefusingPort {
public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    int port() const { return m_port; }

private:
    TestSocket m_socket = kNoTestSocket;
    int m_port = 0;
};

// Listening with its queue of pending connections full and never accepting:
// a new connection attempt waits without an answer.
class UnansweredPort {
public:
    UnansweredPort();
    ~UnansweredPort();
    UnansweredPort(const UnansweredPort&) = delete;
    UnansweredPort& operator=(const UnansweredPort&) = delete;
    int port() const { return m_port; }

private:
    TestSocket m_listener = kNoTestSocket;
    TestSocket m_queued = kNoTestSocket;
    int m_port = 0;
};
