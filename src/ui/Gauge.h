#pragma once

#include <QWidget>

// A horizontal progress gauge: single border, white background, the bar in the
// active title bar colour and the percentage done written in its middle. It
// repaints itself at once when its percentage changes, so it moves even while
// a run keeps the event loop from running.
class Gauge : public QWidget {
    Q_OBJECT
public:
    Gauge(QWidget* parent, const QString& name, const QRect& geometry);

    qint64 MaxValue() const { return m_max; }
    qint64 Progress() const { return m_progress; }
    int PercentDone() const;

    void SetMaxValue(qint64 max);
    void SetProgress(qint64 progress); // kept between 0 and the maximum
    void AddProgress(qint64 step) { SetProgress(m_progress + step); }

signals:
    // Sent just before the gauge repaints itself: that repaint also paints
    // whatever else of the window awaits painting, so the window brings its
    // other controls up to date here.
    void aboutToRepaint();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void changed(int oldPercent);

    qint64 m_max = 100;
    qint64 m_progress = 0;
};
