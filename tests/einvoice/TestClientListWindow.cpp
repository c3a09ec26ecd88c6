// The client list window as the operator meets it, offscreen, fed by a portal
// on the loopback.
#include "PortalReply.h"
#include "einvoice/TFrmImporterFactureNumerique.h"
#include "portal/FonctionsVendrolles.h"
#include "support/ErrorRecorder.h"
#include "support/LoopbackPorts.h"
#include "ui/BevelPanel.h"
#include "ui/Look.h"
#include "ui/StringGrid.h"

#include <QHeaderView>
#include <QPushButton>
#include <QtTest>

class TestClientListWindow : public QObject {
    Q_OBJECT

    static QStringList row(const StringGrid& grid, int r)
    {
        QStringList cells;
        for (int c = 0; c < grid.ColCount(); ++c)
            cells << grid.Cell(c, r);
        return cells;
    }

    // The next widget the Tab key can reach.
    static QWidget* nextTabStop(QWidget* from)
    {
        QWidget* next = from->nextInFocusChain();
        while (next != from && !(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        return next;
    }

    static const QStringList& titles()
    {
        static const QStringList instance { QStringLiteral("Num Client"), QStringLiteral("Nom"),
            QStringLiteral("Adresse"), QStringLiteral("Code postal"), QStringLiteral("Ville") };
        return instance;
    }

private slots:
    void initTestCase() { Look::InstallFontSubstitutes(); }

    void laysOutTheWindowAsDesigned()
    {
        ErrorRecorder errors;
        PortalReply portal(GeneratedClients(1));
        TFrmImporterFactureNumerique w;
        QCOMPARE(w.objectName(), QStringLiteral("FrmImporterFactureNumerique"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Client ayant opté pour la facture numérique"));
        QCOMPARE(w.size(), QSize(918, 703));
        QCOMPARE(w.pos(), QPoint(524, 191));
        QCOMPARE(w.palette().color(QPalette::Window), QColor(192, 220, 192));

        QCOMPARE(w.BtImprimerReport->text(), QStringLiteral("Imprimer"));
        QCOMPARE(w.BtImprimerReport->geometry(), QRect(421, 16, 75, 25));
        QCOMPARE(w.BtImprimerGrille->text(), QStringLiteral("Imprimer Grille"));
        QCOMPARE(w.BtImprimerGrille->geometry(), QRect(64, 24, 75, 25));
        w.show();
        QVERIFY(w.BtImprimerReport->isVisible());
        QVERIFY(!w.BtImprimerGrille->isVisible());

        QCOMPARE(w.Panel1->geometry(), QRect(0, 61, 918, 642));
        QCOMPARE(w.StringGrid1->parentWidget(), w.Panel1);
        QCOMPARE(w.StringGrid1->geometry(), QRect(24, 16, 857, 601));
        QCOMPARE(w.StringGrid1->ColCount(), 5);
        const int widths[] = { 64, 172, 338, 87, 169 };
        for (int c = 0; c < 5; ++c)
            QCOMPARE(w.StringGrid1->ColWidth(c), widths[c]);
        QCOMPARE(w.StringGrid1->RowHeight(0), 24);
        QCOMPARE(w.StringGrid1->FixedRows(), 1);
        QCOMPARE(nextTabStop(w.BtImprimerGrille), w.BtImprimerReport);
        QCOMPARE(nextTabStop(w.BtImprimerReport), w.StringGrid1);
        QVERIFY(errors.messages().isEmpty());
    }

    void showsOneClientRowForFiveFieldsAndAFinalSeparator()
    {
        ErrorRecorder errors;
        PortalReply portal(QStringLiteral("12;Martin Paul;3 rue Haute;75001;Paris;"));
        TFrmImporterFactureNumerique w;
        QVERIFY(errors.messages().isEmpty());
        QCOMPARE(w.StringGrid1->RowCount(), 2);
        QCOMPARE(w.StringGrid1->FixedRows(), 1);
        QCOMPARE(row(*w.StringGrid1, 0), titles());
        QCOMPARE(row(*w.StringGrid1, 1),
            (QStringList { QStringLiteral("12"), QStringLiteral("Martin Paul"), QStringLiteral("3 rue Haute"),
                QStringLiteral("75001"), QStringLiteral("Paris") }));
        QCOMPARE(w.StringGrid1->RowHeight(1), 24);
        // The title row is the header the view shows; the client is its first ordinary row.
        QCOMPARE(w.StringGrid1->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Nom"));
        QCOMPARE(w.StringGrid1->model()->rowCount(), 1);
        // The request is the digital-invoice client one, with an empty query.
        const QByteArray request = portal.received();
        QVERIFY(request.startsWith("POST /web/index.php/batch/importClientFactureNumerique HTTP/1.0\r\n"));
        QVERIFY(request.endsWith("&query=\r\n"));
    }

    void turnsAnApostropheIntoASpaceAndKeepsTheNameOneField()
    {
        ErrorRecorder errors;
        PortalReply portal(QStringLiteral("7;D'Arc Jeanne;1 place d'Orléans;45000;Orléans\r\n"
                                          "8;Durand;2 rue Basse;69001;Lyon\r\n"));
        TFrmImporterFactureNumerique w;
        QVERIFY(errors.messages().isEmpty());
        QCOMPARE(w.StringGrid1->RowCount(), 3);
        QCOMPARE(row(*w.StringGrid1, 1),
            (QStringList { QStringLiteral("7"), QStringLiteral("D Arc Jeanne"), QStringLiteral("1 place d Orléans"),
                QStringLiteral("45000"), QStringLiteral("Orléans") }));
        QCOMPARE(row(*w.StringGrid1, 2).at(4), QStringLiteral("Lyon"));
    }

    void showsTheCompleteRecordsAndTheIndexErrorForSevenFields()
    {
        ErrorRecorder errors;
        PortalReply portal(QStringLiteral("1;Un;Rue Une;11111;Uneville;2;Deux"));
        TFrmImporterFactureNumerique w;
        QCOMPARE(errors.messages(), QStringList { QStringLiteral("Indice de liste hors limites (7)") });
        QCOMPARE(w.StringGrid1->RowCount(), 2);
        QCOMPARE(row(*w.StringGrid1, 1).at(0), QStringLiteral("1"));
        QCOMPARE(row(*w.StringGrid1, 1).at(4), QStringLiteral("Uneville"));
        QCOMPARE(row(*w.StringGrid1, 0), titles());
    }

    void leavesTheTitlesAloneAsAnOrdinaryRowForAnEmptyReply()
    {
        ErrorRecorder errors;
        PortalReply portal(QStringLiteral(";\r\n;;\r\n"));
        TFrmImporterFactureNumerique w;
        QVERIFY(errors.messages().isEmpty());
        QCOMPARE(w.StringGrid1->RowCount(), 1);
        QCOMPARE(w.StringGrid1->FixedRows(), 0);
        QCOMPARE(row(*w.StringGrid1, 0), titles());
        // The single row is shown as an ordinary row, without a header.
        w.show();
        QVERIFY(!w.StringGrid1->horizontalHeader()->isVisible());
        QCOMPARE(w.StringGrid1->model()->rowCount(), 1);
        QCOMPARE(w.StringGrid1->model()->index(0, 2).data().toString(), QStringLiteral("Adresse"));
    }

    void keepsSixEmptyRowsAndShowsTheErrorWhenTheConnectionIsRefused()
    {
        ErrorRecorder errors;
        RefusingPort refusing;
        const QString previous = PortalBaseUrl();
        SetPortalBaseUrl(QStringLiteral("http://127.0.0.1:%1").arg(refusing.port()));
        TFrmImporterFactureNumerique w;
        SetPortalBaseUrl(previous);
        QCOMPARE(errors.messages().size(), 1);
        QVERIFY2(errors.messages().first().contains(QStringLiteral("10061")), qPrintable(errors.messages().first()));
        QCOMPARE(w.StringGrid1->RowCount(), 6);
        QCOMPARE(w.StringGrid1->FixedRows(), 1);
        for (int r = 0; r < 6; ++r)
            QCOMPARE(row(*w.StringGrid1, r), QStringList(5, QString()));
    }

    void selectsWholeRowsAndNeverEdits()
    {
        ErrorRecorder errors;
        PortalReply portal(GeneratedClients(3));
        TFrmImporterFactureNumerique w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        StringGrid& grid = *w.StringGrid1;
        const QRect second = grid.visualRect(grid.model()->index(1, 2));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, second.center());
        const QModelIndexList selected = grid.selectionModel()->selectedIndexes();
        QCOMPARE(selected.size(), 5);
        for (const QModelIndex& index : selected)
            QCOMPARE(index.row(), 1);

        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, second.center());
        QTest::keyClick(grid.viewport(), Qt::Key_F2);
        QTest::keyClicks(grid.viewport(), QStringLiteral("xyz"));
        QCOMPARE(grid.Cell(2, 2), QStringLiteral("2 rue des Lilas"));
        QVERIFY(!(grid.model()->flags(grid.model()->index(1, 2)) & Qt::ItemIsEditable));
    }

    void letsTheOperatorWidenAColumn()
    {
        ErrorRecorder errors;
        PortalReply portal(GeneratedClients(1));
        TFrmImporterFactureNumerique w;
        QCOMPARE(w.StringGrid1->horizontalHeader()->sectionResizeMode(1), QHeaderView::Interactive);
        w.StringGrid1->horizontalHeader()->resizeSection(1, 250); // as a drag on the title row does
        QCOMPARE(w.StringGrid1->ColWidth(1), 250);
        QCOMPARE(w.StringGrid1->ColWidth(0), 64);
    }
};

QTEST_MAIN(TestClientListWindow)
#include "TestClientListWindow.moc"
