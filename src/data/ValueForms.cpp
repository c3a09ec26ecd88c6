#include "data/ValueForms.h"

#include "common/DateTexts.h"
#include "common/Errors.h"
#include "common/Messages.h"

#include <QLocale>

#include <cmath>

namespace {

QChar decimalSeparator()
{
    static const QString separator = QLocale::system().decimalPoint();
    return separator.isEmpty() ? QLatin1Char('.') : separator.at(0);
}

} // namespace

QString FloatText(double value, int maxDecimals)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (maxDecimals >= 0) {
        const double scale = std::pow(10.0, maxDecimals);
        value = std::round(value * scale) / scale;
    }
    if (value == 0)
        return QStringLiteral("0"); // -0 too
    if (std::abs(value) < 1e15 && value == std::trunc(value))
        return QString::number(static_cast<qint64>(value)); // whole amounts, the common case
    // Fifteen significant digits without trailing zeros, the exponent form below 1E-4 and from 1E15:
    // printf's "%.15g", with the exponent written "E-5" rather than "e-05".
    QString text = QString::number(value, 'g', 15);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e >= 0)
        text = text.left(e) + QLatin1Char('E') + QString::number(text.mid(e + 1).toInt());
    const QChar separator = decimalSeparator();
    if (separator != QLatin1Char('.'))
        text.replace(QLatin1Char('.'), separator);
    return text;
}

QString ValueAsText(const QVariant& value, ColumnKind kind)
{
    if (value.isNull())
        return QString();
    switch (kind) {
    case ColumnKind::Text:
        return value.toString();
    case ColumnKind::Integer:
        if (value.typeId() == QMetaType::Bool)
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        return QString::number(value.toLongLong());
    case ColumnKind::Float:
        return FloatText(value.toDouble());
    case ColumnKind::Currency:
        return FloatText(value.toDouble(), 4);
    case ColumnKind::DateTime:
        return FormatShortDateTime(ValueAsDateTime(value));
    case ColumnKind::TimeOfDay:
        return FormatTimeOfDay(ValueAsDateTime(value).time());
    }
    return value.toString();
}

QString ValueAsDisplayText(const QVariant& value, ColumnKind kind) noexcept
{
    try {
        return ValueAsText(value, kind);
    } catch (...) {
        return value.toString();
    }
}

QDateTime ValueAsDateTime(const QVariant& value)
{
    if (value.isNull())
        return DateTexts::nullDateTime();
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return value.toDateTime();
    case QMetaType::QDate:
        return value.toDate().startOfDay();
    case QMetaType::QTime: // a time of day is that time on the day a null date stands for
        return QDateTime(DateTexts::nullDateTime().date(), value.toTime());
    case QMetaType::QString: {
        const QString text = value.toString().trimmed();
        QDateTime parsed = QDateTime::fromString(text, Qt::ISODate);
        if (!parsed.isValid())
            parsed = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!parsed.isValid())
            parsed = QDate::fromString(text, ShortDateFormat()).startOfDay();
        if (!parsed.isValid())
            throw ConversionError(Messages::notADate(text));
        return parsed;
    }
    default:
        throw ConversionError(Messages::notADate(value.toString()));
    }
}

qint64 ValueAsInteger(const QVariant& value)
{
    if (value.isNull())
        return 0;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return std::llround(value.toDouble());
    case QMetaType::QString: {
        bool ok = false;
        const qint64 number = value.toString().trimmed().toLongLong(&ok);
        if (!ok)
            throw ConversionError(Messages::notAnInteger(value.toString()));
        return number;
    }
    default:
        return value.toLongLong();
    }
}
