// The synchronise button from end to end: the window, the town's database
// behind a real ODBC data source and the portal stand-in.
#include "SynchronisationFixture.h"

#include "portal/FonctionsVendrolles.h"
#include "support/LoopbackPorts.h"
#include "support/RecordingPortal.h"
#include "ui/Gauge.h"

#include <QLabel>
#include <QTextBlock>
#include <QPlainTextEdit>
#include <QtTest>

namespace {

const QDate kStart(2024, 3, 5);

// The detail text's fragments written in bold.
QStringList boldTexts(const QPlainTextEdit* edit)
{
    QStringList texts;
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().fontWeight() == QFont::Bold)
                texts << it.fragment().text();
        }
    }
    return texts;
}

} // namespace

class TestPaymentSynchronisation : public QObject {
    Q_OBJECT

    SynchronisationFixture m_fixture;

    // Local payments around the start date, and portal payments: two since
    // the start date, one before it, one abandoned.
    void addTheWorkedSituation()
    {
        SynchronisationFixture& f = m_fixture;
        f.addLocalPayment(
            20, 8, 2, 3, QStringLiteral("2024-03-01"), QStringLiteral("fact-240011"), 10, QStringLiteral("NULL"));
        f.addLocalPayment(
            30, 9, 2, 3, QStringLiteral("2024-03-05"), QStringLiteral("fact-240012"), 11, QStringLiteral("CB"));
        f.addLocalPayment(
            40, 10, 3, 4, QStringLiteral("2024-03-07"), QStringLiteral("F 12/3"), 12.25, QStringLiteral("PF"));
        f.addLocalPayment(
            41, 11, 3, 4, QStringLiteral("2024-03-08"), QStringLiteral("fact-240013"), 5, QStringLiteral("PF_99"));
        f.addLocalPayment(
            42, 12, 1, 4, QStringLiteral("2024-03-09"), QStringLiteral("fact-678"), 8, QStringLiteral("NULL"));
        // Paid at the counter earlier, paid again on the portal: the portal's payment replaces it.
        f.addLocalPayment(
            43, 5, 1, 2, QStringLiteral("2024-02-01"), QStringLiteral("fact-240005"), 20, QStringLiteral("CHQ 1"));
        f.addLocalPayment(
            56, 7, 1, 3, QStringLiteral("2024-03-10"), QStringLiteral("fact-240010"), 42.5, QStringLiteral("CHQ 4410"));

        f.m_portal->execute(QStringLiteral("INSERT INTO role (NumRole, NumE) VALUES (2, 3)"));
        f.addPortalPayment(5, QStringLiteral("2024-03-06"), 61.2, 240005, 2, 4700005);
        f.addPortalPayment(6, QStringLiteral("2024-03-05"), 7, 240006, 2, 4700006);
        f.addPortalPayment(9, QStringLiteral("2024-03-04"), 9, 240009, 2, 4700009);
        f.addPortalPayment(4, QStringLiteral("2024-03-07"), 4, 240004, 2, 4700004, 0);
    }

    const QStringList kUntouchedLocal = {
        QStringLiteral("20|8|2|3|2024-03-01 00:00:00|fact-240011|1|10.00|"),
        QStringLiteral("30|9|2|3|2024-03-05 00:00:00|fact-240012|1|11.00|CB"),
        QStringLiteral("40|10|3|4|2024-03-07 00:00:00|F 12/3|1|12.25|PF"),
        QStringLiteral("41|11|3|4|2024-03-08 00:00:00|fact-240013|1|5.00|PF_99"),
        QStringLiteral("42|12|1|4|2024-03-09 00:00:00|fact-678|1|8.00|"),
    };
    const QString kLocal56 = QStringLiteral("56|7|1|3|2024-03-10 00:00:00|fact-240010|1|42.50|CHQ 4410");
    const QStringList kExported = {
        QStringLiteral("7|1|2024-03-10|42.50|240010|3"),
        QStringLiteral("10|3|2024-03-07|12.25|123|4"),
        QStringLiteral("12|1|2024-03-09|8.00|678|4"),
    };

