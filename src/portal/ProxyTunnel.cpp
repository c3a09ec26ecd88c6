#include "portal/ProxyTunnel.h"

#include "common/Cp1252.h"
#include "common/Errors.h"
#include "portal/SocketTransport.h"
#include "portal/WinsockMessages.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

#include <array>

namespace {

// A proxy's reply to CONNECT is a few lines; a longer one is no proxy's.
constexpr qsizetype kLongestReply = 64 * 1024;
// What a message quotes of the proxy's status line.
constexpr qsizetype kLongestStatusShown = 120;

const QByteArray kBlankLine = QByteArrayLiteral("\r\n\r\n");

QString SocketCause(const SocketError& error)
{
    return QString(error.message()).replace(QLatin1String("\r\n"), QLatin1String(" : "));
}

class Tunnel {
public:
    Tunnel(SocketPlatform::Handle socket, const ProxyRoute& route, const QString& host, int port, int timeoutMs)
        : m_socket(socket)
        , m_route(route)
        , m_target(QStringLiteral("%1:%2").arg(host).arg(port))
        , m_timeoutMs(timeoutMs)
        , m_deadline(timeoutMs)
    {
    }

    void open()
    {
        sendRequest();
        const QByteArray reply = readReply();
        const qsizetype lineEnd = reply.indexOf("\r\n");
        const QString statusLine = Cp1252::decode(reply.left(lineEnd));
        static const QRegularExpression status(QStringLiteral("^HTTP/\\d\\.\\d (\\d{3})( |$)"));
        const QRegularExpressionMatch match = status.match(statusLine);
        if (!match.hasMatch())
            fail(QStringLiteral("a répondu à la demande de tunnel autre chose que du HTTP (« %1 »)")
                     .arg(Shown(statusLine)));
        const int code = match.captured(1).toInt();
        if (code >= 200 && code <= 299) {
            if (reply.size() > reply.indexOf(kBlankLine) + kBlankLine.size())
                fail(QStringLiteral("a envoyé des octets au nom du portail avant la requête"));
            return;
        }
        // Some proxies answer a CONNECT they will not authenticate with 401, not 407.
        if (code == 407 || code == 401)
            failAuthentication(reply);
        fail(QStringLiteral("a refusé d'ouvrir la connexion vers %1 : il a répondu « %2 ». Demandez au service "
                            "informatique de la ville d'autoriser les connexions (méthode CONNECT) vers %1")
                 .arg(m_target, Shown(statusLine)));
    }

private:
    static QString Shown(QString text)
    {
        for (QChar& c : text) {
            if (c.unicode() < 0x20)
                c = QLatin1Char(' ');
        }
        return text.size() <= kLongestStatusShown ? text : text.left(kLongestStatusShown) + QStringLiteral("…");
    }

    [[noreturn]] void fail(const QString& what) const
    {
        throw QuilvanorError(QStringLiteral("Le proxy %1 (%2) %3. Rien n'a été envoyé au portail.")
                                 .arg(m_route.shown(), m_route.origin, what));
    }

    void sendRequest()
    {
        QByteArray request
            = "CONNECT " + Cp1252::encode(m_target) + " HTTP/1.1\r\nHost: " + Cp1252::encode(m_target) + "\r\n";
        if (!m_route.user.isEmpty())
            request += "Proxy-Authorization: Basic "
                + Cp1252::encode(m_route.user + QLatin1Char(':') + m_route.password).toBase64() + "\r\n";
        request += "\r\n";
        const std::array<QByteArrayView, 1> pieces { QByteArrayView(request) };
        try {
            SocketPlatform::Send(m_socket, pieces, waitLeft());
        } catch (const SocketError& error) {
            fail(QStringLiteral("a fermé la connexion pendant la demande de tunnel (%1)").arg(SocketCause(error)));
        }
    }

