#ifdef _WIN32

#include "support/HostProcess.h"
#include "support/HostPrograms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>

#include <windows.h>

#include <stdexcept>

// Under Wine, a Windows program that starts a host (Unix) program itself gets
// no handle on it and no standard streams, and the fork upsets Wine's sockets
// in the starting process (waits that are never woken, connections refused).
// The test runner keeps a watcher on the host instead: a test writes a shell
// script and names it in the watcher's folder; the watcher runs it, and the
// script leaves the program's process number and then its exit code in files.

namespace {

constexpr int kPollMs = 20;
constexpr int kStartBoundMs = 60 * 1000;

using UnixNameOf = char*(CDECL*)(const WCHAR*);
using DosNameOf = WCHAR*(CDECL*)(const char*);

// One of the functions Wine's kernel32 adds to Windows' own; null elsewhere.
template <typename Function>
Function WineFunction(const char* name)
{
    // Through a plain pointer: GetProcAddress gives every function one type.
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), name)));
}

// A word the shell takes as it stands.
QString ShellWord(const QString& word)
{
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

namespace HostPrograms {

QString HostPath(const QString& localPath)
{
    const auto unixNameOf = WineFunction<UnixNameOf>("wine_get_unix_file_name");
    if (!unixNameOf)
        throw std::runtime_error("not under Wine: no host file names");
    char* name = unixNameOf(reinterpret_cast<const WCHAR*>(QDir::toNativeSeparators(localPath).utf16()));
    if (!name)
        throw std::runtime_error("no host name for " + localPath.toStdString());
    const QString result = QString::fromUtf8(name);
    ::HeapFree(::GetProcessHeap(), 0, name);
    return result;
}

QString LocalPath(const QString& hostPath)
{
    const auto dosNameOf = WineFunction<DosNameOf>("wine_get_dos_file_name");
    if (!dosNameOf)
        throw std::runtime_error("not under Wine: no host file names");
    WCHAR* name = dosNameOf(hostPath.toUtf8().constData());
    if (!name)
        throw std::runtime_error("no local name for " + hostPath.toStdString());
    const QString result = QDir::fromNativeSeparators(QString::fromWCharArray(name));
    ::HeapFree(::GetProcessHeap(), 0, name);
    return result;
}

} // namespace HostPrograms

namespace HostProcess {

qint64 Start(const QStringList& arguments, const QString& folder, const QString& input)
{
    using HostPrograms::HostPath;
    const QDir dir(folder);
    QStringList words;
    for (const QString& argument : arguments)
        words << ShellWord(argument);
    const QString in = input.isEmpty() ? QStringLiteral("/dev/null") : HostPath(input);
    // The script runs with the runner's environment: its PATH names the Wine of
    // this bitness (the i386 chroot's for a 32-bit test).
    const QString script = words.join(QLatin1Char(' '))
        + QStringLiteral(" <%1 >%2 2>%3 &\n")
              .arg(ShellWord(in), ShellWord(HostPath(dir.filePath(QStringLiteral("out")))),
                  ShellWord(HostPath(dir.filePath(QStringLiteral("err")))))
        + QStringLiteral("echo $! >%1.part && mv %1.part %1\nwait $!\necho $? >%2.part && mv %2.part %2\n")
              .arg(ShellWord(HostPath(dir.filePath(QStringLiteral("pid")))),
                  ShellWord(HostPath(dir.filePath(QStringLiteral("status")))));
    QFile file(dir.filePath(QStringLiteral("run.sh")));
    if (!file.open(QIODevice::WriteOnly) || file.write(script.toUtf8()) < 0)
        throw std::runtime_error("cannot write the host script");
    file.close();

    // The runner's watcher on the host runs every script named in its folder.
    const QString requests = qEnvironmentVariable("QUILVANOR_HOST_REQUESTS");
    if (requests.isEmpty())
        throw std::runtime_error("no host runner: run the Windows tests through their runner under Wine");
    const QString request = QDir(HostPrograms::LocalPath(requests)).filePath(QFileInfo(folder).fileName());
    QFile named(request + QStringLiteral(".part"));
    if (!named.open(QIODevice::WriteOnly) || named.write(HostPath(file.fileName()).toUtf8()) < 0)
        throw std::runtime_error("cannot ask the host runner to start " + arguments.value(0).toStdString());
    named.close();
    if (!named.rename(request + QStringLiteral(".request")))
        throw std::runtime_error("cannot ask the host runner to start " + arguments.value(0).toStdString());

    // The request is this side's to remove, once the script has run: Wine may
    // still be finishing the rename when the watcher has read it, and a request
    // the watcher removed at once made that rename fail after it had happened.
    const auto withdraw = qScopeGuard([&] { QFile::remove(request + QStringLiteral(".request")); });
    for (int waited = 0; waited < kStartBoundMs; waited += kPollMs) {
        const QByteArray pid = ReadAll(dir.filePath(QStringLiteral("pid"))).trimmed();
        if (!pid.isEmpty())
            return pid.toLongLong();
        QThread::msleep(kPollMs);
    }
    throw std::runtime_error("the host's shell did not start " + arguments.value(0).toStdString());
}

std::optional<int> WaitForExit(qint64, const QString& folder, int timeoutMs)
{
    const QString status = QDir(folder).filePath(QStringLiteral("status"));
    for (int waited = 0;; waited += kPollMs) {
        if (QFile::exists(status))
            return ReadAll(status).trimmed().toInt();
        if (waited >= timeoutMs)
            return std::nullopt;
        QThread::msleep(kPollMs);
    }
}

void Terminate(qint64 pid)
{
    QTemporaryDir dir;
    Start({ QStringLiteral("kill"), QStringLiteral("-TERM"), QString::number(pid) }, dir.path(), QString());
    WaitForExit(0, dir.path(), kStartBoundMs);
}

} // namespace HostProcess

#endif
