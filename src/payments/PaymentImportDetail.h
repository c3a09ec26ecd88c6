#pragma once

#include <QDate>
#include <QString>

struct PaymentRecord;

// The import's account in the detail text; a line break is CR LF.

// The step text above the gauge: "Import en cours...étape 1/2", then 2/2.
QString ImportStepText(int step);

// The bold heading, the start date in the program's short date format.
QString ImportHeading(const QDate& startDate);
// One line per recorded payment.
QString ImportDetailLine(const PaymentRecord& record);
// The closing count, with no line break after it.
QString ImportCountLine(int count);
// The closing line when a statement failed and the whole import was undone.
QString ImportCancelledLine();
