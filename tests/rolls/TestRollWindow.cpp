// The roll export window offscreen, on a real ODBC data source, driven by
// real mouse clicks and keys, sending to a portal that records every request.
#include "support/RecordingPortal.h"
#include "support/RunFixture.h"
#include "WindowFixture.h"

#include "app/TFrmMain.h"
#include "common/DateTexts.h"
#include "data/AdoConnection.h"
#include "data/TDmdMain.h"
#include "portal/FonctionsVendrolles.h"
#include "support/LoopbackPorts.h"
#include "support/TestOdbcSource.h"
#include "ui/ErrorDisplay.h"
#include "ui/Gauge.h"
#include "ui/Look.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace WindowFixture;

class TestRollWindow : public QObject {
    Q_OBJECT

    TestOdbcSource m_source;
    TDmdMain m_dmd;
    std::unique_ptr<OpenWindow> m_open;

    TFrmExportRole& window() { return m_open->window(); }

    QString localDate(const QString& sql) const
    {
        return FormatShortDate(QDate::fromString(m_source.scalar(sql).left(10), Qt::ISODate));
    }

    QList<int> deletedRolls(const QStringList& queries) const
    {
        QList<int> rolls;
        for (const QString& query : queries) {
            if (query.startsWith(QStringLiteral("DELETE FROM role where numrole=")))
                rolls << query.mid(31).toInt();
        }
        return rolls;
    }

private slots:
    void init()
    {
        m_dmd.ADOConnection->SetConnected(false);
        m_source.recreate({ .rolls = 15, .invoicesPerRoll = 2, .linesPerInvoice = 2, .children = 4, .clients = 3 });
        RunFixture::removeExportLogs();
        m_open = std::make_unique<OpenWindow>();
        QVERIFY(m_open->exposed());
    }

    void cleanup() { m_open.reset(); }

    void laidOutAsTheOperatorSeesIt()
    {
        QCOMPARE(window().windowTitle(), QStringLiteral("Selectionner les rôles"));
        QCOMPARE(window().size(), QSize(755, 448));
        QCOMPARE(window().minimumSize(), window().maximumSize());
        QCOMPARE(window().palette().color(QPalette::Window), Look::MoneyGreen());
        QCOMPARE(window().DBGrille->geometry(), QRect(0, 0, 755, 241));
        QCOMPARE(window().DBGrille->toolTip(),
            QStringLiteral("Pour séléctionner plusieurs rôles , appuyez sur la touche  Ctrl"));
        // In its place, or wider around its centre where the platform's font needs it.
        const QRect button = window().BtExporter->geometry();
        QVERIFY2(button.width() >= qMax(145, window().BtExporter->sizeHint().width()), qPrintable(QString::number(button.width())));
        QCOMPARE(button.top(), 264);
        QCOMPARE(button.height(), 33);
        QVERIFY(qAbs(button.center().x() - QRect(232, 264, 145, 33).center().x()) <= 1);
        QCOMPARE(window().BtExporter->text(), QStringLiteral("Envoyer vers le portail famille"));
        QCOMPARE(window().Gauge->geometry(), QRect(416, 264, 225, 41));
        QCOMPARE(window().Memo1->geometry(), QRect(8, 312, 673, 121));
        QVERIFY(window().Memo1->isReadOnly());
        QCOMPARE(window().LabelErreur->text(), QStringLiteral("Erreurs lors de l'importation :"));
        QVERIFY(window().LabelErreur->font().bold() && window().LabelGauge->font().bold());
        for (QWidget* hidden : { static_cast<QWidget*>(window().Gauge), static_cast<QWidget*>(window().LabelGauge),
                 static_cast<QWidget*>(window().LabelErreur), static_cast<QWidget*>(window().Memo1) })
            QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
        QCOMPARE(QApplication::focusWidget(), window().BtExporter);
    }

