#ifndef _WIN32

#include "support/HostProcess.h"
#include "support/HostPrograms.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace HostProcess {

namespace {

constexpr int kPollMs = 10;

// Where the exit code of a program already waited for is kept, as a process is waited for only once.
QString StatusFile(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("status"));
}

} // namespace

qint64 Start(const QStringList& arguments, const QString& folder, const QString& input)
{
    std::vector<std::string> args;
    for (const QString& argument : arguments)
        args.push_back(QFile::encodeName(argument).toStdString());
    std::vector<char*> argv;
    for (std::string& argument : args)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    const std::string in = QFile::encodeName(input.isEmpty() ? QStringLiteral("/dev/null") : input).toStdString();
    const std::string out = QFile::encodeName(QDir(folder).filePath(QStringLiteral("out"))).toStdString();
    const std::string err = QFile::encodeName(QDir(folder).filePath(QStringLiteral("err"))).toStdString();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + args.front());
    return pid;
}

std::optional<int> WaitForExit(qint64 pid, const QString& folder, int timeoutMs)
{
    QFile status(StatusFile(folder));
    if (status.open(QIODevice::ReadOnly))
        return status.readAll().toInt();
    for (int waited = 0;; waited += kPollMs) {
        int code = 0;
        const pid_t ended = ::waitpid(static_cast<pid_t>(pid), &code, WNOHANG);
        if (ended == pid || ended < 0) {
            const int exitCode = ended < 0 ? -1 : WIFEXITED(code) ? WEXITSTATUS(code) : 128 + WTERMSIG(code);
            if (status.open(QIODevice::WriteOnly))
                status.write(QByteArray::number(exitCode));
            return exitCode;
        }
        if (waited >= timeoutMs)
            return std::nullopt;
        QThread::msleep(kPollMs);
    }
}

void Terminate(qint64 pid)
{
    ::kill(static_cast<pid_t>(pid), SIGTERM);
}

} // namespace HostProcess

namespace HostPrograms {

QString HostPath(const QString& localPath)
{
    return localPath;
}

QString LocalPath(const QString& hostPath)
{
    return hostPath;
}

} // namespace HostPrograms

#endif
