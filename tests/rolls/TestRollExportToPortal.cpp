// The roll export end to end: the window offscreen on a real ODBC data source,
// sending to the family portal stand-in, whose tables are then compared with
// the local ones.
#include "support/RunFixture.h"
#include "WindowFixture.h"

#include "data/AdoConnection.h"
#include "data/TDmdMain.h"
#include "support/PortalStandin.h"
#include "support/TestOdbcSource.h"

#include <QPlainTextEdit>
#include <QtTest>

using namespace WindowFixture;

namespace {

// Each portal table beside the local rows it must hold, in the portal's forms:
// dates "yyyy-mm-dd" (a missing one is the day 1899-12-30), a missing text '',
// amounts as real numbers (the portal keeps 12.0 as 12).
struct TablePair {
    const char* name;
    QString portal;
    QString local; // %1: the list of exported roll numbers
};

const QList<TablePair>& tablePairs()
{
    static const QList<TablePair> pairs {
        { "role",
            QStringLiteral("SELECT NumRole,TitreRole,DateFacture,DatePaiement,DateDebPeriode,DateFinPeriode,NumE,Adr1E,"
                           "Adr2E,CpE,VilleE,NoTVAIntra FROM role ORDER BY NumRole"),
            QStringLiteral("SELECT NumRole,TitreRole,substr(DateFacture,1,10),coalesce(substr(DatePaiement,1,10),"
                           "'1899-12-30'),substr(DateDebPériode,1,10),substr(DateFinPériode,1,10),NumE,Adr1E,"
                           "coalesce(Adr2E,''),CpE,VilleE,coalesce(NoTVAIntra,'') FROM Role WHERE NumRole IN (%1)"
                           " ORDER BY NumRole") },
        { "facture",
            QStringLiteral(
                "SELECT numfacture,numrole,numclient,nofacture,totalttc+0.0 FROM facture ORDER BY numfacture"),
            QStringLiteral(
                "SELECT NumFacture,NumRole,NumClient,NoFacture,TotalTTC+0.0 FROM Facture WHERE NumRole IN (%1)"
                " ORDER BY NumFacture") },
        { "itemfacture",
            QStringLiteral("SELECT numitemfacture,numrole,numfacture,numclient,numenfant,nomenfant,libprestation,q+0.0,"
                           "pu+0.0,ht+0.0,txtva+0.0,ttc+0.0,tva+0.0 FROM itemfacture ORDER BY numitemfacture"),
            QStringLiteral("SELECT NumItemFacture,NumRole,NumFacture,NumClient,NumEnfant,NomEnfant,LibPrestation,Q+0.0,"
                           "PU+0.0,HT+0.0,TxTVA+0.0,TTC+0.0,TVA+0.0 FROM ItemFacture WHERE NumRole IN (%1) ORDER BY "
                           "NumItemFacture") },
        { "enfant",
            QStringLiteral(
                "SELECT numenfant,nom,prenom,numclientp,datenaissance,numclienti FROM enfant ORDER BY numenfant"),
            QStringLiteral("SELECT NumEnfant,Nom,Prénom,NumClientP,coalesce(substr(DateNaissance,1,10),'1899-12-30'),"
                           "coalesce(NumClientI,0) FROM Enfant ORDER BY NumEnfant") },
        { "client",
            QStringLiteral(
                "SELECT numclient,nom,prenom,adr1,adr2,cp,ville,tel,email,norue FROM client ORDER BY numclient"),
            QStringLiteral("SELECT NumClient,Nom,Prénom,coalesce(Adr1,''),coalesce(Adr2,''),coalesce(cp,''),"
                           "coalesce(Ville,''),coalesce(tel,''),coalesce(email,''),coalesce(NoRue,'') FROM Client"
                           " ORDER BY NumClient") },
        { "clientgroupe", QStringLiteral("SELECT numclient,numgroupe FROM clientgroupe ORDER BY numclient,numgroupe"),
            QStringLiteral("SELECT NumClient,NumGroupe FROM ClientGroupe ORDER BY NumClient,NumGroupe") },
    };
    return pairs;
}

QString rollList(const QList<int>& rolls)
{
    QStringList numbers;
    for (const int roll : rolls)
        numbers << QString::number(roll);
    return numbers.join(QLatin1Char(','));
}

} // namespace

class TestRollExportToPortal : public QObject {
    Q_OBJECT

