#include "common/FieldList.h"

#include "common/Cp1252.h"
#include "common/Errors.h"

void FieldList::append(const QString& field)
{
    Cp1252::appendEncoded(m_bytes, field);
    m_ends.append(static_cast<quint32>(m_bytes.size()));
}

void FieldList::appendPacked(QByteArray bytes, const QList<quint32>& ends)
{
    if (m_ends.isEmpty()) {
        m_bytes = std::move(bytes);
        m_ends = ends;
        return;
    }
    const auto offset = static_cast<quint32>(m_bytes.size());
    m_bytes.append(bytes);
    m_ends.reserve(m_ends.size() + ends.size());
    for (const quint32 end : ends)
        m_ends.append(offset + end);
}

QString FieldList::at(qsizetype index) const
{
    if (index < 0 || index >= m_ends.size())
        throw ListIndexError(index);
    const qsizetype from = start(index);
    return Cp1252::decode(m_bytes.constData() + from, m_ends.at(index) - from);
}

QStringList FieldList::fields() const
{
    QStringList all;
    all.reserve(count());
    for (qsizetype i = 0; i < count(); ++i)
        all.append(at(i));
    return all;
}
