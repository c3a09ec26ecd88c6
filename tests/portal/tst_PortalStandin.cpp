#include "common/Errors.h"
#include "common/FieldList.h"
#include "portal/FonctionsVendrolles.h"
#include "portal/HttpClient.h"
#include "support/HostPrograms.h"
#include "support/PortalStandin.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// One local payment as the payment export sends it, after its delete statement.
const QString kPaymentExport
    = QStringLiteral("DELETE FROM encaissement where etat=2 and transactionid=0 and datepaiement>'2012-05-12';"
                     " INSERT into  encaissement VALUES ('','123','2','2012-05-14','30.5','678','12','2','');");

QList<QStringList> Records(QByteArray reply, int fieldCount)
{
    FieldList fields;
    SplitFields(std::move(reply), fields);
    QList<QStringList> records;
    for (qsizetype i = 0; i + fieldCount <= fields.count(); i += fieldCount)
        records.append(fields.fields().mid(i, fieldCount));
    return records;
}

} // namespace

class TestPortalStandin : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { HttpClient::setDefaultBounds({ 10000, 60000 }); }

    void exportBatchLandsInTheTables()
    {
        PortalStandin standin;
        const QString reply
            = PortalExport(QStringLiteral("DELETE FROM facture where numrole=12;"
                                          " INSERT into facture (numfacture,numrole,numclient,nofacture,totalttc) "
                                          "VALUES ('1','12','5','240001','45.5');"
                                          " INSERT into facture (numfacture,numrole,numclient,nofacture,totalttc) "
                                          "VALUES ('2','12','6','240002','10');"));
        QCOMPARE(reply, QString());
        QCOMPARE(standin.rows(QStringLiteral("SELECT numfacture, typeof(numrole), totalttc FROM facture ORDER BY 1")),
            (QStringList { "1|integer|45.5", "2|integer|10" }));
    }

    void textsArriveAsWindows1252()
    {
        PortalStandin standin;
        PortalExport(
            QStringLiteral("DELETE from client; INSERT into client (numclient,nom,prenom,adr1,adr2,cp,ville,tel,"
                           "email,norue) VALUES ('7','D''Arc','Hélène','1 rue de l''Église','','01000',"
                           "'Péronnas','','','1');"));
        QCOMPARE(standin.rows(QStringLiteral("SELECT nom, prenom, adr1, cp FROM client")),
            QStringList { QStringLiteral("D'Arc|Hélène|1 rue de l'Église|01000") });
    }

    void emptyTextFillsANumericColumnAsZero()
    {
        PortalStandin standin;
        PortalExport(QStringLiteral("INSERT into enfant (numenfant,nom,prenom,numclientp,datenaissance,numclienti)"
                                    " VALUES ('4','Martin','Zoé','','1899-12-30','');"));
        QCOMPARE(standin.rows(QStringLiteral("SELECT numclientp, typeof(numclientp), numclienti FROM enfant")),
            QStringList { QStringLiteral("0|integer|0") });
    }

    void repeatedPaymentExportLeavesNoDuplicate()
    {
        PortalStandin standin;
        QCOMPARE(PortalExport(kPaymentExport), QString());
        QCOMPARE(PortalExport(kPaymentExport), QString());
        QCOMPARE(standin.rows(QStringLiteral("SELECT typeof(id), numclient, moyenpaiement, datepaiement, montant, "
                                             "numfacture, numrole, etat, transactionid FROM encaissement")),
            QStringList { QStringLiteral("integer|123|2|2012-05-14|30.5|678|12|2|0") });
    }

    void paymentIdsFollowEachOther()
    {
        PortalStandin standin;
        PortalExport(QStringLiteral(" INSERT into  encaissement VALUES ('','1','2','2024-01-02','3','4','5','2','');"
                                    " INSERT into  encaissement VALUES ('','1','2','2024-01-03','3','5','5','2','');"));
        const QStringList ids = standin.rows(QStringLiteral("SELECT id FROM encaissement ORDER BY rowid"));
        QCOMPARE(ids.size(), 2);
        QCOMPARE(ids.at(1).toInt(), ids.at(0).toInt() + 1);
    }

    void failingStatementStopsTheBatchAndKeepsWhatRan()
    {
        PortalStandin standin;
        const QString reply = PortalExport(
            QStringLiteral("DELETE from clientgroupe; INSERT into clientgroupe (numclient,numgroupe)  VALUES ('7','3');"
                           " INSERT into clientgroupe (numclient,numgroupe)  VALUES ('8','1','2');"
                           " INSERT into clientgroupe (numclient,numgroupe)  VALUES ('9','1');"));
        QVERIFY2(reply.contains(QLatin1String("values")), qPrintable(reply));
        QCOMPARE(standin.rows(QStringLiteral("SELECT numclient, numgroupe FROM clientgroupe")), QStringList { "7|3" });
    }

    void wrongOrMissingTokenIsRefused_data()
    {
        QTest::addColumn<QByteArray>("formLine");
        QTest::newRow("wrong") << QByteArray("securiter=31K5D907R640B28M4&query=DELETE+from+client%3B");
        QTest::newRow("missing") << QByteArray("query=DELETE+from+client%3B");
    }

    void wrongOrMissingTokenIsRefused()
    {
        QFETCH(QByteArray, formLine);
        PortalStandin standin;
        standin.execute(QStringLiteral("INSERT INTO client (numclient, nom) VALUES (1, 'Martin')"));
        HttpClient client;
        QByteArray sink;
        try {
            client.Post(standin.baseUrl() + QLatin1String(kPortalExportPath), { formLine }, sink);
            QFAIL("a request without the token must be refused");
        } catch (const HttpReplyError& error) {
            QCOMPARE(error.statusCode(), 403);
        }
        QCOMPARE(standin.scalar(QStringLiteral("SELECT count(*) FROM client")), QStringLiteral("1"));
    }

    void paymentImportAnswersThePaymentsMadeOnThePortal()
    {
        PortalStandin::Options options;
        options.seed = true;
        PortalStandin standin(options);
        // A payment the program exported is not one made on the portal.
        PortalExport(kPaymentExport);

        const QList<QStringList> records = Records(PortalImportPaiement(QDate(2000, 1, 1)), 8);
        const QStringList expected
            = standin.rows(QStringLiteral("SELECT numclient, numfacture, numrole, transactionid FROM encaissement "
                                          "WHERE etat = 1 ORDER BY datepaiement, id"));
        QVERIFY(expected.size() >= 3);
        QCOMPARE(records.size(), expected.size());
        const QRegularExpression dayMonthYear(QStringLiteral("^\\d\\d-\\d\\d-\\d{4}$"));
        for (qsizetype i = 0; i < records.size(); ++i) {
            const QStringList& record = records.at(i);
            QCOMPARE(
                QStringList({ record[0], record[4], record[5], record[6] }).join(QLatin1Char('|')), expected.at(i));
            QVERIFY2(dayMonthYear.match(record[3]).hasMatch(), qPrintable(record[3]));
            QVERIFY2(record[2].contains(QLatin1Char('.')), qPrintable(record[2]));
        }
    }

    void paymentImportStartsOnTheGivenDay()
    {
        PortalStandin::Options options;
        options.seed = true;
        PortalStandin standin(options);
        const QString day = standin.scalar(QStringLiteral("SELECT max(datepaiement) FROM encaissement WHERE etat = 1"));
        const QList<QStringList> records
            = Records(PortalImportPaiement(QDate::fromString(day, QStringLiteral("yyyy-MM-dd"))), 8);
        const QString count = standin.scalar(
            QStringLiteral("SELECT count(*) FROM encaissement WHERE etat = 1 AND datepaiement >= '%1'").arg(day));
        QCOMPARE(QString::number(records.size()), count);
        QCOMPARE(records.last().at(3),
            QDate::fromString(day, QStringLiteral("yyyy-MM-dd")).toString(QStringLiteral("dd-MM-yyyy")));
    }

    void digitalInvoiceClientsFromTheSampleBase()
    {
        QTemporaryDir folder;
        const QString korva8 = folder.filePath(QStringLiteral("korva8.db"));
        QCOMPARE(HostPrograms::Run({ HostPrograms::Tool(QStringLiteral("korva8-sample")), HostPrograms::HostPath(korva8) })
                     .exitCode,
            0);
        PortalStandin::Options options;
        options.seedFromKorva8 = korva8;
        PortalStandin standin(options);

        QByteArray reply = PortalImportClientFactureNumerique();
        QVERIFY(reply.contains("D'Arc"));
        // As the client list does: an apostrophe would open a quote across fields.
        const QList<QStringList> records = Records(reply.replace('\'', ' '), 5);
        const QStringList chosen = standin.rows(QStringLiteral(
            "SELECT c.numclient, replace(c.nom || ' ' || c.prenom, '''', ' '), c.cp, c.ville FROM facturenumerique f "
            "JOIN client c USING (numclient) ORDER BY c.numclient"));
        QVERIFY(chosen.size() >= 3);
        QCOMPARE(records.size(), chosen.size());
        for (qsizetype i = 0; i < records.size(); ++i) {
            const QStringList& record = records.at(i);
            QCOMPARE(QStringList({ record[0], record[1], record[3], record[4] }).join(QLatin1Char('|')), chosen.at(i));
        }
    }

    void sinkAcceptsBatchesAndKeepsNothing()
    {
        PortalStandin::Options options;
        options.sink = true;
        PortalStandin standin(options);
        QCOMPARE(PortalExport(kPaymentExport), QString());
        QCOMPARE(standin.scalar(QStringLiteral("SELECT count(*) FROM encaissement")), QStringLiteral("0"));
    }
};

QTEST_GUILESS_MAIN(TestPortalStandin)
#include "tst_PortalStandin.moc"
