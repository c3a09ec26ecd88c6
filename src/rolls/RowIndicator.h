#pragma once

#include <QHeaderView>

// The grid's row indicator column: a narrow blank header beside each row, with
// a black triangle pointing at the current one.
class RowIndicator : public QHeaderView {
    Q_OBJECT
public:
    explicit RowIndicator(QWidget* parent);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};
