#include "payments/PaymentExportStatements.h"

#include "common/DateTexts.h"
#include "common/SqlText.h"
#include "payments/KeepDigits.h"
#include "payments/LocalPayment.h"

#include <QStringList>

QString ExportSelection(const QDate& startDate)
{
    return QStringLiteral("SELECT * FROM Encaissement where (BanquePièce not like") + SqlQuote(QStringLiteral("PF_%"))
        + QStringLiteral(" or BanquePièce is null) and DatePaiement >") + DateTexts::jetLiteral(startDate);
}

QString ExportDeleteStatement(const QDate& startDate)
{
    return QStringLiteral("DELETE FROM encaissement where etat=2 and transactionid=0 and datepaiement>")
        + SqlQuote(DateTexts::portalDate(startDate)) + QLatin1Char(';');
}

QString ExportInsertStatement(const LocalPayment& payment)
{
    // The portal's own column order: id, client, method, date, amount,
    // invoice number, roll, etat (2: sent by the town), transaction id.
    const QStringList values = { QString(), payment.client, payment.method, DateTexts::portalDate(payment.date.date()),
        DotDecimal(payment.amount), KeepDigits(payment.invoiceReference), payment.roll, QStringLiteral("2"),
        QString() };
    QString statement = QStringLiteral(" INSERT into  encaissement VALUES (");
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            statement += QLatin1Char(',');
        statement += SqlQuote(values.at(i));
    }
    return statement + QStringLiteral(");");
}
