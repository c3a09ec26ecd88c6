#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The fields of a portal reply, read by position. Reading past the end fails
// with the list's index error, as the records of a reply are only counted.
// The fields' Windows-1252 bytes are kept one after another in one block with
// the end of each beside them, and read as text when asked for: a reply of
// hundreds of megabytes is held about once, not once per field and again as text.
class FieldList {
public:
    void append(const QString& field);
    // Fields already packed: their bytes one after another and the end of each
    // within them. The first packed fields of a list become its own block.
    void appendPacked(QByteArray bytes, const QList<quint32>& ends);

    qsizetype count() const { return m_ends.size(); }
    QString at(qsizetype index) const;
    QStringList fields() const;

private:
    qsizetype start(qsizetype index) const { return index == 0 ? 0 : m_ends.at(index - 1); }

    QByteArray m_bytes;
    QList<quint32> m_ends; // a reply is far below 4 GiB: the program refuses any over 256 MiB
};