    // The local table after an import that numbered the two portal payments from `first` on.
    QStringList localAfterImport(int first) const
    {
        return kUntouchedLocal
            + QStringList { kLocal56,
                  QStringLiteral("%1|6|5|2|2024-03-05 00:00:00|fact-240006|3|7.00|PF_4700006").arg(first),
                  QStringLiteral("%1|5|5|2|2024-03-06 00:00:00|fact-240005|3|61.20|PF_4700005").arg(first + 1) };
    }

private slots:
    void init() { m_fixture.reset(); }
    void cleanupTestCase() { m_fixture.m_portal.reset(); }

    void recordsThePortalsPaymentsAndSendsTheLocalOnes()
    {
        addTheWorkedSituation();
        TFrmSynchroniserPaiement window;
        SynchronisationFixture::synchronise(window, kStart);
        QCOMPARE(m_fixture.m_errors.messages(), QStringList());

        // Numbered after the largest number, in the portal's order, dated day first.
        QCOMPARE(m_fixture.localPayments(), localAfterImport(57));
        QCOMPARE(m_fixture.exportedPayments(), kExported);

        QCOMPARE(m_fixture.settingsFile(),
            QByteArray("[Import]\r\nLastDateImport=05-03-24\r\n[Export]\r\nLastDateExport=05-03-24\r\n"));
        QCOMPARE(
            window.LabelImport->text(), QStringLiteral("Derniere synchronisation effectuée à la date du : 05-03-24"));
        QCOMPARE(
            window.LabelExport->text(), QStringLiteral("Dernière synchronisation effectuée à la date du : 05-03-24"));
        QCOMPARE(window.DatePaiementExport->date(), kStart);
        QVERIFY(window.RichDetail->isVisibleTo(&window));
        QVERIFY(window.LabelDetail->isVisibleTo(&window));
        QVERIFY(!window.Gauge->isVisibleTo(&window));
        QVERIFY(!window.LabelGauge->isVisibleTo(&window));
        QCOMPARE(window.Gauge->MaxValue(), 16);
        QCOMPARE(window.Gauge->Progress(), 16);
    }

    void writesTheAccountOfBothRuns()
    {
        addTheWorkedSituation();
        TFrmSynchroniserPaiement window;
        SynchronisationFixture::synchronise(window, kStart);
        QCOMPARE(m_fixture.m_errors.messages(), QStringList());

        const QString importHeading = QStringLiteral(
            "Import des paiements effectués dans le portail famille vers KORVA8 à partir du 05/03/2024");
        const QString exportHeading = QStringLiteral(
            "Import des paiements effectués dans KORVA8 vers le portail famille à partir du 05/03/2024");
        const QString text = window.RichDetail->toPlainText();
        const QString importPart = importHeading
            + QStringLiteral("\n\nLe client n°6 a reglé la facture n°240006 d'un montant de 7.00€ le 05/03/2024\n"
                             "Le client n°5 a reglé la facture n°240005 d'un montant de 61.20€ le 06/03/2024\n"
                             "\n2 paiements mis à jour dans KORVA8\n\n");
        QVERIFY2(text.startsWith(importPart + exportHeading + QStringLiteral("\n")), qPrintable(text));
        // The database returns the rows in an order of its own.
        QStringList exportLines = text.mid(importPart.size() + exportHeading.size() + 2).split(QLatin1Char('\n'));
        QCOMPARE(exportLines.mid(3),
            QStringList({ QStringLiteral("3 paiements mis à jour dans le portail famille"), QString(),
                QStringLiteral("Merci de verifier que les numeros de facture "
                               "ci-dessus ont bien été convertis sinon veuillez "
                               "les corriger.Merci"),
                QString() }));
        exportLines = exportLines.mid(0, 3);
        exportLines.sort();
        QCOMPARE(exportLines,
            QStringList({ QStringLiteral("Client : 10 - La valeur  F 12/3  est converti en numero de facture : 123"),
                QStringLiteral("Client : 12 - La valeur  fact-678  est converti en numero de facture : 678"),
                QStringLiteral("Client : 7 - La valeur  fact-240010  est converti en numero de facture : "
                               "240010") }));
        QCOMPARE(boldTexts(window.RichDetail), QStringList({ importHeading, exportHeading }));
    }

