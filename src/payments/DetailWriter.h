#pragma once

#include <QString>

class QTextEdit;

// Writes the runs' account into the window's rich text box, at its caret,
// bold or plain. Insertions are gathered and reach the box in one piece when
// the style changes, when the caret moves or at Flush: the box lays its whole
// text out again after each change, so ten thousand lines inserted one by one
// took most of a run. The window flushes before each repaint that would
// show the box, so every repaint shows the text inserted so far.
class DetailWriter {
public:
    explicit DetailWriter(QTextEdit* edit);

    void MoveCaretToEnd();
    void Insert(const QString& text, bool bold);
    // Writes what was gathered; the caret then stands after it.
    void Flush();

private:
    QTextEdit* m_edit;
    QString m_pending;
    bool m_pendingBold = false;
};
