#include "common/Errors.h"
#include "portal/CertificateName.h"
#include "portal/HttpClient.h"
#include "support/LoopbackPorts.h"
#include "support/ScriptedTcpServer.h"
#include "support/TlsFront.h"
#include "support/WebProxy.h"

#include <QDate>
#include <QRegularExpression>
#include <QTest>

#include <memory>
#include <optional>

namespace {

using Ending = ScriptedTcpServer::Ending;

// Bounds short enough that a client waiting where it should not fails the test
// with a time-out instead of holding it.
constexpr HttpBounds kTestBounds { 5000, 5000 };

const QList<QByteArray> kForm { QByteArrayLiteral("securiter=T&query=x") };

using TestCertificates::Server;

// Posts the form to the URL; the body lands in the sink. Over TLS, the test
// authority is trusted.
void Post(const QString& url, QByteArray& sink)
{
    HttpClient client;
    client.setAuthorityFile(TestCertificates::AuthorityFile());
    client.Post(url, kForm, sink);
}

// The server reached directly, or through TLS in front of it when a certificate is given.
class Endpoint {
public:
    Endpoint(const ScriptedTcpServer& server, std::optional<Server> certificate)
        : m_server(server)
    {
        if (certificate)
            m_front = std::make_unique<TlsFront>(server.port(), *certificate);
    }
    QString url(const QString& path) const { return m_front ? m_front->url(path) : m_server.url(path); }
    int port() const { return m_front ? m_front->port() : m_server.port(); }

private:
    const ScriptedTcpServer& m_server;
    std::unique_ptr<TlsFront> m_front;
};

void AddPlainAndTlsRows()
{
    QTest::addColumn<bool>("tls");
    QTest::newRow("http") << false;
    QTest::newRow("https") << true;
}

std::optional<Server> TrustedIf(bool tls)
{
    return tls ? std::optional<Server>(Server::Trusted) : std::nullopt;
}

// Posts the form to the server's root; the body lands in the sink.
void PostToRoot(const ScriptedTcpServer& server, QByteArray& sink)
{
    Post(server.url(QStringLiteral("/")), sink);
}

// The body of the server's reply to the form posted to its root.
QByteArray BodyFromRoot(const ScriptedTcpServer& server)
{
    QByteArray sink;
    PostToRoot(server, sink);
    return sink;
}

// The proxies a tunnel is refused by.
enum class ProxyKind { Down, AsksForPassword, ConnectTo443Only, Scripted, Silent };

template <class Error, class Call> Error Failure(Call call)
{
    try {
        call();
    } catch (const Error& error) {
        return error;
    }
    throw std::runtime_error("the call did not fail as expected");
}

} // namespace

