#pragma once

#include "data/AdoQuery.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The SQL statements the roll export sends to the family portal. The texts
// are the portal's contract: every space, comma and semicolon counts.

// How a local value becomes the text placed between quotes.
enum class ValueForm {
    Text, // the value as text, unchanged
    Date, // the value as a date-time, "yyyy-mm-dd"
    Amount, // the value as text with its decimal commas turned into points
};

struct InsertValue {
    QString column;
    ValueForm form;
};

// An insert statement: its head up to and with " VALUES (", the quoted values
// separated by ",", then its tail. With no named values, every column of the
// result goes, by position, as text.
struct InsertShape {
    QString head;
    QVector<InsertValue> values;
    QString tail;

    bool byPosition() const { return values.isEmpty(); }
};

const InsertShape& RollInsertShape();
const InsertShape& InvoiceInsertShape();
const InsertShape& InvoiceLineInsertShape();
const InsertShape& ChildInsertShape();
const InsertShape& ClientInsertShape();
const InsertShape& ClientGroupInsertShape();

// The delete statements. Roll numbers are written bare: the portal compares them as numbers.
QString RollDelete(const QString& numRole); // no closing ";": it travels alone
QString InvoiceDelete(const QString& numRole); // starts the invoice batch
QString InvoiceLineDelete(const QString& numRole); // starts the invoice-line batch
extern const QString kChildrenDelete;
extern const QString kClientsDelete;
extern const QString kClientGroupsDelete;

// Builds one shape's insert statement from the current row of a query. The
// columns are looked up when the first statement is built, in the order the
// statement names them, so a missing one fails as the row lookup would, and an
// empty result never looks anything up.
class InsertStatement {
public:
    InsertStatement(const InsertShape& shape, const AdoQuery& query);

    // Replaces the content of out with the statement for the current row, in
    // the Windows-1252 bytes it is logged and sent in; out keeps its capacity,
    // so a walk reuses one buffer.
    void BuildInto(QByteArray& out);
    QString Build();

private:
    void lookUpColumns();
    void appendValue(QByteArray& out, const AdoField& field, ValueForm form);

    const InsertShape& m_shape;
    const AdoQuery& m_query;
    const QByteArray m_head;
    const QByteArray m_tail;
    QVector<AdoField> m_fields;
    QByteArray m_value; // one value before quoting, reused
    bool m_lookedUp = false;
};
