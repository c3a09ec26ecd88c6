#include "common/DateTexts.h"

#include <QLocale>

namespace DateTexts {

QString portalDate(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString jetLiteral(const QDate& date)
{
    return QLatin1Char('#') + portalDate(date) + QLatin1Char('#');
}

QString localPaymentDate(const QDate& date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QString settingsDate(const QDate& date)
{
    return date.toString(QStringLiteral("dd-MM-yy"));
}

QString logNameDate(const QDate& date)
{
    return date.toString(QStringLiteral("dd-MM-yyyy"));
}

QString logNameTime(const QTime& time)
{
    return time.toString(QStringLiteral("HH.mm"));
}

QDateTime nullDateTime()
{
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0));
}

} // namespace DateTexts

namespace {

QString& shortDateFormatSetting()
{
    static QString pattern = QLocale::system().dateFormat(QLocale::ShortFormat);
    return pattern;
}

} // namespace

QString ShortDateFormat()
{
    return shortDateFormatSetting();
}

void SetShortDateFormat(const QString& pattern)
{
    shortDateFormatSetting() = pattern;
}

QString FormatShortDate(const QDate& date)
{
    return date.toString(shortDateFormatSetting());
}

QString FormatShortDateTime(const QDateTime& value)
{
    QString text = FormatShortDate(value.date());
    if (value.time() != QTime(0, 0))
        text += QLatin1Char(' ') + value.time().toString(QStringLiteral("HH:mm:ss"));
    return text;
}
