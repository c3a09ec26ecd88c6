#include "einvoice/GridPrinting.h"

#include "einvoice/PrintCanvas.h"
#include "einvoice/PrinterCanvas.h"
#include "ui/StringGrid.h"

#include <QFont>
#include <QPrinter>
#include <QRect>

#include <cstdint>

namespace {

// Fixed positions in printer dots, whatever the printer's resolution.
constexpr int kTitleTop = 100;
constexpr int kPageMarkRise = 90; // above the bottom of the printable area
constexpr int kFirstRowTop = 300; // below the title, on every page
constexpr int kTextInset = 10;

const char* const kHeaderFont = "Times New Roman";
constexpr int kHeaderPointSize = 12;

class GridPrintJob {
public:
    GridPrintJob(PrintCanvas& canvas, const StringGrid& grid)
        : m_canvas(canvas)
        , m_grid(grid)
        , m_pageWidth(canvas.PageWidth())
        , m_pageHeight(canvas.PageHeight())
        , m_printerDpi(canvas.Resolution())
        , m_screenDpi(grid.logicalDpiX())
    {
    }

    void Print(const QString& title)
    {
        m_title = title;
        m_canvas.BeginDoc(title);
        PrintPageHeader();
        int bottom = kFirstRowTop;
        for (int row = 0; row < m_grid.RowCount(); ++row) {
            int top = bottom;
            bottom = top + ScaleToPrinter(m_grid.RowHeight(row));
            const bool centre = row == 0 && m_grid.FixedRows() > 0;
            if (bottom > m_pageHeight) { // a row ending exactly on the last dot stays on the page
                ++m_pageNumber;
                m_canvas.NewPage();
                PrintPageHeader();
                top = kFirstRowTop;
                bottom = top + ScaleToPrinter(m_grid.RowHeight(row));
            }
            printRow(row, top, bottom, centre);
        }
        m_canvas.EndDoc();
    }

    void PrintPageHeader()
    {
        m_canvas.SetPenColor(Qt::black);
        m_canvas.SetFont(QString::fromLatin1(kHeaderFont), kHeaderPointSize, true);
        m_canvas.TextOut((m_pageWidth - m_canvas.TextWidth(m_title)) / 2, kTitleTop, m_title);
        m_canvas.SetFont(QString::fromLatin1(kHeaderFont), kHeaderPointSize, false);
        const QString pageMark = QStringLiteral("- %1 -").arg(m_pageNumber);
        m_canvas.TextOut((m_pageWidth - m_canvas.TextWidth(pageMark)) / 2, m_pageHeight - kPageMarkRise, pageMark);
        const QFont& font = m_grid.font();
        m_canvas.SetFont(font.family(), pointSize(font), font.bold());
    }

    int ScaleToPrinter(int value) const { return ::ScaleToPrinter(value, m_printerDpi, m_screenDpi); }

private:
    void printRow(int row, int top, int bottom, bool centre)
    {
        int right = 0;
        for (int col = 0; col < m_grid.ColCount(); ++col) {
            const int left = right;
            right = left + ScaleToPrinter(m_grid.ColWidth(col));
            const QString& text = m_grid.Cell(col, row);
            // Integer halving truncates toward zero: a text larger than its cell is clipped on both sides.
            const int y = (bottom - top - m_canvas.TextHeight(text)) / 2 + top;
            const int x = centre ? (right - left - m_canvas.TextWidth(text)) / 2 + left : left + kTextInset;
            m_canvas.TextRect(QRect(left, top, right - left, bottom - top), x, y, text);
            m_canvas.MoveTo(left, top);
            m_canvas.LineTo(right, top);
            m_canvas.LineTo(right, bottom);
            m_canvas.LineTo(left, bottom);
            m_canvas.LineTo(left, top);
        }
    }

    // A font given in pixels takes the size in points it has on the screen.
    int pointSize(const QFont& font) const
    {
        if (font.pointSize() > 0)
            return font.pointSize();
        return ::ScaleToPrinter(font.pixelSize(), 72, m_screenDpi);
    }

    PrintCanvas& m_canvas;
    const StringGrid& m_grid;
    const int m_pageWidth;
    const int m_pageHeight;
    const int m_printerDpi;
    const int m_screenDpi;
    QString m_title;
    int m_pageNumber = 1;
};

} // namespace

int ScaleToPrinter(int value, int printerDpi, int screenDpi)
{
    const std::int64_t product = std::int64_t(value) * printerDpi;
    const std::int64_t magnitude = product < 0 ? -product : product;
    const std::int64_t rounded = (2 * magnitude + screenDpi) / (2 * std::int64_t(screenDpi));
    return int(product < 0 ? -rounded : rounded);
}

void PrintGrid(PrintCanvas& canvas, const StringGrid& grid, const QString& title)
{
    GridPrintJob(canvas, grid).Print(title);
}

void PrintGrid(const StringGrid& grid, const QString& title)
{
    const std::unique_ptr<QPrinter> printer = DefaultPrinter();
    PrinterCanvas canvas(*printer);
    PrintGrid(canvas, grid, title);
}
