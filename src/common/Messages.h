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

// The system's text for a file error number (errno on Linux, GetLastError on Windows).
QString fileErrorText(int errorNumber);

} // namespace Messages