    void logsEveryStatement()
    {
        addTheWorkedSituation();
        TFrmSynchroniserPaiement window;
        SynchronisationFixture::synchronise(window, kStart);
        QCOMPARE(m_fixture.m_errors.messages(), QStringList());

        QCOMPARE(SynchronisationFixture::statementLog(QStringLiteral("import-paiement")),
            QByteArray("DELETE from encaissement where NumRole2=2 and NumClient=6 and NoPi\xe8"
                       "ce='fact-240006';\r\n"
                       "DELETE from encaissement where NumRole2=2 and NumClient=5 and NoPi\xe8"
                       "ce='fact-240005';\r\n"
                       "INSERT into encaissement(NumEncaissement,NumClient,MoyenPaiement,NumRole2,DatePaiement,"
                       "NoPi\xe8"
                       "ce,NumE,MontantPay\xe9,BanquePi\xe8"
                       "ce) values(57,6,5,2,'05/03/2024',"
                       "'fact-240006',3,7.00,'PF_4700006');\r\n"
                       "INSERT into encaissement(NumEncaissement,NumClient,MoyenPaiement,NumRole2,DatePaiement,"
                       "NoPi\xe8"
                       "ce,NumE,MontantPay\xe9,BanquePi\xe8"
                       "ce) values(58,5,5,2,'06/03/2024',"
                       "'fact-240005',3,61.20,'PF_4700005');\r\n"));
        const QList<QByteArray> exportLog
            = SynchronisationFixture::statementLog(QStringLiteral("export-paiement")).split('\n');
        QCOMPARE(exportLog.size(), 5);
        QCOMPARE(exportLog.first(),
            QByteArray("DELETE FROM encaissement where etat=2 and transactionid=0 and datepaiement>'2024-03-05';\r"));
        QVERIFY(exportLog.contains(
            QByteArray(" INSERT into  encaissement VALUES ('','7','1','2024-03-10','42.5','240010','3','2','');\r")));
        QCOMPARE(exportLog.last(), QByteArray());
    }

    void aSecondSynchronisationLeavesNoDuplicate()
    {
        addTheWorkedSituation();
        TFrmSynchroniserPaiement window;
        SynchronisationFixture::synchronise(window, kStart);
        SynchronisationFixture::synchronise(window, kStart);
        QCOMPARE(m_fixture.m_errors.messages(), QStringList());

        // The second run removed what the first recorded, so the numbers come round again.
        QCOMPARE(m_fixture.localPayments(), localAfterImport(57));
        QCOMPARE(m_fixture.exportedPayments(), kExported);
        // Both accounts stay, the second after the first.
        QCOMPARE(window.RichDetail->toPlainText().count(QStringLiteral("2 paiements mis à jour dans KORVA8")), 2);
        QCOMPARE(boldTexts(window.RichDetail).size(), 4);
    }

    void theFirstPaymentOfAnEmptyTableIsNumberOne()
    {
        m_fixture.addPortalPayment(6, QStringLiteral("2024-03-05"), 7.5, 240006, 2, 4700006);
        TFrmSynchroniserPaiement window;
        SynchronisationFixture::synchronise(window, kStart);
        QCOMPARE(m_fixture.m_errors.messages(), QStringList());
        QCOMPARE(m_fixture.localPayments(),
            QStringList { QStringLiteral("1|6|5|2|2024-03-05 00:00:00|fact-240006|1|7.50|PF_4700006") });
    }

