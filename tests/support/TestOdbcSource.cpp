#include "support/TestOdbcSource.h"

#include "support/HostPrograms.h"
#include "support/SqliteShell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <stdexcept>

namespace {

// The odbc.ini the driver manager reads: the runner's under Wine, else one of the test's own.
QString OdbcIniPath([[maybe_unused]] const QTemporaryDir& dir)
{
#ifdef _WIN32
    const QString named = qEnvironmentVariable("ODBCINI");
    if (named.isEmpty())
        qFatal("ODBCINI names no odbc.ini: run the Windows tests through their runner under Wine");
    return HostPrograms::LocalPath(named);
#else
    const QString path = dir.filePath(QStringLiteral("odbc.ini"));
    qputenv("ODBCINI", QFile::encodeName(path));
    qputenv("ODBCSYSINI", "/etc");
    return path;
#endif
}

// The sample tool's options for these settings.
QStringList SampleArguments(const korva8::SampleOptions& options)
{
    if (!options.withData)
        return { QStringLiteral("--empty") };
    const std::pair<const char*, int> numbers[] = { { "--rolls", options.rolls },
        { "--invoices-per-roll", options.invoicesPerRoll }, { "--lines-per-invoice", options.linesPerInvoice },
        { "--children", options.children }, { "--clients", options.clients }, { "--payments", options.payments } };
    QStringList arguments;
    for (const auto& [flag, value] : numbers)
        arguments << QLatin1String(flag) << QString::number(value);
    return arguments;
}

} // namespace

TestOdbcSource::TestOdbcSource(const korva8::SampleOptions& options, Fetch fetch)
{
    const QString iniPath = OdbcIniPath(m_dir);
    m_databasePath = QFileInfo(iniPath).dir().filePath(QStringLiteral("korva8.db"));
    WriteOdbcIni(iniPath, fetch);
    recreate(options);
}

void TestOdbcSource::WriteOdbcIni(const QString& path, Fetch fetch) const
{
    QFile ini(path);
    if (!ini.open(QIODevice::WriteOnly))
        qFatal("cannot write the test odbc.ini");
    ini.write("[DB_KORVA8]\nDriver=SQLite3\nDatabase=" + HostPrograms::HostPath(m_databasePath).toUtf8()
        + "\nTimeout=5000\nNoCreat=1\n" + (fetch == Fetch::RowByRow ? "StepAPI=1\n" : ""));
}

void TestOdbcSource::recreate(const korva8::SampleOptions& options)
{
    for (const char* suffix : { "-wal", "-shm" })
        QFile::remove(m_databasePath + QLatin1String(suffix));
    const HostPrograms::Outcome made = HostPrograms::Run(
        QStringList { HostPrograms::Tool(QStringLiteral("korva8-sample")), HostPrograms::HostPath(m_databasePath) }
        + SampleArguments(options));
    if (made.exitCode != 0)
        qFatal("korva8-sample failed: %s", made.errors.constData());
}

void TestOdbcSource::execute(const QString& sql) const
{
    try {
        SqliteShell::Execute(m_databasePath, sql);
    } catch (const std::exception& error) {
        QTest::qFail(error.what(), __FILE__, __LINE__);
        throw;
    }
}

QStringList TestOdbcSource::rows(const QString& sql) const
{
    return SqliteShell::Rows(m_databasePath, sql);
}

QString TestOdbcSource::scalar(const QString& sql) const
{
    return SqliteShell::Scalar(m_databasePath, sql);
}
