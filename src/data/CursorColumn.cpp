#include "data/CursorColumn.h"

#include <cstring>

namespace {

constexpr quint64 kWide = quint64(1) << 63;

// Appends the text one byte a character; false, with nothing appended, when a character needs two.
bool AppendOneByteEach(QByteArray& bytes, const QString& text)
{
    const qsizetype start = bytes.size();
    bytes.resize(start + text.size());
    char* dst = bytes.data() + start;
    const QChar* src = text.constData();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = src[i].unicode();
        if (u > 0xFF) {
            bytes.resize(start);
            return false;
        }
        dst[i] = static_cast<char>(u);
    }
    return true;
}

} // namespace

CursorColumn::Storage CursorColumn::storageFor(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
        return Storage::Integer32;
    case QMetaType::LongLong:
        return Storage::Integer;
    case QMetaType::Double:
        return Storage::Real;
    case QMetaType::QString:
        return Storage::Text;
    case QMetaType::QDateTime:
        return Storage::DateTime;
    default:
        return Storage::Variants;
    }
}

void CursorColumn::Append(const QVariant& value)
{
    if (m_storage == Storage::Unknown && !value.isNull()) {
        m_typeId = value.typeId();
        m_storage = storageFor(m_typeId);
        padToSize(); // the nulls before this value
    }
    if (m_storage != Storage::Variants && m_storage != Storage::Unknown && !value.isNull()
        && value.typeId() != m_typeId)
        convertToVariants();
    appendStored(value);
}

void CursorColumn::appendStored(const QVariant& value)
{
    const bool null = value.isNull();
    switch (m_storage) {
    case Storage::Unknown:
        break;
    case Storage::Integer32:
        m_integers32.append(null ? 0 : value.toInt());
        break;
    case Storage::Integer:
        m_integers.append(null ? 0 : value.toLongLong());
        break;
    case Storage::Real:
        m_reals.append(null ? 0.0 : value.toDouble());
        break;
    case Storage::DateTime:
        m_dateTimes.append(null ? QDateTime() : value.toDateTime());
        break;
    case Storage::Text: {
        const QString text = null ? QString() : value.toString();
        quint64 end = 0;
        if (AppendOneByteEach(m_textBytes, text)) {
            end = static_cast<quint64>(m_textBytes.size());
        } else {
            m_textBytes.append(reinterpret_cast<const char*>(text.constData()), text.size() * qsizetype(sizeof(QChar)));
            end = static_cast<quint64>(m_textBytes.size()) | kWide;
        }
        m_textEnds.append(end);
        break;
    }
    case Storage::Variants:
        m_variants.append(value);
        break;
    }
    appendNullFlag(null);
}

void CursorColumn::appendNullFlag(bool null)
{
    if (m_rows % 64 == 0)
        m_nullBits.append(0);
    if (null)
        m_nullBits.last() |= quint64(1) << (m_rows % 64);
    ++m_rows;
}

void CursorColumn::padToSize()
{
    const qsizetype rows = size();
    m_integers32.resize(m_storage == Storage::Integer32 ? rows : 0);
    m_integers.resize(m_storage == Storage::Integer ? rows : 0);
    m_reals.resize(m_storage == Storage::Real ? rows : 0);
    m_dateTimes.resize(m_storage == Storage::DateTime ? rows : 0);
    m_textEnds.resize(m_storage == Storage::Text ? rows : 0, 0);
    m_variants.resize(m_storage == Storage::Variants ? rows : 0);
}

void CursorColumn::convertToVariants()
{
    QList<QVariant> variants;
    variants.reserve(size() + 1);
    for (qsizetype row = 0; row < size(); ++row)
        variants.append(Value(row));
    Clear();
    for (const QVariant& value : variants)
        appendNullFlag(value.isNull());
    m_variants = std::move(variants);
    m_storage = Storage::Variants;
}

qsizetype CursorColumn::textBegin(qsizetype row) const
{
    return row == 0 ? 0 : static_cast<qsizetype>(m_textEnds.at(row - 1) & ~kWide);
}

QString CursorColumn::textAt(qsizetype row) const
{
    const qsizetype begin = textBegin(row);
    const quint64 end = m_textEnds.at(row);
    const qsizetype bytes = static_cast<qsizetype>(end & ~kWide) - begin;
    if (!(end & kWide))
        return QString::fromLatin1(m_textBytes.constData() + begin, bytes);
    QString text(bytes / qsizetype(sizeof(QChar)), Qt::Uninitialized);
    std::memcpy(text.data(), m_textBytes.constData() + begin, static_cast<std::size_t>(bytes));
    return text;
}

QVariant CursorColumn::Value(qsizetype row) const
{
    if (m_storage == Storage::Variants)
        return m_variants.at(row);
    if (isNullAt(row))
        return QVariant(QMetaType(m_typeId));
    switch (m_storage) {
    case Storage::Integer32:
        return QVariant(m_integers32.at(row));
    case Storage::Integer:
        return QVariant(m_integers.at(row));
    case Storage::Real:
        return QVariant(m_reals.at(row));
    case Storage::DateTime:
        return QVariant(m_dateTimes.at(row));
    case Storage::Text:
        return QVariant(textAt(row));
    default:
        return QVariant();
    }
}

CursorColumn::Stored CursorColumn::StoredAt(qsizetype row) const
{
    Stored stored;
    if (m_storage == Storage::Variants)
        return stored;
    if (isNullAt(row)) {
        stored.kind = Stored::Kind::Null;
        return stored;
    }
    switch (m_storage) {
    case Storage::Integer32:
        stored.kind = Stored::Kind::Integer;
        stored.integer = m_integers32.at(row);
        break;
    case Storage::Integer:
        stored.kind = Stored::Kind::Integer;
        stored.integer = m_integers.at(row);
        break;
    case Storage::Real:
        stored.kind = Stored::Kind::Real;
        stored.real = m_reals.at(row);
        break;
    case Storage::Text:
        if (!(m_textEnds.at(row) & kWide)) {
            const qsizetype begin = textBegin(row);
            stored.kind = Stored::Kind::Latin1Text;
            stored.text = QLatin1StringView(
                m_textBytes.constData() + begin, static_cast<qsizetype>(m_textEnds.at(row)) - begin);
        }
        break;
    default:
        break;
    }
    return stored;
}

void CursorColumn::Clear()
{
    *this = CursorColumn();
}
