#include "support/TestOdbcSource.h"

#include <QFile>
#include <QtTest>

#include <sqlite3.h>

#include <stdexcept>

namespace {

struct Connection {
    sqlite3* db = nullptr;
    explicit Connection(const QString& path)
    {
        if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
            throw std::runtime_error("cannot open the test database");
        sqlite3_busy_timeout(db, 5000);
    }
    ~Connection() { sqlite3_close(db); }
};

} // namespace

TestOdbcSource::TestOdbcSource(const korva8::SampleOptions& options)
{
    QFile ini(m_dir.filePath(QStringLiteral("odbc.ini")));
    if (!ini.open(QIODevice::WriteOnly))
        qFatal("cannot write the test odbc.ini");
    ini.write("[DB_KORVA8]\nDriver=SQLite3\nDatabase=" + databasePath().toUtf8() + "\nTimeout=5000\n");
    ini.close();
    qputenv("ODBCINI", ini.fileName().toUtf8());
    qputenv("ODBCSYSINI", "/etc");
    recreate(options);
}

QString TestOdbcSource::databasePath() const
{
    return m_dir.filePath(QStringLiteral("korva8.db"));
}

void TestOdbcSource::recreate(const korva8::SampleOptions& options)
{
    QFile::remove(databasePath() + QStringLiteral("-wal"));
    QFile::remove(databasePath() + QStringLiteral("-shm"));
    korva8::CreateSampleDatabase(databasePath().toStdString(), options);
}

void TestOdbcSource::execute(const QString& sql) const
{
    Connection c(databasePath());
    char* error = nullptr;
    if (sqlite3_exec(c.db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error);
        sqlite3_free(error);
        QTest::qFail(qPrintable(QStringLiteral("test SQL failed: %1: %2").arg(sql, message)), __FILE__, __LINE__);
        throw std::runtime_error("test SQL failed");
    }
}

QStringList TestOdbcSource::rows(const QString& sql) const
{
    Connection c(databasePath());
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(c.db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(c.db));
    QStringList out;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        QStringList columns;
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
            columns << (text ? QString::fromUtf8(text) : QString());
        }
        out << columns.join(QLatin1Char('|'));
    }
    sqlite3_finalize(statement);
    return out;
}

QString TestOdbcSource::scalar(const QString& sql) const
{
    const QStringList result = rows(sql);
    return result.isEmpty() ? QString() : result.first().section(QLatin1Char('|'), 0, 0);
}
