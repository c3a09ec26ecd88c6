#include "report/TextMeasure.h"

#include <QTextLayout>

namespace {

constexpr int kDotsPerInch = 1200;
constexpr qreal kMillimetresPerInch = 25.4;

} // namespace

TextMeasure::TextMeasure()
    : m_device(1, 1, QImage::Format_ARGB32)
{
    const int dotsPerMetre = qRound(kDotsPerInch * 1000 / kMillimetresPerInch);
    m_device.setDotsPerMeterX(dotsPerMetre);
    m_device.setDotsPerMeterY(dotsPerMetre);
    m_layout = std::make_unique<QTextLayout>(QString(), QFont(), &m_device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_layout->setTextOption(option);
}

TextMeasure::~TextMeasure() = default;

qreal TextMeasure::toMillimetres(qreal dots) const
{
    return dots * kMillimetresPerInch / kDotsPerInch;
}

qreal TextMeasure::toDots(qreal millimetres) const
{
    return millimetres * kDotsPerInch / kMillimetresPerInch;
}

const QFontMetricsF& TextMeasure::metrics(const QFont& font) const
{
    if (!m_lastMetrics || m_lastMetrics->first != font)
        m_lastMetrics.emplace(font, QFontMetricsF(font, &m_device));
    return m_lastMetrics->second;
}

qreal TextMeasure::LineHeight(const QFont& font) const
{
    return toMillimetres(metrics(font).lineSpacing());
}

qreal TextMeasure::Ascent(const QFont& font) const
{
    return toMillimetres(metrics(font).ascent());
}

qreal TextMeasure::Width(const QFont& font, const QString& text) const
{
    return toMillimetres(metrics(font).horizontalAdvance(text));
}

QStringList TextMeasure::Wrap(const QFont& font, const QString& paragraph, qreal width) const
{
    const qreal widthDots = toDots(width);
    // Most paragraphs fit on one line: no layout needed for them. Under the
    // widest character's width times their length, they fit without shaping.
    const QFontMetricsF& fontMetrics = metrics(font);
    if (paragraph.size() * fontMetrics.maxWidth() <= widthDots)
        return { paragraph };

    QTextLayout& layout = *m_layout;
    const QFont deviceFont(font, &m_device); // sized for the measuring resolution, as the constructor would
    if (layout.font() != deviceFont)
        layout.setFont(deviceFont);
    layout.setText(paragraph);
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
