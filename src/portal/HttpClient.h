#pragma once

#include "portal/HttpResponseReader.h"
#include "portal/SocketPlatform.h"

#include <QByteArray>
#include <QList>
#include <QString>

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

// An HTTP/1.0 client for one POST of form lines over a connection of its own.
// It follows no redirect, uses no proxy, TLS or credentials, and reports every
// failure as an error carrying the operator's message.
class HttpClient {
public:
    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    void setRequestContentType(const QString& contentType) { m_contentType = contentType; }
    void setRequestUserAgent(const QString& userAgent) { m_userAgent = userAgent; }
    void setBounds(const HttpBounds& bounds) { m_bounds = bounds; }

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
    void connectTo(const QString& host, int port);
    void sendLine(const QByteArray& text);
    void sendHeader(const char* name, const QString& value); // only when the value is set
    void sendRequest(const QString& target, const QString& host, const QList<QByteArray>& formLines);
    void closeConnection();

    QString m_accept = QStringLiteral("text/html, */*");
    QString m_userAgent;
    QString m_contentType;
    HttpBounds m_bounds;
    HttpResponse m_response;
    SocketPlatform::Handle m_socket = SocketPlatform::kNoSocket;
};
