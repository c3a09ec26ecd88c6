#include "data/AdoQuery.h"

#include "common/Cp1252.h"
#include "common/Messages.h"
#include "data/AdoConnection.h"
#include "data/DatabaseErrors.h"
#include "data/OdbcStatement.h"
#include "data/OdbcWholeNumber.h"

#include <QSqlField>
#include <QSqlResult>
#include <QSqlQuery>
#include <QSqlRecord>

#ifdef _WIN32
#include <windows.h> // the ODBC headers need its types
#endif
#include <sql.h>
#include <sqlext.h>

namespace {

ColumnKind kindOf(const QSqlField& field)
{
    switch (field.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Bool:
        return ColumnKind::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return (field.typeID() == SQL_DECIMAL || field.typeID() == SQL_NUMERIC) ? ColumnKind::Currency
                                                                                : ColumnKind::Float;
    case QMetaType::QDateTime:
    case QMetaType::QDate:
        return ColumnKind::DateTime;
    case QMetaType::QTime:
        return ColumnKind::TimeOfDay;
    default:
        return (field.typeID() == SQL_DECIMAL || field.typeID() == SQL_NUMERIC) ? ColumnKind::Currency
                                                                                : ColumnKind::Text;
    }
}

// A statement carries values from the portal: a whole one shows, a huge one is cut.
constexpr qsizetype kLongestStatementShown = 2000;

QString refusedStatementText(const QString& statement)
{
    return QStringLiteral("Instruction refusée par la base de données : %1")
        .arg(Messages::excerpt(statement, kLongestStatementShown));
}

QString unreadableResultText(const QString& statement)
{
    return QStringLiteral("Lecture du résultat impossible : %1").arg(Messages::excerpt(statement, kLongestStatementShown));
}

// A whole-number column, as Qt's driver reads it.
bool readAsWholeNumber(const QSqlField& field)
{
    const int type = field.metaType().id();
    return (type == QMetaType::Int || type == QMetaType::UInt || type == QMetaType::LongLong
               || type == QMetaType::ULongLong)
        && OdbcWholeNumber::IsWholeNumberType(static_cast<short>(field.typeID()));
}

// The table a column of the selection comes from, as the driver tells it, or empty.
QString tableOfColumn(void* statement, int column)
{
    for (const SQLUSMALLINT attribute : {SQLUSMALLINT(SQL_DESC_BASE_TABLE_NAME), SQLUSMALLINT(SQL_DESC_TABLE_NAME)}) {
        SQLWCHAR name[130] = {};
        SQLSMALLINT bytes = 0;
        if (SQL_SUCCEEDED(SQLColAttributeW(statement, static_cast<SQLUSMALLINT>(column + 1), attribute, name,
                sizeof name - sizeof(SQLWCHAR), &bytes, nullptr))) {
            const QString table = QString::fromUtf16(reinterpret_cast<const char16_t*>(name)).trimmed();
            if (!table.isEmpty())
                return table;
        }
    }
    return {};
}

// The statement handle (a SQLHSTMT) under a query of Qt's ODBC driver, or null.
void* statementHandle(const QSqlQuery& query)
{
    const QVariant handle = query.result()->handle();
    if (handle.metaType() != QMetaType::fromType<SQLHANDLE>())
        return nullptr;
    return *static_cast<void* const*>(handle.constData());
}


} // namespace

QString AdoField::Name() const
{
    return m_query->ColumnName(m_column);
}

QVariant AdoField::value() const
{
    if (m_query->m_rowCount == 0)
        return QVariant();
    return m_query->cell(m_query->m_row, m_column);
}

bool AdoField::IsNull() const
{
    return value().isNull();
}

QString AdoField::AsString() const
{
    return ValueAsText(value(), m_query->m_columns.at(m_column).kind);
}

void AdoField::AppendAsString(QByteArray& out) const
{
    if (m_query->m_rowCount > 0)
        m_query->appendCellText(out, m_query->m_row, m_column);
}

QDateTime AdoField::AsDateTime() const
{
    return ValueAsDateTime(value());
}

qint64 AdoField::AsInteger() const
{
    return ValueAsInteger(value());
}

AdoQuery::AdoQuery(const QString& name, AdoConnection* connection, QObject* parent)
    : QObject(parent), m_name(name), m_connection(connection)
{
    setObjectName(name);
}

