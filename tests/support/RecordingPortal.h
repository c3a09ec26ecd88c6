#pragma once

#include "support/LoopbackServer.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <mutex>

// A family portal that records every request it receives, in arrival order,
// and answers each with the next scripted answer (then 200 with an empty
// body). It serves on a thread of its own, since the program's requests block
// the test's thread, and points the program at itself while it lives.
class RecordingPortal {
public:
    struct Answer {
        int status = 200;
        QByteArray body;
    };
    struct Request {
        QString path;
        QString token;
        QString query; // the form's query field, decoded back from Windows-1252
        QStringList seenOnArrival; // what the look gave the moment the request was in
    };

    explicit RecordingPortal(QList<Answer> script = {});
    ~RecordingPortal();
    RecordingPortal(const RecordingPortal&) = delete;
    RecordingPortal& operator=(const RecordingPortal&) = delete;

    // A look taken on the portal's thread as each request arrives, while the
    // program waits for the reply (the statement log's lines, say).
    void lookOnArrival(std::function<QStringList()> look) { m_look = std::move(look); }

    QList<Request> requests() const;
    QStringList queries() const;

private:
    void answer(TestSocket connection);
    Answer nextAnswer();

    QList<Answer> m_script;
    std::function<QStringList()> m_look;
    QString m_previousBaseUrl;
    mutable std::mutex m_mutex;
    QList<Request> m_requests;
    LoopbackServer m_server; // last: it serves once everything above is ready
};
