// The export run and its steps on a real ODBC data source, sending to a portal
// that records every request and answers as scripted.
#include "support/RecordingPortal.h"
#include "support/RunFixture.h"

#include "data/AdoConnection.h"
#include "data/TDmdMain.h"
#include "portal/FonctionsVendrolles.h"
#include "rolls/ExportFeedback.h"
#include "rolls/RollExportRun.h"
#include "rolls/RollQueries.h"
#include "rolls/RollStatements.h"
#include "support/ErrorMessageOf.h"
#include "support/TestOdbcSource.h"

#include <QtTest>

namespace {

// Everything a run shows, as lines: "start 3 <text>", "step 1", "end", "reply <text>", "show".
class RecordingFeedback : public ExportFeedback {
public:
    QStringList events;

    void ProgressStart(int maximum, const QString& text) override
    {
        events << QStringLiteral("start %1 %2").arg(maximum).arg(text);
    }
    void ProgressStep(int rowNumber) override { events << QStringLiteral("step %1").arg(rowNumber); }
    void ProgressEnd() override { events << QStringLiteral("end"); }
    void AppendReply(const QString& reply) override { events << QStringLiteral("reply ") + reply; }
    void ShowErrorList() override { events << QStringLiteral("show"); }

    QStringList matching(const QString& prefix) const { return events.filter(QRegularExpression(u'^' + prefix)); }
};

QStringList steps(int count)
{
    QStringList out;
    for (int i = 1; i <= count; ++i)
        out << QStringLiteral("step %1").arg(i);
    return out;
}

} // namespace

class TestRollRun : public QObject {
    Q_OBJECT

    TestOdbcSource m_source;
    TDmdMain m_dmd;
    std::unique_ptr<RollQueries> m_queries;
    RecordingFeedback m_feedback;

    int count(const QString& sql) const { return m_source.scalar(sql).toInt(); }

    // The grid row of a roll: the rolls are listed highest number first.
    int rowOf(int numRole) const
    {
        return count(QStringLiteral("SELECT count(*) FROM Role WHERE NumRole > %1").arg(numRole));
    }

    void exportRolls(const QList<int>& numRoles)
    {
        QVector<int> rows;
        for (const int numRole : numRoles)
            rows << rowOf(numRole);
        ExportSelectedRolls(*m_queries, rows, m_feedback);
    }

    QString failureOf(const QList<int>& numRoles)
    {
        return ErrorMessageOf([&] { exportRolls(numRoles); });
    }

private slots:
    void init()
    {
        m_dmd.ADOConnection->SetConnected(false);
        m_source.recreate({ .rolls = 5, .invoicesPerRoll = 3, .linesPerInvoice = 2, .children = 4, .clients = 3 });
        m_queries = std::make_unique<RollQueries>(m_dmd.ADOConnection);
        m_queries->QueryRole.SetSql(QStringLiteral("SELECT * FROM Role ORDER BY NumRole DESC"));
        m_queries->QueryRole.Open();
        m_feedback.events.clear();
        RunFixture::removeExportLogs();
    }

    void cleanup() { m_queries.reset(); }

