// The program's entry: splash, data module, main window, message loop; or,
// given arguments, one action without any window, for a scheduled task.
#include "app/ParentConsole.h"
#include "app/TFrmMain.h"
#include "app/TSplashForm.h"
#include "batch/UnattendedRun.h"
#include "common/ConsoleLines.h"
#include "common/LargeBlocks.h"
#include "data/TDmdMain.h"
#include "portal/HttpClient.h"
#include "ui/FrenchQtTexts.h"
#include "ui/Guard.h"
#include "ui/Look.h"
#include "ui/ScreenScaling.h"

#include <QApplication>

#include <cstdio>

namespace {

// The fault runs (make faults) give the whole-reply bound in milliseconds, so
// that a portal that answers a byte at a time is seen out in seconds.
void UseTestReplyBound()
{
    bool isNumber = false;
    const int replyMs = qEnvironmentVariableIntValue("QUILVANOR_TEST_REPLY_BOUND_MS", &isNumber);
    if (!isNumber || replyMs <= 0)
        return;
    HttpBounds bounds = HttpClient::defaultBounds();
    bounds.replyMs = replyMs;
    HttpClient::setDefaultBounds(bounds);
}

// Without a window, standard error is the run's record for the scheduled
// task: its lines are the program's own. Qt's warnings (the database
// driver's English diagnostics among them, already in the program's French
// message) stay off it; its critical and fatal messages do not.
QtMessageHandler qtMessageHandler = nullptr;

void KeepQtWarningsOffStandardError(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg)
        return;
    if (qtMessageHandler)
        qtMessageHandler(type, context, message);
    else
        std::fputs(qPrintable(qFormatLogMessage(type, context, message) + QLatin1Char('\n')), stderr);
}

} // namespace

int main(int argc, char** argv)
{
    ReturnLargeBlocksWhenFreed();
    UseParentConsole();
    PrepareStandardStreams();
    UseTestReplyBound();
    if (argc > 1) {
        // No window system: the action runs where no desktop session is open.
        qtMessageHandler = qInstallMessageHandler(KeepQtWarningsOffStandardError);
        QCoreApplication application(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("quilvanor"));
        // The TLS library's details in the messages are in French, as in the window.
        InstallFrenchQtTexts(application);
        return RunCommandLine(QCoreApplication::arguments().mid(1));
    }
    KeepDevicePixels();
    QApplication application(argc, argv);
    Look::InstallFontSubstitutes();
    InstallFrenchQtTexts(application);

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
