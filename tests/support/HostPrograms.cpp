#include "support/HostPrograms.h"

#include "support/HostProcess.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <stdexcept>

namespace HostPrograms {

namespace {

constexpr int kRunBoundMs = 120 * 1000;
constexpr int kPollMs = 20;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Output(const QTemporaryDir& dir)
{
    return dir.filePath(QStringLiteral("out"));
}

} // namespace

QString Tool(const QString& name)
{
    // The test runner names the host's build folder; a Linux test falls back on its own build.
    QString build = qEnvironmentVariable("QUILVANOR_HOST_BUILD_DIR");
    if (build.isEmpty())
        build = qEnvironmentVariable("QUILVANOR_BUILD_DIR");
    if (build.isEmpty())
        throw std::runtime_error("the build folder of the host's tools is not named: set QUILVANOR_BUILD_DIR");
    return build + QLatin1Char('/') + name;
}

Outcome Run(const QStringList& arguments, const QByteArray& input)
{
    QTemporaryDir dir;
    QString inputFile;
    if (!input.isEmpty()) {
        QFile file(dir.filePath(QStringLiteral("in")));
        if (!file.open(QIODevice::WriteOnly) || file.write(input) != input.size())
            throw std::runtime_error("cannot write a host program's input");
        inputFile = file.fileName();
    }
    const qint64 pid = HostProcess::Start(arguments, dir.path(), inputFile);
    const std::optional<int> exitCode = HostProcess::WaitForExit(pid, dir.path(), kRunBoundMs);
    if (!exitCode) {
        HostProcess::Terminate(pid);
        HostProcess::WaitForExit(pid, dir.path(), kRunBoundMs);
        throw std::runtime_error("host program ran too long: " + arguments.join(QLatin1Char(' ')).toStdString());
    }
    return { *exitCode, ReadAll(Output(dir)), ReadAll(dir.filePath(QStringLiteral("err"))) };
}

Background::Background(const QStringList& arguments)
    : m_pid(HostProcess::Start(arguments, m_dir.path(), QString()))
{
}

Background::~Background()
{
    HostProcess::Terminate(m_pid);
    HostProcess::WaitForExit(m_pid, m_dir.path(), kRunBoundMs);
}

QByteArray Background::firstLine(int timeoutMs)
{
    for (int waited = 0;; waited += kPollMs) {
        const QByteArray output = ReadAll(Output(m_dir));
        const qsizetype end = output.indexOf('\n');
        if (end >= 0)
            return output.left(end);
        if (waited >= timeoutMs || HostProcess::WaitForExit(m_pid, m_dir.path(), 0))
            return {};
        QThread::msleep(kPollMs);
    }
}

} // namespace HostPrograms