    void oneRollIsSevenRequestsHoldingWhatTheLogHolds()
    {
        RecordingPortal portal;
        portal.lookOnArrival(RunFixture::onlyLogLines);
        exportRolls({ 3 });

        const QList<RecordingPortal::Request> requests = portal.requests();
        QCOMPARE(requests.size(), 7);
        for (const RecordingPortal::Request& request : requests) {
            QCOMPARE(request.path, QLatin1String(kPortalExportPath));
            QCOMPARE(request.token, QLatin1String(kPortalToken));
        }

        // Each request carries the next statements of the log: the roll's two alone, then whole tables.
        const QStringList log = RunFixture::onlyLogLines();
        const QList<int> statementsPerRequest { 1, 1,
            1 + count(QStringLiteral("SELECT count(*) FROM Facture WHERE NumRole=3")),
            1 + count(QStringLiteral("SELECT count(*) FROM ItemFacture WHERE NumRole=3")),
            1 + count(QStringLiteral("SELECT count(*) FROM Enfant")),
            1 + count(QStringLiteral("SELECT count(*) FROM Client")),
            1 + count(QStringLiteral("SELECT count(*) FROM ClientGroupe")) };
        qsizetype line = 0;
        for (int i = 0; i < requests.size(); ++i) {
            QCOMPARE(requests.at(i).query, log.mid(line, statementsPerRequest.at(i)).join(QString()));
            line += statementsPerRequest.at(i);
            // Already in the log, on the disk, while the request was in flight.
            QCOMPARE(requests.at(i).seenOnArrival.mid(0, line), log.mid(0, line));
        }
        QCOMPARE(line, log.size());

        QCOMPARE(log.at(0), QStringLiteral("DELETE FROM role where numrole=3"));
        QVERIFY(log.at(1).startsWith(QStringLiteral(" INSERT into role ("))
            && log.at(1).contains(QStringLiteral("VALUES ('3',")));
        QCOMPARE(log.at(2), QStringLiteral("DELETE FROM facture where numrole=3;"));
        QCOMPARE(requests.at(3).query.left(41), QStringLiteral("DELETE FROM itemfacture where numrole=3; "));
        QVERIFY(requests.at(4).query.startsWith(QStringLiteral("DELETE from enfant; INSERT into enfant ")));
        QVERIFY(requests.at(5).query.startsWith(QStringLiteral("DELETE from client; INSERT into client ")));
        QVERIFY(requests.at(6).query.startsWith(QStringLiteral("DELETE from clientgroupe; INSERT into clientgroupe ")));
    }

    void progressCountsEveryRowOfEveryBatch()
    {
        RecordingPortal portal;
        m_source.execute(QStringLiteral("DELETE FROM Enfant;"));
        exportRolls({ 2 });
        const int invoices = count(QStringLiteral("SELECT count(*) FROM Facture WHERE NumRole=2"));
        const int lines = count(QStringLiteral("SELECT count(*) FROM ItemFacture WHERE NumRole=2"));
        const int clients = count(QStringLiteral("SELECT count(*) FROM Client"));
        const int groups = count(QStringLiteral("SELECT count(*) FROM ClientGroupe"));
        QStringList expected;
        expected << QStringLiteral("reply ") // the roll insert's empty reply
                 << QStringLiteral("start %1 Role :2 - Traitement des factures en cours...").arg(invoices)
                 << steps(invoices) << QStringLiteral("end")
                 << QStringLiteral("start %1 Role :2 - Traitement des items des factures en cours...").arg(lines)
                 << steps(lines) << QStringLiteral("end")
                 << QStringLiteral("start 0 Traitement des enfants en cours...") << QStringLiteral("end")
                 << QStringLiteral("start %1 Traitement des clients en cours...").arg(clients) << steps(clients)
                 << QStringLiteral("end") << QStringLiteral("start %1 Traitement des groupes  en cours...").arg(groups)
                 << steps(groups) << QStringLiteral("end") << QStringLiteral("show");
        QCOMPARE(m_feedback.events, expected);
        // The empty table still goes: its batch is its delete statement alone.
        QCOMPARE(portal.queries().at(4), QStringLiteral("DELETE from enfant;"));
    }

    void aRollWithoutInvoicesSendsBothDeletesAlone()
    {
        RecordingPortal portal;
        m_source.execute(
            QStringLiteral("DELETE FROM Facture WHERE NumRole=4; DELETE FROM ItemFacture WHERE NumRole=4;"));
        exportRolls({ 4 });
        QCOMPARE(portal.queries().mid(2, 2),
            QStringList({ QStringLiteral("DELETE FROM facture where numrole=4;"),
                QStringLiteral("DELETE FROM itemfacture where numrole=4;") }));
    }

    void repliesAreListedByTheirRules()
    {
        RecordingPortal portal({
            { 200, "Suppression du role 3 refusee" }, // the roll delete: listed, not empty
            { 200, "" }, // the roll insert: listed although empty
            { 200, QByteArray("\0Erreur cachee", 14) }, // the invoices: empty, a NUL comes first
            { 200, "Ligne 2 : cl\xE9 en double\r\nLigne 5 : idem" },
            { 200, "" },
            { 200, " " },
            { 200, "" },
        });
        exportRolls({ 3 });
        QCOMPARE(m_feedback.matching(QStringLiteral("reply|show")),
            QStringList({ QStringLiteral("reply Suppression du role 3 refusee"), QStringLiteral("reply "),
                QStringLiteral("reply Ligne 2 : clé en double\r\nLigne 5 : idem"), QStringLiteral("reply  "),
                QStringLiteral("show") }));
    }

