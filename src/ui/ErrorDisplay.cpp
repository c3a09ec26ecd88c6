#include "ui/ErrorDisplay.h"

#include "common/ConsoleLines.h"

#include <QApplication>
#include <QMessageBox>

#include <utility>

namespace {

ErrorDisplay::Recorder& recorder()
{
    static ErrorDisplay::Recorder instance;
    return instance;
}

} // namespace

namespace ErrorDisplay {

QString DisplayText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void Show(const QString& message)
{
    const QString text = DisplayText(message);
    WriteErrorLine(text);

    if (recorder()) {
        recorder()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("quilvanor"), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void SetRecorder(Recorder newRecorder)
{
    recorder() = std::move(newRecorder);
}

} // namespace ErrorDisplay
