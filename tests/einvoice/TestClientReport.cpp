// The client list report: built from the portal's reply, laid out on A4 and
// rendered to PDF in place of the preview window.
#include "../report/BlockedWindows.h"
#include "../report/PdfText.h"
#include "PortalReply.h"
#include "einvoice/TFrmImporterFactureNumerique.h"
#include "einvoice/TFrmReportFactureNum.h"
#include "report/ReportPreview.h"
#include "report/ReportRenderer.h"
#include "support/ErrorRecorder.h"
#include "ui/Look.h"
#include "ui/StringGrid.h"

#include <QApplication>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <optional>

namespace {

const QString kHeading = QStringLiteral("Client ayant opté pour la facture numérique");

} // namespace

class TestClientReport : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_previews = 0;
    std::optional<ReportPages> m_shown;
    QStringList m_pdfPages;

    // What the preview would show: the pages, rendered to a PDF file and read back.
    void preview(const ReportPages& pages)
    {
        ++m_previews;
        m_shown = pages;
        const QString path = m_dir.filePath(QStringLiteral("apercu-%1.pdf").arg(m_previews));
        {
            QPdfWriter writer(path);
            writer.setPageSize(QPageSize(QPageSize::A4));
            writer.setPageMargins(QMarginsF(0, 0, 0, 0));
            writer.setResolution(300);
            QVERIFY(RenderPages(pages, writer, 1, int(pages.pages.size())));
        }
        m_pdfPages = PdfPageTexts(path);
    }

    static QStringList nonEmptyLines(const QString& pageText)
    {
        QStringList lines;
        for (const QString& line : pageText.split(QLatin1Char('\n')))
            if (!line.trimmed().isEmpty())
                lines << line.trimmed();
        return lines;
    }

    // The texts placed on a page at that height (millimetres from the paper's top).
    static QStringList textsAt(const ReportPage& page, qreal top)
    {
        QStringList found;
        for (const PlacedText& text : page.texts)
            if (qAbs(text.topLeft.y() - top) < 0.001)
                found << text.text;
        return found;
    }