    void gridListsEveryRollHighestFirstWithItsColumns()
    {
        QCOMPARE(window().Queries.QueryRole.Sql(), QStringLiteral("SELECT * FROM Role ORDER BY NumRole DESC"));
        const QAbstractItemModel* model = window().DBGrille->model();
        QCOMPARE(model->rowCount(), m_source.scalar(QStringLiteral("SELECT count(*) FROM Role")).toInt());
        QCOMPARE(
            model->index(0, 0).data().toString(), m_source.scalar(QStringLiteral("SELECT max(NumRole) FROM Role")));
        QCOMPARE(model->index(model->rowCount() - 1, 0).data().toString(),
            m_source.scalar(QStringLiteral("SELECT min(NumRole) FROM Role")));

        const QStringList titles { QStringLiteral("Num Role"), QStringLiteral("Date Facture"),
            QStringLiteral("Date Deb Période"), QStringLiteral("Date Fin Période"), QStringLiteral("Date Paiement"),
            QStringLiteral("Titre Role") };
        const QList<int> widths { 70, 110, 110, 110, 110, 220 };
        QCOMPARE(model->columnCount(), titles.size());
        for (int c = 0; c < titles.size(); ++c) {
            QCOMPARE(model->headerData(c, Qt::Horizontal).toString(), titles.at(c));
            QCOMPARE(window().DBGrille->columnWidth(c), widths.at(c));
        }
        QVERIFY(window().DBGrille->horizontalHeader()->font().bold());
        QCOMPARE(window().DBGrille->horizontalHeader()->palette().color(QPalette::ButtonText), Look::Desktop());
        QCOMPARE(model->index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
            Qt::AlignHCenter);
        QCOMPARE(model->index(0, 5).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
            Qt::AlignLeft);

        // Dates in the program's short format, in the order of the shown columns.
        const int top = model->index(0, 0).data().toInt();
        const QStringList dateColumns { QStringLiteral("DateFacture"), QStringLiteral("DateDebPériode"),
            QStringLiteral("DateFinPériode"), QStringLiteral("DatePaiement") };
        for (int c = 0; c < dateColumns.size(); ++c)
            QCOMPARE(model->index(0, c + 1).data().toString(),
                localDate(QStringLiteral("SELECT %1 FROM Role WHERE NumRole=%2").arg(dateColumns.at(c)).arg(top)));
        QCOMPARE(model->index(0, 5).data().toString(),
            m_source.scalar(QStringLiteral("SELECT TitreRole FROM Role WHERE NumRole=%1").arg(top)));
    }

    void clickSelectsOneRollAndCtrlClickToggles()
    {
        clickRoll(window(), 14);
        QCOMPARE(selectedRolls(window()), QList<int>({ 14 }));
        clickRoll(window(), 12);
        QCOMPARE(selectedRolls(window()), QList<int>({ 12 }));
        clickRoll(window(), 15, Qt::ControlModifier);
        clickRoll(window(), 10, Qt::ControlModifier);
        QCOMPARE(selectedRolls(window()), QList<int>({ 15, 12, 10 }));
        clickRoll(window(), 12, Qt::ControlModifier);
        QCOMPARE(selectedRolls(window()), QList<int>({ 15, 10 }));
        clickRoll(window(), 9);
        QCOMPARE(selectedRolls(window()), QList<int>({ 9 }));
    }

