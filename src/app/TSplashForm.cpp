#include "app/TSplashForm.h"

#include "ui/BevelPanel.h"
#include "ui/Look.h"
#include "ui/Pictures.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include <chrono>
#include <thread>

int TSplashForm::s_waitMs = 1000;

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    Look::SetupWindow(this, QString(), 654, 387);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

    auto* panel = new BevelPanel(this, QStringLiteral("Panel1"), QRect(31, 32, 597, 327), BevelPanel::Bevel::Raised,
                                 BevelPanel::Bevel::Lowered);
    Pictures::MakePictureBox(panel, QStringLiteral("Image1"), QRect(10, 42, 143, 150), Pictures::Logo());
    const QFont title = Look::Font(QStringLiteral("Arial"), 41, true);
    Look::MakeLabel(panel, QStringLiteral("OPTIONS"), 242, 98, QStringLiteral("Interface"), title);
    Look::MakeLabel(panel, QStringLiteral("Label1"), 88, 208, QStringLiteral("KORVA 8  -  Portail Famille"), title);
    Look::MakeLabel(panel, QStringLiteral("Label3"), 458, 306, QStringLiteral("Version 1.1"),
                    Look::Font(QStringLiteral("Arial"), 16, true));
}

void TSplashForm::FormClose()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(s_waitMs));
    repaint();
    std::this_thread::sleep_for(std::chrono::milliseconds(s_waitMs));
}

void TSplashForm::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept(); // the default action: hide
}
