#include "common/ConsoleLines.h"

#include <cstdio>
#include <utility>

namespace {

ConsoleRecorder& recorder()
{
    static ConsoleRecorder instance;
    return instance;
}

} // namespace

void WriteLine(ConsoleStream stream, const QString& line)
{
    if (recorder()) {
        recorder()(stream, line);
        return;
    }
    std::FILE* file = stream == ConsoleStream::Output ? stdout : stderr;
    std::fprintf(file, "%s\n", line.toLocal8Bit().constData());
    std::fflush(file);
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