class TestHttpClient : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        HttpClient::setDefaultBounds(kTestBounds);
        QFile notPem(QStringLiteral("pas-un-certificat.pem"));
        QVERIFY(notPem.open(QIODevice::WriteOnly) && notPem.write("texte, pas un certificat\n") > 0);
        // The authority's certificate with its key pasted after it, as an operator might.
        QFile withKey(QStringLiteral("autorite-et-cle.pem"));
        QFile certificate(TestCertificates::AuthorityFile());
        QFile key(QFileInfo(TestCertificates::AuthorityFile()).dir().filePath(QStringLiteral("ca.key")));
        QVERIFY(withKey.open(QIODevice::WriteOnly) && certificate.open(QIODevice::ReadOnly)
            && key.open(QIODevice::ReadOnly));
        QVERIFY(key.peek(64).contains("PRIVATE KEY-----"));
        withKey.write(certificate.readAll() + key.readAll());
    }

    void requestHeadersInOrderWithContentLengthOfTheFormLines_data() { AddPlainAndTlsRows(); }

    // Inside TLS the request is the same bytes as over plain HTTP.
    void requestHeadersInOrderWithContentLengthOfTheFormLines()
    {
        QFETCH(bool, tls);
        ScriptedTcpServer server("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
        const Endpoint endpoint(server, TrustedIf(tls));
        HttpClient client;
        client.setRequestUserAgent(QStringLiteral("Agent/1"));
        client.setRequestContentType(QStringLiteral("text/x"));
        client.setAuthorityFile(TestCertificates::AuthorityFile());
        QByteArray sink;
        client.Post(endpoint.url(QStringLiteral("/dir/doc.php")), { "ab", "c\xE9" }, sink);
        QCOMPARE(server.received(),
            QByteArray("POST /dir/doc.php HTTP/1.0\r\n"
                       "Host: 127.0.0.1\r\n"
                       "Accept: text/html, */*\r\n"
                       "User-Agent: Agent/1\r\n"
                       "Content-Type: text/x\r\n"
                       "Content-Length: 8\r\n"
                       "\r\n"
                       "ab\r\n"
                       "c\xE9\r\n"));
        QCOMPARE(sink, QByteArray("ok"));
        QCOMPARE(client.responseCode(), 200);
        QCOMPARE(client.responseText(), QStringLiteral("200 OK"));
    }

    void headersWithoutValueAndEmptyFormAreNotSent()
    {
        ScriptedTcpServer server("HTTP/1.0 200 OK\r\n\r\n");
        QByteArray sink;
        HttpClient client;
        client.Post(server.url(QStringLiteral("/")), {}, sink);
        QCOMPARE(server.received(), QByteArray("POST / HTTP/1.0\r\nHost: 127.0.0.1\r\nAccept: text/html, */*\r\n\r\n"));
    }

    void explicitPortLeavesHostHeaderWithTheNameAlone()
    {
        ScriptedTcpServer server("HTTP/1.0 200 OK\r\n\r\n");
        QByteArray sink;
        // "localhost" in any case is the loopback, reached without a name lookup.
        Post(QStringLiteral("http://LocalHost:%1/web/x.php").arg(server.port()), sink);
        const QByteArray request = server.received();
        QVERIFY(request.startsWith("POST /web/x.php HTTP/1.0\r\nHost: LocalHost\r\n"));
    }

    void urlBackslashesAndFragment()
    {
        ScriptedTcpServer server("HTTP/1.0 200 OK\r\n\r\n");
        QByteArray sink;
        Post(QStringLiteral("http:\\\\127.0.0.1:%1\\web\\index.php\\doc#part").arg(server.port()), sink);
        QVERIFY(server.received().startsWith("POST /web/index.php/doc HTTP/1.0\r\n"));
    }

    void urlWithoutPathPostsToRoot()
    {
        ScriptedTcpServer server("HTTP/1.0 200 OK\r\n\r\n");
        QByteArray sink;
        Post(QStringLiteral("http://127.0.0.1:%1").arg(server.port()), sink);
        QVERIFY(server.received().startsWith("POST / HTTP/1.0\r\n"));
    }

    void contentLengthReadsExactlyThatManyBytes()
    {
        // The connection stays open: the client must not wait for its close.
        ScriptedTcpServer server("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello and more", Ending::HoldOpen);
        QCOMPARE(BodyFromRoot(server), QByteArray("hello"));
    }

    void contentLengthNameInAnyCaseAndBodyInPieces()
    {
        const QByteArray body(100000, 'x');
        ScriptedTcpServer server(
            { "HTTP/1.1 200 OK\r\ncontent-LENGTH:   100000\r\n\r\nxx", body.mid(2, 40000), body.mid(40002) },
            Ending::HoldOpen);
        QCOMPARE(BodyFromRoot(server), body);
    }

    // Over TLS the close ends the reply only when announced by the closing
    // alert: a bare end of the connection may be a cut anywhere on the way.
    void withoutContentLengthTheBodyRunsToTheClose_data()
    {
        QTest::addColumn<bool>("tls");
        QTest::addColumn<bool>("alert");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("http") << false << false << "first second";
        QTest::newRow("https, closing alert") << true << true << "first second";
        QTest::newRow("https, bare close") << true << false
                                           << "La réponse du portail est coupée (42 octets reçus, sans l'avis de fin "
                                              "de la connexion sécurisée) : la connexion s'est terminée avant sa fin.";
    }

    void withoutContentLengthTheBodyRunsToTheClose()
    {
        QFETCH(bool, tls);
        QFETCH(bool, alert);
        QFETCH(QString, outcome);
        if (tls && alert && !TestCertificates::ClosingAlertHeard())
            QSKIP(TestCertificates::kWhyNoClosingAlert);
        ScriptedTcpServer server({ "HTTP/1.0 200 OK\r\nServer: x\r\n\r\nfirst ", "second" }, Ending::Close);
        std::unique_ptr<TlsFront> front;
        if (tls)
            front = std::make_unique<TlsFront>(server.port(), Server::Trusted,
                alert ? TlsFront::Ending::ClosingAlert : TlsFront::Ending::WithoutAlert);
        QByteArray sink;
        // By name, as a town's portal is reached: the certificate names localhost among its DNS names.
        const QString url = tls ? front->url(QStringLiteral("/"), QStringLiteral("localhost")) : server.url(QStringLiteral("/"));
        try {
            Post(url, sink);
            QCOMPARE(QString::fromLatin1(sink), outcome);
        } catch (const QuilvanorError& error) {
            QCOMPARE(error.message(), outcome);
        }
    }

    void contentLengthZeroOrNegativeCountsAsAbsent_data()
    {
        QTest::addColumn<QByteArray>("length");
        QTest::newRow("zero") << QByteArray("0");
        QTest::newRow("negative") << QByteArray("-3");
        QTest::newRow("not a number") << QByteArray("five");
    }

    void contentLengthZeroOrNegativeCountsAsAbsent()
    {
        QFETCH(QByteArray, length);
        ScriptedTcpServer server("HTTP/1.1 200 OK\r\nContent-Length: " + length + "\r\n\r\nall of it");
        QCOMPARE(BodyFromRoot(server), QByteArray("all of it"));
    }

    void emptyBodyGivesEmptySink()
    {
        ScriptedTcpServer server("HTTP/1.1 204 No Content\r\n\r\n");
        QVERIFY(BodyFromRoot(server).isEmpty());
    }

    void chunkedBodyIsJoined()
    {
        ScriptedTcpServer server(
            { "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nhel\r\n", "2 ext\r\nlo\r\n", "0\r\n\r\n" },
            Ending::HoldOpen);
        QCOMPARE(BodyFromRoot(server), QByteArray("hello"));
    }

    void chunkedIsRecognisedInItsExactCaseOnly()
    {
        ScriptedTcpServer server("HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n3\r\nhel\r\n0\r\n\r\n");
        QCOMPARE(BodyFromRoot(server), QByteArray("3\r\nhel\r\n0\r\n\r\n"));
    }

    // How a reply is framed decides where its body ends and whether it counts
    // as a success: the body read, or the failure's message.
    void framingAndStatus_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("failure");
        QTest::newRow("length wins over chunked")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Length: 5\r\n\r\nhello\r\n0\r\n\r\n")
            << QByteArray("hello") << QString();
        const QString damaged = QStringLiteral("La réponse du portail est endommagée (%1) : elle est refusée entière, "
                                               "rien n'a été enregistré.");
        QTest::newRow("chunk size not hexadecimal")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\nzz\r\nworld\r\n0\r\n\r\n")
            << QByteArray("hello")
            << damaged.arg(QStringLiteral("la taille d'un morceau, « zz », n'est pas un nombre hexadécimal"));
        QTest::newRow("chunk size missing")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n\r\n")
            << QByteArray("hello")
            << damaged.arg(QStringLiteral("la taille d'un morceau manque"));
        QTest::newRow("chunk size over 64 bits")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1ffffffffffffffff\r\nx\r\n0\r\n\r\n")
            << QByteArray() << ReplyTooLargeError(HttpBounds().maxReplyBytes).message();
        QTest::newRow("chunk longer than its size")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nhello\r\n0\r\n\r\n")
            << QByteArray("hel") << damaged.arg(QStringLiteral("un morceau est plus long que sa taille"));
        QTest::newRow("close inside a chunk")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhel") << QByteArray("hel")
            << QStringLiteral("La réponse du portail est coupée (3 octets reçus sur les 5 annoncés) : la connexion "
                              "s'est terminée avant sa fin.");
        QTest::newRow("line feeds alone end lines")
            << QByteArray("HTTP/1.1 200 OK\nTransfer-Encoding: chunked\n\n3\nhel\n2\nlo\n0\n\n") << QByteArray("hello")
            << QString();
        QTest::newRow("interim replies come before the reply")
            << QByteArray("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 103 Early Hints\r\nLink: </a>\r\n\r\n"
                          "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok")
            << QByteArray("ok") << QString();
        QTest::newRow("an interim reply then a failure")
            << QByteArray("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 500 Erreur\r\nContent-Length: 1\r\n\r\nx")
            << QByteArray("x") << QStringLiteral("500 Erreur");
        QTest::newRow("a status text's control bytes are shown escaped")
            << QByteArray("HTTP/1.1 500 Erreur\x1B[2J\x00\x81\r\nContent-Length: 1\r\n\r\nx", 49) << QByteArray("x")
            << QStringLiteral("500 Erreur\\x1B[2J\\x00\\x81");
        QTest::newRow("299 is a success")
            << QByteArray("HTTP/1.1 299 Odd\r\nContent-Length: 1\r\n\r\nx") << QByteArray("x") << QString();
        QTest::newRow("300 without Location is no success")
            << QByteArray("HTTP/1.1 300 Multiple Choices\r\nContent-Length: 1\r\n\r\nx") << QByteArray("x")
            << QStringLiteral("300 Multiple Choices");
    }

    void framingAndStatus()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, body);
        QFETCH(QString, failure);
        // Open after a complete reply, so that only the framing can end the body.
        ScriptedTcpServer server(reply, failure.contains(QStringLiteral("coupée")) ? Ending::Close : Ending::HoldOpen);
        QByteArray sink;
        QString message;
        try {
            PostToRoot(server, sink);
        } catch (const QuilvanorError& error) {
            message = error.message();
        }
        QCOMPARE(message, failure);
        QCOMPARE(sink, body);
    }

    void continuationLinesExtendTheHeaderValue()
    {
        ScriptedTcpServer server(
            "HTTP/1.1 200 OK\r\nX-Note: one\r\n  two\r\n\tthree \r\n four\r\nContent-Length: 1\r\n\r\nz");
        HttpClient client;
        QByteArray sink;
        client.Post(server.url(QStringLiteral("/")), kForm, sink);
        QCOMPARE(client.responseHeaders().value(QStringLiteral("x-note")), QStringLiteral("one two three four"));
        QCOMPARE(sink, QByteArray("z"));
    }

    void notFoundFailsWithStatusAfterReadingTheBody()
    {
        ScriptedTcpServer server("HTTP/1.1 404 Not Found\r\nContent-Length: 7\r\n\r\nmissing");
        QByteArray sink;
        const auto error = Failure<HttpReplyError>([&] { PostToRoot(server, sink); });
        QCOMPARE(error.statusCode(), 404);
        QCOMPARE(error.message(), QStringLiteral("404 Not Found"));
        QCOMPARE(sink, QByteArray("missing"));
    }

    void redirectIsNotFollowed_data() { AddPlainAndTlsRows(); }

    // Over TLS a redirect to plain HTTP is refused as any other: never downgraded.
    void redirectIsNotFollowed()
    {
        QFETCH(bool, tls);
        ScriptedTcpServer target("HTTP/1.0 200 OK\r\n\r\n");
        ScriptedTcpServer server("HTTP/1.1 302 Found\r\nLocation: " + target.url(QStringLiteral("/new")).toLatin1()
            + "\r\nContent-Length: 8\r\n\r\nailleurs");
        const Endpoint endpoint(server, TrustedIf(tls));
        QByteArray sink;
        const auto error = Failure<HttpReplyError>([&] { Post(endpoint.url(QStringLiteral("/")), sink); });
        QCOMPARE(error.statusCode(), 302);
        QCOMPARE(error.message(),
            QStringLiteral("302 Found : le portail renvoie vers « %1 », et le programme ne suit pas les redirections ; "
                           "vérifiez l'adresse du portail (clé Adresse de la section [Portail]).")
                .arg(target.url(QStringLiteral("/new"))));
        target.stop();
        server.stop();
        QCOMPARE(target.connectionCount(), 0);
        QCOMPARE(server.connectionCount(), 1);
    }

    void successWithLocationIsAFailure()
    {
        ScriptedTcpServer server("HTTP/1.1 200 OK\r\nlocation: /elsewhere\r\nContent-Length: 2\r\n\r\nok");
        QByteArray sink;
        const auto error = Failure<HttpReplyError>([&] { PostToRoot(server, sink); });
        QCOMPARE(error.statusCode(), 200);
        QCOMPARE(error.message(),
            QStringLiteral("200 OK : le portail renvoie vers « /elsewhere », et le programme ne suit pas les "
                           "redirections ; vérifiez l'adresse du portail (clé Adresse de la section [Portail])."));
    }

    // A close before the reply's end: before a byte of it, or part-way, when
    // the message says how far the reply came.
    void aCloseBeforeTheEnd_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("tlsServer"); // a TLS server at the http address, which drops the request
        QTest::addColumn<QString>("message"); // a pattern
        const QString cut = QStringLiteral("La réponse du portail est coupée (%1) : la connexion s'est terminée avant "
                                           "sa fin.");
        const QString maybeHttps = QRegularExpression::escape(QStringLiteral(
            " Le portail n'a rien répondu à la requête en http : s'il est servi en https, son adresse doit commencer "
            "par https://."));
        QTest::newRow("without a byte") << QByteArray() << false
                                        << QStringLiteral("La connexion s'est terminée proprement\\.") + maybeHttps;
        QTest::newRow("a TLS server at an http address")
            << QByteArray() << true
            << QStringLiteral("(La connexion s'est terminée proprement\\.|Erreur de socket # 10054\r\n.*)") + maybeHttps;
        QTest::newRow("before the announced length")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhello") << false
            << QRegularExpression::escape(cut.arg(QStringLiteral("5 octets reçus sur les 10 annoncés")));
        QTest::newRow("inside the headers") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n") << false
                                            << QRegularExpression::escape(cut.arg(QStringLiteral("37 octets reçus")));
    }

    void aCloseBeforeTheEnd()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, tlsServer);
        QFETCH(QString, message);
        ScriptedTcpServer server(reply, Ending::Close);
        std::unique_ptr<TlsFront> front;
        if (tlsServer)
            front = std::make_unique<TlsFront>(server.port());
        const QString url = tlsServer ? front->url(QStringLiteral("/")).replace(QStringLiteral("https:"), QStringLiteral("http:"))
                                      : server.url(QStringLiteral("/"));
        QByteArray sink;
        QString failure;
        try {
            Post(url, sink);
        } catch (const QuilvanorError& error) {
            failure = error.message();
        }
        QVERIFY2(QRegularExpression(QStringLiteral("^(") + message + QStringLiteral(")$"),
                     QRegularExpression::DotMatchesEverythingOption)
                     .match(failure)
                     .hasMatch(),
            qPrintable(failure));
    }

    void oneWordWithoutBlankIsNotAStatus()
    {
        ScriptedTcpServer server("garbage");
        QByteArray sink;
        const auto error = Failure<ConversionError>([&] { PostToRoot(server, sink); });
        QCOMPARE(error.message(), QStringLiteral("'' n'est pas une valeur entière correcte"));
    }

    void statusThatIsNotANumber()
    {
        ScriptedTcpServer server("HTTP/1.1 2OO OK\r\n\r\n");
        QByteArray sink;
        const auto error = Failure<ConversionError>([&] { PostToRoot(server, sink); });
        QCOMPARE(error.message(), QStringLiteral("'2OO' n'est pas une valeur entière correcte"));
    }

    void refusedConnection()
    {
        RefusingPort closed;
        QByteArray sink;
        const auto error
            = Failure<SocketError>([&] { Post(QStringLiteral("http://127.0.0.1:%1/").arg(closed.port()), sink); });
        QCOMPARE(error.number(), 10061);
        QCOMPARE(error.message(), QStringLiteral("Erreur de socket # 10061\r\nConnexion refusée."));
    }

    void unknownHostHasNoText()
    {
        QByteArray sink;
        const auto error = Failure<SocketError>([&] { Post(QStringLiteral("http://no-such-host.invalid/"), sink); });
        QCOMPARE(error.number(), 11001);
        QCOMPARE(error.message(), QStringLiteral("Erreur de socket # 11001\r\n"));
    }

    // Through the town's proxy the request goes in a CONNECT tunnel, over http
    // as over https, with Basic authentication when the proxy asks for it; the
    // portal receives the bytes of a direct connection.
    void throughTheProxyThePortalReceivesTheBytesOfADirectConnection_data()
    {
        QTest::addColumn<bool>("tls");
        QTest::addColumn<QString>("user");
        QTest::newRow("http") << false << QString();
        QTest::newRow("https") << true << QString();
        QTest::newRow("https, Basic authentication") << true << QStringLiteral("agent.mairie");
    }

    void throughTheProxyThePortalReceivesTheBytesOfADirectConnection()
    {
        if (OwnAddress().isEmpty())
            QSKIP(kWhyNoOwnAddress);
        QFETCH(bool, tls);
        QFETCH(QString, user);
        const QString password = QStringLiteral("mot-de_passe.1"); // as tinyproxy's settings can hold it
        const WebProxy proxy(WebProxy::Options { user, password, false });
        const auto receivedBy = [&](const std::optional<ProxyRoute>& route) {
            ScriptedTcpServer server("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok");
            const Endpoint portal(server, TrustedIf(tls));
            const OwnAddressRelay relay(tls ? portal.port() : server.port());
            HttpClient client;
            client.setAuthorityFile(TestCertificates::AuthorityFile());
            if (route)
                client.setProxy(*route);
            QByteArray sink;
            client.Post(relay.url(tls) + QStringLiteral("/cantine/export.php"), kForm, sink);
            if (sink != "ok")
                throw std::runtime_error("the reply did not come back whole");
            return server.received();
        };
        const QByteArray direct = receivedBy(std::nullopt);
        QCOMPARE(receivedBy(proxy.route(user, password)), direct);
        QVERIFY(direct.startsWith("POST /cantine/export.php HTTP/1.0\r\nHost: " + OwnAddress().toLatin1() + "\r\n"));
        QCOMPARE(proxy.tunnelRequests(), 1);
    }

    // A proxy that cannot or will not open the tunnel ends the request with
    // what it answered, and nothing reaches the portal.
    void aProxyThatOpensNoTunnelLetsNothingThrough_data()
    {
        QTest::addColumn<int>("proxyKind");
        QTest::addColumn<QByteArray>("scriptedReply"); // of a scripted proxy
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("message"); // after "Le proxy http://127.0.0.1:<port> (proxy de test) "
        const QString basicKeys = QStringLiteral("ProxyUtilisateur et ProxyMotDePasse dans la section [Portail] du "
                                                 "fichier de paramètres");
        QTest::newRow("down") << int(ProxyKind::Down) << QByteArray() << QString()
                              << QStringLiteral("est injoignable (Erreur de socket # 10061 : Connexion refusée.)");
        QTest::newRow("password asked") << int(ProxyKind::AsksForPassword) << QByteArray() << QString()
                                        << QStringLiteral("demande une authentification (Basic) : donnez ") + basicKeys;
        QTest::newRow("wrong password")
            << int(ProxyKind::AsksForPassword) << QByteArray() << QStringLiteral("agent")
            << QStringLiteral("a refusé l'identifiant « agent » et son mot de passe (authentification Basic) : "
                              "vérifiez ")
                + basicKeys;
        QTest::newRow("CONNECT to 443 only")
            << int(ProxyKind::ConnectTo443Only) << QByteArray() << QString()
            << QStringLiteral("a refusé d'ouvrir la connexion vers %1 : il a répondu « HTTP/1.1 403 Access "
                              "violation ». Demandez au service informatique de la ville d'autoriser les connexions "
                              "(méthode CONNECT) vers %1");
        QTest::newRow("Windows logon asked")
            << int(ProxyKind::Scripted)
            << QByteArray("HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: Negotiate\r\n"
                          "proxy-authenticate: NTLM\r\nContent-Length: 0\r\n\r\n")
            << QString()
            << QStringLiteral("demande une authentification (Negotiate, NTLM) que le programme ne sait pas donner : "
                              "il sait l'authentification Basic (ProxyUtilisateur et ProxyMotDePasse). Demandez au "
                              "service informatique de la ville un accès par mot de passe ou une exception pour le "
                              "portail");
        QTest::newRow("not HTTP") << int(ProxyKind::Scripted) << QByteArray("SSH-2.0-OpenSSH_9.2\r\n\r\n") << QString()
                                  << QStringLiteral("a répondu à la demande de tunnel autre chose que du HTTP "
                                                    "(« SSH-2.0-OpenSSH_9.2 »)");
        QTest::newRow("cut") << int(ProxyKind::Scripted) << QByteArray("HTTP/1.1 200 Connection est") << QString()
                             << QStringLiteral("a fermé la connexion au milieu de sa réponse à la demande de tunnel");
        QTest::newRow("speaking for the portal")
            << int(ProxyKind::Scripted) << QByteArray("HTTP/1.1 200 OK\r\n\r\nHTTP/1.0 200 OK\r\n\r\n") << QString()
            << QStringLiteral("a envoyé des octets au nom du portail avant la requête");
        QTest::newRow("silent") << int(ProxyKind::Silent) << QByteArray() << QString()
                                << QStringLiteral("n'a pas ouvert la connexion vers %1 en 1 s");
    }

    void aProxyThatOpensNoTunnelLetsNothingThrough()
    {
        if (OwnAddress().isEmpty())
            QSKIP(kWhyNoOwnAddress);
        QFETCH(int, proxyKind);
        QFETCH(QByteArray, scriptedReply);
        QFETCH(QString, user);
        QFETCH(QString, message);
        ScriptedTcpServer portal("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok");
        const OwnAddressRelay relay(portal.port());
        const QString target = relay.url(false).mid(7);

        std::optional<WebProxy> tinyproxy;
        std::optional<ScriptedTcpServer> scripted;
        std::optional<RefusingPort> down;
        int port = 0;
        switch (ProxyKind(proxyKind)) {
        case ProxyKind::Down:
            port = down.emplace().port();
            break;
        case ProxyKind::AsksForPassword:
            port = tinyproxy.emplace(WebProxy::Options { QStringLiteral("agent"), QStringLiteral("juste"), false }).port();
            break;
        case ProxyKind::ConnectTo443Only:
            port = tinyproxy.emplace(WebProxy::Options { QString(), QString(), true }).port();
            break;
        case ProxyKind::Scripted:
            port = scripted.emplace(scriptedReply, Ending::Close).port();
            break;
        case ProxyKind::Silent:
            port = scripted.emplace(QByteArray(), Ending::Silent).port();
            break;
        }
        ProxyRoute route;
        route.host = QStringLiteral("127.0.0.1");
        route.port = port;
        route.user = user;
        route.password = QStringLiteral("faux");
        route.origin = QStringLiteral("proxy de test");
        HttpClient client;
        client.setBounds({ 1000, 5000, 5000 });
        client.setProxy(route);
        QByteArray sink;
        const auto error = Failure<QuilvanorError>([&] { client.Post(relay.url(false) + QLatin1Char('/'), kForm, sink); });
        QCOMPARE(error.message(),
            QStringLiteral("Le proxy http://127.0.0.1:%1 (proxy de test) ").arg(port) + QString(message).replace(QLatin1String("%1"), target)
                + QStringLiteral(". Rien n'a été envoyé au portail."));
        if (scripted)
            QCOMPARE(scripted->received(), "CONNECT " + target.toLatin1() + " HTTP/1.1\r\nHost: " + target.toLatin1()
                    + "\r\n\r\n");
        portal.stop();
        QCOMPARE(portal.connectionCount(), 0);
    }

    // Every refusal of a TLS connection names what failed, and the request
    // never leaves: no byte reaches the server behind the TLS front, and a
    // server that does not speak TLS receives no byte of the request.
    void tlsRefusalsSendNothing_data()
    {
        QTest::addColumn<int>("certificate"); // a Server, or -1: the plain server itself on the https URL
        QTest::addColumn<bool>("silent"); // the server never answers
        QTest::addColumn<QString>("authorityFile"); // "" for the test authority
        QTest::addColumn<QString>("host"); // of the address, "" for 127.0.0.1
        QTest::addColumn<QString>("message"); // a pattern
        const QString refused = QStringLiteral("Certificat du portail refusé : ");
        QTest::newRow("unknown authority")
            << int(Server::UnknownAuthority) << false << QString() << QString()
            << QRegularExpression::escape(refused + QStringLiteral("son émetteur « ")
                   + TestCertificates::UnknownAuthorityName()
                   + QStringLiteral(" » n'est pas une autorité de confiance, ni de ce poste ni du fichier nommé par "
                                    "AutoriteCertification dans la section [Portail]."));
        QTest::newRow("wrong host name")
            << int(Server::WrongHost) << false << QString() << QString()
            << QRegularExpression::escape(refused + QStringLiteral("il est établi pour « autre.exemple » et non pour "
                                                                   "l'adresse IP 127.0.0.1, qu'il devrait porter parmi ses adresses IP."));
        // Expired since yesterday, at the time of day it was made.
        QTest::newRow("common name beside DNS names")
            << int(Server::NameOnlyInCommonName) << false << QString() << QStringLiteral("localhost")
            << QRegularExpression::escape(refused + QStringLiteral("il est établi pour « autre.exemple » et non pour « localhost »."));
        QTest::newRow("address spelled as a DNS name")
            << int(Server::AddressAsName) << false << QString() << QString()
            << QRegularExpression::escape(refused + QStringLiteral("il est établi pour « 127.0.0.1 » et non pour "
                                                                   "l'adresse IP 127.0.0.1, qu'il devrait porter parmi ses adresses IP."));
        QTest::newRow("expired")
            << int(Server::Expired) << false << QString() << QString()
            << QRegularExpression::escape(refused + QStringLiteral("il a expiré le ")
                   + QDate::currentDate().addDays(-1).toString(QStringLiteral("dd/MM/yyyy")))
                + QStringLiteral(" à \\d\\d:\\d\\d\\.");
        QTest::newRow("plain HTTP on the https port")
            << -1 << false << QString() << QString()
            << QStringLiteral("Connexion sécurisée au portail impossible : le serveur n'a pas répondu en TLS 1\\.2 ou "
                              "plus récent sur ce port \\(.+\\)\\.");
        QTest::newRow("handshake past the connect bound")
            << -1 << true << QString() << QString()
            << QStringLiteral("Connexion sécurisée au portail impossible : la négociation TLS n'a pas abouti en 1 s\\.");
        QTest::newRow("authority file missing")
            << int(Server::Trusted) << false << QStringLiteral("absent.pem") << QString()
            << QStringLiteral("Le fichier d'autorité de certification « .*absent\\.pem » \\(clé AutoriteCertification "
                              "de la section \\[Portail\\]\\) est introuvable ou illisible\\.");
        QTest::newRow("authority file without a certificate")
            << int(Server::Trusted) << false << QStringLiteral("pas-un-certificat.pem") << QString()
            << QStringLiteral("Le fichier d'autorité de certification « .* » \\(clé AutoriteCertification "
                              "de la section \\[Portail\\]\\) ne contient aucun certificat au format PEM\\.");
        QTest::newRow("authority file holding a private key")
            << int(Server::Trusted) << false << QStringLiteral("autorite-et-cle.pem") << QString()
            << QStringLiteral("Le fichier d'autorité de certification « .*autorite-et-cle\\.pem » \\(clé "
                              "AutoriteCertification de la section \\[Portail\\]\\) contient une clé privée : .*");
    }

    void tlsRefusalsSendNothing()
    {
        QFETCH(int, certificate);
        QFETCH(bool, silent);
        QFETCH(QString, authorityFile);
        QFETCH(QString, host);
        QFETCH(QString, message);
        ScriptedTcpServer server("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok",
            silent ? Ending::Silent : Ending::AnswerFirstBytes);
        std::unique_ptr<TlsFront> front;
        if (certificate >= 0)
            front = std::make_unique<TlsFront>(server.port(), Server(certificate));
        HttpClient client;
        client.setBounds({ 1000, 5000, 5000 });
        client.setAuthorityFile(authorityFile.isEmpty() ? TestCertificates::AuthorityFile() : authorityFile);
        QByteArray sink;
        const QString url = front ? front->url(QStringLiteral("/"), host.isEmpty() ? QStringLiteral("127.0.0.1") : host)
                                  : QStringLiteral("HtTpS://127.0.0.1:%1/").arg(server.port());
        const auto error = Failure<QuilvanorError>([&] { client.Post(url, kForm, sink); });
        QVERIFY2(QRegularExpression(QLatin1Char('^') + message + QLatin1Char('$')).match(error.message()).hasMatch(),
            qPrintable(error.message()));
        // Behind the front nothing arrives (Schannel checks the certificate once
        // the handshake is over, when the front may already have connected).
        server.stop();
        if (front)
            QCOMPARE(server.received(), QByteArray());
        else
            QVERIFY(!server.received().contains("securiter"));
        QVERIFY(sink.isEmpty());
    }

    // Which names a certificate is for, as browsers read it; the connections
    // above show the refusal itself.
    void certificateNamesAsBrowsersReadThem_data()
    {
        QTest::addColumn<QString>("commonName");
        QTest::addColumn<QString>("alternativeNames");
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("isFor");
        QTest::newRow("DNS name, any case, final dot") << "x" << "DNS:Portail.Ville.fr" << "portail.ville.FR." << true;
        QTest::newRow("common name without DNS names") << "portail.ville.fr" << "" << "portail.ville.fr" << true;
        QTest::newRow("common name beside an IP entry") << "portail.ville.fr" << "IP:10.0.0.1" << "portail.ville.fr" << true;
        QTest::newRow("common name beside DNS names") << "portail.ville.fr" << "DNS:autre.fr" << "portail.ville.fr" << false;
        QTest::newRow("wildcard for one label") << "x" << "DNS:*.ville.fr" << "portail.ville.fr" << true;
        QTest::newRow("wildcard for two labels") << "x" << "DNS:*.ville.fr" << "a.portail.ville.fr" << false;
        QTest::newRow("wildcard for no label") << "x" << "DNS:*.ville.fr" << "ville.fr" << false;
        QTest::newRow("wildcard over a top-level name") << "x" << "DNS:*.fr" << "ville.fr" << false;
        QTest::newRow("partial wildcard") << "x" << "DNS:p*.ville.fr" << "portail.ville.fr" << false;
        QTest::newRow("IP entry") << "x" << "IP:192.168.1.20" << "192.168.1.20" << true;
        QTest::newRow("IP spelled in a DNS name") << "x" << "DNS:192.168.1.20" << "192.168.1.20" << false;
        QTest::newRow("IP spelled in the common name") << "192.168.1.20" << "" << "192.168.1.20" << false;
    }

    void certificateNamesAsBrowsersReadThem()
    {
        QFETCH(QString, commonName);
        QFETCH(QString, alternativeNames);
        QFETCH(QString, host);
        QFETCH(bool, isFor);
        QCOMPARE(CertificateIsForHost(TestCertificates::SelfSigned(commonName, alternativeNames), host), isFor);
    }

    void serverThatNeverAnswersTimesOut()
    {
        ScriptedTcpServer server(QByteArray(), Ending::Silent);
        HttpClient client;
        client.setBounds({ 5000, 200 });
        QByteArray sink;
        const auto error = Failure<SocketError>([&] { client.Post(server.url(QStringLiteral("/")), kForm, sink); });
        QCOMPARE(error.number(), 10060);
        QCOMPARE(error.message(), QStringLiteral("Erreur de socket # 10060\r\nDélai de connexion dépassé."));
    }

    void aReplyThatDripsIsBoundedAsAWhole_data() { AddPlainAndTlsRows(); }

    void aReplyThatDripsIsBoundedAsAWhole()
    {
        QFETCH(bool, tls);
        // Every byte comes well within the wait for a byte; the whole reply does not.
        QList<QByteArray> pieces { "HTTP/1.0 200 OK\r\n\r\n" };
        for (int i = 0; i < 40; ++i)
            pieces << "x";
        ScriptedTcpServer server(pieces, Ending::Drip);
        const Endpoint endpoint(server, TrustedIf(tls));
        HttpClient client;
        client.setAuthorityFile(TestCertificates::AuthorityFile());
        client.setBounds({ 5000, 5000, 10 * ScriptedTcpServer::kDripPauseMs });
        QByteArray sink;
        const auto error = Failure<SocketError>([&] { client.Post(endpoint.url(QStringLiteral("/")), kForm, sink); });
        QCOMPARE(error.number(), 10060);
        QVERIFY2(sink.size() < 20, QByteArray::number(sink.size()));
    }

    void aReplyOverTheCeilingIsRefused_data()
    {
        QTest::addColumn<QList<QByteArray>>("reply");
        QTest::addColumn<bool>("tls");
        const QByteArray over(1536 * 1024, 'x');
        QTest::newRow("announced, before its body")
            << QList<QByteArray> { "HTTP/1.0 200 OK\r\nContent-Length: 300000000\r\n\r\nabc" } << false;
        QTest::newRow("up to the close") << QList<QByteArray> { "HTTP/1.0 200 OK\r\n\r\n", over } << false;
        QTest::newRow("up to the close, over TLS") << QList<QByteArray> { "HTTP/1.0 200 OK\r\n\r\n", over } << true;
        QTest::newRow("in chunks") << QList<QByteArray> { "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n",
            "180000\r\n", over, "\r\n0\r\n\r\n" } << false;
        QTest::newRow("a header without end") << QList<QByteArray> { "HTTP/1.0 200 OK\r\nX: ", over } << false;
    }

    void aReplyOverTheCeilingIsRefused()
    {
        QFETCH(QList<QByteArray>, reply);
        QFETCH(bool, tls);
        ScriptedTcpServer server(reply, Ending::Close);
        const Endpoint endpoint(server, TrustedIf(tls));
        HttpClient client;
        client.setAuthorityFile(TestCertificates::AuthorityFile());
        client.setBounds({ 5000, 5000, 5000, 1024 * 1024 });
        QByteArray sink;
        const auto error
            = Failure<ReplyTooLargeError>([&] { client.Post(endpoint.url(QStringLiteral("/")), kForm, sink); });
        QCOMPARE(error.message(), QStringLiteral("La réponse du portail dépasse 1 Mo : elle est refusée."));
        QVERIFY(sink.size() <= 1024 * 1024);
    }

    void connectionThatIsNeverAcceptedTimesOut()
    {
        UnansweredPort unanswered;
        HttpClient client;
        client.setBounds({ 200, 5000 });
        QByteArray sink;
        const auto error = Failure<SocketError>(
            [&] { client.Post(QStringLiteral("http://127.0.0.1:%1/").arg(unanswered.port()), kForm, sink); });
        QCOMPARE(error.number(), 10060);
    }

    void peerClosingDuringALargeSendIsAnError()
    {
        // Without protection against SIGPIPE this would end the process.
        ScriptedTcpServer server(QByteArray(), Ending::CloseAtOnce);
        HttpClient client;
        QByteArray sink;
        const QList<QByteArray> form { QByteArray(32 * 1024 * 1024, 'a') };
        bool failed = false;
        try {
            client.Post(server.url(QStringLiteral("/")), form, sink);
        } catch (const SocketError& error) {
            failed = error.number() == 10054 || error.number() == 10053;
        } catch (const ConnectionClosedError&) {
            failed = true;
        }
        QVERIFY(failed);
    }
};

QTEST_GUILESS_MAIN(TestHttpClient)
#include "tst_HttpClient.moc"
