#include "common/Errors.h"
#include "portal/HttpClient.h"
#include "support/LoopbackPorts.h"
#include "support/ScriptedTcpServer.h"

#include <QTest>

namespace {

using Ending = ScriptedTcpServer::Ending;

// Bounds short enough that a client waiting where it should not fails the test
// with a time-out instead of holding it.
constexpr HttpBounds kTestBounds { 5000, 5000 };

const QList<QByteArray> kForm { QByteArrayLiteral("securiter=T&query=x") };

// Posts the form to the URL; the body lands in the sink.
void Post(const QString& url, QByteArray& sink)
{
    HttpClient client;
    client.Post(url, kForm, sink);
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
    void initTestCase() { HttpClient::setDefaultBounds(kTestBounds); }

    void requestHeadersInOrderWithContentLengthOfTheFormLines()
    {
        ScriptedTcpServer server("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
        HttpClient client;
        client.setRequestUserAgent(QStringLiteral("Agent/1"));
        client.setRequestContentType(QStringLiteral("text/x"));
        QByteArray sink;
        client.Post(server.url(QStringLiteral("/dir/doc.php")), { "ab", "c\xE9" }, sink);
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

    void withoutContentLengthTheBodyRunsToTheClose()
    {
        ScriptedTcpServer server({ "HTTP/1.0 200 OK\r\nServer: x\r\n\r\nfirst ", "second" }, Ending::Close);
        QCOMPARE(BodyFromRoot(server), QByteArray("first second"));
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
        const QString closed = QStringLiteral("La connexion s'est terminée proprement.");
        QTest::newRow("length wins over chunked")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Length: 5\r\n\r\nhello\r\n0\r\n\r\n")
            << QByteArray("hello") << QString();
        QTest::newRow("chunk size not hexadecimal reads as 0")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nhello\r\n") << QByteArray()
            << QString();
        QTest::newRow("close inside a chunk")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhel") << QByteArray("hel")
            << closed;
        QTest::newRow("line feeds alone end lines")
            << QByteArray("HTTP/1.1 200 OK\nTransfer-Encoding: chunked\n\n3\nhel\n2\nlo\n0\n\n") << QByteArray("hello")
            << QString();
        QTest::newRow("199 is no success")
            << QByteArray("HTTP/1.1 199 Early\r\nContent-Length: 1\r\n\r\nx") << QByteArray("x")
            << QStringLiteral("199 Early");
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
        ScriptedTcpServer server(reply, failure.startsWith(QStringLiteral("La connexion")) ? Ending::Close : Ending::HoldOpen);
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

    void redirectIsNotFollowed()
    {
        ScriptedTcpServer target("HTTP/1.0 200 OK\r\n\r\n");
        ScriptedTcpServer server("HTTP/1.1 302 Found\r\nLocation: " + target.url(QStringLiteral("/new")).toLatin1()
            + "\r\nContent-Length: 0\r\n\r\n");
        QByteArray sink;
        const auto error = Failure<HttpReplyError>([&] { PostToRoot(server, sink); });
        QCOMPARE(error.statusCode(), 302);
        QCOMPARE(error.message(), QStringLiteral("302 Found"));
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
        QCOMPARE(error.message(), QStringLiteral("200 OK"));
    }

    void closeWithoutAByte()
    {
        ScriptedTcpServer server(QByteArray(), Ending::Close);
        QByteArray sink;
        const auto error = Failure<ConnectionClosedError>([&] { PostToRoot(server, sink); });
        QCOMPARE(error.message(), QStringLiteral("La connexion s'est terminée proprement."));
    }

    void closeBeforeTheAnnouncedLength()
    {
        ScriptedTcpServer server("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhello");
        QByteArray sink;
        Failure<ConnectionClosedError>([&] { PostToRoot(server, sink); });
    }

    void closeInsideTheHeaders()
    {
        ScriptedTcpServer server("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n");
        QByteArray sink;
        Failure<ConnectionClosedError>([&] { PostToRoot(server, sink); });
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

    void httpsIsRefusedInAnyCase_data()
    {
        QTest::addColumn<QString>("url");
        QTest::newRow("lower") << QStringLiteral("https://127.0.0.1/");
        QTest::newRow("mixed") << QStringLiteral("HtTpS://127.0.0.1/");
    }

    void httpsIsRefusedInAnyCase()
    {
        QFETCH(QString, url);
        QByteArray sink;
        const auto error = Failure<QuilvanorError>([&] { Post(url, sink); });
        QCOMPARE(error.message(), QStringLiteral("La valeur d'interception est incorrecte"));
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

    void aReplyThatDripsIsBoundedAsAWhole()
    {
        // Every byte comes well within the wait for a byte; the whole reply does not.
        QList<QByteArray> pieces { "HTTP/1.0 200 OK\r\n\r\n" };
        for (int i = 0; i < 40; ++i)
            pieces << "x";
        ScriptedTcpServer server(pieces, Ending::Drip);
        HttpClient client;
        client.setBounds({ 5000, 5000, 10 * ScriptedTcpServer::kDripPauseMs });
        QByteArray sink;
        const auto error = Failure<SocketError>([&] { client.Post(server.url(QStringLiteral("/")), kForm, sink); });
        QCOMPARE(error.number(), 10060);
        QVERIFY2(sink.size() < 20, QByteArray::number(sink.size()));
    }

    void aReplyOverTheCeilingIsRefused_data()
    {
        QTest::addColumn<QList<QByteArray>>("reply");
        const QByteArray over(1536 * 1024, 'x');
        QTest::newRow("announced, before its body")
            << QList<QByteArray> { "HTTP/1.0 200 OK\r\nContent-Length: 300000000\r\n\r\nabc" };
        QTest::newRow("up to the close") << QList<QByteArray> { "HTTP/1.0 200 OK\r\n\r\n", over };
        QTest::newRow("in chunks") << QList<QByteArray> { "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n",
            "180000\r\n", over, "\r\n0\r\n\r\n" };
        QTest::newRow("a header without end") << QList<QByteArray> { "HTTP/1.0 200 OK\r\nX: ", over };
    }

    void aReplyOverTheCeilingIsRefused()
    {
        QFETCH(QList<QByteArray>, reply);
        ScriptedTcpServer server(reply, Ending::Close);
        HttpClient client;
        client.setBounds({ 5000, 5000, 5000, 1024 * 1024 });
        QByteArray sink;
        const auto error
            = Failure<ReplyTooLargeError>([&] { client.Post(server.url(QStringLiteral("/")), kForm, sink); });
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
