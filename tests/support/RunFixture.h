#pragma once

#include "common/Cp1252.h"

#include <QDir>
#include <QFile>
#include <QStringList>

// The statement logs a run leaves in the test's working folder.
namespace RunFixture {

inline QStringList exportLogs()
{
    return QDir::current().entryList({ QStringLiteral("cantine-export-role-*.csv") }, QDir::Files);
}

inline void removeExportLogs()
{
    for (const QString& name : exportLogs())
        QFile::remove(name);
}

// The working folder's files whose names match a pattern with one "*". Not
// through QDir's name filters: a portal's thread reads the logs while a request
// is in flight, and the regular expressions behind those filters keep a stack
// per thread whose release crashed that thread's end (MinGW build under Wine).
inline QStringList filesMatching(const QString& pattern)
{
    const QString before = pattern.section(QLatin1Char('*'), 0, 0);
    const QString after = pattern.section(QLatin1Char('*'), 1);
    QStringList matching;
    for (const QString& name : QDir::current().entryList(QDir::Files)) {
        if (name.size() >= before.size() + after.size() && name.startsWith(before) && name.endsWith(after))
            matching << name;
    }
    return matching;
}

// The one file of the working folder whose name matches the pattern, as its
// lines ended by CR LF; a missing file, or more than one, gives a line saying so.
inline QStringList onlyFileLines(const QString& pattern)
{
    const QStringList files = filesMatching(pattern);
    if (files.size() != 1)
        return { QStringLiteral("(%1 files)").arg(files.size()) };
    QFile file(files.first());
    if (!file.open(QIODevice::ReadOnly))
        return { QStringLiteral("(unreadable file)") };
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty())
        return {};
    QList<QByteArray> pieces = bytes.split('\n');
    if (!pieces.takeLast().isEmpty())
        return { QStringLiteral("(last line not ended by CR LF)") };
    QStringList lines;
    for (const QByteArray& piece : pieces)
        lines << (piece.endsWith('\r') ? Cp1252::decode(piece.chopped(1)) : QStringLiteral("(LF alone)"));
    return lines;
}

// The one log left by the run.
inline QStringList onlyLogLines()
{
    return onlyFileLines(QStringLiteral("cantine-export-role-*.csv"));
}

} // namespace RunFixture
