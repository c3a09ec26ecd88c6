#pragma once

#include <QString>

// The French texts of the runtime, in one place.
namespace Messages {

QString listIndexOutOfBounds(qsizetype index);    // Indice de liste hors limites (%d)
QString notAnInteger(const QString& text);        // '%s' n'est pas une valeur entière correcte
QString notADate(const QString& text);            // '%s' n'est pas une date correcte
QString connectionClosed();                       // La connexion s'est terminée proprement.
QString cannotWrite(const QString& path);         // Impossible d'écrire dans %s
QString fieldNotFound(const QString& field);      // Champ '%s' non trouvé
QString notARowSet();                             // CommandText ne renvoie pas un ensemble de résultats
QString closedDataSet();                          // Impossible d'effectuer cette opération sur un ensemble de données fermé

QString replyTooLarge(qint64 maxBytes);           // La réponse du portail dépasse %d Mo : elle est refusée.

// A value from outside quoted in a message: a long one is cut, and "…" shows where.
QString excerpt(const QString& text, qsizetype longest = 80);
// A long text shown by its start and its end, "…" between them, within the
// length given: a portal puts its error last, after what it did.
QString startAndEnd(const QString& text, qsizetype longest);
// Control characters shown as "\xNN", so that a damaged text reaches a
// stream or a report as it came, and nothing in it acts on a terminal.
QString escapedControls(const QString& text);

// The system's text for a file error number (errno on Linux, GetLastError on Windows).
QString fileErrorText(int errorNumber);

} // namespace Messages
