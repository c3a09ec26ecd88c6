#include "PortalReply.h"

#include "common/Cp1252.h"
#include "portal/FonctionsVendrolles.h"

PortalReply::PortalReply(const QString& body)
    : m_previousBaseUrl(PortalBaseUrl())
{
    const QByteArray bytes = Cp1252::encode(body);
    const QByteArray response = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: "
        + QByteArray::number(bytes.size()) + "\r\n\r\n" + bytes;
    m_server = std::make_unique<ScriptedTcpServer>(response);
    SetPortalBaseUrl(m_server->url(QString()));
}

PortalReply::~PortalReply()
{
    SetPortalBaseUrl(m_previousBaseUrl);
}

QString GeneratedClients(int count)
{
    QString reply;
    for (int i = 1; i <= count; ++i)
        reply += QStringLiteral("%1;Nom %1;%1 rue des Lilas;7500%2;Ville %1\r\n").arg(i).arg(i % 10);
    return reply;
}
