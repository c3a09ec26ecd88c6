#include "data/DriverOptions.h"

#include <QStringList>

#ifdef _WIN32
#include <windows.h> // the ODBC headers need its types
#endif
#include <sql.h>
#include <sqlext.h>

#include <memory>

namespace {

const QStringList kSqliteOptions { QStringLiteral("NoCreat=1") };

QString FromOdbcText(const SQLWCHAR* text, SQLSMALLINT units, std::size_t capacity)
{
    const qsizetype length = qBound(qsizetype(0), qsizetype(units), static_cast<qsizetype>(capacity) - 1);
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

bool NamesSqlite(const QString& driver)
{
    return driver.contains(QLatin1String("sqlite"), Qt::CaseInsensitive);
}

// Whether a connection string sets the key.
bool HasKey(const QString& connection, const QString& key)
{
    for (const QString& part : connection.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (part.section(QLatin1Char('='), 0, 0).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString DriverInConnectionString(const QString& connection)
{
    for (const QString& part : connection.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (part.section(QLatin1Char('='), 0, 0).trimmed().compare(QLatin1String("DRIVER"), Qt::CaseInsensitive) == 0)
            return part.section(QLatin1Char('='), 1).trimmed();
    }
    return QString();
}

} // namespace

QString DataSourceDriver(const QString& dataSourceName)
{
    SQLHENV environment = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment)))
        return QString();
    const auto release = std::unique_ptr<void, void (*)(void*)>(
        environment, [](void* handle) { SQLFreeHandle(SQL_HANDLE_ENV, static_cast<SQLHENV>(handle)); });
    SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLWCHAR name[SQL_MAX_DSN_LENGTH + 1] = {};
    SQLWCHAR driver[256] = {};
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT driverLength = 0;
    for (SQLUSMALLINT direction = SQL_FETCH_FIRST;; direction = SQL_FETCH_NEXT) {
        if (!SQL_SUCCEEDED(SQLDataSourcesW(environment, direction, name, SQLSMALLINT(std::size(name)), &nameLength,
                driver, SQLSMALLINT(std::size(driver)), &driverLength)))
            return QString();
        if (FromOdbcText(name, nameLength, std::size(name)).compare(dataSourceName, Qt::CaseInsensitive) == 0)
            return FromOdbcText(driver, driverLength, std::size(driver));
    }
}

QString WithDriverOptions(const QString& odbcName)
{
    // Qt's driver puts "DSN=" before a name without "DRIVER=" or "SERVER=",
    // so options follow a bare name as they follow a full string.
    const bool fullString = odbcName.contains(QLatin1Char('='));
    const QString driver = fullString ? DriverInConnectionString(odbcName) : DataSourceDriver(odbcName.trimmed());
    if (!NamesSqlite(driver))
        return odbcName;
    QString withOptions = odbcName;
    for (const QString& option : kSqliteOptions) {
        if (!HasKey(withOptions, option.section(QLatin1Char('='), 0, 0))) {
            if (!withOptions.endsWith(QLatin1Char(';')))
                withOptions += QLatin1Char(';');
            withOptions += option;
        }
    }
    return withOptions;
}
