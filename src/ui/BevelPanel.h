#pragma once

#include <QWidget>

// A panel with an inner and an outer bevel, each lowered, raised or absent.
class BevelPanel : public QWidget {
    Q_OBJECT
public:
    enum class Bevel { None, Lowered, Raised };
    BevelPanel(QWidget* parent, const QString& name, const QRect& geometry, Bevel outer, Bevel inner);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Bevel m_outer;
    Bevel m_inner;
};
