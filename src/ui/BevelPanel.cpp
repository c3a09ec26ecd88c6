#include "ui/BevelPanel.h"

#include "ui/Look.h"

#include <QPainter>

BevelPanel::BevelPanel(QWidget* parent, const QString& name, const QRect& geometry, Bevel outer, Bevel inner)
    : QWidget(parent), m_outer(outer), m_inner(inner)
{
    setObjectName(name);
    setGeometry(geometry);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Look::MoneyGreen());
    setPalette(p);
}

void BevelPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QRect r = rect().adjusted(0, 0, -1, -1);
    for (Bevel bevel : {m_outer, m_inner}) {
        if (bevel == Bevel::None)
            continue;
        const QColor light = Qt::white;
        const QColor dark = QColor(128, 128, 128);
        const QColor topLeft = bevel == Bevel::Raised ? light : dark;
        const QColor bottomRight = bevel == Bevel::Raised ? dark : light;
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
        r.adjust(1, 1, -1, -1);
    }
}
