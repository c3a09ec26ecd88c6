#include "payments/PaymentExportDetail.h"

#include "common/DateTexts.h"
#include "payments/KeepDigits.h"

QString ExportHeading(const QDate& startDate)
{
    return QStringLiteral("\r\n\r\nImport des paiements effectués dans KORVA8 vers le portail famille à partir du ")
        + FormatShortDate(startDate) + QStringLiteral("\r\n");
}

QString ExportDetailLine(const QString& client, const QString& invoiceReference)
{
    return QStringLiteral("\r\nClient : ") + client + QStringLiteral(" - La valeur  ") + invoiceReference
        + QStringLiteral("  est converti en numero de facture : ") + KeepDigits(invoiceReference);
}

QString ExportCountLine(int count)
{
    return QStringLiteral("\r\n") + QString::number(count)
        + QStringLiteral(" paiements mis à jour dans le portail famille\r\n");
}

QString ExportCheckRequest()
{
    return QStringLiteral("\r\nMerci de verifier que les numeros de facture ci-dessus ont bien été convertis sinon "
                          "veuillez les corriger.Merci");
}

QString ExportReplyLine(const QString& reply)
{
    const qsizetype nul = reply.indexOf(QChar(0));
    return QStringLiteral("\r\n") + (nul < 0 ? reply : reply.left(nul));
}
