#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// The look every window shares: money green, MS Sans Serif 8 points, fixed
// pixel layouts.
namespace Look {

QColor MoneyGreen();
// The system colours the windows name: the active title bar, the desktop.
QColor ActiveCaption();
QColor Desktop();

// Fonts by the names the windows give them, with a character height in pixels.
QFont SansSerif8();
QFont Font(const QString& family, int pixelHeight, bool bold = false);

// Where the named fonts are missing, metric-compatible ones stand in.
void InstallFontSubstitutes();

// A fixed window: money green, the shared font, a client area of the given size.
void SetupWindow(QWidget* window, const QString& caption, int width, int height);

QLabel* MakeLabel(QWidget* parent, const QString& name, int x, int y, const QString& text, const QFont& font);
QPushButton* MakeButton(QWidget* parent, const QString& name, int x, int y, int w, int h, const QString& caption);
// A caption wider than what the style leaves inside its button would be cut
// at both ends (the Windows style with the font Windows gives for MS Sans
// Serif 8): the button keeps its place and its height and grows around its
// centre as much as its caption needs in the font it is given.
void WidenAroundCaption(QPushButton* button);

} // namespace Look
