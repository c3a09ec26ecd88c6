#include "data/AdoConnection.h"

#include "data/DatabaseErrors.h"
#include "data/DriverOptions.h"
#include "data/OdbcStatement.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

#ifdef _WIN32
#include <windows.h> // the ODBC headers need its types
#endif
#include <sql.h>
#include <sqlext.h>

#include <atomic>
#include <iterator>
#include <clocale>
#ifndef _WIN32
#include <langinfo.h>
#include <time.h>
#endif

namespace {

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("quilvanor-ado-%1").arg(++counter);
}

// The ODBC connection handle of an open database, or null. Qt's ODBC driver
// hands it out as a SQLHANDLE (a void*).
SQLHANDLE connectionHandle(const QSqlDatabase& db)
{
    const QVariant handle = db.driver()->handle();
    if (handle.metaType() != QMetaType::fromType<SQLHANDLE>())
        return SQL_NULL_HANDLE;
    return *static_cast<const SQLHANDLE*>(handle.constData());
}

// The engine behind the open connection, as ODBC names it ("ACCESS", "SQLite", …).
// The wide call: the Windows driver manager under Wine has no narrow entry
// points, and the name may hold any character.
QString dbmsName(const QSqlDatabase& db)
{
    const SQLHANDLE hdbc = connectionHandle(db);
    if (!hdbc)
        return QString();
    SQLWCHAR name[256] = {};
    SQLSMALLINT length = 0; // in bytes
    if (!SQL_SUCCEEDED(SQLGetInfoW(hdbc, SQL_DBMS_NAME, name, sizeof name, &length)))
        return QString();
    const qsizetype units = qBound<qsizetype>(0, length / qsizetype(sizeof(SQLWCHAR)), std::size(name) - 1);
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(name), units);
}

// unixODBC converts statement texts between the program's wide characters and
// the driver's through the C library's character type. Under a locale that is
// not installed, that is ASCII and every accented name ("NoPièce") is lost on
// the way: make the character type UTF-8 whatever the user's locale.
void ensureUnicodeCharacterType()
{
#ifndef _WIN32
    static const bool done = [] {
        const char* codeset = nl_langinfo(CODESET);
        if (!codeset || qstrcmp(codeset, "UTF-8") != 0)
            std::setlocale(LC_CTYPE, "C.UTF-8");
        return true;
    }();
    (void)done;
#endif
}

// Qt turns each date-time the driver reads into local time through the C
// library, which, while TZ is unset, looks at /etc/localtime on disk at every
// conversion: a selection of ten thousand payments made as many file system
// calls. Naming that same file once lets the library keep the zone it read.
void keepLocalTimeZoneLoaded()
{
#ifndef _WIN32
    static const bool done = [] {
        if (!qEnvironmentVariableIsSet("TZ")) {
            qputenv("TZ", ":/etc/localtime");
            tzset();
        }
        return true;
    }();
    (void)done;
#endif
}

} // namespace

AdoConnection::AdoConnection(QObject* parent) : QObject(parent), m_connectionName(nextConnectionName()) {}

AdoConnection::~AdoConnection()
{
    close();
}

QString AdoConnection::OdbcDatabaseName(const QString& adoConnectionString)
{
    QString dataSource;
    QString extended;
    for (const QString& part : adoConnectionString.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed();
        const QString value = part.mid(eq + 1).trimmed();
        if (key.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0
            || key.compare(QLatin1String("DSN"), Qt::CaseInsensitive) == 0)
            dataSource = value;
        else if (key.compare(QLatin1String("Extended Properties"), Qt::CaseInsensitive) == 0)
            extended = value;
    }
    // Qt's driver takes a bare data source name, or a full ODBC string as it stands.
    return extended.isEmpty() ? dataSource : extended;
}

bool AdoConnection::Connected() const
{
    return QSqlDatabase::contains(m_connectionName) && QSqlDatabase::database(m_connectionName, false).isOpen();
}

void AdoConnection::SetConnected(bool connected)
{
    if (connected == Connected())
        return;
    if (connected)
        open();
    else
        close();
}

QSqlDatabase AdoConnection::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

void AdoConnection::open()
{
    ensureUnicodeCharacterType();
    keepLocalTimeZoneLoaded();
    QSqlDatabase db = QSqlDatabase::contains(m_connectionName)
        ? QSqlDatabase::database(m_connectionName, false)
        : QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_connectionName);
    if (!db.isValid())
        throw DatabaseErrorFrom(db.lastError(), QStringLiteral("Pilote ODBC introuvable"));
    db.setDatabaseName(WithDriverOptions(OdbcDatabaseName(ConnectionString)));
    if (!db.open())
        throw DatabaseErrorFrom(db.lastError(), QStringLiteral("Impossible d'ouvrir la source de données"));
    m_dialect = DialectForDbmsName(dbmsName(db));
}

OdbcStatement& AdoConnection::Statement()
{
    if (!m_statement) {
        if (!Connected())
            open();
        m_statement = std::make_unique<OdbcStatement>(connectionHandle(database()));
    }
    return *m_statement;
}

void AdoConnection::close()
{
    // Freed while its connection still exists: closing frees the connection handle.
    m_statement.reset();
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}
