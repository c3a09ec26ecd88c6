#pragma once

#include <QByteArray>

#include <atomic>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <netinet/in.h>
#endif

// The operating system's sockets as the test servers use them, one source for
// POSIX and Windows Sockets: always on 127.0.0.1 at ports the system chooses,
// so that the servers never collide with one another or with another program.

#ifdef _WIN32
using TestSocket = SOCKET;
inline constexpr TestSocket kNoTestSocket = INVALID_SOCKET;
#else
using TestSocket = int;
inline constexpr TestSocket kNoTestSocket = -1;
#endif

struct LoopbackListener {
    TestSocket socket = kNoTestSocket;
    int port = 0;
};

TestSocket NewStreamSocket();
void SetBlocking(TestSocket socket, bool blocking);
void CloseTestSocket(TestSocket socket);

// 127.0.0.1 at the port.
sockaddr_in LoopbackAddress(int port);

// Binds the socket to a free loopback port and returns that port; throws
// std::runtime_error when the socket is invalid or cannot be bound.
int BindToFreeLoopbackPort(TestSocket socket);

// A new socket listening on a free loopback port, queueing up to backlog
// pending connections; the caller closes it. Throws std::runtime_error when
// it cannot be opened.
LoopbackListener OpenLoopbackListener(int backlog = 16);

// A new socket connected to the loopback port; throws std::runtime_error when refused.
TestSocket ConnectToLoopback(int port);

// The next pending connection, in blocking mode, or kNoTestSocket.
TestSocket AcceptConnection(TestSocket listener);
// Every pending connection is accepted and closed at once; returns how many.
int AcceptAndCloseAll(TestSocket listener);

// Up to size bytes; 0 when the peer has closed, -1 on an error.
int ReceiveSome(TestSocket connection, char* buffer, int size);

// Sends every byte, however many sends it takes; stops quietly when the peer
// has gone, as a test server has no one to tell.
void SendAll(TestSocket connection, const QByteArray& bytes);
void ShutdownSending(TestSocket connection);

// Tells a server thread to stop waiting, from the test's thread.
using StopRequest = std::atomic<bool>;

// Waits until the socket has something to read (a connection, bytes or its
// close); false once a stop is requested. The wait looks again every few
// milliseconds rather than trusting one long wait to be woken: under Wine a
// long wait can miss its wake-up once the process has started a host program.
bool WaitReadable(TestSocket socket, const StopRequest& stop);