    void aHostileReplyChangesNothingLocally_data()
    {
        QTest::addColumn<QString>("hostility");
        QTest::addColumn<QString>("message");
        QTest::newRow("condition in the client")
            << QStringLiteral("numclient = '1 or 1=1'")
            << QStringLiteral("Paiement 2, champ 1 : '1 or 1=1' n'est pas une valeur entière correcte.");
        QTest::newRow("statement in the roll")
            << QStringLiteral("numrole = '0; DROP TABLE Encaissement'")
            << QStringLiteral("Paiement 3, champ 2 : Indice de liste hors limites (17)");
        QTest::newRow("day that is no number")
            << QStringLiteral("datepaiement = '2024-03-3x'")
            << QStringLiteral("Paiement 2, champ 4 : '3x/03/2024' n'est pas une date "
                              "correcte.");
        // An empty field is no field: every later one moves up a place.
        QTest::newRow("empty field in the middle")
            << QStringLiteral("moyenpaiement = ''")
            << QStringLiteral("Paiement 2, champ 2 : '61.20' n'est pas une valeur entière correcte.");
        // The apostrophe opens a quoted text that runs to the end of the reply.
        QTest::newRow("unclosed apostrophe in the invoice")
            << QStringLiteral("numfacture = '2400''05'")
            << QStringLiteral("Paiement 2, champ 6 : Indice de liste hors limites (13)");
        QTest::newRow("unclosed apostrophe in the reference")
            << QStringLiteral("transactionid = '47''00005'")
            << QStringLiteral("Paiement 2, champ 8 : Indice de liste hors limites (15)");
    }

    void aHostileReplyChangesNothingLocally()
    {
        QFETCH(QString, hostility);
        QFETCH(QString, message);
        addTheWorkedSituation();
        // Numeric columns of the portal take text only when it is changed afterwards.
        m_fixture.m_portal->execute(
            QStringLiteral("UPDATE encaissement SET ") + hostility + QStringLiteral(" WHERE transactionid = 4700005"));
        const QStringList before = m_fixture.localPayments();

        TFrmSynchroniserPaiement window;
        const QString labelBefore = window.LabelImport->text();
        SynchronisationFixture::synchronise(window, kStart);

        QCOMPARE(m_fixture.m_errors.messages().size(), 1);
        QCOMPARE(m_fixture.m_errors.messages().first(),
            QStringLiteral("Réponse du portail refusée, aucun paiement n'a été importé. ") + message);
        QCOMPARE(m_fixture.localPayments(), before);
        QCOMPARE(
            m_fixture.m_source.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'Encaissement'")),
            QStringLiteral("1"));
        // The export did not run; nothing is recorded as done.
        QCOMPARE(m_fixture.exportedPayments(), QStringList());
        QCOMPARE(m_fixture.settingsFile(), QByteArray("(missing)"));
        QCOMPARE(window.LabelImport->text(), labelBefore);
        QVERIFY(window.LabelGauge->isVisibleTo(&window));
        QCOMPARE(window.LabelGauge->text(), QStringLiteral("Import en cours...étape 1/2"));
        QCOMPARE(SynchronisationFixture::statementLog(QStringLiteral("import-paiement")), QByteArray());
        QCOMPARE(SynchronisationFixture::statementLogs(QStringLiteral("export-paiement")), QStringList());
    }