    // The rolls are clicked in turn (the first plainly, the others with Ctrl),
    // the keys pressed on the grid, then the further rolls Ctrl+clicked.
    void keysOnTheGridExtendOrClearTheSelection_data()
    {
        QTest::addColumn<QList<int>>("clicked");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QList<int>>("ctrlClickedAfter");
        QTest::addColumn<QList<int>>("expected");
        QTest::addColumn<int>("currentRoll");

        const QList<int> none;
        QTest::newRow("Shift+Down twice") << QList<int>{13} << QKeySequence(QStringLiteral("Shift+Down, Shift+Down"))
                                          << none << QList<int>{13, 12, 11} << 11;
        QTest::newRow("Shift+Down twice, Shift+Up")
            << QList<int>{13} << QKeySequence(QStringLiteral("Shift+Down, Shift+Down, Shift+Up")) << none
            << QList<int>{13, 12} << 12;
        QTest::newRow("Shift+Down then Down") << QList<int>{13} << QKeySequence(QStringLiteral("Shift+Down, Down"))
                                              << none << none << 11;
        QTest::newRow("Right") << QList<int>{3} << QKeySequence(QStringLiteral("Right")) << none << none << 3;
        QTest::newRow("Left") << QList<int>{3, 5} << QKeySequence(QStringLiteral("Left")) << none << none << 5;
        QTest::newRow("Up") << QList<int>{3, 5} << QKeySequence(QStringLiteral("Up")) << none << none << 6;
        // At the grid's edge the cursor stays where it is; the selection goes all the same.
        QTest::newRow("Up on the newest roll") << QList<int>{3, 15} << QKeySequence(QStringLiteral("Up")) << none
                                               << none << 15;
        QTest::newRow("Down on the oldest roll") << QList<int>{3, 1} << QKeySequence(QStringLiteral("Down")) << none
                                                 << none << 1;
        QTest::newRow("Shift+Left keeps") << QList<int>{3, 5} << QKeySequence(QStringLiteral("Shift+Left")) << none
                                          << QList<int>{5, 3} << 5;
        QTest::newRow("Shift+Right keeps") << QList<int>{3, 5} << QKeySequence(QStringLiteral("Shift+Right"))
                                           << none << QList<int>{5, 3} << 5;
        QTest::newRow("Ctrl+Down then Ctrl+click")
            << QList<int>{2, 4} << QKeySequence(QStringLiteral("Ctrl+Down")) << QList<int>{6} << QList<int>{6} << 6;
        QTest::newRow("Ctrl+Up") << QList<int>{2, 4} << QKeySequence(QStringLiteral("Ctrl+Up")) << none << none << -1;
        QTest::newRow("Ctrl+Right") << QList<int>{2, 4} << QKeySequence(QStringLiteral("Ctrl+Right")) << none << none
                                    << 4;
        QTest::newRow("Alt+Down") << QList<int>{2, 4} << QKeySequence(QStringLiteral("Alt+Down")) << none << none
                                  << -1;
        QTest::newRow("Ctrl+Shift+Down extends") << QList<int>{4} << QKeySequence(QStringLiteral("Ctrl+Shift+Down"))
                                                 << none << QList<int>{4, 3} << 3;
        QTest::newRow("Ctrl+PageDown only moves") << QList<int>{2, 4}
                                                  << QKeySequence(QStringLiteral("Ctrl+PgDown")) << none
                                                  << QList<int>{4, 2} << -1;
    }

    void keysOnTheGridExtendOrClearTheSelection()
    {
        QFETCH(QList<int>, clicked);
        QFETCH(QKeySequence, keys);
        QFETCH(QList<int>, ctrlClickedAfter);
        QFETCH(QList<int>, expected);
        QFETCH(int, currentRoll);
        DBGrille* grid = window().DBGrille;
        for (qsizetype i = 0; i < clicked.size(); ++i)
            clickRoll(window(), clicked.at(i), i == 0 ? Qt::NoModifier : Qt::ControlModifier);
        QTest::keySequence(grid, keys);
        for (const int roll : ctrlClickedAfter)
            clickRoll(window(), roll, Qt::ControlModifier);
        QCOMPARE(selectedRolls(window()), expected);
        if (currentRoll >= 0)
            QCOMPARE(grid->currentIndex().row(), rowOfRoll(window(), currentRoll));
    }

