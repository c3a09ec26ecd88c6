#include "payments/DetailWriter.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QPlainTextEdit>

DetailWriter::DetailWriter(QPlainTextEdit* edit)
    : m_edit(edit)
{
}

void DetailWriter::MoveCaretToEnd()
{
    Flush();
    m_edit->moveCursor(QTextCursor::End);
}

void DetailWriter::Insert(const QString& text, bool bold)
{
    if (!m_pending.isEmpty() && bold != m_pendingBold)
        Flush();
    m_pendingBold = bold;
    m_pending += text;
}

void DetailWriter::Flush()
{
    if (m_pending.isEmpty())
        return;
    QTextCursor caret = m_edit->textCursor();
    QTextCharFormat format;
    format.setFontWeight(m_pendingBold ? QFont::Bold : QFont::Normal);
    caret.insertText(m_pending, format);
    m_edit->setTextCursor(caret);
    m_pending.clear();
}