    void theRollInsertReplyIsListedEvenWhenItStartsWithNul()
    {
        RecordingPortal portal({ { 200, "" }, { 200, QByteArray("\0x", 2) } });
        exportRolls({ 1 });
        QCOMPARE(m_feedback.matching(QStringLiteral("reply")),
            QStringList({ QStringLiteral("reply ") + QChar(u'\0') + u'x' }));
    }

    void nothingSelectedLeavesAnEmptyLogAndSendsNothing()
    {
        RecordingPortal portal;
        exportRolls({});
        QCOMPARE(portal.requests().size(), 0);
        QCOMPARE(RunFixture::onlyLogLines(), QStringList());
        QCOMPARE(m_feedback.events, QStringList());
    }

    void aFailedRequestEndsTheRunAndTheLogHoldsWhatWasBuilt()
    {
        RecordingPortal portal({ { 200, "" }, { 200, "" }, { 500, "boom" } });
        const QString message = failureOf({ 3, 1 });
        QCOMPARE(message, QStringLiteral("500 Internal Server Error"));

        QCOMPARE(portal.requests().size(), 3); // nothing after the failed batch
        const int invoices = count(QStringLiteral("SELECT count(*) FROM Facture WHERE NumRole=3"));
        const QStringList log = RunFixture::onlyLogLines();
        QCOMPARE(log.size(), 2 + 1 + invoices);
        QCOMPARE(log.at(2), QStringLiteral("DELETE FROM facture where numrole=3;"));
        QCOMPARE(portal.queries().at(2), log.mid(2).join(QString()));

        // The run let go of everything it held; the progress display stays to
        // show where it stopped.
        QCOMPARE(m_feedback.events.count(QStringLiteral("end")), 0);
        QVERIFY(!m_feedback.events.contains(QStringLiteral("show")));
        QVERIFY(!m_queries->QueryRole.ControlsDisabled());
        QVERIFY(!m_queries->QueryFacture.Active());
        QVERIFY(m_queries->QueryRole.Active());
    }

    void aMissingLocalColumnEndsTheRunBeforeItsBatchIsSent()
    {
        RecordingPortal portal;
        m_dmd.ADOConnection->SetConnected(false); // the driver reads a table's layout once per connection
        m_source.execute(QStringLiteral("ALTER TABLE Facture RENAME COLUMN TotalTTC TO Total;"));
        QCOMPARE(failureOf({ 3 }), QStringLiteral("QueryFacture: Champ 'TotalTTC' non trouvé"));
        QCOMPARE(portal.requests().size(), 2);
        QCOMPARE(RunFixture::onlyLogLines().size(), 3); // the roll's two statements and the invoice delete
    }

    void aLogThatCannotBeCreatedStopsTheRunBeforeAnyRequest()
    {
#ifdef _WIN32
        QSKIP("Windows does not remove a folder that is a process's working folder");
#endif
        RecordingPortal portal;
        QTemporaryDir parent;
        const QString previous = QDir::currentPath();
        QDir(parent.path()).mkdir(QStringLiteral("gone"));
        QDir::setCurrent(parent.filePath(QStringLiteral("gone")));
        QDir().rmdir(parent.filePath(QStringLiteral("gone")));
        const QString message = failureOf({ 3 });
        QDir::setCurrent(previous);
        QCOMPARE(message, QStringLiteral("Fichier introuvable"));
        QCOMPARE(portal.requests().size(), 0);
        QVERIFY(!m_queries->QueryRole.ControlsDisabled());
    }

    void theTablesAreReadAgainByTheNextRun()
    {
        {
            RecordingPortal portal({ { 200, "" }, { 200, "" }, { 200, "" }, { 200, "" }, { 500, "boom" } });
            failureOf({ 1 });
        }
        m_source.execute(QStringLiteral("INSERT INTO Enfant VALUES (99, 'Nouveau', 'Né', 1, NULL, 0);"));
        RecordingPortal portal;
        exportRolls({ 1 });
        const QString childrenBatch = portal.queries().at(4);
        QVERIFY(childrenBatch.endsWith(QStringLiteral(" VALUES ('99','Nouveau','Né','1','1899-12-30','0');")));
    }
};

QTEST_GUILESS_MAIN(TestRollRun)
#include "TestRollRun.moc"
