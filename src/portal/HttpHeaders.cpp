#include "portal/HttpHeaders.h"

namespace {

bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString WithoutLeadingBlanks(const QString& text)
{
    qsizetype start = 0;
    while (start < text.size() && IsBlank(text.at(start)))
        ++start;
    return text.mid(start);
}

} // namespace

void HttpHeaders::appendLine(const QString& line)
{
    if (!line.isEmpty() && IsBlank(line.at(0)) && !m_fields.isEmpty()) {
        QString& value = m_fields.last().value;
        if (!value.isEmpty() && !IsBlank(value.back()))
            value += QLatin1Char(' ');
        value += WithoutLeadingBlanks(line);
        return;
    }
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (colon < 0) {
        m_fields.append({ line, QString() });
        return;
    }
    m_fields.append({ line.left(colon), WithoutLeadingBlanks(line.mid(colon + 1)) });
}

const HttpHeaders::Field* HttpHeaders::find(const QString& name) const
{
    for (const Field& field : m_fields) {
        if (field.name.compare(name, Qt::CaseInsensitive) == 0)
            return &field;
    }
    return nullptr;
}

bool HttpHeaders::contains(const QString& name) const
{
    return find(name) != nullptr;
}

QString HttpHeaders::value(const QString& name) const
{
    const Field* field = find(name);
    return field ? field->value : QString();
}
