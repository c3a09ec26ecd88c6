#pragma once

#include <QList>
#include <QString>

// The header lines of a response, in arrival order. Names compare without
// regard to case; the first line of a name is the one that counts.
class HttpHeaders {
public:
    struct Field {
        QString name;
        QString value;
    };

    // One header line as received: "Name: value", or a continuation line
    // (beginning with a space or a tab) that extends the previous value.
    void appendLine(const QString& line);

    bool contains(const QString& name) const;
    QString value(const QString& name) const;
    const QList<Field>& fields() const { return m_fields; }

private:
    const Field* find(const QString& name) const;

    QList<Field> m_fields;
};
