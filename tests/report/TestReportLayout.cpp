// The banded report engine: pagination of a growing text block, page header
// and footer on every page, and rendering to PDF through Qt's printing.
#include "PdfText.h"
#include "support/HostPrograms.h"
#include "report/BandedReport.h"
#include "report/ReportLayout.h"
#include "report/ReportRenderer.h"
#include "report/TextMeasure.h"
#include "ui/Look.h"

#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A5 portrait, 10 mm margins, a 20 mm header, a detail block 5 mm into its
// band, a 10 mm footer with the page number.
BandedReport sampleReport(int lineCount)
{
    BandedReport report;
    report.paper = QSizeF(148, 210);
    report.margins = QMarginsF(10, 10, 10, 10);
    report.pageHeader.height = 20;
    report.pageHeader.labels
        = { { QPointF(30, 2), ReportFont(QStringLiteral("Arial"), 12, true), QStringLiteral("Entête") } };
    report.detail.height = 15;
    report.detail.textBlock
        = ReportTextBlock { QRectF(0, 5, 120, 8), ReportFont(QStringLiteral("Courier New"), 10), {} };
    report.pageFooter.height = 10;
    report.pageFooter.pageNumbers = { { QPointF(60, 3), ReportFont(QStringLiteral("Arial"), 10) } };
    for (int i = 1; i <= lineCount; ++i)
        report.AppendLine(QStringLiteral("Ligne %1").arg(i));
    return report;
}

QList<const PlacedText*> blockLines(const ReportPage& page, const QString& prefix)
{
    QList<const PlacedText*> found;
    for (const PlacedText& text : page.texts)
        if (text.text.startsWith(prefix))
            found << &text;
    return found;
}

// The printer writes the pages to the PDF file at the path, set up as for paper.
void setUpPdfPrinter(QPrinter& printer, const QString& path, const ReportPages& pages)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    SetUpPrinter(printer, pages);
}

// The last line of a PDF page's text: its footer's page number.
QString lastLine(const QString& pageText)
{
    return pageText.trimmed().split(QLatin1Char('\n')).last().trimmed();
}

} // namespace