    // One press of the export button sends every selected roll, so nothing
    // else may select several: not Ctrl+A, not the grid's corner, not Shift
    // with a page or end key, not a drag.
    void noOtherGestureSelectsSeveralRolls()
    {
        DBGrille* grid = window().DBGrille;
        clickRoll(window(), 13);
        QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(selectedRolls(window()), QList<int>({ 13 }));
        const auto* corner = grid->findChild<QAbstractButton*>();
        QVERIFY(!corner || !corner->isEnabled());
        if (corner)
            QTest::mouseClick(const_cast<QAbstractButton*>(corner), Qt::LeftButton);
        QCOMPARE(selectedRolls(window()), QList<int>({ 13 }));
        for (const int key : {Qt::Key_PageDown, Qt::Key_End, Qt::Key_Home}) {
            clickRoll(window(), 13);
            QTest::keyClick(grid, Qt::Key(key), Qt::ShiftModifier);
            QCOMPARE(selectedRolls(window()), QList<int>());
        }
        const QRect from = grid->visualRect(grid->model()->index(rowOfRoll(window(), 14), 1));
        const QRect to = grid->visualRect(grid->model()->index(rowOfRoll(window(), 11), 1));
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, from.center());
        QMouseEvent drag(QEvent::MouseMove, to.center(), grid->viewport()->mapToGlobal(to.center()), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid->viewport(), &drag);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, to.center());
        QCOMPARE(selectedRolls(window()), QList<int>({ 14 }));
    }

    void selectedRowsAreDrawnInTheTitleBarColourWithBlackText()
    {
        clickRoll(window(), 14);
        clickRoll(window(), 12, Qt::ControlModifier);
        DBGrille* grid = window().DBGrille;
        const QImage image = grid->viewport()->grab().toImage();
        auto background = [&](int numRole) {
            const QRect cell = grid->visualRect(grid->model()->index(rowOfRoll(window(), numRole), 5));
            return image.pixelColor(cell.right() - 3, cell.center().y());
        };
        auto darkPixels = [&](int numRole) {
            const QRect cell = grid->visualRect(grid->model()->index(rowOfRoll(window(), numRole), 5));
            int dark = 0;
            for (int x = cell.left() + 1; x < cell.right(); ++x) {
                for (int y = cell.top() + 1; y < cell.bottom(); ++y)
                    dark += qGray(image.pixel(x, y)) < 40 ? 1 : 0;
            }
            return dark;
        };
        QCOMPARE(background(14), Look::ActiveCaption());
        QCOMPARE(background(12), Look::ActiveCaption());
        QVERIFY(darkPixels(14) > 10); // the title written in black
        QCOMPARE(background(13), grid->palette().color(QPalette::Base));
    }

    void rollsGoInTheGridsOrderWhateverTheClickOrder()
    {
        RecordingPortal portal;
        clickRoll(window(), 12, Qt::ControlModifier);
        clickRoll(window(), 15, Qt::ControlModifier);
        clickRoll(window(), 14, Qt::ControlModifier);
        clickExport(window());

        QCOMPARE(m_open->errors(), QStringList());
        const QStringList queries = portal.queries();
        QCOMPARE(queries.size(), 4 * 3 + 3);
        QCOMPARE(deletedRolls(queries), QList<int>({ 15, 14, 12 }));
        QCOMPARE(queries.indexOf(QStringLiteral("DELETE FROM role where numrole=14")), 4);
        QCOMPARE(queries.indexOf(QStringLiteral("DELETE FROM role where numrole=12")), 8);

        // One empty line per roll, the selection kept, the last roll sent current again.
        QVERIFY(window().Memo1->isVisible() && window().LabelErreur->isVisible());
        QCOMPARE(window().Memo1->toPlainText(), QStringLiteral("\n\n"));
        QCOMPARE(selectedRolls(window()), QList<int>({ 15, 14, 12 }));
        QCOMPARE(window().DBGrille->currentIndex().row(), rowOfRoll(window(), 12));
        QVERIFY(!window().Gauge->isVisible() && !window().LabelGauge->isVisible());
    }

    void nothingSelectedSendsNothingAndShowsNothing()
    {
        RecordingPortal portal;
        clickExport(window());
        QCOMPARE(portal.requests().size(), 0);
        QCOMPARE(RunFixture::onlyLogLines(), QStringList());
        QVERIFY(!window().Memo1->isVisible() && !window().LabelErreur->isVisible());
        QCOMPARE(m_open->errors(), QStringList());
    }

    void aSecondRunAppendsItsRepliesBelowTheFirstRunsOnes()
    {
        clickRoll(window(), 3);
        {
            RecordingPortal portal({ { 200, "" }, { 200, "premier" }, { 200, "" },
                { 200,
                    "lignes refus\xE9"
                    "es" } });
            clickExport(window());
        }
        {
            RecordingPortal portal({ { 200, "role inconnu" }, { 200, QByteArray("\0", 1) } });
            clickExport(window());
        }
        QCOMPARE(window().Memo1->toPlainText(), QStringLiteral("premier\nlignes refusées\nrole inconnu\n"));
    }

    void duringARunTheWindowStaysOpenAndTheButtonIsOff()
    {
        RecordingPortal portal;
        clickRoll(window(), 5);
        bool probed = false;
        bool enabledDuringRun = true;
        bool visibleAfterCloseAttempts = false;
        // Runs inside the run, at the first row where pending events are let through.
        QTimer::singleShot(0, &window(), [&] {
            probed = true;
            enabledDuringRun = window().BtExporter->isEnabled();
            QTest::keyClick(&window(), Qt::Key_Escape);
            window().close();
            window().reject();
            QTest::mouseClick(window().BtExporter, Qt::LeftButton);
            visibleAfterCloseAttempts = window().isVisible();
        });
        clickExport(window());

        QVERIFY(probed);
        QVERIFY(!enabledDuringRun);
        QVERIFY(visibleAfterCloseAttempts);
        QCOMPARE(portal.requests().size(), 7); // no second run started inside the first
        QVERIFY(window().BtExporter->isEnabled());
        window().close();
        QVERIFY(!window().isVisible());
    }

    void aRefusedConnectionEndsTheRunWithItsMessage()
    {
        RefusingPort closed;
        const QString previous = PortalBaseUrl();
        SetPortalBaseUrl(QStringLiteral("http://127.0.0.1:%1").arg(closed.port()));
        clickRoll(window(), 7);
        clickExport(window());
        SetPortalBaseUrl(previous);

        QCOMPARE(m_open->errors().size(), 1);
        QVERIFY2(!m_open->errors().first().isEmpty(), "the failure has a message");
        const QStringList log = RunFixture::onlyLogLines();
        QCOMPARE(log.size(), 2); // the roll's two statements, built before the first request
        QCOMPARE(log.first(), QStringLiteral("DELETE FROM role where numrole=7"));
        QVERIFY(!window().Memo1->isVisible());
        QVERIFY(window().BtExporter->isEnabled());
        QVERIFY(!window().Queries.QueryRole.ControlsDisabled());
    }

    void aServerErrorKeepsWhatWasSentAndTheEarlierReplies()
    {
        clickRoll(window(), 7);
        {
            RecordingPortal portal({ { 200, "" }, { 200, "ok" } });
            clickExport(window());
        }
        RecordingPortal portal({ { 200, "" }, { 200, "encore" }, { 200, "" }, { 500, "" } });
        clickExport(window());
        QCOMPARE(
            m_open->errors(), QStringList({ ErrorDisplay::DisplayText(QStringLiteral("500 Internal Server Error")) }));
        QCOMPARE(portal.requests().size(), 4);
        QCOMPARE(window().Memo1->toPlainText(), QStringLiteral("ok\nencore"));
        // The progress display shows where the run stopped.
        QVERIFY(window().Gauge->isVisible() && window().LabelGauge->isVisible());
        QCOMPARE(window().LabelGauge->text(), QStringLiteral("Role :7 - Traitement des items des factures en cours..."));
        // Both runs of the minute are in its log, the second after the whole first.
        const QStringList log = RunFixture::onlyLogLines();
        QCOMPARE(log.count(QStringLiteral("DELETE FROM role where numrole=7")), 2);
        QCOMPARE(portal.queries().at(3),
            log.mid(log.lastIndexOf(QStringLiteral("DELETE FROM itemfacture where numrole=7;"))).join(QString()));
    }

    void theMainWindowOpensANewWindowEachTime()
    {
        m_open->closeWindow();
        TFrmMain main;
        QList<bool> freshEachTime;
        for (int opening = 0; opening < 2; ++opening) {
            QTimer::singleShot(0, &main, [&] {
                auto* opened = qobject_cast<TFrmExportRole*>(QApplication::activeModalWidget());
                freshEachTime << (opened && opened->isModal() && !opened->property("seen").toBool());
                if (opened) {
                    opened->setProperty("seen", true);
                    opened->reject();
                }
            });
            main.BtRole->click();
        }
        QCOMPARE(freshEachTime, QList<bool>({ true, true }));
        QCOMPARE(FrmExportRole, nullptr);
    }
};

QTEST_MAIN(TestRollWindow)
#include "TestRollWindow.moc"
