#pragma once

#include <QPoint>

class QWidget;

// Places a top-level window at its layout's position on the screen it opens
// on, counted from that screen's corner, where the whole window (its frame
// included) fits in the screen's available area, the taskbar left out. Where
// it does not, the window moves the least that makes it fit; a window larger
// than the area keeps its top-left corner on the area.
void PlaceOnItsScreen(QWidget* window, QPoint layoutPosition);
