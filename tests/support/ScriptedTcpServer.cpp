#include "support/ScriptedTcpServer.h"

#include "support/HttpRequestLength.h"
#include "support/LoopbackListener.h"
#include "support/SendAll.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace {

// Whether the whole request, head and body, has arrived.
bool RequestComplete(const QByteArray& bytes)
{
    const std::optional<qint64> length = HttpRequestLength(bytes);
    return length && bytes.size() >= *length;
}

} // namespace

ScriptedTcpServer::ScriptedTcpServer(const QByteArray& reply, Ending ending)
    : ScriptedTcpServer(QList<QByteArray> { reply }, ending)
{
}

ScriptedTcpServer::ScriptedTcpServer(const QList<QByteArray>& replyPieces, Ending ending)
    : m_reply(replyPieces)
    , m_ending(ending)
{
    const LoopbackListener listener = OpenLoopbackListener();
    m_listener = listener.socket;
    m_port = listener.port;
    if (::pipe(m_wake) != 0) {
        ::close(m_listener);
        throw std::runtime_error("scripted server: cannot open its wake-up pipe");
    }
    m_thread = std::thread([this] { run(); });
}

ScriptedTcpServer::~ScriptedTcpServer()
{
    stop();
    ::close(m_listener);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
}

QString ScriptedTcpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

QByteArray ScriptedTcpServer::received()
{
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [this] { return m_firstDone; });
    return m_received;
}

void ScriptedTcpServer::stop()
{
    if (m_stopped)
        return;
    m_stopped = true;
    const char byte = 0;
    if (::write(m_wake[1], &byte, 1) != 1)
        throw std::runtime_error("scripted server: cannot wake the server thread");
    m_thread.join();
}

void ScriptedTcpServer::run()
{
    bool first = true;
    for (;;) {
        pollfd entries[2] = { { m_listener, POLLIN, 0 }, { m_wake[0], POLLIN, 0 } };
        if (::poll(entries, 2, -1) < 0)
            continue;
        if (entries[1].revents) {
            acceptPending();
            break;
        }
        const int connection = ::accept(m_listener, nullptr, nullptr);
        if (connection < 0)
            continue;
        ++m_connections;
        if (first)
            serveFirst(connection);
        ::close(connection);
        first = false;
    }
    markFirstDone(); // a server stopped before any connection received nothing
}

void ScriptedTcpServer::serveFirst(int connection)
{
    if (m_ending == Ending::CloseAtOnce) {
        markFirstDone();
        return;
    }
    readRequest(connection);
    if (m_ending != Ending::Silent) {
        for (const QByteArray& piece : m_reply)
            SendAll(connection, piece);
    }
    if (m_ending == Ending::HoldOpen || m_ending == Ending::Silent) {
        // Until the client closes its side (or the test stops the server).
        char block[4096];
        while (waitReadable(connection) && ::recv(connection, block, sizeof block, 0) > 0) { }
    }
    markFirstDone();
}

void ScriptedTcpServer::markFirstDone()
{
    std::lock_guard lock(m_mutex);
    m_firstDone = true;
    m_done.notify_all();
}

void ScriptedTcpServer::readRequest(int connection)
{
    QByteArray request;
    char block[65536];
    while (!RequestComplete(request) && waitReadable(connection)) {
        const ssize_t n = ::recv(connection, block, sizeof block, 0);
        if (n <= 0)
            break;
        request.append(block, n);
    }
    std::lock_guard lock(m_mutex);
    m_received = request;
}

bool ScriptedTcpServer::waitReadable(int connection)
{
    pollfd entries[2] = { { connection, POLLIN, 0 }, { m_wake[0], POLLIN, 0 } };
    while (::poll(entries, 2, -1) < 0) { }
    return entries[1].revents == 0;
}

void ScriptedTcpServer::acceptPending()
{
    ::fcntl(m_listener, F_SETFL, ::fcntl(m_listener, F_GETFL, 0) | O_NONBLOCK);
    for (int connection; (connection = ::accept(m_listener, nullptr, nullptr)) >= 0;) {
        ++m_connections;
        ::close(connection);
    }
}
