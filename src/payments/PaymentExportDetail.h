#pragma once

#include <QDate>
#include <QString>

// The export's account in the detail text, after the import's; a line break is CR LF.

// The bold heading, the start date in the program's short date format.
QString ExportHeading(const QDate& startDate);
// One line per sent payment: its client and the conversion of its invoice reference.
QString ExportDetailLine(const QString& client, const QString& invoiceReference);
QString ExportCountLine(int count);
// The request to check the conversions of invoice references.
QString ExportCheckRequest();
// The portal's reply as a new last line; the box shows a text up to its first NUL.
QString ExportReplyLine(const QString& reply);