void AdoQuery::SetSql(const QString& statement)
{
    Close();
    m_sql = statement;
}

void AdoQuery::ensureConnected()
{
    if (!m_connection->Connected())
        m_connection->SetConnected(true);
}

void AdoQuery::Open()
{
    if (m_active)
        return;
    ensureConnected();
    QSqlQuery query(m_connection->database());
    query.setForwardOnly(true);
    if (!query.exec(TranslateStatement(m_sql, m_connection->dialect())))
        throw DatabaseErrorFrom(query.lastError(), refusedStatementText(m_sql));
    if (!query.isSelect())
        throw DatabaseError(m_name + QStringLiteral(": ") + Messages::notARowSet());

    const QSqlRecord record = query.record();
    m_columns.clear();
    m_columns.reserve(record.count());
    for (int i = 0; i < record.count(); ++i)
        m_columns.append({record.fieldName(i), kindOf(record.field(i))});

    const int columns = record.count();
    QVector<bool> wholeNumbers(columns);
    for (int c = 0; c < columns; ++c)
        wholeNumbers[c] = readAsWholeNumber(record.field(c));
    void* const statement = wholeNumbers.contains(true) ? statementHandle(query) : nullptr;
    m_values.clear();
    m_values.resize(columns);
    m_rowCount = 0;
    while (query.next()) {
        if (columns > 0)
            query.value(columns - 1); // Qt's driver reads the row's columns in order, once
        for (int c = 0; c < columns; ++c) {
            if (statement && wholeNumbers.at(c))
                m_values[c].Append(exactWholeNumber(statement, c, query.value(c)));
            else
                m_values[c].Append(query.value(c));
        }
        ++m_rowCount;
    }
    if (query.lastError().isValid())
        throw DatabaseErrorFrom(query.lastError(), unreadableResultText(m_sql));
    m_active = true;
    m_row = 0;
    m_eof = m_rowCount == 0;
    emit Opened();
}

QVariant AdoQuery::exactWholeNumber(void* statement, int column, const QVariant& read) const
{
    // Qt's driver read the value in the width the driver reports: a driver
    // that holds more cuts it without a word, one that keeps to the standard
    // refuses it (an invalid value), and a fraction or a word comes as some
    // whole number, a word even as a null. Read again as the driver's text,
    // it is exact or refused.
    using Outcome = OdbcWholeNumber::Value::Outcome;
    const OdbcWholeNumber::Value again = OdbcWholeNumber::ReadAgain(statement, static_cast<unsigned short>(column + 1));
    switch (again.outcome) {
    case Outcome::Read:
        return read.isValid() && !read.isNull() && read.toLongLong() == again.value
            ? read
            : QVariant::fromValue(qlonglong(again.value));
    case Outcome::NotWhole:
        throw DatabaseError(notWholeNumberText(statement, column, again.text));
    case Outcome::Null:
    case Outcome::Failed:
        break;
    }
    if (!read.isValid())
        throw DatabaseError(m_name + QStringLiteral(": ")
            + QStringLiteral("Valeur entière illisible dans le champ '%1'").arg(m_columns.at(column).name));
    return read;
}

QString AdoQuery::notWholeNumberText(void* statement, int column, const QString& text) const
{
    QString table = tableOfColumn(statement, column);
    if (table.isEmpty())
        table = m_name;
    // The row is named by the selection's first column, a table's key in this
    // database, as far as this row has been read.
    const QString row = column > 0
        ? QStringLiteral("à la ligne où %1 = %2")
              .arg(m_columns.at(0).name, ValueAsText(m_values.at(0).Value(m_rowCount), m_columns.at(0).kind))
        : QStringLiteral("à la ligne n° %1 de la sélection").arg(m_rowCount + 1);
    return m_name + QStringLiteral(": ")
        + QStringLiteral("Le champ %1 de la table %2 contient, %3, la valeur « %4 », qui n'est pas un nombre entier. "
                         "Corrigez-la dans la base de données avant de relancer.")
              .arg(m_columns.at(column).name, table, row, Messages::escapedControls(text));
}

void AdoQuery::ExecSql()
{
    ensureConnected();
    OdbcStatement& statement = m_connection->Statement();
    if (!statement.Execute(TranslateStatement(m_sql, m_connection->dialect())))
        throw DatabaseErrorFrom(statement.Diagnostics(), refusedStatementText(m_sql));
}

