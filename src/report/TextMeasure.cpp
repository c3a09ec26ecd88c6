#include "report/TextMeasure.h"

#include <QFontMetricsF>
#include <QTextLayout>

namespace {

constexpr int kDotsPerInch = 1200;
constexpr qreal kMillimetresPerInch = 25.4;

} // namespace

TextMeasure::TextMeasure() : m_device(1, 1, QImage::Format_ARGB32)
{
    const int dotsPerMetre = qRound(kDotsPerInch * 1000 / kMillimetresPerInch);
    m_device.setDotsPerMeterX(dotsPerMetre);
    m_device.setDotsPerMeterY(dotsPerMetre);
}

qreal TextMeasure::toMillimetres(qreal dots) const
{
    return dots * kMillimetresPerInch / kDotsPerInch;
}

qreal TextMeasure::toDots(qreal millimetres) const
{
    return millimetres * kDotsPerInch / kMillimetresPerInch;
}

qreal TextMeasure::LineHeight(const QFont& font) const
{
    return toMillimetres(QFontMetricsF(font, &m_device).lineSpacing());
}

qreal TextMeasure::Ascent(const QFont& font) const
{
    return toMillimetres(QFontMetricsF(font, &m_device).ascent());
}

qreal TextMeasure::Width(const QFont& font, const QString& text) const
{
    return toMillimetres(QFontMetricsF(font, &m_device).horizontalAdvance(text));
}

QStringList TextMeasure::Wrap(const QFont& font, const QString& paragraph, qreal width) const
{
    const qreal widthDots = toDots(width);
    // Most paragraphs fit on one line: no layout needed for them.
    if (QFontMetricsF(font, &m_device).horizontalAdvance(paragraph) <= widthDots)
        return {paragraph};

    QTextLayout layout(paragraph, font, &m_device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(widthDots);
        lines.append(paragraph.mid(line.textStart(), line.textLength()));
    }
    layout.endLayout();
    if (lines.isEmpty())
        lines.append(QString());
    return lines;
}
