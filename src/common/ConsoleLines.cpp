#include "common/ConsoleLines.h"

#include <csignal>
#include <cstdio>
#include <utility>

namespace {

ConsoleRecorder& recorder()
{
    static ConsoleRecorder instance;
    return instance;
}

} // namespace

void PrepareStandardStreams()
{
#ifndef _WIN32
    // A write to a closed pipe then fails with EPIPE, which WriteLine passes over.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
}

void WriteLine(ConsoleStream stream, const QString& line)
{
    if (recorder()) {
        recorder()(stream, line);
        return;
    }
    std::FILE* file = stream == ConsoleStream::Output ? stdout : stderr;
    const QByteArray bytes = line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), file);
    std::clearerr(file);
}

QString WriteErrorLine(const QString& text)
{
    QString line = QStringLiteral("quilvanor: ") + text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
    WriteLine(ConsoleStream::Error, line);
    return line;
}

void SetConsoleRecorder(ConsoleRecorder newRecorder)
{
    recorder() = std::move(newRecorder);
}
