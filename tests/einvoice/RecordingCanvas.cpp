#include "RecordingCanvas.h"

RecordingCanvas::RecordingCanvas(int pageWidth, int pageHeight, int resolution)
    : m_pageWidth(pageWidth)
    , m_pageHeight(pageHeight)
    , m_resolution(resolution)
{
}

void RecordingCanvas::BeginDoc(const QString& name)
{
    documentName = name;
    pages = 1;
}

void RecordingCanvas::NewPage()
{
    ++pages;
}

void RecordingCanvas::EndDoc()
{
    ended = true;
}

void RecordingCanvas::SetPenColor(const QColor& color)
{
    penColor = color;
}

void RecordingCanvas::SetFont(const QString& name, int pointSize, bool bold)
{
    m_font = QStringLiteral("%1 %2%3").arg(name).arg(pointSize).arg(bold ? QStringLiteral(" bold") : QString());
}

void RecordingCanvas::TextOut(int x, int y, const QString& text)
{
    texts.append({ pages, x, y, text, m_font, QRect() });
}

void RecordingCanvas::TextRect(const QRect& rect, int x, int y, const QString& text)
{
    texts.append({ pages, x, y, text, m_font, rect });
}

void RecordingCanvas::MoveTo(int x, int y)
{
    m_pen = QPoint(x, y);
}

void RecordingCanvas::LineTo(int x, int y)
{
    lines.append({ pages, m_pen, QPoint(x, y) });
    m_pen = QPoint(x, y);
}

QList<RecordingCanvas::Text> RecordingCanvas::textsEqualTo(const QString& text) const
{
    QList<Text> found;
    for (const Text& t : texts)
        if (t.text == text)
            found.append(t);
    return found;
}
