#include "ui/Look.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace Look {

QColor MoneyGreen()
{
    return QColor(192, 220, 192);
}

QColor ActiveCaption()
{
#ifdef Q_OS_WIN
    const DWORD c = GetSysColor(COLOR_ACTIVECAPTION);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
#else
    return QColor(153, 180, 209); // Windows' default title bar colour, under which black text stays readable
#endif
}

QColor Desktop()
{
#ifdef Q_OS_WIN
    const DWORD c = GetSysColor(COLOR_BACKGROUND);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
#else
    return QColor(58, 110, 165); // the classic Windows desktop
#endif
}

QFont Font(const QString& family, int pixelHeight, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

QFont SansSerif8()
{
    return Font(QStringLiteral("MS Sans Serif"), 11);
}

void InstallFontSubstitutes()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"), {QStringLiteral("Liberation Serif")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono")});
}

void SetupWindow(QWidget* window, const QString& caption, int width, int height)
{
    window->setWindowTitle(caption);
    window->setFont(SansSerif8());
    window->setFixedSize(width, height);
    window->setAutoFillBackground(true);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, MoneyGreen());
    palette.setColor(QPalette::WindowText, Qt::black);
    window->setPalette(palette);
}

QLabel* MakeLabel(QWidget* parent, const QString& name, int x, int y, const QString& text, const QFont& font)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    label->move(x, y);
    label->adjustSize(); // labels take the size of their text
    return label;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, int x, int y, int w, int h, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(x, y, w, h);
    return button;
}

void WidenAroundCaption(QPushButton* button)
{
    const int needed = button->sizeHint().width();
    const QRect place = button->geometry();
    if (needed > place.width())
        button->setGeometry(place.x() - (needed - place.width()) / 2, place.y(), needed, place.height());
}

} // namespace Look
