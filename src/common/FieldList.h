#pragma once

#include <QString>
#include <QStringList>

// The fields of a portal reply, read by position. Reading past the end fails
// with the list's index error, as the records of a reply are only counted.
class FieldList {
public:
    void append(const QString& field) { m_fields.append(field); }
    qsizetype count() const { return m_fields.size(); }
    const QString& at(qsizetype index) const;
    const QStringList& fields() const { return m_fields; }
    void reserve(qsizetype size) { m_fields.reserve(size); }

private:
    QStringList m_fields;
};
