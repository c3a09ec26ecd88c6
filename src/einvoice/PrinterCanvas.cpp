#include "einvoice/PrinterCanvas.h"

#include "common/Errors.h"

#include <QFontMetrics>
#include <QPen>
#include <QPrinter>
#include <QPrinterInfo>

std::unique_ptr<QPrinter> DefaultPrinter()
{
    const QPrinterInfo current = QPrinterInfo::defaultPrinter();
    if (current.isNull())
        throw PrintError(QStringLiteral("Aucune imprimante par défaut sélectionnée"));
    return std::make_unique<QPrinter>(current, QPrinter::HighResolution);
}

PrinterCanvas::PrinterCanvas(QPrinter& printer)
    : m_printer(printer)
{
    m_printer.setFullPage(false); // positions are from the printable area's corner
}

int PrinterCanvas::PageWidth() const
{
    return m_printer.width();
}

int PrinterCanvas::PageHeight() const
{
    return m_printer.height();
}

int PrinterCanvas::Resolution() const
{
    return m_printer.logicalDpiX();
}

void PrinterCanvas::BeginDoc(const QString& documentName)
{
    m_printer.setDocName(documentName);
    if (!m_painter.begin(&m_printer))
        throw PrintError(QStringLiteral("Impossible de commencer l'impression sur l'imprimante \"%1\"")
                             .arg(m_printer.printerName()));
}

void PrinterCanvas::NewPage()
{
    if (!m_printer.newPage())
        throw PrintError(QStringLiteral("Impossible de commencer une nouvelle page"));
}

void PrinterCanvas::EndDoc()
{
    if (!m_painter.end())
        throw PrintError(QStringLiteral("L'impression n'a pas pu être terminée"));
}

void PrinterCanvas::SetPenColor(const QColor& color)
{
    m_painter.setPen(QPen(color, 1)); // one dot wide
}

void PrinterCanvas::SetFont(const QString& name, int pointSize, bool bold)
{
    m_font = QFont(name);
    m_font.setPointSize(pointSize);
    m_font.setBold(bold);
    m_painter.setFont(m_font);
}

int PrinterCanvas::TextWidth(const QString& text)
{
    return QFontMetrics(m_font, &m_printer).horizontalAdvance(text);
}

int PrinterCanvas::TextHeight(const QString&)
{
    return QFontMetrics(m_font, &m_printer).height();
}

void PrinterCanvas::drawOpaqueText(int x, int y, const QString& text)
{
    const QFontMetrics metrics(m_font, &m_printer);
    m_painter.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), Qt::white);
    m_painter.drawText(QPoint(x, y + metrics.ascent()), text);
}

void PrinterCanvas::TextOut(int x, int y, const QString& text)
{
    drawOpaqueText(x, y, text);
}

void PrinterCanvas::TextRect(const QRect& rect, int x, int y, const QString& text)
{
    m_painter.save();
    m_painter.fillRect(rect, Qt::white);
    m_painter.setClipRect(rect);
    drawOpaqueText(x, y, text);
    m_painter.restore();
}

void PrinterCanvas::MoveTo(int x, int y)
{
    m_penPosition = QPoint(x, y);
}

void PrinterCanvas::LineTo(int x, int y)
{
    const QPoint to(x, y);
    m_painter.drawLine(m_penPosition, to);
    m_penPosition = to;
}
