#pragma once

#include "portal/HttpResponseReader.h"
#include "portal/Transport.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

struct HttpUrl;

// Bounds on the waits of one exchange. Without them a portal that accepts the
// connection and never answers would hold the program for good; a batch can
// take the portal minutes to run, hence the generous wait for its bytes.
struct HttpTimeouts {
    int connectMs = 30 * 1000;
    int waitMs = 300 * 1000; // without a byte from the server
};

// An HTTP/1.0 client for one POST of form lines over a connection of its own:
// plain for an http URL, TLS with the server's certificate verified for an
// https one, the same bytes inside either. It follows no redirect, uses no
// proxy or credentials, and reports every failure as an error carrying the
// operator's message.
class HttpClient {
public:
    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    void setRequestContentType(const QString& contentType) { m_contentType = contentType; }
    void setRequestUserAgent(const QString& userAgent) { m_userAgent = userAgent; }
    void setTimeouts(const HttpTimeouts& timeouts) { m_timeouts = timeouts; }
    // A PEM file of authorities trusted for https besides the system's own.
    void setAuthorityFile(const QString& path) { m_authorityFile = path; }

    // The bounds every new client starts with.
    static void setDefaultTimeouts(const HttpTimeouts& timeouts);
    static HttpTimeouts defaultTimeouts();

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
    HttpTimeouts m_timeouts;
    HttpResponse m_response;
    std::unique_ptr<Transport> m_transport;
};
