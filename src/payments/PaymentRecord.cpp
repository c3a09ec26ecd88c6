#include "payments/PaymentRecord.h"

#include "common/DateTexts.h"
#include "common/Errors.h"
#include "common/FieldList.h"
#include "common/Messages.h"
#include "payments/PaymentDate.h"

#include <QRegularExpression>

namespace {

const QString kPaymentDateFormat = QStringLiteral("dd/MM/yyyy");

QString notADecimal(const QString& text)
{
    return QStringLiteral("'%1' n'est pas une valeur décimale correcte").arg(Messages::excerpt(text));
}

[[noreturn]] void refuse(qsizetype record, int field, const QString& reason)
{
    throw ConversionError(QStringLiteral("Réponse du portail refusée, aucun paiement n'a été importé. "
                                         "Paiement %1, champ %2 : %3")
                              .arg(record + 1)
                              .arg(field)
                              .arg(reason));
}

// Reads the records field by field, in the reply's order, so that the first
// fault met is the one reported.
class RecordReader {
public:
    RecordReader(const FieldList& fields, qsizetype record)
        : m_fields(fields)
        , m_record(record)
    {
    }

    QString field(int number) const
    {
        const qsizetype index = m_record * kPaymentRecordFields + number - 1;
        if (index >= m_fields.count())
            refuse(m_record, number, Messages::listIndexOutOfBounds(index));
        return m_fields.at(index);
    }

    QString wholeNumber(int number) const
    {
        QString text = field(number);
        if (!IsWholeNumberText(text))
            refuse(m_record, number, Messages::notAnInteger(text));
        return text;
    }

    QString decimalNumber(int number) const
    {
        QString text = field(number);
        if (!IsDecimalNumberText(text))
            refuse(m_record, number, notADecimal(text));
        return text;
    }

    QDate date(const QString& text) const
    {
        QString quoted;
        const std::optional<QDate> date = ReadPaymentDate(text, quoted);
        if (!date)
            refuse(m_record, 4, Messages::notADate(quoted));
        return *date;
    }

private:
    const FieldList& m_fields;
    qsizetype m_record;
};

} // namespace

bool IsWholeNumberText(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("\\A *-?[0-9]+ *\\z"));
    if (!pattern.match(text).hasMatch())
        return false;
    // Beyond 64 bits no column of the town's database keeps the number as it was sent.
    bool fits = false;
    text.trimmed().toLongLong(&fits);
    return fits;
}

bool IsDecimalNumberText(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("\\A *-?([0-9]+(\\.[0-9]*)?|\\.[0-9]+) *\\z"));
    if (!pattern.match(text).hasMatch())
        return false;
    // The amount column keeps a whole part of 15 significant digits exactly;
    // the fraction is the database's to round, so a floating-point amount's
    // exact rendering ("0.30000000000000004") is taken as the portal wrote it.
    const QString number = text.trimmed().remove(QLatin1Char('-'));
    const QString whole = number.section(QLatin1Char('.'), 0, 0);
    qsizetype first = 0;
    while (first < whole.size() && whole.at(first) == QLatin1Char('0'))
        ++first;
    return whole.size() - first <= 15;
}

PaymentRecords::PaymentRecords(FieldList fields)
    : m_fields(std::move(fields))
    , m_count((m_fields.count() + kPaymentRecordFields - 1) / kPaymentRecordFields)
{
    for (qsizetype k = 0; k < m_count; ++k)
        at(k);
}

PaymentRecord PaymentRecords::at(qsizetype index) const
{
    const RecordReader reader(m_fields, index);
    PaymentRecord record;
    record.client = reader.wholeNumber(1);
    record.method = reader.wholeNumber(2);
    record.amount = reader.decimalNumber(3);
    record.dateField = reader.field(4);
    SetShortDateFormat(kPaymentDateFormat);
    record.date = reader.date(record.dateField);
    record.invoice = reader.field(5);
    record.roll = reader.wholeNumber(6);
    record.reference = reader.field(7);
    record.numE = reader.wholeNumber(8);
    return record;
}

PaymentRecords CheckedPaymentRecords(FieldList fields)
{
    return PaymentRecords(std::move(fields));
}
