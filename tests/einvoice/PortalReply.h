#pragma once

#include "support/ScriptedTcpServer.h"

#include <QString>

#include <memory>

// A portal that answers the next request with a fixed reply text (sent as
// Windows-1252, HTTP/1.0 200), the program pointed at it while it lives.
class PortalReply {
public:
    explicit PortalReply(const QString& body);
    ~PortalReply();
    PortalReply(const PortalReply&) = delete;
    PortalReply& operator=(const PortalReply&) = delete;

    // The request the program sent, once it has been answered.
    QByteArray received() { return m_server->received(); }

private:
    std::unique_ptr<ScriptedTcpServer> m_server;
    QString m_previousBaseUrl;
};

// A reply of generated clients, five fields each: number i, "Nom i", ...
QString GeneratedClients(int count);
