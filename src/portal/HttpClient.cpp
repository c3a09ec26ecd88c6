#include "portal/HttpClient.h"

#include "common/Cp1252.h"
#include "common/Errors.h"
#include "portal/HttpUrl.h"
#include "portal/SocketTransport.h"
#include "portal/TlsTransport.h"

#include <array>

namespace {

// Every client runs on the user-interface thread: a plain count starts the
// sockets library with the first client and stops it with the last.
int g_clientCount = 0;
HttpTimeouts g_defaultTimeouts;

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

class SocketByteSource : public ByteSource {
public:
    SocketByteSource(Transport& transport, int timeoutMs)
        : m_transport(transport)
        , m_timeoutMs(timeoutMs)
    {
    }
    qsizetype receive(char* buffer, qsizetype maxSize) override
    {
        return m_transport.receive(buffer, maxSize, m_timeoutMs);
    }

private:
    Transport& m_transport;
    int m_timeoutMs;
};

} // namespace

HttpClient::HttpClient()
    : m_timeouts(g_defaultTimeouts)
{
    if (g_clientCount == 0)
        SocketPlatform::Startup();
    ++g_clientCount;
}

HttpClient::~HttpClient()
{
    closeConnection();
    if (--g_clientCount == 0)
        SocketPlatform::Cleanup();
}

void HttpClient::setDefaultTimeouts(const HttpTimeouts& timeouts)
{
    g_defaultTimeouts = timeouts;
}

HttpTimeouts HttpClient::defaultTimeouts()
{
    return g_defaultTimeouts;
}

void HttpClient::Post(const QString& url, const QList<QByteArray>& formLines, QByteArray& sink)
{
    closeConnection();
    m_response = HttpResponse();
    const HttpUrl parsed = ParseHttpUrl(url);
    openConnection(parsed);
    sendRequest(parsed.target(), parsed.host, formLines);

    SocketByteSource source(*m_transport, m_timeouts.waitMs);
    HttpResponseReader(source).read(m_response, sink);

    const bool success = m_response.statusCode >= 200 && m_response.statusCode <= 299
        && !m_response.headers.contains(QStringLiteral("Location"));
    if (!success)
        throw HttpReplyError(m_response.statusCode, m_response.statusText);
    m_transport->shutdownSend();
    closeConnection();
}

void HttpClient::openConnection(const HttpUrl& url)
{
    // An https address runs the same exchange inside TLS; any other is plain HTTP.
    if (url.secure)
        m_transport = std::make_unique<TlsTransport>(m_authorityFile);
    else
        m_transport = std::make_unique<SocketTransport>();
    try {
        m_transport->open(url.host, url.port, m_timeouts.connectMs);
    } catch (...) {
        // A connection that failed to open is not kept for the release.
        closeConnection();
        throw;
    }
}

void HttpClient::sendLine(const QByteArray& text)
{
    const std::array<QByteArrayView, 2> pieces { QByteArrayView(text), QByteArrayView(kLineEnd) };
    m_transport->send(pieces, m_timeouts.waitMs);
}

void HttpClient::sendHeader(const char* name, const QString& value)
{
    if (!value.isEmpty())
        sendLine(name + Cp1252::encode(value));
}

void HttpClient::sendRequest(const QString& target, const QString& host, const QList<QByteArray>& formLines)
{
    qint64 bodyLength = 0;
    for (const QByteArray& line : formLines)
        bodyLength += line.size() + kLineEnd.size();

    // Each line goes to the socket the moment it is formed.
    sendLine("POST " + Cp1252::encode(target) + " HTTP/1.0");
    sendLine("Host: " + Cp1252::encode(host));
    sendHeader("Accept: ", m_accept);
    sendHeader("User-Agent: ", m_userAgent);
    sendHeader("Content-Type: ", m_contentType);
    if (bodyLength != 0)
        sendHeader("Content-Length: ", QString::number(bodyLength));
    sendLine(QByteArray());
    for (const QByteArray& line : formLines)
        sendLine(line);
}

void HttpClient::closeConnection()
{
    m_transport.reset();
}
