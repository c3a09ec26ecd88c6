#include "payments/PaymentDate.h"

#include "common/Errors.h"
#include "common/Messages.h"

#include <optional>

namespace {

constexpr qsizetype kDateFieldLength = 10;

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Reads the text from a position on, as the day/month/year converter does.
class DateScanner {
public:
    explicit DateScanner(const QString& text)
        : m_text(text)
    {
    }

    void skipBlanks()
    {
        while (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char(' '))
            ++m_pos;
    }

    // A run of decimal digits after optional blanks; its value and its length.
    std::optional<std::pair<int, int>> number()
    {
        skipBlanks();
        int value = 0;
        int digits = 0;
        while (m_pos < m_text.size() && isDigit(m_text.at(m_pos))) {
            if (digits < 9) // more digits can name no day, month or year
                value = value * 10 + (m_text.at(m_pos).unicode() - '0');
            else
                value = -1;
            ++digits;
            ++m_pos;
        }
        if (digits == 0 || value < 0)
            return std::nullopt;
        return std::make_pair(value, digits);
    }

    bool separator()
    {
        skipBlanks();
        if (m_pos >= m_text.size() || m_text.at(m_pos) != QLatin1Char('/'))
            return false;
        ++m_pos;
        return true;
    }

    bool atEnd()
    {
        skipBlanks();
        return m_pos == m_text.size();
    }

private:
    const QString& m_text;
    qsizetype m_pos = 0;
};

} // namespace

std::optional<QDate> DayMonthYearDate(const QString& text)
{
    DateScanner scanner(text);
    const auto day = scanner.number();
    const bool firstSeparator = day && scanner.separator();
    const auto month = firstSeparator ? scanner.number() : std::nullopt;
    const bool secondSeparator = month && scanner.separator();
    const auto year = secondSeparator ? scanner.number() : std::nullopt;
    if (!year || !scanner.atEnd())
        return std::nullopt;

    int fullYear = year->first;
    if (year->second <= 2)
        fullYear += QDate::currentDate().year() / 100 * 100;
    const QDate date(fullYear, month->first, day->first);
    if (!date.isValid() || fullYear < 1)
        return std::nullopt;
    return date;
}

std::optional<QDate> ReadPaymentDate(const QString& field, QString& quoted)
{
    if (field.size() < kDateFieldLength) {
        quoted = field;
        return std::nullopt;
    }
    quoted = field.mid(0, 2) + QLatin1Char('/') + field.mid(3, 2) + QLatin1Char('/') + field.mid(6, 4);
    return DayMonthYearDate(quoted);
}

QDate PaymentDateFromField(const QString& field)
{
    QString quoted;
    const std::optional<QDate> date = ReadPaymentDate(field, quoted);
    if (!date)
        throw ConversionError(Messages::notADate(quoted));
    return *date;
}
