#include "data/OdbcStatement.h"

#include "data/OdbcWholeNumber.h"

#ifdef _WIN32
#include <windows.h> // the ODBC headers need its types
#endif
#include <sql.h>
#include <sqlext.h>

#include <iterator>
#include <vector>

// Wide calls only: the Windows driver manager under Wine has no narrow entry points.

namespace {

QString fromWide(const SQLWCHAR* text, qsizetype units)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), units);
}

// The messages of a handle's diagnostic records, as Qt's driver gathers them
// for a refused query, so that the operator reads the same text: each record
// in turn, one space between, leaving out a record that repeats the text
// gathered so far (drivers report some messages twice), and the trailing
// character 0 some drivers count in the length.
QString diagnosticsOf(SQLSMALLINT handleType, SQLHANDLE handle)
{
    QString text;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0; // in characters
        SQLRETURN result = SQLGetDiagRecW(handleType, handle, record, state, &native, nullptr, 0, &length);
        if (result == SQL_NO_DATA || result == SQL_ERROR || result == SQL_INVALID_HANDLE)
            return text;
        std::vector<SQLWCHAR> message(SQL_SUCCEEDED(result) && length > 0 ? length + 1 : SQL_MAX_MESSAGE_LENGTH);
        result = SQLGetDiagRecW(handleType, handle, record, state, &native, message.data(),
            static_cast<SQLSMALLINT>(message.size()), &length);
        if (!SQL_SUCCEEDED(result))
            return text;
        qsizetype units = qBound<qsizetype>(0, qsizetype(length), qsizetype(message.size()));
        if (units > 0 && message[units - 1] == 0)
            --units;
        const QString part = fromWide(message.data(), units);
        if (part != text) {
            if (!text.isEmpty())
                text += QLatin1Char(' ');
            text += part;
        }
    }
}

} // namespace

OdbcStatement::OdbcStatement(void* connectionHandle) : m_connection(connectionHandle) {}

OdbcStatement::~OdbcStatement()
{
    if (m_statement)
        SQLFreeHandle(SQL_HANDLE_STMT, m_statement);
}

bool OdbcStatement::run(const QString& statement)
{
    if (!m_statement) {
        SQLHANDLE handle = SQL_NULL_HANDLE;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, m_connection, &handle))) {
            m_diagnostics = diagnosticsOf(SQL_HANDLE_DBC, m_connection);
            return false;
        }
        m_statement = handle;
    }
    const SQLRETURN result = SQLExecDirectW(m_statement,
        reinterpret_cast<SQLWCHAR*>(const_cast<char16_t*>(reinterpret_cast<const char16_t*>(statement.utf16()))),
        static_cast<SQLINTEGER>(statement.size()));
    // A deletion or an update that matches no row answers "no data".
    if (SQL_SUCCEEDED(result) || result == SQL_NO_DATA)
        return true;
    fail();
    return false;
}

void OdbcStatement::fail()
{
    m_diagnostics = diagnosticsOf(SQL_HANDLE_STMT, m_statement);
    closeCursor();
}

void OdbcStatement::closeCursor()
{
    SQLFreeStmt(m_statement, SQL_CLOSE);
}

bool OdbcStatement::Execute(const QString& statement)
{
    if (!run(statement))
        return false;
    closeCursor();
    return true;
}

OdbcStatement::WholeNumber OdbcStatement::FirstWholeNumber(const QString& selection)
{
    using Outcome = WholeNumber::Outcome;
    if (!run(selection))
        return {Outcome::Refused};
    SQLSMALLINT columns = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(m_statement, &columns)) || columns < 1) {
        closeCursor();
        return {Outcome::NoRowSet};
    }
    // The type of the column as Qt's driver reads it, so a value of any other
    // kind is converted as a field converts it.
    SQLWCHAR name[64] = {};
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT type = 0;
    SQLULEN size = 0;
    SQLSMALLINT digits = 0;
    SQLSMALLINT nullable = 0;
    if (!SQL_SUCCEEDED(SQLDescribeColW(m_statement, 1, name, static_cast<SQLSMALLINT>(std::size(name)), &nameLength,
            &type, &size, &digits, &nullable))
        || !OdbcWholeNumber::IsWholeNumberType(type)) {
        closeCursor();
        return {Outcome::OtherKind};
    }
    const SQLRETURN fetched = SQLFetch(m_statement);
    if (fetched == SQL_NO_DATA) {
        closeCursor();
        return {Outcome::Read, 0};
    }
    const OdbcWholeNumber::Value first = SQL_SUCCEEDED(fetched)
        ? OdbcWholeNumber::Read(m_statement, 1, type)
        : OdbcWholeNumber::Value{OdbcWholeNumber::Value::Outcome::Failed};
    if (first.outcome == OdbcWholeNumber::Value::Outcome::Failed) {
        fail();
        return {Outcome::Unreadable};
    }
    closeCursor();
    if (first.outcome == OdbcWholeNumber::Value::Outcome::NotWhole)
        return {Outcome::NotWhole, 0, first.text};
    return {Outcome::Read, first.value};
}
