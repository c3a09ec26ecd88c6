// The client list window against the family portal stand-in: what the portal
// lists is what the operator sees.
#include "einvoice/TFrmImporterFactureNumerique.h"
#include "support/ErrorRecorder.h"
#include "support/PortalStandin.h"
#include "ui/Look.h"
#include "ui/StringGrid.h"

#include <QtTest>

#include <memory>

class TestClientListFromPortal : public QObject {
    Q_OBJECT

    std::unique_ptr<PortalStandin> m_portal;

    void setClients(const QString& values, const QString& chosen)
    {
        m_portal->execute(
            QStringLiteral("DELETE FROM facturenumerique; DELETE FROM client;"
                           "INSERT INTO client (numclient, nom, prenom, adr1, cp, ville, norue) VALUES %1;"
                           "INSERT INTO facturenumerique (numclient, datechoix) VALUES %2;")
                .arg(values, chosen));
    }

    static QStringList rowOf(const StringGrid& grid, int row)
    {
        QStringList cells;
        for (int c = 0; c < grid.ColCount(); ++c)
            cells << grid.Cell(c, row);
        return cells;
    }

private slots:
    void initTestCase()
    {
        Look::InstallFontSubstitutes();
        m_portal = std::make_unique<PortalStandin>();
    }

    void cleanupTestCase() { m_portal.reset(); }

    void showsTheClientsThePortalLists()
    {
        setClients(QStringLiteral("(3, 'Lefèvre', 'Anne', 'rue de l''Église', '35000', 'Rennes', '4'),"
                                  "(5, 'Petit', 'Jean', 'allée des Pins', '29200', 'Brest', '12'),"
                                  "(8, 'Moreau', 'Luc', 'quai Nord', '44000', 'Nantes', '1')"),
            QStringLiteral("(3, '2024-01-05'), (5, '2024-02-01')"));
        ErrorRecorder errors;
        TFrmImporterFactureNumerique window;
        QVERIFY2(errors.messages().isEmpty(), qPrintable(errors.messages().join(QLatin1Char('|'))));
        QCOMPARE(window.StringGrid1->RowCount(), 3);
        QCOMPARE(rowOf(*window.StringGrid1, 1),
            (QStringList { QStringLiteral("3"), QStringLiteral("Lefèvre Anne"), QStringLiteral("4 rue de l Église"),
                QStringLiteral("35000"), QStringLiteral("Rennes") }));
        QCOMPARE(rowOf(*window.StringGrid1, 2),
            (QStringList { QStringLiteral("5"), QStringLiteral("Petit Jean"), QStringLiteral("12 allée des Pins"),
                QStringLiteral("29200"), QStringLiteral("Brest") }));
    }
};

QTEST_MAIN(TestClientListFromPortal)
#include "TestClientListFromPortal.moc"
