#include "common/Errors.h"
#include "portal/FonctionsVendrolles.h"
#include "portal/HttpClient.h"
#include "support/ScriptedTcpServer.h"

#include <QTest>

namespace {

const QByteArray kEmptyOk = QByteArrayLiteral("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");

// The request that the portal operations send, up to its Content-Length header.
QByteArray RequestHead(const char* endpoint, int contentLength)
{
    return QByteArray("POST ") + endpoint + " HTTP/1.0\r\n"
        + "Host: 127.0.0.1\r\n"
          "Accept: text/html, */*\r\n"
          "User-Agent: Mozilla/5.0 (compatible; Test)\r\n"
          "Content-Type: application/x-www-form-urlencoded\r\n"
          "Content-Length: "
        + QByteArray::number(contentLength) + "\r\n\r\n";
}

} // namespace

class TestPortalRequests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_defaultBaseUrl = PortalBaseUrl();
        HttpClient::setDefaultBounds({ 5000, 5000 });
    }

    void cleanup() { SetPortalBaseUrl(m_defaultBaseUrl); }

    void exportSendsTheFormLineUnchanged()
    {
        ScriptedTcpServer server(kEmptyOk);
        SetPortalBaseUrl(server.url(QString()));
        QCOMPARE(PortalExport(QStringLiteral("a b,c")), QString());
        const QByteArray formLine = "securiter=31K5D907R640B28M3&query=a+b%2Cc";
        QCOMPARE(server.received(), RequestHead("/web/index.php/batch/export", 43) + formLine + "\r\n");
    }

    void paymentImportSendsTheStartDate()
    {
        ScriptedTcpServer server(kEmptyOk);
        SetPortalBaseUrl(server.url(QString()));
        PortalImportPaiement(QDate(2024, 3, 5));
        QCOMPARE(server.received(),
            RequestHead("/web/index.php/batch/importPaiement", 46)
                + "securiter=31K5D907R640B28M3&query=2024-03-05\r\n");
    }

    void digitalInvoiceClientsSendAnEmptyQuery()
    {
        ScriptedTcpServer server(kEmptyOk);
        SetPortalBaseUrl(server.url(QString()));
        PortalImportClientFactureNumerique();
        QCOMPARE(server.received(),
            RequestHead("/web/index.php/batch/importClientFactureNumerique", 36)
                + "securiter=31K5D907R640B28M3&query=\r\n");
    }

    void replyIsTheBodyReadAsWindows1252()
    {
        ScriptedTcpServer server("HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\n\xC9t\xE9 \x80;\r\n ");
        SetPortalBaseUrl(server.url(QString()));
        QCOMPARE(PortalPost(QStringLiteral("/"), QString()), QStringLiteral("Été €;\r\n "));
    }

    void failureReachesTheCaller()
    {
        ScriptedTcpServer server("HTTP/1.1 403 Forbidden\r\nContent-Length: 6\r\n\r\nrefus\xE9");
        SetPortalBaseUrl(server.url(QString()));
        try {
            PortalExport(QStringLiteral("DELETE from client;"));
            QFAIL("a refused request must fail");
        } catch (const HttpReplyError& error) {
            QCOMPARE(error.statusCode(), 403);
            QCOMPARE(error.message(), QStringLiteral("403 Forbidden"));
        }
    }

private:
    QString m_defaultBaseUrl;
};

QTEST_GUILESS_MAIN(TestPortalRequests)
#include "tst_PortalRequests.moc"