private slots:
    void initTestCase()
    {
        Look::InstallFontSubstitutes();
        QVERIFY(m_dir.isValid());
    }

    void init()
    {
        m_previews = 0;
        m_shown.reset();
        m_pdfPages.clear();
        ReportPreview::SetViewer([this](const ReportPages& pages) { preview(pages); });
    }

    void cleanup() { ReportPreview::SetViewer({}); }

    void showsOnePageWithHeaderAndPageNumberForAnEmptyList()
    {
        ErrorRecorder errors;
        PortalReply portal { QString() };
        TFrmReportFactureNum holder(nullptr);
        QVERIFY(errors.messages().isEmpty());
        QVERIFY(!holder.isVisible());
        QCOMPARE(m_previews, 1);
        QCOMPARE(m_shown->pages.size(), std::size_t(1));

        QCOMPARE(m_pdfPages.size(), 1);
        const QStringList lines = nonEmptyLines(m_pdfPages[0]);
        QVERIFY2(lines.size() == 4, qPrintable(lines.join(QLatin1Char('|'))));
        QCOMPARE(lines[0], kHeading);
        QVERIFY(lines[1].contains(QRegularExpression(QStringLiteral("^Num\\s+Nom\\s+Adresse\\s+Code\\s+Ville$"))));
        QVERIFY(lines[2].contains(QRegularExpression(QStringLiteral("^Client\\s+Postal$"))));
        QCOMPARE(lines[3], QStringLiteral("1"));
    }

    void placesTheHeaderTheLinesAndThePageNumberAsDesigned()
    {
        ErrorRecorder errors;
        PortalReply portal(GeneratedClients(2));
        TFrmReportFactureNum holder(nullptr);
        const ReportPage& page = m_shown->pages.at(0);
        QCOMPARE(m_shown->paper, QSizeF(210, 297));
        QCOMPARE(textsAt(page, 10 + 2.12), QStringList { kHeading });
        QCOMPARE(textsAt(page, 10 + 14.82),
            (QStringList { QStringLiteral("Num"), QStringLiteral("Nom"), QStringLiteral("Adresse"),
                QStringLiteral("Code"), QStringLiteral("Ville") }));
        // The client lines begin below the page header, 2.12 into the detail band, at the left margin.
        const QStringList firstLine = textsAt(page, 10 + 26.19 + 2.12);
        QCOMPARE(firstLine.size(), 1);
        QVERIFY(firstLine[0].startsWith(QStringLiteral("1     Nom 1")));
        // The page number stands 4.23 into the footer, which ends at the bottom margin.
        QCOMPARE(textsAt(page, 297 - 10 - 10.58 + 4.23), QStringList { QStringLiteral("1") });
        for (const PlacedText& text : page.texts) {
            if (text.text == kHeading) {
                QCOMPARE(text.topLeft.x(), 5 + 61.38);
                QCOMPARE(text.font.family(), QStringLiteral("Arial"));
                QCOMPARE(text.font.pointSizeF(), 10.0);
            } else if (text.text.startsWith(QStringLiteral("1     Nom 1"))) {
                QCOMPARE(text.topLeft.x(), 5.0);
                QCOMPARE(text.font.family(), QStringLiteral("Courier New"));
                QCOMPARE(text.font.pointSizeF(), 6.75);
            } else if (text.text == QStringLiteral("Postal")) {
                QCOMPARE(text.topLeft, QPointF(5 + 147.90, 10 + 18.79));
                QCOMPARE(text.font.pointSizeF(), 8.0);
            }
        }
        // The reader of the PDF does not keep the exact count of spaces.
        QCOMPARE(nonEmptyLines(m_pdfPages.at(0)).at(3).simplified(),
            QStringLiteral("1 Nom 1 1 rue des Lilas 75001 Ville 1"));
    }

    void continuesALongListOnTheFollowingPages()
    {
        ErrorRecorder errors;
        PortalReply portal(GeneratedClients(300));
        TFrmReportFactureNum holder(nullptr);
        QVERIFY(errors.messages().isEmpty());
        const int pageCount = int(m_shown->pages.size());
        QVERIFY2(pageCount >= 3, qPrintable(QString::number(pageCount)));
        QCOMPARE(m_pdfPages.size(), pageCount);

        int nextClient = 1;
        for (int n = 1; n <= pageCount; ++n) {
            const QStringList lines = nonEmptyLines(m_pdfPages[n - 1]);
            QCOMPARE(lines.first(), kHeading);
            QVERIFY(lines[1].startsWith(QStringLiteral("Num")));
            QVERIFY(lines[2].startsWith(QStringLiteral("Client")));
            QCOMPARE(lines.last(), QString::number(n));
            // Between header and footer: the clients, in order, none lost and none repeated.
            for (int i = 3; i < lines.size() - 1; ++i, ++nextClient)
                QVERIFY2(lines[i].startsWith(QStringLiteral("%1 ").arg(nextClient)), qPrintable(lines[i]));
            // Every page's lines start at the same place below its header, and stay above its footer.
            const ReportPage& page = m_shown->pages[std::size_t(n - 1)];
            QCOMPARE(textsAt(page, 10 + 26.19 + 2.12).size(), 1);
            for (const PlacedText& text : page.texts)
                QVERIFY(text.topLeft.y() < 297 - 10 - 10.58 || text.text == QString::number(n));
        }
        QCOMPARE(nextClient, 301);
    }

    void showsTheIndexErrorAndNoPreviewForSevenFields()
    {
        ErrorRecorder errors;
        PortalReply portal(QStringLiteral("1;Un;Rue Une;11111;Uneville;2;Deux"));
        TFrmReportFactureNum holder(nullptr);
        QCOMPARE(errors.messages(), QStringList { QStringLiteral("Indice de liste hors limites (7)") });
        QCOMPARE(m_previews, 0);
    }

    void fetchesTheListAgainWhenTheWindowsPrintButtonIsPressed()
    {
        ErrorRecorder errors;
        std::optional<PortalReply> forTheWindow(std::in_place, GeneratedClients(1));
        TFrmImporterFactureNumerique window;
        forTheWindow.reset();
        QCOMPARE(window.StringGrid1->Cell(1, 1), QStringLiteral("Nom 1"));

        PortalReply forTheReport(QStringLiteral("9;L'Hôte;Rue;22222;Brest"));
        window.BtImprimerReport->click();
        QVERIFY(errors.messages().isEmpty());
        QVERIFY(forTheReport.received().contains("importClientFactureNumerique"));
        QCOMPARE(m_previews, 1);
        QCOMPARE(textsAt(m_shown->pages.at(0), 10 + 26.19 + 2.12),
            QStringList { QStringLiteral("9     L Hôte") + QString(34, QLatin1Char(' ')) + QStringLiteral("Rue")
                + QString(63, QLatin1Char(' ')) + QStringLiteral("22222  Brest") });
        QCOMPARE(window.StringGrid1->Cell(1, 1), QStringLiteral("Nom 1")); // the grid is not refreshed
    }

    void opensTheRealPreviewAsAChildOfTheModalListWindow()
    {
        ReportPreview::SetViewer({});
        ErrorRecorder errors;
        std::optional<PortalReply> forTheWindow(std::in_place, GeneratedClients(2));
        TFrmImporterFactureNumerique window;
        forTheWindow.reset();
        PortalReply forTheReport(GeneratedClients(200));

        QWidget* previewParent = nullptr;
        int previewPages = 0;
        bool pressReturned = false;
        BlockedWindows blocked;
        // Inside the window's modal loop: press "Imprimer"; inside the preview's loop: look, then close it.
        QTimer::singleShot(0, &window, [&] {
            QTimer::singleShot(0, &window, [&] {
                for (QWidget* widget : QApplication::topLevelWidgets()) {
                    auto* preview = qobject_cast<QPrintPreviewDialog*>(widget);
                    if (!preview || !preview->isVisible())
                        continue;
                    previewParent = preview->parentWidget();
                    if (auto* pages = preview->findChild<QPrintPreviewWidget*>())
                        previewPages = pages->pageCount();
                    preview->close();
                }
            });
            window.BtImprimerReport->click();
            pressReturned = true;
            window.accept();
        });
        window.exec();

        QVERIFY(pressReturned);
        QCOMPARE(previewParent, &window);
        QVERIFY(!blocked.any());
        QVERIFY(previewPages >= 2);
        QVERIFY(errors.messages().isEmpty());
    }
};

QTEST_MAIN(TestClientReport)
#include "TestClientReport.moc"
