#include "payments/PaymentImportStatements.h"

#include "common/DateTexts.h"
#include "common/SqlText.h"
#include "payments/PaymentRecord.h"

namespace {

QString invoiceReference(const PaymentRecord& record)
{
    return SqlQuote(QStringLiteral("fact-") + record.invoice);
}

} // namespace

QString ImportDeleteStatement(const PaymentRecord& record)
{
    return QStringLiteral("DELETE from encaissement where NumRole2=") + record.roll + QStringLiteral(" and NumClient=")
        + record.client + QStringLiteral(" and NoPièce=") + invoiceReference(record);
}

QString ImportInsertStatement(const QString& number, const PaymentRecord& record)
{
    const QChar comma = QLatin1Char(',');
    return QStringLiteral("INSERT into encaissement(NumEncaissement,NumClient,MoyenPaiement,NumRole2,DatePaiement,"
                          "NoPièce,NumE,MontantPayé,BanquePièce) values(")
        + number + comma + record.client + comma + record.method + comma + record.roll + comma
        + SqlQuote(DateTexts::localPaymentDate(record.date)) + comma + invoiceReference(record) + comma + record.numE
        + comma + record.amount + comma + SqlQuote(QStringLiteral("PF_") + record.reference) + QLatin1Char(')');
}

QString StatementLogLine(const QString& statement)
{
    return statement + QLatin1Char(';');
}
