#pragma once

#include <QString>

struct PaymentRecord;

// The local statements of the payment import, in the town's SQL. The record's
// number fields are written bare: CheckedPaymentRecords has made sure they
// hold numbers only.

// Removes the local payments of the record's roll, client and invoice.
QString ImportDeleteStatement(const PaymentRecord& record);
// Records the payment under the given payment number, with the "fact-" and
// "PF_" marks that tell the payments that came from the portal.
QString ImportInsertStatement(const QString& number, const PaymentRecord& record);

// A statement as one line of the statement log.
QString StatementLogLine(const QString& statement);
