#include "data/ValueForms.h"

#include "common/Cp1252.h"
#include "common/DateTexts.h"
#include "common/Errors.h"
#include "common/Messages.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

QChar decimalSeparator()
{
    static const QString separator = QLocale::system().decimalPoint();
    return separator.isEmpty() ? QLatin1Char('.') : separator.at(0);
}

// The "%.15g" form of a value whose shortest exact form has at most fifteen
// significant digits: then the two are the same number, and the shortest form
// is cheap to find. 0 when it has more (or the value is subnormal, where the
// digits left are fewer), for the general rounding to decide.
qsizetype ShortGeneralForm(double value, char (&out)[32])
{
    if (std::abs(value) < std::numeric_limits<double>::min())
        return 0;
    char scientific[32];
    const char* end = std::to_chars(scientific, scientific + sizeof scientific, value, std::chars_format::scientific).ptr;
    const char* mantissa = scientific;
    qsizetype n = 0;
    if (*mantissa == '-') {
        out[n++] = '-';
        ++mantissa;
    }
    const char* e = std::find(mantissa, end, 'e');
    char digits[20];
    int count = 0;
    for (const char* c = mantissa; c < e; ++c) {
        if (*c == '.')
            continue;
        if (count == 15)
            return 0;
        digits[count++] = *c;
    }
    int exponent = 0;
    std::from_chars(e + 1 + (e[1] == '+' ? 1 : 0), end, exponent);
    if (exponent < -4 || exponent >= 15) {
        out[n++] = digits[0];
        if (count > 1) {
            out[n++] = '.';
            for (int i = 1; i < count; ++i)
                out[n++] = digits[i];
        }
        out[n++] = 'E';
        return std::to_chars(out + n, out + sizeof out, exponent).ptr - out;
    }
    if (exponent >= 0) {
        for (int i = 0; i <= exponent; ++i)
            out[n++] = i < count ? digits[i] : '0';
        if (count > exponent + 1) {
            out[n++] = '.';
            for (int i = exponent + 1; i < count; ++i)
                out[n++] = digits[i];
        }
        return n;
    }
    out[n++] = '0';
    out[n++] = '.';
    for (int i = 0; i < -exponent - 1; ++i)
        out[n++] = '0';
    for (int i = 0; i < count; ++i)
        out[n++] = digits[i];
    return n;
}

// The decimals a floating-point kind's text is rounded to; -1: not rounded.
int roundedDecimals(ColumnKind kind)
{
    return kind == ColumnKind::Currency ? 4 : -1;
}

} // namespace

QLatin1StringView FloatTextWithPoint(double value, int maxDecimals, char (&buffer)[32])
{
    const auto written = [&buffer](const char* end) { return QLatin1StringView(buffer, end - buffer); };
    // From 2^52 on a double holds no fraction: nothing to round, and scaling
    // such a value up could overflow into infinity.
    if (maxDecimals >= 0 && std::abs(value) < 0x1p52) {
        const double scale = std::pow(10.0, maxDecimals);
        value = std::round(value * scale) / scale;
    }
    if (std::isnan(value))
        return QLatin1StringView("NAN");
    if (std::isinf(value))
        return value > 0 ? QLatin1StringView("INF") : QLatin1StringView("-INF");
    if (value == 0)
        return QLatin1StringView("0"); // -0 too
    if (std::abs(value) < 1e15 && value == std::trunc(value)) // whole amounts, the common case
        return written(std::to_chars(buffer, buffer + sizeof buffer, static_cast<qint64>(value)).ptr);
    if (const qsizetype size = ShortGeneralForm(value, buffer); size > 0)
        return QLatin1StringView(buffer, size);
    // Fifteen significant digits without trailing zeros, the exponent form below 1E-4 and from 1E15:
    // printf's "%.15g", with the exponent written "E-5" rather than "e-05".
    const QByteArray text = QString::number(value, 'g', 15).toLatin1();
    const qsizetype e = text.indexOf('e');
    char* end = std::copy(text.cbegin(), e < 0 ? text.cend() : text.cbegin() + e, buffer);
    if (e >= 0) {
        *end++ = 'E';
        end = std::to_chars(end, buffer + sizeof buffer, text.mid(e + 1).toInt()).ptr;
    }
    return written(end);
}

QString FloatText(double value, int maxDecimals)
{
    char buffer[32];
    QString text = FloatTextWithPoint(value, maxDecimals, buffer);
    const QChar separator = decimalSeparator();
    if (separator != QLatin1Char('.'))
        text.replace(QLatin1Char('.'), separator);
    return text;
}

void AppendFloatText(QByteArray& out, double value, int maxDecimals)
{
    char buffer[32];
    const QLatin1StringView text = FloatTextWithPoint(value, maxDecimals, buffer);
    const qsizetype start = out.size();
    out.append(text.data(), text.size());
    const char separator = Cp1252::encodeChar(decimalSeparator());
    if (separator != '.')
        std::replace(out.begin() + start, out.end(), '.', separator);
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
    case ColumnKind::Currency:
        return FloatText(value.toDouble(), roundedDecimals(kind));
    case ColumnKind::DateTime:
        return FormatShortDateTime(ValueAsDateTime(value));
    case ColumnKind::TimeOfDay:
        return FormatTimeOfDay(ValueAsDateTime(value).time());
    }
    return value.toString();
}

bool AppendStoredAsText(QByteArray& out, const CursorColumn::Stored& stored, ColumnKind kind)
{
    using Kind = CursorColumn::Stored::Kind;
    switch (stored.kind) {
    case Kind::Null:
        return true; // the empty text
    case Kind::Latin1Text:
        if (kind != ColumnKind::Text)
            return false;
        Cp1252::appendLatin1(out, stored.text);
        return true;
    case Kind::Integer:
        if (kind != ColumnKind::Integer)
            return false;
        {
            char digits[24];
            out.append(digits, std::to_chars(digits, digits + sizeof digits, stored.integer).ptr - digits);
        }
        return true;
    case Kind::Real:
        if (kind != ColumnKind::Float && kind != ColumnKind::Currency)
            return false;
        AppendFloatText(out, stored.real, roundedDecimals(kind));
        return true;
    case Kind::Other:
        break;
    }
    return false;
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
