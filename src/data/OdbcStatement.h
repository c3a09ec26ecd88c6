#pragma once

#include <QString>
#include <QtGlobal>

// One ODBC statement handle on the connection handle of Qt's driver, kept and
// reused for the statements that return no rows and for single whole numbers.
// A query through Qt allocates a handle, sets its cursor, asks for the
// result's shape and frees it again: in the payment import that cost more than
// the statements themselves. Being on the connection's own handle, these
// statements take part in its transaction. The connection that owns it drops
// it before it closes: the handle dies with its connection.
class OdbcStatement {
public:
    // The connection handle (a SQLHDBC) Qt's driver hands out.
    explicit OdbcStatement(void* connectionHandle);
    ~OdbcStatement();
    OdbcStatement(const OdbcStatement&) = delete;
    OdbcStatement& operator=(const OdbcStatement&) = delete;

    // Runs a statement that returns no rows. False when the database refused
    // it; Diagnostics() then holds its text.
    bool Execute(const QString& statement);

    // The first column of the first row of a selection, read as a whole number.
    struct WholeNumber {
        enum class Outcome {
            Read,       // value holds it: 0 for null or no row
            OtherKind,  // the column is not a whole-number column: read it the general way
            NoRowSet,   // the statement returns no rows
            Refused,    // the database refused the statement (Diagnostics())
            Unreadable, // the row could not be read (Diagnostics())
            NotWhole,   // the value is no whole number: text holds it as the driver does
        };
        Outcome outcome = Outcome::Read;
        qint64 value = 0;
        QString text {};
    };
    WholeNumber FirstWholeNumber(const QString& selection);

    // The database's text of the last refusal: its messages, joined by a space.
    const QString& Diagnostics() const { return m_diagnostics; }

private:
    bool run(const QString& statement);
    void fail();
    void closeCursor();

    void* m_connection;
    void* m_statement = nullptr;
    QString m_diagnostics;
};
