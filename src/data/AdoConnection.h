#pragma once

#include "data/SqlDialect.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <memory>

class OdbcStatement;

// The one connection to the town's database. It keeps its ADO connection
// string as its configuration and derives the ODBC connection from it:
// "Data Source=X" names the ODBC data source X.
class AdoConnection : public QObject {
    Q_OBJECT
public:
    explicit AdoConnection(QObject* parent = nullptr);
    ~AdoConnection() override;

    QString ConnectionString = QStringLiteral("Provider=MSDASQL.1;Persist Security Info=False;Data Source=DB_KORVA8;");
    QString Provider = QStringLiteral("MSDASQL.1");
    bool LoginPrompt = false;

    bool Connected() const;
    // true opens the data source (failing with the driver's text), false closes it.
    void SetConnected(bool connected);

    // The database Qt's ODBC driver opens for an ADO connection string.
    static QString OdbcDatabaseName(const QString& adoConnectionString);

    QSqlDatabase database() const;
    SqlDialect dialect() const { return m_dialect; }

    // The statement handle kept on the connection for the statements that
    // return no rows and for single values: made at first use (opening the
    // connection if need be), dropped when the connection closes.
    OdbcStatement& Statement();

private:
    void open();
    void close();

    QString m_connectionName;
    SqlDialect m_dialect = SqlDialect::Odbc;
    std::unique_ptr<OdbcStatement> m_statement;
};
