#pragma once

#include <QDateTime>
#include <QString>

class AdoQuery;

// A local payment as the export sends it, read by column name from the
// current row of a selection on the payments table.
struct LocalPayment {
    QString client; // NumClient
    QString method; // MoyenPaiement
    QDateTime date; // DatePaiement
    QString amount; // MontantPayé, in the user's decimal form
    QString invoiceReference; // NoPièce
    QString roll; // NumRole2
};

LocalPayment ReadLocalPayment(const AdoQuery& query);
