#pragma once

#include "support/LoopbackServer.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <condition_variable>
#include <mutex>

// A raw TCP server on the loopback: it records the exact bytes of the first
// connection's request and answers them with the scripted bytes, each piece in
// a send of its own. Later connections are only counted.
class ScriptedTcpServer {
public:
    enum class Ending {
        Close, // close the connection once the reply is sent
        HoldOpen, // keep it open after the reply until the client closes it
        Silent, // never answer; wait until the client closes
        CloseAtOnce, // close as soon as accepted, without reading a byte
        AnswerFirstBytes, // answer the first bytes received, whatever they are, and close (a TLS hello to a plain server)
        Drip, // a pause before each piece after the first, then close
    };
    static constexpr int kDripPauseMs = 30;

    explicit ScriptedTcpServer(const QByteArray& reply, Ending ending = Ending::Close);
    ScriptedTcpServer(const QList<QByteArray>& replyPieces, Ending ending);
    ~ScriptedTcpServer();
    ScriptedTcpServer(const ScriptedTcpServer&) = delete;
    ScriptedTcpServer& operator=(const ScriptedTcpServer&) = delete;

    int port() const { return m_server.port(); }
    // "http://127.0.0.1:<port>" followed by the path.
    QString url(const QString& path) const;

    // The first connection's request, once the server is done with it.
    QByteArray received();
    // Stops the server; afterwards every connection made to it is counted.
    void stop();
    int connectionCount() const { return m_server.connectionCount(); }

private:
    void serveFirst(TestSocket connection);
    void readRequest(TestSocket connection);
    void markFirstDone();

    QList<QByteArray> m_reply;
    Ending m_ending;
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_firstDone = false;
    QByteArray m_received;
    LoopbackServer m_server; // last: its thread starts once everything above is ready
};
