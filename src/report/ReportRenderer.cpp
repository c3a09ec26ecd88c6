#include "report/ReportRenderer.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <optional>

namespace {

constexpr qreal kMillimetresPerInch = 25.4;

void drawPage(QPainter& painter, const ReportPage& page, QPaintDevice& device)
{
    const qreal dotsPerMmX = device.logicalDpiX() / kMillimetresPerInch;
    const qreal dotsPerMmY = device.logicalDpiY() / kMillimetresPerInch;
    painter.setPen(Qt::black);
    std::optional<QFont> font; // consecutive texts mostly share their font
    qreal ascent = 0;
    for (const PlacedText& text : page.texts) {
        if (!font || *font != text.font) {
            font = text.font;
            painter.setFont(text.font);
            ascent = QFontMetricsF(text.font, &device).ascent();
        }
        painter.drawText(QPointF(text.topLeft.x() * dotsPerMmX, text.topLeft.y() * dotsPerMmY + ascent), text.text);
    }
}

// Pages first to last, as many passes as asked; an empty range gives an empty document.
bool paintPages(const ReportPages& pages, QPagedPaintDevice& device, int firstPage, int lastPage, int passes)
{
    firstPage = std::max(firstPage, 1);
    lastPage = std::min(lastPage, int(pages.pages.size()));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    bool firstOfJob = true;
    for (int pass = 0; pass < passes; ++pass) {
        for (int number = firstPage; number <= lastPage; ++number) {
            if (!firstOfJob)
                device.newPage();
            firstOfJob = false;
            drawPage(painter, pages.pages[std::size_t(number - 1)], device);
        }
    }
    return painter.end();
}

} // namespace

bool RenderPages(const ReportPages& pages, QPagedPaintDevice& device, int firstPage, int lastPage)
{
    return paintPages(pages, device, firstPage, lastPage, 1);
}

void SetUpPrinter(QPrinter& printer, const ReportPages& pages)
{
    printer.setPageSize(QPageSize(pages.paper, QPageSize::Millimeter));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true); // positions are from the paper's edge; the report keeps its own margins
    printer.setCopyCount(1);
    printer.setPrintRange(QPrinter::AllPages);
}

bool PrintPages(const ReportPages& pages, QPrinter& printer)
{
    int firstPage = 1;
    int lastPage = int(pages.pages.size());
    if (printer.printRange() == QPrinter::PageRange) {
        firstPage = printer.fromPage();
        lastPage = printer.toPage();
    }
    // One pass per copy, where the printer does not make its copies itself.
    const int passes = printer.supportsMultipleCopies() ? 1 : std::max(printer.copyCount(), 1);
    return paintPages(pages, printer, firstPage, lastPage, passes);
}
