#include "portal/HttpClient.h"

#include "common/Cp1252.h"
#include "common/Errors.h"
#include "portal/HttpUrl.h"
#include "portal/SocketTransport.h"
#include "portal/TlsTransport.h"
#include "portal/WinsockMessages.h"

#include <QDeadlineTimer>

#include <array>
#include <optional>

namespace {

// Every client runs on the user-interface thread: a plain count starts the
// sockets library with the first client and stops it with the last.
int g_clientCount = 0;
HttpBounds g_defaultBounds;

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

// The waits for the bytes of one reply: each is bounded, and so is their sum,
// counted from the end of the request; both fail as a time-out.
class ReplyWaits {
public:
    explicit ReplyWaits(const HttpBounds& bounds)
        : m_waitMs(bounds.waitMs)
        , m_deadline(bounds.replyMs)
    {
    }
    int next() const
    {
        const qint64 left = m_deadline.remainingTime();
        if (left == 0)
            ThrowSocketError(WinsockMessages::kTimedOut);
        return left < 0 ? m_waitMs : static_cast<int>(qMin<qint64>(m_waitMs, left));
    }

private:
    int m_waitMs;
    QDeadlineTimer m_deadline;
};

class ConnectionByteSource : public ByteSource {
public:
    ConnectionByteSource(Transport& transport, const HttpBounds& bounds)
        : m_transport(transport)
        , m_waits(bounds)
    {
    }
    qsizetype receive(char* buffer, qsizetype maxSize) override
    {
        const qsizetype count = m_transport.receive(buffer, maxSize, m_waits.next());
        m_received += count;
        return count;
    }
    bool closeWasAnnounced() const override { return m_transport.closeWasAnnounced(); }
    qint64 received() const { return m_received; }

private:
    Transport& m_transport;
    ReplyWaits m_waits;
    qint64 m_received = 0;
};

// A TLS server reached at an http address drops the connection without a
// byte, which a closed or reset connection alone does not explain to the operator.
// The request went over plain HTTP and not a byte came back.
bool droppedOverHttp(const HttpUrl& url, const std::optional<ConnectionByteSource>& source)
{
    return !url.secure && !(source && source->received() > 0);
}

const QString kMaybeHttps = QStringLiteral(" Le portail n'a rien répondu à la requête en http : s'il est servi en https, "
                                           "son adresse doit commencer par https://.");

} // namespace

HttpClient::HttpClient()
    : m_bounds(g_defaultBounds)
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

void HttpClient::setDefaultBounds(const HttpBounds& bounds)
{
    g_defaultBounds = bounds;
}

HttpBounds HttpClient::defaultBounds()
{
    return g_defaultBounds;
}

void HttpClient::Post(const QString& url, const QList<QByteArray>& formLines, QByteArray& sink)
{
    closeConnection();
    m_response = HttpResponse();
    const HttpUrl parsed = ParseHttpUrl(url);
    openConnection(parsed);
    // The reply's bounds count from the end of the request.
    std::optional<ConnectionByteSource> source;
    try {
        sendRequest(parsed.target(), parsed.host, formLines);
        source.emplace(*m_transport, m_bounds);
        HttpResponseReader(*source, m_bounds.maxReplyBytes).read(m_response, sink);
    } catch (const ConnectionClosedError& error) {
        if (!droppedOverHttp(parsed, source))
            throw;
        throw ConnectionClosedError::WithMessage(error.message() + kMaybeHttps);
    } catch (const SocketError& error) {
        if (error.number() != WinsockMessages::kConnectionReset || !droppedOverHttp(parsed, source))
            throw;
        throw SocketError(error.number(), error.message() + kMaybeHttps);
    }

    const bool success = m_response.statusCode >= 200 && m_response.statusCode <= 299
        && !m_response.headers.contains(QStringLiteral("Location"));
    if (!success)
        throw HttpReplyError(
            m_response.statusCode, m_response.statusText, m_response.headers.value(QStringLiteral("Location")));
    m_transport->shutdownSend();
    closeConnection();
}

void HttpClient::openConnection(const HttpUrl& url)
{
    // An https address runs the same exchange inside TLS; any other is plain HTTP.
    if (url.secure)
        m_transport = std::make_unique<TlsTransport>(m_authorityFile, m_proxy);
    else
        m_transport = std::make_unique<SocketTransport>(m_proxy);
    try {
        m_transport->open(url.host, url.port, m_bounds.connectMs);
    } catch (...) {
        // A connection that failed to open is not kept for the release.
        closeConnection();
        throw;
    }
}

void HttpClient::sendLine(const QByteArray& text)
{
    const std::array<QByteArrayView, 2> pieces { QByteArrayView(text), QByteArrayView(kLineEnd) };
    m_transport->send(pieces, m_bounds.waitMs);
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
    m_transport->flush(m_bounds.waitMs);
}

void HttpClient::closeConnection()
{
    m_transport.reset();
}
