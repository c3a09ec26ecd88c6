// Printing the client grid: what the job draws, through a recording canvas at
// 600 dots per inch, and the real job on Qt's PDF printer.
#include "../report/PdfText.h"
#include "PortalReply.h"
#include "RecordingCanvas.h"
#include "einvoice/GridPrinting.h"
#include "einvoice/PrinterCanvas.h"
#include "einvoice/TFrmImporterFactureNumerique.h"
#include "support/ErrorRecorder.h"
#include "ui/Look.h"
#include "ui/StringGrid.h"

#include <QHeaderView>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString kTitle = QStringLiteral("Client avec la facture numérique");
const int kColumnDots[] = { 400, 1075, 2113, 544, 1056 };
const int kColumnLefts[] = { 0, 400, 1475, 3588, 4132 };

// The window loaded from a reply of that many generated clients.
std::unique_ptr<TFrmImporterFactureNumerique> windowWithClients(int count)
{
    PortalReply portal { count > 0 ? GeneratedClients(count) : QString() };
    return std::make_unique<TFrmImporterFactureNumerique>();
}

// The cells drawn clipped, in drawing order, as (page, row top) keys per grid row.
QList<RecordingCanvas::Text> cells(const RecordingCanvas& canvas)
{
    QList<RecordingCanvas::Text> found;
    for (const RecordingCanvas::Text& text : canvas.texts)
        if (!text.clip.isNull())
            found.append(text);
    return found;
}

} // namespace