    // The reply up to its blank line; read in small pieces, so that little of
    // what may follow it is taken from the connection.
    QByteArray readReply()
    {
        QByteArray reply;
        while (!reply.contains(kBlankLine)) {
            if (reply.size() >= kLongestReply)
                fail(QStringLiteral("a répondu à la demande de tunnel par plus de %1 Ko d'en-têtes")
                         .arg(kLongestReply / 1024));
            char buffer[512];
            qsizetype count = 0;
            try {
                count = SocketPlatform::Receive(m_socket, buffer, sizeof buffer, waitLeft());
            } catch (const SocketError& error) {
                if (error.number() == WinsockMessages::kTimedOut)
                    failTimedOut();
                fail(QStringLiteral("a coupé la connexion sans répondre à la demande de tunnel (%1)")
                         .arg(SocketCause(error)));
            }
            if (count == 0)
                fail(reply.isEmpty() ? QStringLiteral("a fermé la connexion sans répondre à la demande de tunnel")
                                     : QStringLiteral("a fermé la connexion au milieu de sa réponse à la demande "
                                                      "de tunnel"));
            reply.append(buffer, count);
        }
        return reply;
    }

    int waitLeft() const
    {
        const qint64 left = m_deadline.remainingTime();
        if (left == 0)
            failTimedOut();
        return static_cast<int>(left);
    }

    [[noreturn]] void failTimedOut() const
    {
        fail(QStringLiteral("n'a pas ouvert la connexion vers %1 en %2 s")
                 .arg(m_target)
                 .arg((m_timeoutMs + 999) / 1000));
    }

    // The schemes the proxy asks for, in the order of its headers.
    static QStringList SchemesAsked(const QByteArray& reply)
    {
        static const QRegularExpression challenge(
            QStringLiteral("^(?:Proxy|WWW)-Authenticate:[ \\t]*([A-Za-z0-9!#$%&'*+.^_`|~-]+)"),
            QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
        QStringList schemes;
        const QString headers = Cp1252::decode(reply).remove(QLatin1Char('\r'));
        for (auto match = challenge.globalMatch(headers); match.hasNext();) {
            const QString scheme = match.next().captured(1);
            if (!schemes.contains(scheme, Qt::CaseInsensitive))
                schemes << scheme;
        }
        return schemes;
    }

    [[noreturn]] void failAuthentication(const QByteArray& reply) const
    {
        const QStringList schemes = SchemesAsked(reply);
        const QString asked = schemes.isEmpty() ? QStringLiteral("sans dire laquelle")
                                                : QStringLiteral("(%1)").arg(schemes.join(QStringLiteral(", ")));
        const bool basicAsked = schemes.contains(QLatin1String("Basic"), Qt::CaseInsensitive);
        if (!m_route.user.isEmpty() && basicAsked)
            fail(QStringLiteral("a refusé l'identifiant « %1 » et son mot de passe (authentification Basic) : "
                                "vérifiez ProxyUtilisateur et ProxyMotDePasse dans la section [Portail] du "
                                "fichier de paramètres")
                     .arg(m_route.user));
        if (basicAsked || schemes.isEmpty())
            fail(QStringLiteral("demande une authentification %1 : donnez ProxyUtilisateur et ProxyMotDePasse "
                                "dans la section [Portail] du fichier de paramètres")
                     .arg(asked));
        fail(QStringLiteral("demande une authentification %1 que le programme ne sait pas donner : il sait "
                            "l'authentification Basic (ProxyUtilisateur et ProxyMotDePasse). Demandez au service "
                            "informatique de la ville un accès par mot de passe ou une exception pour le portail")
                 .arg(asked));
    }

    SocketPlatform::Handle m_socket;
    const ProxyRoute& m_route;
    QString m_target;
    int m_timeoutMs;
    QDeadlineTimer m_deadline;
};

SocketPlatform::Handle OpenProxyConnection(const ProxyRoute& route, int connectMs)
{
    try {
        return OpenStreamConnection(route.host, route.port, connectMs);
    } catch (const SocketError& error) {
        throw QuilvanorError(QStringLiteral("Le proxy %1 (%2) est injoignable (%3). Rien n'a été envoyé au portail.")
                                 .arg(route.shown(), route.origin, SocketCause(error)));
    }
}

} // namespace

SocketPlatform::Handle OpenPortalConnection(const QString& host, int port, int connectMs, const ProxyRoute& route)
{
    if (route.direct())
        return OpenStreamConnection(host, port, connectMs);
    const SocketPlatform::Handle socket = OpenProxyConnection(route, connectMs);
    try {
        Tunnel(socket, route, host, port, connectMs).open();
    } catch (...) {
        SocketPlatform::Close(socket);
        throw;
    }
    return socket;
}
