#pragma once

#include "portal/HttpResponseReader.h"
#include "portal/ProxyRoute.h"
#include "portal/Transport.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

struct HttpUrl;

// Bounds on one exchange. Without them a portal that accepts the connection
// and never answers, or answers a byte at a time, or without end, would hold
// the program for good or take all its memory; a batch can take the portal
// minutes to run, hence the generous waits.
struct HttpBounds {
    int connectMs = 30 * 1000;
    int waitMs = 300 * 1000; // without a byte from the server
    int replyMs = 300 * 1000; // for the whole reply, from the end of the request
    qint64 maxReplyBytes = qint64(256) << 20; // status line, headers and body
};

// An HTTP/1.0 client for one POST of form lines over a connection of its own:
// plain for an http URL, TLS with the server's certificate verified for an
// https one, the same bytes inside either, straight or through the town's
// proxy. It follows no redirect, sends no credentials to the portal, and
// reports every failure as an error carrying the operator's message.
class HttpClient {
public:
    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    void setRequestContentType(const QString& contentType) { m_contentType = contentType; }
    void setRequestUserAgent(const QString& userAgent) { m_userAgent = userAgent; }
    void setBounds(const HttpBounds& bounds) { m_bounds = bounds; }
    // A PEM file of authorities trusted for https besides the system's own.
    void setAuthorityFile(const QString& path) { m_authorityFile = path; }
    void setProxy(const ProxyRoute& route) { m_proxy = route; }

    // The bounds every new client starts with.
    static void setDefaultBounds(const HttpBounds& bounds);
    static HttpBounds defaultBounds();

    // Sends the form lines (their Windows-1252 bytes, each followed by CR LF on
    // the wire) as the body of a POST to the URL and appends the response body
    // to the sink. Returns only for a 2xx status without a Location header.
    void Post(const QString& url, const QList<QByteArray>& formLines, QByteArray& sink);

    int responseCode() const { return m_response.statusCode; }
    const QString& responseText() const { return m_response.statusText; }
    const HttpHeaders& responseHeaders() const { return m_response.headers; }

private:
    void openConnection(const HttpUrl& url);
    void sendLine(const QByteArray& text);
    void sendHeader(const char* name, const QString& value); // only when the value is set
    void sendRequest(const QString& target, const QString& host, const QList<QByteArray>& formLines);
    void closeConnection();

    QString m_accept = QStringLiteral("text/html, */*");
    QString m_userAgent;
    QString m_contentType;
    QString m_authorityFile;
    ProxyRoute m_proxy;
    HttpBounds m_bounds;
    HttpResponse m_response;
    std::unique_ptr<Transport> m_transport;
};
