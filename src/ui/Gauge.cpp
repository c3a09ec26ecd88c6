#include "ui/Gauge.h"

#include "ui/Look.h"

#include <QPainter>

#include <algorithm>

Gauge::Gauge(QWidget* parent, const QString& name, const QRect& geometry) : QWidget(parent)
{
    setObjectName(name);
    setGeometry(geometry);
}

int Gauge::PercentDone() const
{
    if (m_max <= 0)
        return 0;
    return static_cast<int>(m_progress * 100 / m_max);
}

void Gauge::SetMaxValue(qint64 max)
{
    const int before = PercentDone();
    m_max = std::max<qint64>(0, max);
    m_progress = std::clamp<qint64>(m_progress, 0, m_max);
    changed(before);
}

void Gauge::SetProgress(qint64 progress)
{
    const int before = PercentDone();
    m_progress = std::clamp<qint64>(progress, 0, m_max);
    changed(before);
}

void Gauge::changed(int oldPercent)
{
    if (PercentDone() != oldPercent && isVisible()) {
        emit aboutToRepaint();
        repaint();
    }
}

void Gauge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect inner = rect().adjusted(1, 1, -1, -1);
    painter.fillRect(rect(), Qt::black);
    painter.fillRect(inner, Qt::white);
    const int barWidth = static_cast<int>(inner.width() * static_cast<qint64>(PercentDone()) / 100);
    const QRect bar(inner.left(), inner.top(), barWidth, inner.height());
    painter.fillRect(bar, Look::ActiveCaption());

    // The percentage reads black over the white part and white over the bar.
    const QString text = QStringLiteral("%1%").arg(PercentDone());
    painter.setPen(Qt::black);
    painter.drawText(inner, Qt::AlignCenter, text);
    painter.setClipRect(bar);
    painter.setPen(Qt::white);
    painter.drawText(inner, Qt::AlignCenter, text);
}
