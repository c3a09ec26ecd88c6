#include "support/SqliteShell.h"

#include "support/HostPrograms.h"

#include <stdexcept>

namespace SqliteShell {

namespace {

// The database is shared with a running connection: wait for its locks rather than fail.
QByteArray Shell(const QString& databasePath, const QString& sql)
{
    const HostPrograms::Outcome outcome = HostPrograms::Run(
        { QStringLiteral("sqlite3"), QStringLiteral("-batch"), QStringLiteral("-bail"), QStringLiteral("-list"),
            QStringLiteral("-noheader"), QStringLiteral("-separator"), QStringLiteral("|"), QStringLiteral("-nullvalue"),
            QString(), QStringLiteral("-cmd"), QStringLiteral(".timeout 10000"), HostPrograms::HostPath(databasePath) },
        sql.toUtf8() + ";\n");
    if (outcome.exitCode != 0)
        throw std::runtime_error(("sqlite3: " + outcome.errors.trimmed() + " in: " + sql.toUtf8()).toStdString());
    return outcome.output;
}

} // namespace

void Execute(const QString& databasePath, const QString& sql)
{
    Shell(databasePath, sql);
}

QStringList Rows(const QString& databasePath, const QString& sql)
{
    QString output = QString::fromUtf8(Shell(databasePath, sql));
    output.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (output.endsWith(QLatin1Char('\n')))
        output.chop(1);
    return output.isEmpty() ? QStringList() : output.split(QLatin1Char('\n'));
}

QString Scalar(const QString& databasePath, const QString& sql)
{
    return Rows(databasePath, sql).value(0).section(QLatin1Char('|'), 0, 0);
}

} // namespace SqliteShell
