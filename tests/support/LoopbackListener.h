#pragma once

#include <netinet/in.h>

// Sockets on 127.0.0.1 at ports the system chooses, so that the test servers
// never collide with one another or with another program.

struct LoopbackListener {
    int socket = -1;
    int port = 0;
};

// 127.0.0.1 at the port.
sockaddr_in LoopbackAddress(int port);

// Binds the socket to a free loopback port and returns that port; throws
// std::runtime_error when the socket is invalid or cannot be bound.
int BindToFreeLoopbackPort(int socket);

// A new socket listening on a free loopback port, queueing up to backlog
// pending connections; the caller closes it. Throws std::runtime_error when
// it cannot be opened.
LoopbackListener OpenLoopbackListener(int backlog = 16);
