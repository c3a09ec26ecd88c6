#include "OdbcFloor.h"

#include <QStringList>

#include <sqlext.h>

#include <langinfo.h>

#include <clocale>
#include <cstring>

#include <stdexcept>
#include <string>

OdbcFloor::OdbcFloor(const QString& dataSource)
{
    // unixODBC narrows wide statements through the C library's character
    // type: make it UTF-8, as the program's connection does, or "NoPièce" is lost.
    const char* codeset = nl_langinfo(CODESET);
    if (!codeset || std::strcmp(codeset, "UTF-8") != 0)
        std::setlocale(LC_CTYPE, "C.UTF-8");
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env)))
        throw std::runtime_error("no ODBC environment");
    SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc)))
        fail(SQL_HANDLE_ENV, m_env, "no ODBC connection");
    const std::u16string name = dataSource.toStdU16String();
    if (!SQL_SUCCEEDED(SQLConnectW(
            m_dbc, reinterpret_cast<SQLWCHAR*>(const_cast<char16_t*>(name.c_str())), SQL_NTS, nullptr, 0, nullptr, 0)))
        fail(SQL_HANDLE_DBC, m_dbc, "connect");
    SQLSetConnectAttr(m_dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &m_statement)))
        fail(SQL_HANDLE_DBC, m_dbc, "statement");
}

OdbcFloor::~OdbcFloor()
{
    if (m_statement != SQL_NULL_HSTMT)
        SQLFreeHandle(SQL_HANDLE_STMT, m_statement);
    if (m_dbc != SQL_NULL_HDBC) {
        SQLEndTran(SQL_HANDLE_DBC, m_dbc, SQL_ROLLBACK);
        SQLDisconnect(m_dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
    }
    if (m_env != SQL_NULL_HENV)
        SQLFreeHandle(SQL_HANDLE_ENV, m_env);
}

void OdbcFloor::run(SQLHSTMT statement, const QString& text)
{
    // Wide characters, as the program's driver layer sends them.
    const SQLRETURN result = SQLExecDirectW(statement,
        reinterpret_cast<SQLWCHAR*>(const_cast<char16_t*>(reinterpret_cast<const char16_t*>(text.utf16()))),
        static_cast<SQLINTEGER>(text.size()));
    if (!SQL_SUCCEEDED(result) && result != SQL_NO_DATA)
        fail(SQL_HANDLE_STMT, statement, "execute");
}

void OdbcFloor::execute(const QString& statement)
{
    run(m_statement, statement);
    closeCursor(m_statement);
}

long long OdbcFloor::scalar(const QString& statement)
{
    run(m_statement, statement);
    SQLBIGINT value = 0;
    SQLLEN indicator = 0;
    if (SQL_SUCCEEDED(SQLFetch(m_statement)))
        SQLGetData(m_statement, 1, SQL_C_SBIGINT, &value, sizeof value, &indicator);
    closeCursor(m_statement);
    return indicator == SQL_NULL_DATA ? 0 : value;
}

int OdbcFloor::columnCount(SQLHSTMT statement)
{
    SQLSMALLINT columns = 0;
    SQLNumResultCols(statement, &columns);
    return columns;
}

bool OdbcFloor::next(SQLHSTMT statement, int columns, QStringList& row)
{
    if (!SQL_SUCCEEDED(SQLFetch(statement)))
        return false;
    row.clear();
    for (int c = 1; c <= columns; ++c) {
        char16_t buffer[512];
        SQLLEN length = 0;
        SQLGetData(statement, static_cast<SQLUSMALLINT>(c), SQL_C_WCHAR, buffer, sizeof buffer, &length);
        row << (length == SQL_NULL_DATA
                ? QString()
                : QString::fromUtf16(buffer, static_cast<qsizetype>(length / sizeof(char16_t))));
    }
    return true;
}

void OdbcFloor::closeCursor(SQLHSTMT statement)
{
    SQLFreeStmt(statement, SQL_CLOSE);
}

void OdbcFloor::commit()
{
    if (!SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, m_dbc, SQL_COMMIT)))
        fail(SQL_HANDLE_DBC, m_dbc, "commit");
}

void OdbcFloor::fail(SQLSMALLINT type, SQLHANDLE handle, const char* what)
{
    SQLCHAR state[6] = {};
    SQLCHAR message[512] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    SQLGetDiagRec(type, handle, 1, state, &native, message, sizeof message, &length);
    throw std::runtime_error(std::string(what) + ": " + reinterpret_cast<const char*>(message));
}