    void aStatementRefusedPartWayLeavesTheTableAsItWas()
    {
        addTheWorkedSituation();
        // The town's base refuses the second payment's insertion, after both deletions ran.
        m_fixture.m_source.execute(
            QStringLiteral("CREATE TRIGGER refuse_client_5 BEFORE INSERT ON Encaissement "
                           "WHEN NEW.NumClient = 5 BEGIN SELECT RAISE(ABORT, 'paiement refusé'); END;"));
        const QStringList before = m_fixture.localPayments();
        QVERIFY(before.contains(QStringLiteral("43|5|1|2|2024-02-01 00:00:00|fact-240005|1|20.00|CHQ 1")));

        TFrmSynchroniserPaiement window;
        SynchronisationFixture::synchronise(window, kStart);

        QCOMPARE(m_fixture.m_errors.messages().size(), 1);
        QVERIFY2(m_fixture.m_errors.messages().first().contains(QStringLiteral("paiement refusé")),
            qPrintable(m_fixture.m_errors.messages().first()));
        QCOMPARE(m_fixture.localPayments(), before);
        QCOMPARE(m_fixture.exportedPayments(), QStringList());
        QCOMPARE(m_fixture.settingsFile(), QByteArray("(missing)"));
        QCOMPARE(window.LabelImport->text(),
            QStringLiteral("Dernière synchronisation effectuée à la date du : aucun import realisé"));
        QCOMPARE(window.LabelGauge->text(), QStringLiteral("Import en cours...étape 2/2"));
        // The account holds what was written before the refusal, then says plainly that nothing was kept.
        QVERIFY(window.RichDetail->isVisibleTo(&window));
        QCOMPARE(window.RichDetail->toPlainText(),
                 QStringLiteral("Import des paiements effectués dans le portail famille vers KORVA8 à partir du "
                                "05/03/2024\n\n"
                                "Le client n°6 a reglé la facture n°240006 d'un montant de 7.00€ le 05/03/2024\n"
                                "Le client n°5 a reglé la facture n°240005 d'un montant de 61.20€ le 06/03/2024\n"
                                "\nImport annulé : aucun paiement mis à jour dans KORVA8"));

        // The connection is usable again at once: the next synchronisation goes through.
        m_fixture.m_source.execute(QStringLiteral("DROP TRIGGER refuse_client_5"));
        m_fixture.m_errors.clear();
        SynchronisationFixture::synchronise(window, kStart);
        QCOMPARE(m_fixture.m_errors.messages(), QStringList());
        QVERIFY(!m_fixture.localPayments().contains(
            QStringLiteral("43|5|1|2|2024-02-01 00:00:00|fact-240005|1|20.00|CHQ 1")));
        QCOMPARE(m_fixture.exportedPayments(), kExported);
    }

    void aPortalThatCannotBeReachedChangesNothing()
    {
        addTheWorkedSituation();
        const QStringList before = m_fixture.localPayments();
        TFrmSynchroniserPaiement window;
        m_fixture.m_portal.reset();
        const RefusingPort closed; // held, so that no other program answers there meanwhile
        SetPortalBaseUrl(QStringLiteral("http://127.0.0.1:%1").arg(closed.port()));
        SynchronisationFixture::synchronise(window, kStart);
        QCOMPARE(m_fixture.m_errors.messages().size(), 1);
        QCOMPARE(m_fixture.localPayments(), before);
        QCOMPARE(m_fixture.settingsFile(), QByteArray("(missing)"));
        QCOMPARE(SynchronisationFixture::statementLog(QStringLiteral("import-paiement")), QByteArray());
    }

    // Where the settings file's folder is gone, the run cannot hold its lock
    // nor keep its dates: it stops before the import, with nothing changed.
    void aSettingsFolderThatIsGoneStopsTheRunBeforeAnything()
    {
        addTheWorkedSituation();
        const QStringList before = m_fixture.localPayments();
        const QString unwritable = m_fixture.m_settingsDir.filePath(QStringLiteral("absent/quilvanor.ini"));
        SetSettingsFilePath(unwritable);
        TFrmSynchroniserPaiement window;
        SynchronisationFixture::synchronise(window, kStart);

        QCOMPARE(m_fixture.m_errors.messages(),
            QStringList { QStringLiteral("Le verrou %1 ne peut pas être créé (Fichier introuvable) : une exécution ne "
                                         "peut pas commencer sans lui.")
                              .arg(QDir::toNativeSeparators(m_fixture.m_settingsDir.filePath(
                                  QStringLiteral("absent/quilvanor.verrou")))) });
        QCOMPARE(m_fixture.localPayments(), before);
        QCOMPARE(m_fixture.exportedPayments(), QStringList());
        QCOMPARE(window.LabelImport->text(),
            QStringLiteral("Dernière synchronisation effectuée à la date du : aucun import realisé"));
    }

