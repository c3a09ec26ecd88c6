#pragma once

#include <QString>

class QPlainTextEdit;

// Writes the runs' account into the window's text box, at its caret, bold or
// plain. Insertions are gathered and reach the box in one piece when the style
// changes, when the caret moves or at Flush: each insertion costs the box an
// update of its document, so ten thousand lines inserted one by one took most
// of a run. The window flushes before each repaint that would
// show the box, so every repaint shows the text inserted so far.
class DetailWriter {
public:
    explicit DetailWriter(QPlainTextEdit* edit);

    void MoveCaretToEnd();
    void Insert(const QString& text, bool bold);
    // Writes what was gathered; the caret then stands after it.
    void Flush();

private:
    QPlainTextEdit* m_edit;
    QString m_pending;
    bool m_pendingBold = false;
};
