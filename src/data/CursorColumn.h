#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLatin1StringView>
#include <QList>
#include <QVariant>

// The values of one column of a client-side cursor, row after row, held in
// the column's own type: whole numbers in their own width, floating-point numbers as 8 bytes,
// date-times as 8 bytes, texts packed one after the other in one buffer (one
// byte a character when every character fits in one, two otherwise). A value
// reads back as the same QVariant the driver gave: same type, same value,
// null where it was null. A value of another type than the column's first
// one turns the column into a list of the driver's QVariants, read back as
// they came: nothing is lost, only room.
class CursorColumn {
public:
    // A row's value as it is stored, for readers that would only take it apart
    // again: a whole number, a floating-point number, a text of one byte a
    // character; anything else reads through Value.
    struct Stored {
        enum class Kind { Null, Integer, Real, Latin1Text, Other };
        Kind kind = Kind::Other;
        qint64 integer = 0;
        double real = 0;
        QLatin1StringView text;
    };

    void Append(const QVariant& value);
    QVariant Value(qsizetype row) const;
    Stored StoredAt(qsizetype row) const;
    void Clear();

private:
    enum class Storage { Unknown, Integer32, Integer, Real, Text, DateTime, Variants };

    static Storage storageFor(int typeId);
    void appendStored(const QVariant& value);
    void padToSize();
    void convertToVariants();
    qsizetype size() const { return m_rows; }
    bool isNullAt(qsizetype row) const { return (m_nullBits.at(row / 64) >> (row % 64)) & 1; }
    void appendNullFlag(bool null);
    QString textAt(qsizetype row) const;
    qsizetype textBegin(qsizetype row) const;

    Storage m_storage = Storage::Unknown;
    int m_typeId = QMetaType::UnknownType; // of the values stored
    qsizetype m_rows = 0;
    QList<quint64> m_nullBits; // one bit a row, set where the value is null
    QList<qint32> m_integers32;
    QList<qint64> m_integers;
    QList<double> m_reals;
    QList<QDateTime> m_dateTimes;
    QByteArray m_textBytes;
    QList<quint64> m_textEnds; // where each text ends in m_textBytes; the top bit marks two bytes a character
    QList<QVariant> m_variants;
};
