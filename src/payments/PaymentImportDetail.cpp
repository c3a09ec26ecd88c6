#include "payments/PaymentImportDetail.h"

#include "common/DateTexts.h"
#include "payments/PaymentRecord.h"

QString ImportStepText(int step)
{
    return QStringLiteral("Import en cours...étape %1/2").arg(step);
}

QString ImportHeading(const QDate& startDate)
{
    return QStringLiteral("Import des paiements effectués dans le portail famille vers KORVA8 à partir du ")
        + FormatShortDate(startDate) + QStringLiteral("\r\n\r\n");
}

QString ImportDetailLine(const PaymentRecord& record)
{
    return QStringLiteral("Le client n°") + record.client + QStringLiteral(" a reglé la facture n°") + record.invoice
        + QStringLiteral(" d'un montant de ") + record.amount + QStringLiteral("€ le ")
        + DateTexts::localPaymentDate(record.date) + QStringLiteral("\r\n");
}

QString ImportCountLine(int count)
{
    return QStringLiteral("\r\n") + QString::number(count) + QStringLiteral(" paiements mis à jour dans KORVA8");
}

QString ImportCancelledLine()
{
    return QStringLiteral("\r\nImport annulé : aucun paiement mis à jour dans KORVA8");
}
