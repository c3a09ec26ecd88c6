#pragma once

#include <QString>
#include <QStringList>

#include <sql.h>

// The floor of the payment benchmark: statements sent through the ODBC driver
// with nothing between the program and the driver but the ODBC calls
// themselves, in one transaction, as the import runs its statements.
class OdbcFloor {
public:
    explicit OdbcFloor(const QString& dataSource);
    ~OdbcFloor();
    OdbcFloor(const OdbcFloor&) = delete;
    OdbcFloor& operator=(const OdbcFloor&) = delete;

    void execute(const QString& statement);
    // The first column of the first row, as a whole number (0 for null).
    long long scalar(const QString& statement);
    // Walks every row, reading every column as text; calls back with the row's columns.
    template <class Consumer> int rows(const QString& statement, Consumer&& consume);
    void commit();

private:
    void run(SQLHSTMT statement, const QString& text);
    int columnCount(SQLHSTMT statement);
    bool next(SQLHSTMT statement, int columns, QStringList& row);
    void closeCursor(SQLHSTMT statement);
    [[noreturn]] void fail(SQLSMALLINT type, SQLHANDLE handle, const char* what);

    SQLHENV m_env = SQL_NULL_HENV;
    SQLHDBC m_dbc = SQL_NULL_HDBC;
    SQLHSTMT m_statement = SQL_NULL_HSTMT;
};

template <class Consumer> int OdbcFloor::rows(const QString& statement, Consumer&& consume)
{
    run(m_statement, statement);
    const int columns = columnCount(m_statement);
    QStringList row;
    int count = 0;
    while (next(m_statement, columns, row)) {
        consume(row);
        ++count;
    }
    closeCursor(m_statement);
    return count;
}