    TestOdbcSource m_source;
    TDmdMain m_dmd;
    std::unique_ptr<PortalStandin> m_portal;
    std::unique_ptr<OpenWindow> m_open;

    TFrmExportRole& window() { return m_open->window(); }

    void exportRolls(const QList<int>& rolls)
    {
        for (const int roll : rolls)
            clickRoll(window(), roll, Qt::ControlModifier);
        clickExport(window());
    }

    void comparePortalWithLocal(const QList<int>& exportedRolls)
    {
        for (const TablePair& pair : tablePairs()) {
            const QStringList local = m_source.rows(pair.local.arg(rollList(exportedRolls)));
            QVERIFY2(!local.isEmpty(), pair.name);
            QCOMPARE(m_portal->rows(pair.portal), local);
        }
    }

private slots:
    void init()
    {
        m_dmd.ADOConnection->SetConnected(false);
        m_source.recreate({ .rolls = 15, .invoicesPerRoll = 4, .linesPerInvoice = 3, .children = 9, .clients = 7 });
        RunFixture::removeExportLogs();
        m_portal = std::make_unique<PortalStandin>();
        m_open = std::make_unique<OpenWindow>();
        QVERIFY(m_open->exposed());
    }

    void cleanup()
    {
        m_open.reset();
        m_portal.reset();
    }

    void thePortalHoldsExactlyTheLocalRows()
    {
        exportRolls({ 12, 15 });
        QCOMPARE(m_open->errors(), QStringList());
        QCOMPARE(window().Memo1->toPlainText(), QStringLiteral("\n")); // the two roll inserts' empty replies
        comparePortalWithLocal({ 12, 15 });
    }

    void aSecondRunReplacesRatherThanDuplicates()
    {
        exportRolls({ 12, 15 });
        // The town's base changes between the runs.
        m_source.execute(QStringLiteral("UPDATE Client SET Nom='O''Brien', email=NULL WHERE NumClient=2;"
                                        "DELETE FROM Enfant WHERE NumEnfant=4;"
                                        "DELETE FROM ItemFacture WHERE NumItemFacture=(SELECT min(NumItemFacture) FROM "
                                        "ItemFacture WHERE NumRole=15);"
                                        "UPDATE Facture SET TotalTTC=1234.56 WHERE NumFacture=(SELECT max(NumFacture) "
                                        "FROM Facture WHERE NumRole=15);"));
        clickExport(window());
        QCOMPARE(m_open->errors(), QStringList());
        QCOMPARE(window().Memo1->toPlainText(), QStringLiteral("\n\n\n")); // two runs, two rolls each
        comparePortalWithLocal({ 12, 15 });
    }

    void aRollSentEarlierStaysWhenAnotherIsSent()
    {
        exportRolls({ 14 });
        clickRoll(window(), 3);
        clickExport(window());
        comparePortalWithLocal({ 3, 14 });
    }

    void aRunStoppedByAFailureKeepsWhatItSent()
    {
        exportRolls({ 13 });
        m_dmd.ADOConnection->SetConnected(false); // the driver reads a table's layout once per connection
        m_source.execute(QStringLiteral("ALTER TABLE Client RENAME COLUMN email TO courriel;"
                                        "DELETE FROM Enfant WHERE NumEnfant > 5;"));
        clickRoll(window(), 11);
        clickExport(window());

        QCOMPARE(m_open->errors(), QStringList({ QStringLiteral("QueryClient: Champ 'email' non trouvé.") }));
        // The roll and the children went before the failure; the clients of the first run stay as they were.
        QCOMPARE(m_portal->scalar(QStringLiteral("SELECT count(*) FROM role")), QStringLiteral("2"));
        QCOMPARE(m_portal->scalar(QStringLiteral("SELECT count(*) FROM facture WHERE numrole=11")),
            m_source.scalar(QStringLiteral("SELECT count(*) FROM Facture WHERE NumRole=11")));
        QCOMPARE(m_portal->scalar(QStringLiteral("SELECT max(numenfant) FROM enfant")), QStringLiteral("5"));
        QCOMPARE(m_portal->scalar(QStringLiteral("SELECT count(*) FROM client")),
            m_source.scalar(QStringLiteral("SELECT count(*) FROM Client")));
        // The log holds everything built, the client delete last: the failing row was never built.
        QCOMPARE(RunFixture::onlyLogLines().constLast(), QStringLiteral("DELETE from client;"));
    }
};

QTEST_MAIN(TestRollExportToPortal)
#include "TestRollExportToPortal.moc"
