#include "support/LoopbackListener.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>

sockaddr_in LoopbackAddress(int port)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

int BindToFreeLoopbackPort(int socket)
{
    sockaddr_in address = LoopbackAddress(0);
    socklen_t length = sizeof address;
    if (socket < 0 || ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot bind a loopback port");
    return ntohs(address.sin_port);
}

LoopbackListener OpenLoopbackListener(int backlog)
{
    LoopbackListener listener;
    listener.socket = ::socket(AF_INET, SOCK_STREAM, 0);
    try {
        listener.port = BindToFreeLoopbackPort(listener.socket);
        if (::listen(listener.socket, backlog) != 0)
            throw std::runtime_error("cannot listen on a loopback port");
    } catch (...) {
        if (listener.socket >= 0)
            ::close(listener.socket);
        throw;
    }
    return listener;
}
