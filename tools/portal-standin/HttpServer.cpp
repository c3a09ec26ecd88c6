#include "HttpServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

constexpr std::size_t kMaxHeadSize = 1 << 20;
constexpr long long kMaxBodySize = 1LL << 31;
constexpr int kClientTimeoutSeconds = 60; // a stalled client does not hold the stand-in

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string Trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool SendAll(int connection, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t sent = ::send(connection, data, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

bool SendAll(int connection, const std::string& bytes)
{
    return SendAll(connection, bytes.data(), bytes.size());
}

// Receives into the text; false once the peer has closed or failed.
bool ReceiveMore(int connection, std::string& into, std::size_t maxSize)
{
    const std::size_t used = into.size();
    into.resize(used + maxSize);
    ssize_t received;
    do {
        received = ::recv(connection, into.data() + used, maxSize, 0);
    } while (received < 0 && errno == EINTR);
    into.resize(used + static_cast<std::size_t>(std::max<ssize_t>(received, 0)));
    return received > 0;
}

// Request line and header lines of a head, or false when it is malformed.
bool ParseHead(const std::string& head, HttpRequest& request)
{
    std::size_t lineEnd = head.find("\r\n");
    const std::string requestLine = head.substr(0, lineEnd);
    const std::size_t firstSpace = requestLine.find(' ');
    const std::size_t lastSpace = requestLine.rfind(' ');
    if (firstSpace == std::string::npos || lastSpace == firstSpace)
        return false;
    request.method = requestLine.substr(0, firstSpace);
    request.target = requestLine.substr(firstSpace + 1, lastSpace - firstSpace - 1);
    request.version = requestLine.substr(lastSpace + 1);
    while (lineEnd != std::string::npos && lineEnd + 2 < head.size()) {
        const std::size_t start = lineEnd + 2;
        lineEnd = head.find("\r\n", start);
        const std::string line = head.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos)
            request.headers[Lower(line.substr(0, colon))] = Trimmed(line.substr(colon + 1));
    }
    return true;
}

HttpReply Plain(int status, const char* reason)
{
    HttpReply reply;
    reply.status = status;
    reply.reason = reason;
    reply.body = reason;
    return reply;
}

void SendReply(int connection, const HttpReply& reply)
{
    char head[256];
    std::snprintf(head, sizeof head,
        "HTTP/1.1 %d %s\r\nContent-Type: %s\r\nContent-Length: %zu\r\nConnection: close\r\n\r\n", reply.status,
        reply.reason.c_str(), reply.contentType.c_str(), reply.body.size());
    if (SendAll(connection, head, std::char_traits<char>::length(head)))
        SendAll(connection, reply.body);
}

} // namespace

HttpServer::HttpServer(int port, Handler handler)
    : m_handler(std::move(handler))
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(m_listener, 64) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno));
    m_port = ntohs(address.sin_port);
}

HttpServer::~HttpServer()
{
    ::close(m_listener);
}

void HttpServer::serveUntil(int stopDescriptor)
{
    for (;;) {
        pollfd entries[2] = { { m_listener, POLLIN, 0 }, { stopDescriptor, POLLIN, 0 } };
        if (::poll(entries, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            throw std::runtime_error(std::string("poll: ") + std::strerror(errno));
        }
        if (entries[1].revents)
            return;
        const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        const timeval bound { kClientTimeoutSeconds, 0 };
        ::setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
        ::setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, &bound, sizeof bound);
        serve(connection);
        ::close(connection);
    }
}

void HttpServer::serve(int connection)
{
    std::string received;
    std::size_t headEnd;
    while ((headEnd = received.find("\r\n\r\n")) == std::string::npos) {
        if (received.size() > kMaxHeadSize)
            return SendReply(connection, Plain(431, "Request Header Fields Too Large"));
        if (!ReceiveMore(connection, received, 65536))
            return;
    }
    HttpRequest request;
    if (!ParseHead(received.substr(0, headEnd), request))
        return SendReply(connection, Plain(400, "Bad Request"));
    if (request.headers.count("transfer-encoding"))
        return SendReply(connection, Plain(501, "Not Implemented"));

    std::size_t bodyLength = 0;
    if (const auto found = request.headers.find("content-length"); found != request.headers.end()) {
        char* end = nullptr;
        const long long value = std::strtoll(found->second.c_str(), &end, 10);
        if (*end != '\0' || value < 0)
            return SendReply(connection, Plain(400, "Bad Request"));
        if (value > kMaxBodySize)
            return SendReply(connection, Plain(413, "Payload Too Large"));
        bodyLength = static_cast<std::size_t>(value);
    }
    if (Lower(request.headers["expect"]) == "100-continue" && request.version == "HTTP/1.1")
        SendAll(connection, std::string("HTTP/1.1 100 Continue\r\n\r\n"));

    request.body = received.substr(headEnd + 4);
    request.body.reserve(bodyLength);
    while (request.body.size() < bodyLength) {
        if (!ReceiveMore(connection, request.body, std::min<std::size_t>(bodyLength - request.body.size(), 1 << 20)))
            return;
    }
    request.body.resize(bodyLength);
    HttpReply reply;
    try {
        reply = m_handler(request);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "portal-standin: %s\n", error.what());
        reply = Plain(500, "Internal Server Error");
    }
    SendReply(connection, reply);
    ::shutdown(connection, SHUT_WR);
}