class TestGridPrinting : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Look::InstallFontSubstitutes(); }

    void scalesScreenPixelsToPrinterDots()
    {
        QCOMPARE(ScaleToPrinter(24, 600, 96), 150);
        const int pixels[] = { 64, 172, 338, 87, 169 };
        for (int i = 0; i < 5; ++i)
            QCOMPARE(ScaleToPrinter(pixels[i], 600, 96), kColumnDots[i]);
        QCOMPARE(ScaleToPrinter(1, 48, 96), 1); // 0.5
        QCOMPARE(ScaleToPrinter(3, 48, 96), 2); // 1.5
        QCOMPARE(ScaleToPrinter(5, 48, 96), 3); // 2.5
        QCOMPARE(ScaleToPrinter(-1, 48, 96), -1);
        QCOMPARE(ScaleToPrinter(-3, 48, 96), -2);
        QCOMPARE(ScaleToPrinter(1, 300, 96), 3); // 3.125
        QCOMPARE(ScaleToPrinter(11, 72, 96), 8); // 8.25
        QCOMPARE(ScaleToPrinter(0, 600, 96), 0);
        QCOMPARE(ScaleToPrinter(100000000, 600, 96), 625000000); // the product needs 64 bits
    }

    void drawsTheHeaderTheTitleRowAndTheClientRows()
    {
        ErrorRecorder errors;
        auto window = windowWithClients(2);
        QCOMPARE(window->StringGrid1->logicalDpiX(), 96);
        RecordingCanvas canvas(4800, 6600, 600);
        PrintGrid(canvas, *window->StringGrid1, kTitle);
        QVERIFY(errors.messages().isEmpty());

        QCOMPARE(canvas.documentName, kTitle);
        QCOMPARE(canvas.pages, 1);
        QVERIFY(canvas.ended);
        QCOMPARE(canvas.penColor, QColor(Qt::black));

        const auto title = canvas.textsEqualTo(kTitle);
        QCOMPARE(title.size(), 1);
        QCOMPARE(title[0].x, (4800 - 20 * int(kTitle.size())) / 2);
        QCOMPARE(title[0].y, 100);
        QCOMPARE(title[0].font, QStringLiteral("Times New Roman 12 bold"));
        QVERIFY(title[0].clip.isNull());
        const auto mark = canvas.textsEqualTo(QStringLiteral("- 1 -"));
        QCOMPARE(mark.size(), 1);
        QCOMPARE(mark[0].x, (4800 - 100) / 2);
        QCOMPARE(mark[0].y, 6600 - 90);
        QCOMPARE(mark[0].font, QStringLiteral("Times New Roman 12"));

        const auto drawn = cells(canvas);
        QCOMPARE(drawn.size(), 3 * 5);
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 5; ++c) {
                const RecordingCanvas::Text& cell = drawn[r * 5 + c];
                const int top = 300 + 150 * r;
                QCOMPARE(cell.text, window->StringGrid1->Cell(c, r));
                QCOMPARE(cell.clip, QRect(kColumnLefts[c], top, kColumnDots[c], 150));
                QCOMPARE(cell.y, top + (150 - 50) / 2);
                QCOMPARE(cell.font, QStringLiteral("MS Sans Serif 8"));
                const int centred = (kColumnDots[c] - 20 * int(cell.text.size())) / 2 + kColumnLefts[c];
                QCOMPARE(cell.x, r == 0 ? centred : kColumnLefts[c] + 10);
            }
        }
        QCOMPARE(drawn[5].text, QStringLiteral("1"));
        QCOMPARE(drawn[6].text, QStringLiteral("Nom 1"));
    }

    void drawsFourBorderLinesAroundEveryCell()
    {
        ErrorRecorder errors;
        auto window = windowWithClients(1);
        RecordingCanvas canvas(4800, 6600, 600);
        PrintGrid(canvas, *window->StringGrid1, kTitle);
        QCOMPARE(canvas.lines.size(), 2 * 5 * 4);
        // Second row, third column: 1475..3588 across, 450..600 down.
        const int first = (5 + 2) * 4;
        const QPoint tl(1475, 450), tr(3588, 450), br(3588, 600), bl(1475, 600);
        QCOMPARE(canvas.lines[first].from, tl);
        QCOMPARE(canvas.lines[first].to, tr);
        QCOMPARE(canvas.lines[first + 1].to, br);
        QCOMPARE(canvas.lines[first + 2].to, bl);
        QCOMPARE(canvas.lines[first + 3].to, tl);
    }

    void breaksThePageWhenARowEndsBelowThePrintableHeight()
    {
        ErrorRecorder errors;
        auto window = windowWithClients(10); // 11 rows of 150 dots from 300: four rows to a 1000-dot page
        RecordingCanvas canvas(4800, 1000, 600);
        PrintGrid(canvas, *window->StringGrid1, kTitle);

        QCOMPARE(canvas.pages, 3);
        for (int page = 1; page <= 3; ++page) {
            const auto mark = canvas.textsEqualTo(QStringLiteral("- %1 -").arg(page));
            QCOMPARE(mark.size(), 1);
            QCOMPARE(mark[0].page, page);
            QCOMPARE(mark[0].y, 1000 - 90);
        }
        const auto titles = canvas.textsEqualTo(kTitle);
        QCOMPARE(titles.size(), 3);
        for (int page = 1; page <= 3; ++page)
            QCOMPARE(titles[page - 1].page, page);

        const auto drawn = cells(canvas);
        QCOMPARE(drawn.size(), 11 * 5);
        const int expectedPage[] = { 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3 };
        const int expectedTop[] = { 300, 450, 600, 750, 300, 450, 600, 750, 300, 450, 600 };
        for (int r = 0; r < 11; ++r) {
            QCOMPARE(drawn[r * 5].page, expectedPage[r]);
            QCOMPARE(drawn[r * 5].clip.top(), expectedTop[r]);
        }
        // The title row stands once, on the first page.
        QCOMPARE(canvas.textsEqualTo(QStringLiteral("Num Client")).size(), 1);
    }

    void keepsARowEndingExactlyAtThePrintableHeightOnThePage()
    {
        ErrorRecorder errors;
        auto window = windowWithClients(4); // rows end at 450, 600, 750, 900, 1050
        RecordingCanvas canvas(4800, 900, 600);
        PrintGrid(canvas, *window->StringGrid1, kTitle);
        QCOMPARE(canvas.pages, 2);
        const auto drawn = cells(canvas);
        QCOMPARE(drawn[3 * 5].page, 1);
        QCOMPARE(drawn[4 * 5].page, 2);
        QCOMPARE(drawn[4 * 5].clip.top(), 300);
    }

    void printsALoneTitleRowAsAnOrdinaryRow()
    {
        ErrorRecorder errors;
        auto window = windowWithClients(0);
        QCOMPARE(window->StringGrid1->RowCount(), 1);
        RecordingCanvas canvas(4800, 6600, 600);
        PrintGrid(canvas, *window->StringGrid1, kTitle);
        QCOMPARE(canvas.pages, 1);
        QCOMPARE(canvas.textsEqualTo(QStringLiteral("- 1 -")).size(), 1);
        const auto drawn = cells(canvas);
        QCOMPARE(drawn.size(), 5);
        for (int c = 0; c < 5; ++c)
            QCOMPARE(drawn[c].x, kColumnLefts[c] + 10);
        QCOMPARE(drawn[0].text, QStringLiteral("Num Client"));
    }

    void printsAColumnAtTheWidthTheOperatorDraggedItTo()
    {
        ErrorRecorder errors;
        auto window = windowWithClients(1);
        window->StringGrid1->horizontalHeader()->resizeSection(1, 200);
        RecordingCanvas canvas(4800, 6600, 600);
        PrintGrid(canvas, *window->StringGrid1, kTitle);
        const auto drawn = cells(canvas);
        QCOMPARE(drawn[1].clip, QRect(400, 300, 1250, 150));
        QCOMPARE(drawn[2].clip.left(), 1650);
    }

    void printsThroughQtsPrinterToPdf()
    {
        ErrorRecorder errors;
        auto window = windowWithClients(120);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("grille.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setResolution(600);
        {
            PrinterCanvas canvas(printer);
            QCOMPARE(canvas.Resolution(), 600);
            QVERIFY(canvas.PageHeight() > 6000 && canvas.PageHeight() < 7016);
            PrintGrid(canvas, *window->StringGrid1, kTitle);
        }
        QVERIFY(errors.messages().isEmpty());
        QCOMPARE(printer.docName(), kTitle);

        // 121 rows of 150 dots below 300 on a page about 6600 dots high: three pages.
        const QStringList pages = PdfPageTexts(path);
        QCOMPARE(pages.size(), 3);
        for (int n = 1; n <= 3; ++n) {
            QVERIFY(pages[n - 1].contains(kTitle));
            // The reader keeps no spaces inside the mark's narrow serif text.
            const QRegularExpression mark(QStringLiteral("\\n\\s*-\\s*%1\\s*-\\s*\\n").arg(n));
            QVERIFY2(pages[n - 1].contains(mark), qPrintable(pages[n - 1]));
        }
        QVERIFY(pages[0].contains(QStringLiteral("Num Client")));
        QVERIFY(pages[0].contains(QStringLiteral("Nom 1 ")));
        QVERIFY(!pages[1].contains(QStringLiteral("Num Client")));
        QVERIFY(pages[2].contains(QStringLiteral("Nom 120")));
    }

    void reportsAMissingPrinterThroughTheErrorDisplay()
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("this machine has a default printer");
        ErrorRecorder errors;
        auto window = windowWithClients(1);
        window->BtImprimerGrille->click();
        QCOMPARE(errors.messages(), QStringList { QStringLiteral("Aucune imprimante par défaut sélectionnée.") });
    }
};

QTEST_MAIN(TestGridPrinting)
#include "TestGridPrinting.moc"