qint64 AdoQuery::FirstValueAsInteger()
{
    using Outcome = OdbcStatement::WholeNumber::Outcome;
    Close();
    ensureConnected();
    OdbcStatement& statement = m_connection->Statement();
    const OdbcStatement::WholeNumber first
        = statement.FirstWholeNumber(TranslateStatement(m_sql, m_connection->dialect()));
    switch (first.outcome) {
    case Outcome::Read:
        return first.value;
    case Outcome::Refused:
        throw DatabaseErrorFrom(statement.Diagnostics(), refusedStatementText(m_sql));
    case Outcome::Unreadable:
        throw DatabaseErrorFrom(statement.Diagnostics(), unreadableResultText(m_sql));
    case Outcome::NoRowSet:
        throw DatabaseError(m_name + QStringLiteral(": ") + Messages::notARowSet());
    case Outcome::NotWhole:
        throw DatabaseError(m_name + QStringLiteral(": ")
            + QStringLiteral("Le résultat de « %1 » n'est pas un nombre entier : « %2 ».")
                  .arg(Messages::excerpt(m_sql, kLongestStatementShown), Messages::escapedControls(first.text)));
    case Outcome::OtherKind:
        break;
    }
    // A value of another kind is read as a field reads it (a selection runs twice harmlessly).
    Open();
    const qint64 value = Field(0).AsInteger();
    Close();
    return value;
}

void AdoQuery::Close()
{
    if (!m_active)
        return;
    m_active = false;
    m_columns.clear();
    m_values.clear();
    m_values.squeeze();
    m_rowCount = 0;
    m_row = 0;
    m_eof = true;
    emit Closed();
}

void AdoQuery::requireActive() const
{
    if (!m_active)
        throw DatabaseError(m_name + QStringLiteral(": ") + Messages::closedDataSet());
}

void AdoQuery::setRow(int row)
{
    m_row = row;
    if (m_disableCount == 0)
        emit CurrentRowChanged(row);
}

void AdoQuery::First()
{
    requireActive();
    m_eof = m_rowCount == 0;
    setRow(0);
}

void AdoQuery::Next()
{
    requireActive();
    if (m_row + 1 < m_rowCount)
        setRow(m_row + 1);
    else
        m_eof = true; // the last row stays current
}

bool AdoQuery::Eof() const
{
    return !m_active || m_eof;
}

int AdoQuery::ColumnIndex(const QString& fieldName) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).name.compare(fieldName, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString AdoQuery::ColumnName(int column) const
{
    return m_columns.at(column).name;
}

AdoField AdoQuery::FieldByName(const QString& fieldName) const
{
    const int index = ColumnIndex(fieldName);
    if (index < 0)
        throw DatabaseError(m_name + QStringLiteral(": ") + Messages::fieldNotFound(fieldName));
    return AdoField(this, index);
}

AdoField AdoQuery::Field(int index) const
{
    if (index < 0 || index >= m_columns.size())
        throw ListIndexError(index);
    return AdoField(this, index);
}

int AdoQuery::RecordCount() const
{
    requireActive();
    return m_rowCount;
}

int AdoQuery::RecNo() const
{
    requireActive();
    return m_rowCount == 0 ? 0 : m_row + 1;
}

void AdoQuery::DisableControls()
{
    ++m_disableCount;
}

void AdoQuery::EnableControls()
{
    if (m_disableCount > 0 && --m_disableCount == 0)
        emit CurrentRowChanged(m_row);
}

void AdoQuery::GotoBookmark(int bookmark)
{
    requireActive();
    if (bookmark < 0 || bookmark >= m_rowCount)
        throw ListIndexError(bookmark);
    m_eof = false;
    setRow(bookmark);
}

QVariant AdoQuery::cell(int row, int column) const
{
    if (row < 0 || row >= m_rowCount)
        return QVariant();
    return m_values.at(column).Value(row);
}

void AdoQuery::appendCellText(QByteArray& out, int row, int column) const
{
    const ColumnKind kind = m_columns.at(column).kind;
    if (!AppendStoredAsText(out, m_values.at(column).StoredAt(row), kind))
        Cp1252::appendEncoded(out, ValueAsText(cell(row, column), kind));
}

QString AdoQuery::DisplayTextAt(int row, int column) const noexcept
{
    if (column < 0 || column >= m_columns.size())
        return QString();
    return ValueAsDisplayText(cell(row, column), m_columns.at(column).kind);
}
