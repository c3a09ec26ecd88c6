#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The date texts the program writes, each in one place.
namespace DateTexts {

// "yyyy-mm-dd": dates sent to the portal.
QString portalDate(const QDate& date);
// "#yyyy-mm-dd#": date literals in local selects.
QString jetLiteral(const QDate& date);
// "dd/mm/yyyy": payment dates written into local rows.
QString localPaymentDate(const QDate& date);
// "dd-mm-yy": dates kept in the settings file.
QString settingsDate(const QDate& date);
// Such a text read back as a date of this century; an invalid date when the
// text is not one.
QDate fromSettingsDate(const QString& text);
// "dd-mm-yyyy" and "hh.mm": the date and time in statement log names.
QString logNameDate(const QDate& date);
QString logNameTime(const QTime& time);

// The day a null date-time stands for: 1899-12-30 at midnight.
QDateTime nullDateTime();

} // namespace DateTexts

// The program's one short date format (Qt pattern), used wherever a date is
// shown or written in the short form. It starts as the user's regional short
// format; the payment import sets it to "dd/MM/yyyy" for the rest of the run.
QString ShortDateFormat();
void SetShortDateFormat(const QString& pattern);
QString FormatShortDate(const QDate& date);
// A date-time as the short date, followed by the time when it is not midnight.
QString FormatShortDateTime(const QDateTime& value);
// The program's time text, "hh:mm:ss".
QString FormatTimeOfDay(const QTime& time);
