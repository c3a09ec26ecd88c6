#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

// Counts, while it lives, the windows that the application's modal state
// blocks from input.
class BlockedWindows : public QObject {
public:
    BlockedWindows() { QCoreApplication::instance()->installEventFilter(this); }
    ~BlockedWindows() override { QCoreApplication::instance()->removeEventFilter(this); }
    bool any() const { return m_count > 0; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::WindowBlocked)
            ++m_count;
        return false;
    }

private:
    int m_count = 0;
};
