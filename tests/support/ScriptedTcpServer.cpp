#include "support/ScriptedTcpServer.h"

#include "support/HttpRequestLength.h"

#include <chrono>
#include <thread>

ScriptedTcpServer::ScriptedTcpServer(const QByteArray& reply, Ending ending)
    : ScriptedTcpServer(QList<QByteArray> { reply }, ending)
{
}

ScriptedTcpServer::ScriptedTcpServer(const QList<QByteArray>& replyPieces, Ending ending)
    : m_reply(replyPieces)
    , m_ending(ending)
    , m_server([this](TestSocket connection, int rank) {
        if (rank == 0)
            serveFirst(connection);
    })
{
}

ScriptedTcpServer::~ScriptedTcpServer()
{
    stop();
}

QString ScriptedTcpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

QByteArray ScriptedTcpServer::received()
{
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [this] { return m_firstDone; });
    return m_received;
}

void ScriptedTcpServer::stop()
{
    m_server.stop();
    markFirstDone(); // a server stopped before any connection received nothing
}

void ScriptedTcpServer::serveFirst(TestSocket connection)
{
    if (m_ending != Ending::CloseAtOnce) {
        readRequest(connection);
        if (m_ending != Ending::Silent) {
            for (qsizetype i = 0; i < m_reply.size(); ++i) {
                if (m_ending == Ending::Drip && i > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(kDripPauseMs));
                SendAll(connection, m_reply.at(i));
            }
        }
        if (m_ending == Ending::HoldOpen || m_ending == Ending::Silent) {
            // Until the client closes its side (or the test stops the server).
            char block[4096];
            while (m_server.waitReadable(connection) && ReceiveSome(connection, block, sizeof block) > 0) { }
        }
    }
    markFirstDone();
}

void ScriptedTcpServer::markFirstDone()
{
    std::lock_guard lock(m_mutex);
    m_firstDone = true;
    m_done.notify_all();
}

void ScriptedTcpServer::readRequest(TestSocket connection)
{
    QByteArray request;
    char block[65536];
    for (;;) {
        const std::optional<qint64> length = HttpRequestLength(request);
        const bool answerNow = m_ending == Ending::AnswerFirstBytes && !request.isEmpty();
        if ((length && request.size() >= *length) || answerNow || !m_server.waitReadable(connection))
            break;
        const int n = ReceiveSome(connection, block, sizeof block);
        if (n <= 0)
            break;
        request.append(block, n);
    }
    std::lock_guard lock(m_mutex);
    m_received = request;
}
