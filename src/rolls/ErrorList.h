#pragma once

#include <QString>
#include <QStringList>

// The lines of the roll export window's error list. It only grows: a window
// keeps the replies of all its runs, one below the other.
class ErrorList {
public:
    // A reply adds one line, or one per line it holds; an empty reply adds an
    // empty line. What follows a NUL character is not part of the reply's text.
    void Append(const QString& reply);

    const QStringList& lines() const { return m_lines; }
    // The lines as the memo shows them.
    QString Text() const { return m_lines.join(QLatin1Char('\n')); }

private:
    QStringList m_lines;
};

// A reply counts as empty when nothing comes before its first NUL character.
bool ReplyIsEmpty(const QString& reply);
