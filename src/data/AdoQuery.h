#pragma once

#include "data/CursorColumn.h"
#include "data/ValueForms.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVector>

class AdoConnection;
class AdoQuery;

// One column of a query's result, read at the query's current row.
class AdoField {
public:
    AdoField(const AdoQuery* query, int column) : m_query(query), m_column(column) {}
    QString Name() const;
    bool IsNull() const;
    QString AsString() const;
    // AsString's Windows-1252 bytes appended to out, read from the cursor as
    // stored where its form allows: statement builders read every value of
    // every row.
    void AppendAsString(QByteArray& out) const;
    QDateTime AsDateTime() const;
    qint64 AsInteger() const;

private:
    QVariant value() const;
    const AdoQuery* m_query;
    int m_column;
};

// A named query on the shared connection, with a client-side cursor: opening
// fetches the whole result, so the row count is known at once and any row can
// be returned to by its bookmark (its row index).
class AdoQuery : public QObject {
    Q_OBJECT
public:
    AdoQuery(const QString& name, AdoConnection* connection, QObject* parent = nullptr);

    QString name() const { return m_name; }

    // Closes the query and makes the text its only statement.
    void SetSql(const QString& statement);
    QString Sql() const { return m_sql; }

    void Open();    // a statement that returns rows; the first row becomes current
    void ExecSql(); // a statement that returns none
    // Runs the selection and returns its first value as AsInteger reads it (0
    // for null or no row), without building a cursor: the query stays closed.
    qint64 FirstValueAsInteger();
    void Close();
    bool Active() const { return m_active; }

    void First();
    void Next();
    bool Eof() const;

    AdoField FieldByName(const QString& fieldName) const;
    AdoField Field(int index) const;
    int FieldCount() const { return static_cast<int>(m_columns.size()); }
    int RecordCount() const;
    int RecNo() const;

    // While disabled, the controls bound to the query do not follow its current row.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }

    int Bookmark() const { return m_row; }
    void GotoBookmark(int bookmark);

    // Reading any row without moving the cursor (for the grid).
    QString DisplayTextAt(int row, int column) const noexcept;
    int ColumnIndex(const QString& fieldName) const; // -1 when absent
    QString ColumnName(int column) const;

signals:
    void Opened();
    void Closed();
    void CurrentRowChanged(int row);

private:
    friend class AdoField;
    struct Column {
        QString name;
        ColumnKind kind;
    };
    QVariant cell(int row, int column) const;
    // A whole number as Qt's driver read it, exact whatever the driver holds,
    // or a DatabaseError where the driver holds no whole number.
    QVariant exactWholeNumber(void* statement, int column, const QVariant& read) const;
    QString notWholeNumberText(void* statement, int column, const QString& text) const;
    void appendCellText(QByteArray& out, int row, int column) const;
    void ensureConnected();
    void requireActive() const;
    void setRow(int row);

    QString m_name;
    AdoConnection* m_connection;
    QString m_sql;
    bool m_active = false;
    QVector<Column> m_columns;
    QVector<CursorColumn> m_values; // one a column, compact: a result can run to hundreds of thousands of rows
    int m_rowCount = 0;
    int m_row = 0;
    bool m_eof = true;
    int m_disableCount = 0;
};
