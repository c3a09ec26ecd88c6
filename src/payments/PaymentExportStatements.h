#pragma once

#include <QDate>
#include <QString>

struct LocalPayment;

// The statements of the payment export: the local selection, in the town's
// SQL, and the portal batch that replaces the portal's copy of the local
// payments since the start date.

// The local payments dated after the start date that did not come from the
// portal (their bank reference is empty or does not match "PF_%").
QString ExportSelection(const QDate& startDate);

// Removes the portal's copies (etat 2, no transaction) dated after the start date.
QString ExportDeleteStatement(const QDate& startDate);
// One payment for the portal, beginning with a blank; every value quoted.
QString ExportInsertStatement(const LocalPayment& payment);
