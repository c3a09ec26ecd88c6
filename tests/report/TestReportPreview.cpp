// The report's real preview window: a non-modal child of its parent, showing
// every page, while the call keeps the other windows going until it closes.
#include "BlockedWindows.h"
#include "report/BandedReport.h"
#include "report/ReportLayout.h"
#include "report/ReportPreview.h"
#include "ui/FrenchQtTexts.h"
#include "ui/Look.h"

#include <QApplication>
#include <QDialog>
#include <QAction>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

BandedReport reportOf(int lineCount)
{
    BandedReport report;
    report.margins = QMarginsF(5, 10, 5, 10);
    report.pageHeader.height = 26;
    report.pageHeader.labels = { { QPointF(60, 2), ReportFont(QStringLiteral("Arial"), 10), QStringLiteral("Titre") } };
    report.detail.height = 30;
    report.detail.textBlock
        = ReportTextBlock { QRectF(0, 2, 188, 26), ReportFont(QStringLiteral("Courier New"), 6.75), {} };
    report.pageFooter.height = 10;
    report.pageFooter.pageNumbers = { { QPointF(93, 4), ReportFont(QStringLiteral("Arial"), 10) } };
    for (int i = 1; i <= lineCount; ++i)
        report.AppendLine(QStringLiteral("Ligne %1").arg(i));
    return report;
}

QList<QPrintPreviewDialog*> openPreviews()
{
    QList<QPrintPreviewDialog*> found;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* preview = qobject_cast<QPrintPreviewDialog*>(widget); preview && preview->isVisible())
            found << preview;
    return found;
}

// Runs the action once the event loop next turns, inside whatever loop is running then.
void whenEventsRun(const std::function<void()>& action)
{
    QTimer::singleShot(0, qApp, action);
}

} // namespace

class TestReportPreview : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Look::InstallFontSubstitutes();
        QVERIFY(InstallFrenchQtTexts(*qApp));
    }

    void opensANonModalChildWindowAndReturnsWhenItCloses()
    {
        // The owner is modal, as the client list window is: its child preview must still take input.
        QDialog owner;
        owner.setWindowModality(Qt::ApplicationModal);
        owner.show();
        const BandedReport report = reportOf(300);
        const std::size_t pageCount = LayOutReport(report).pages.size();
        QVERIFY(pageCount > 1);

        struct Seen {
            int previews = 0;
            QWidget* parent = nullptr;
            bool modal = true;
            Qt::WindowModality modality = Qt::ApplicationModal;
            bool maximised = true;
            bool onTop = true;
            int pages = 0;
            QStringList actions;
        } seen;
        BlockedWindows blocked;
        whenEventsRun([&] {
            const auto previews = openPreviews();
            seen.previews = int(previews.size());
            if (previews.isEmpty())
                return;
            QPrintPreviewDialog* preview = previews.first();
            seen.parent = preview->parentWidget();
            seen.modal = preview->isModal();
            seen.modality = preview->windowModality();
            seen.maximised = preview->isMaximized();
            seen.onTop = preview->windowFlags() & Qt::WindowStaysOnTopHint;
            if (auto* pages = preview->findChild<QPrintPreviewWidget*>()) {
                seen.pages = pages->pageCount();
            }
            for (const QAction* action : preview->findChildren<QAction*>())
                seen.actions << action->text();
            preview->close();
        });
        QStringList errors;
        ReportPreview::Show(report, &owner, [&](const QString& error) { errors << error; });

        QVERIFY(openPreviews().isEmpty()); // the call returned once the preview closed
        QCOMPARE(seen.previews, 1);
        QCOMPARE(seen.parent, &owner);
        QVERIFY(!seen.modal);
        QCOMPARE(seen.modality, Qt::NonModal);
        QVERIFY(!seen.maximised);
        QVERIFY(!seen.onTop);
        QCOMPARE(std::size_t(seen.pages), pageCount);
        QVERIFY2(seen.actions.contains(QStringLiteral("Imprimer")), qPrintable(seen.actions.join(u", ")));
        QVERIFY2(seen.actions.contains(QStringLiteral("Mise en page")), qPrintable(seen.actions.join(u", ")));
        QVERIFY(!blocked.any());
        QVERIFY(errors.isEmpty());
    }

    void letsASecondPreviewOpenWhileTheFirstIsShown()
    {
        QDialog owner;
        owner.show();
        bool secondShown = false;
        bool secondReturned = false;
        const ReportPreview::ErrorReporter ignore;

        // While the first preview is open, the events keep running: a second one opens
        // on top of it, and both close in turn.
        whenEventsRun([&] {
            whenEventsRun([&] {
                secondShown = openPreviews().size() == 2;
                for (QPrintPreviewDialog* preview : openPreviews())
                    preview->close();
            });
            ReportPreview::Show(reportOf(1), &owner, ignore);
            secondReturned = true;
        });
        ReportPreview::Show(reportOf(1), &owner, ignore);
        QVERIFY(secondShown);
        QVERIFY(secondReturned);
        QVERIFY(openPreviews().isEmpty());
    }
};

QTEST_MAIN(TestReportPreview)
#include "TestReportPreview.moc"
