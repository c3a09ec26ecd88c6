// The program's entry: splash, data module, main window, message loop.
#include "app/ParentConsole.h"
#include "app/TFrmMain.h"
#include "app/TSplashForm.h"
#include "data/TDmdMain.h"
#include "ui/Guard.h"
#include "ui/Look.h"
#include "ui/ScreenScaling.h"

#include <QApplication>

int main(int argc, char** argv)
{
    UseParentConsoleForErrors();
    KeepDevicePixels();
    QApplication application(argc, argv);
    Look::InstallFontSubstitutes();

    auto* splash = new TSplashForm;
    splash->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); // let the window system map it
    splash->repaint();
    splash->close();

    Guarded([&] {
        QCoreApplication::setApplicationName(QStringLiteral("quilvanor"));
        new TDmdMain(&application);
        new TFrmMain;
    });
    splash->deleteLater();

    if (!FrmMain)
        return 1;
    FrmMain->setAttribute(Qt::WA_DeleteOnClose);
    FrmMain->show();
    return QApplication::exec();
}
