#include "payments/KeepDigits.h"

QString KeepDigits(const QString& text)
{
    QString digits;
    digits.reserve(text.size());
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits.append(c);
    }
    return digits;
}
