#include "common/DateTexts.h"

#include <QLocale>
#include <QRegularExpression>

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

QDate fromSettingsDate(const QString& text)
{
    static const QRegularExpression shape(QStringLiteral("^(\\d\\d)-(\\d\\d)-(\\d\\d)$"));
    const QRegularExpressionMatch parts = shape.match(text);
    if (!parts.hasMatch())
        return {};
    // The year has two digits only: 00 to 69 are read in this century, 70 to 99
    // in the last one.
    const int year = parts.captured(3).toInt();
    return QDate(year < 70 ? 2000 + year : 1900 + year, parts.captured(2).toInt(), parts.captured(1).toInt());
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
        text += QLatin1Char(' ') + FormatTimeOfDay(value.time());
    return text;
}

QString FormatTimeOfDay(const QTime& time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}
