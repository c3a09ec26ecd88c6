#include "payments/LocalPayment.h"

#include "data/AdoQuery.h"

LocalPayment ReadLocalPayment(const AdoQuery& query)
{
    LocalPayment payment;
    payment.client = query.FieldByName(QStringLiteral("NumClient")).AsString();
    payment.method = query.FieldByName(QStringLiteral("MoyenPaiement")).AsString();
    payment.date = query.FieldByName(QStringLiteral("DatePaiement")).AsDateTime();
    payment.amount = query.FieldByName(QStringLiteral("MontantPayé")).AsString();
    payment.invoiceReference = query.FieldByName(QStringLiteral("NoPièce")).AsString();
    payment.roll = query.FieldByName(QStringLiteral("NumRole2")).AsString();
    return payment;
}
