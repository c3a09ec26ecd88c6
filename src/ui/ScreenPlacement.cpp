#include "ui/ScreenPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

void PlaceOnItsScreen(QWidget* window, QPoint layoutPosition)
{
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // The frame is known once the platform has made the window; until then only the client area.
    const QMargins frame = window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
    const QSize whole = window->size().grownBy(frame);
    const QPoint wanted = screen->geometry().topLeft() + layoutPosition;
    const int x = std::max(area.left(), std::min(wanted.x(), area.x() + area.width() - whole.width()));
    const int y = std::max(area.top(), std::min(wanted.y(), area.y() + area.height() - whole.height()));
    window->move(x, y);
}
