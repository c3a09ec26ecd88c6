#include "rolls/RowIndicator.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPolygon>

namespace {

constexpr int kWidth = 11;

} // namespace

RowIndicator::RowIndicator(QWidget* parent)
    : QHeaderView(Qt::Vertical, parent)
{
    setSectionsClickable(false);
    setSectionResizeMode(QHeaderView::Fixed);
    setFixedWidth(kWidth);
}

void RowIndicator::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    painter->fillRect(rect, palette().button());
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());

    const auto* view = qobject_cast<const QAbstractItemView*>(parentWidget());
    if (!view || view->currentIndex().row() != logicalIndex)
        return;
    const QPoint centre = rect.center();
    const QPolygon triangle({ QPoint(centre.x() - 2, centre.y() - 4), QPoint(centre.x() + 2, centre.y()),
        QPoint(centre.x() - 2, centre.y() + 4) });
    painter->setPen(Qt::black);
    painter->setBrush(Qt::black);
    painter->drawPolygon(triangle);
}