    void theExportReadsTheColumnsByName()
    {
        // A payments table whose columns stand in another order.
        m_fixture.m_source.execute(QStringLiteral(
            "DROP TABLE Encaissement; CREATE TABLE Encaissement (BanquePièce VARCHAR(50), MontantPayé DOUBLE, "
            "NoPièce VARCHAR(50), NumE INTEGER, DatePaiement DATETIME, NumRole2 INTEGER, MoyenPaiement INTEGER, "
            "NumClient INTEGER, NumEncaissement INTEGER PRIMARY KEY);"
            "INSERT INTO Encaissement VALUES (NULL, 30.5, 'fact-678', 1, '2012-05-14 00:00:00', 12, 2, 123, 1);"));
        TFrmSynchroniserPaiement window;
        SynchronisationFixture::synchronise(window, QDate(2012, 5, 12));
        QCOMPARE(m_fixture.m_errors.messages(), QStringList());

        QCOMPARE(m_fixture.exportedPayments(), QStringList { QStringLiteral("123|2|2012-05-14|30.50|678|12") });
        QVERIFY(window.RichDetail->toPlainText().endsWith(QStringLiteral(
            "Import des paiements effectués dans KORVA8 vers le portail famille à partir du 12/05/2012\n"
            "\nClient : 123 - La valeur  fact-678  est converti en numero de facture : 678\n"
            "1 paiements mis à jour dans le portail famille\n"
            "\nMerci de verifier que les numeros de facture ci-dessus ont bien été convertis sinon veuillez les "
            "corriger.Merci\n")));
    }

    void anExportThatFailsAfterTheImportRecordsTheImportOnly()
    {
        addTheWorkedSituation();
        TFrmSynchroniserPaiement window;
        const QString exportLabel = window.LabelExport->text();
        {
            RecordingPortal portal({ { 200, "" }, { 500, "" } });
            SynchronisationFixture::synchronise(window, kStart);
            QCOMPARE(portal.requests().size(), 2);
        }
        QCOMPARE(m_fixture.m_errors.messages(), QStringList { QStringLiteral("500 Internal Server Error.") });
        QCOMPARE(m_fixture.settingsFile(), QByteArray("[Import]\r\nLastDateImport=05-03-24\r\n"));
        QCOMPARE(
            window.LabelImport->text(), QStringLiteral("Derniere synchronisation effectuée à la date du : 05-03-24"));
        QCOMPARE(window.LabelExport->text(), exportLabel);
    }

    void anEmptyReplyStillCompletesTheImport()
    {
        // Sent by an earlier export; with no local payment after the start
        // date, the export's delete statement still goes and removes it.
        m_fixture.m_portal->execute(
            QStringLiteral("INSERT INTO encaissement VALUES (NULL, 7, 1, '2012-03-02', 4, 240010, 3, 2, 0)"));
        TFrmSynchroniserPaiement window;
        SynchronisationFixture::synchronise(window, QDate(2012, 3, 1));
        QCOMPARE(m_fixture.m_errors.messages(), QStringList());
        QCOMPARE(window.RichDetail->toPlainText(),
            QStringLiteral("Import des paiements effectués dans le portail famille vers KORVA8 à partir du "
                           "01/03/2012\n\n\n0 paiements mis à jour dans KORVA8\n\n"
                           "Import des paiements effectués dans KORVA8 vers le portail famille à partir du "
                           "01/03/2012\n\n0 paiements mis à jour dans le portail famille\n\n"
                           "Merci de verifier que les numeros de facture ci-dessus ont bien été convertis "
                           "sinon veuillez les corriger.Merci\n"));
        QCOMPARE(SynchronisationFixture::statementLog(QStringLiteral("import-paiement")), QByteArray());
        QCOMPARE(SynchronisationFixture::statementLog(QStringLiteral("export-paiement")),
            QByteArray("DELETE FROM encaissement where etat=2 and transactionid=0 and datepaiement>'2012-03-01';\r\n"));
        QCOMPARE(m_fixture.exportedPayments(), QStringList());
        QCOMPARE(
            window.LabelImport->text(), QStringLiteral("Derniere synchronisation effectuée à la date du : 01-03-12"));
        QCOMPARE(m_fixture.settingsFile(),
            QByteArray("[Import]\r\nLastDateImport=01-03-12\r\n[Export]\r\nLastDateExport=01-03-12\r\n"));
    }
};

QTEST_MAIN(TestPaymentSynchronisation)
#include "TestPaymentSynchronisation.moc"