class TestReportLayout : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        Look::InstallFontSubstitutes();
        QVERIFY(m_dir.isValid());
    }

    void laysAnEmptyReportOutOnOnePage()
    {
        const ReportPages pages = LayOutReport(sampleReport(0));
        QCOMPARE(pages.pages.size(), std::size_t(1));
        QCOMPARE(pages.paper, QSizeF(148, 210));
        const auto& texts = pages.pages[0].texts;
        QCOMPARE(texts.size(), std::size_t(2));
        QCOMPARE(texts[0].text, QStringLiteral("Entête"));
        QCOMPARE(texts[0].topLeft, QPointF(40, 12));
        QCOMPARE(texts[1].text, QStringLiteral("1"));
        QCOMPARE(texts[1].topLeft, QPointF(70, 210 - 10 - 10 + 3));
    }

    void continuesTheBlockBelowEachPagesHeaderAndAboveItsFooter()
    {
        const TextMeasure measure;
        const qreal lineHeight = measure.LineHeight(ReportFont(QStringLiteral("Courier New"), 10));
        const qreal top = 10 + 20 + 5;
        const qreal footerTop = 210 - 10 - 10;
        const int perPage = int((footerTop - top) / lineHeight);
        QVERIFY(perPage > 10);

        const int lineCount = 2 * perPage + 3;
        const ReportPages pages = LayOutReport(sampleReport(lineCount));
        QCOMPARE(pages.pages.size(), std::size_t(3));
        int next = 1;
        for (std::size_t p = 0; p < pages.pages.size(); ++p) {
            const ReportPage& page = pages.pages[p];
            QCOMPARE(page.texts.front().text, QStringLiteral("Entête"));
            bool numbered = false;
            for (const PlacedText& text : page.texts)
                numbered = numbered || (text.text == QString::number(p + 1) && text.topLeft.y() == footerTop + 3);
            QVERIFY(numbered);
            const auto lines = blockLines(page, QStringLiteral("Ligne "));
            QCOMPARE(lines.size(), p < 2 ? perPage : 3);
            for (int i = 0; i < lines.size(); ++i, ++next) {
                QCOMPARE(lines[i]->text, QStringLiteral("Ligne %1").arg(next));
                QCOMPARE(lines[i]->topLeft.x(), 10.0);
                QVERIFY(qAbs(lines[i]->topLeft.y() - (top + i * lineHeight)) < 1e-9);
                QVERIFY(lines[i]->topLeft.y() + lineHeight <= footerTop);
            }
        }
        QCOMPARE(next, lineCount + 1);
    }

    void wrapsAParagraphWithinTheBlocksWidth()
    {
        BandedReport report = sampleReport(0);
        report.detail.textBlock->geometry.setWidth(40);
        const QString paragraph = QStringLiteral("alpha beta gamma delta epsilon zeta eta theta iota kappa lambda "
                                                 "unmotbeaucouptroplongpourtenirsurunelignedubloc");
        report.AppendLine(paragraph);
        report.AppendLine(QStringLiteral("fin"));
        const ReportPages pages = LayOutReport(report);
        const TextMeasure measure;
        const QFont font = report.detail.textBlock->font;

        QStringList lines;
        for (const PlacedText& text : pages.pages[0].texts)
            if (text.font == font)
                lines << text.text;
        QVERIFY2(lines.size() > 3, qPrintable(lines.join(QLatin1Char('|'))));
        QCOMPARE(lines.last(), QStringLiteral("fin"));
        lines.removeLast();
        QCOMPARE(lines.join(QString()), paragraph);
        for (const QString& line : lines)
            QVERIFY2(measure.Width(font, line.trimmed()) <= 40, qPrintable(line));
        QVERIFY(lines.first().startsWith(QStringLiteral("alpha beta")));
    }

    void givesEveryPageAtLeastOneLineOfATallFont()
    {
        BandedReport report = sampleReport(0);
        report.detail.textBlock->font = ReportFont(QStringLiteral("Courier New"), 600); // taller than the page
        report.AppendLine(QStringLiteral("a"));
        report.AppendLine(QStringLiteral("b"));
        const ReportPages pages = LayOutReport(report);
        QCOMPARE(pages.pages.size(), std::size_t(2));
    }

    void rendersEveryPageToPdf()
    {
        const ReportPages pages = LayOutReport(sampleReport(150));
        const int count = int(pages.pages.size());
        QVERIFY(count >= 3);
        const QString path = m_dir.filePath(QStringLiteral("all.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        setUpPdfPrinter(printer, path, pages);
        QVERIFY(PrintPages(pages, printer));

        const QStringList texts = PdfPageTexts(path);
        QCOMPARE(texts.size(), count);
        for (int n = 1; n <= count; ++n) {
            QVERIFY(texts[n - 1].contains(QStringLiteral("Entête")));
            QCOMPARE(lastLine(texts[n - 1]), QString::number(n));
        }
        QVERIFY(texts[0].contains(QStringLiteral("Ligne 1\n")));
        QVERIFY(texts[count - 1].contains(QStringLiteral("Ligne 150")));
    }

    void printsOnlyThePageRangeTheOperatorChose()
    {
        const ReportPages pages = LayOutReport(sampleReport(150));
        const QString path = m_dir.filePath(QStringLiteral("range.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        setUpPdfPrinter(printer, path, pages);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 3);
        QVERIFY(PrintPages(pages, printer));

        const QStringList texts = PdfPageTexts(path);
        QCOMPARE(texts.size(), 2);
        QCOMPARE(lastLine(texts[0]), QStringLiteral("2"));
        QCOMPARE(lastLine(texts[1]), QStringLiteral("3"));
    }

    void drawsTextAtItsMillimetrePositionOnThePaper()
    {
        // One label one inch from the paper's corner, rendered to PDF and rasterised at 300 dots per inch.
        BandedReport report;
        report.paper = QSizeF(100, 100);
        report.pageHeader.height = 50;
        report.pageHeader.labels
            = { { QPointF(25.4, 25.4), ReportFont(QStringLiteral("Courier New"), 20), QStringLiteral("H") } };
        const ReportPages pages = LayOutReport(report);
        const QString pdf = m_dir.filePath(QStringLiteral("position.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        setUpPdfPrinter(printer, pdf, pages);
        QVERIFY(PrintPages(pages, printer));

        const QString png = m_dir.filePath(QStringLiteral("position"));
        QCOMPARE(HostPrograms::Run({ QStringLiteral("pdftoppm"), QStringLiteral("-r"), QStringLiteral("300"),
                                       QStringLiteral("-png"), QStringLiteral("-singlefile"), HostPrograms::HostPath(pdf),
                                       HostPrograms::HostPath(png) })
                     .exitCode,
            0);
        const QImage image(png + QStringLiteral(".png"));
        QVERIFY(qAbs(image.width() - 1181) <= 1 && qAbs(image.height() - 1181) <= 1); // 100 mm at 300 dpi
        QRect ink;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 128)
                    ink |= QRect(x, y, 1, 1);
        // The letter's ink lies within its glyph box, whose corner is one inch (300 dots) from the paper's.
        QVERIFY2(ink.left() >= 300 && ink.left() < 340 && ink.top() >= 300 && ink.top() < 360,
            qPrintable(QStringLiteral("%1,%2").arg(ink.left()).arg(ink.top())));
    }
};

QTEST_MAIN(TestReportLayout)
#include "TestReportLayout.moc"
