#include "common/Messages.h"

#include <cerrno>

namespace Messages {

QString listIndexOutOfBounds(qsizetype index)
{
    return QStringLiteral("Indice de liste hors limites (%1)").arg(index);
}

QString notAnInteger(const QString& text)
{
    return QStringLiteral("'%1' n'est pas une valeur entière correcte").arg(excerpt(text));
}

QString notADate(const QString& text)
{
    return QStringLiteral("'%1' n'est pas une date correcte").arg(excerpt(text));
}

QString replyTooLarge(qint64 maxBytes)
{
    return QStringLiteral("La réponse du portail dépasse %1 Mo : elle est refusée.").arg(maxBytes / (1 << 20));
}

QString excerpt(const QString& text, qsizetype longest)
{
    if (text.size() <= longest)
        return text;
    return text.left(longest) + QChar(0x2026);
}

QString startAndEnd(const QString& text, qsizetype longest)
{
    if (text.size() <= longest)
        return text;
    const qsizetype end = longest / 4;
    return text.left(longest - end - 1) + QChar(0x2026) + text.right(end);
}

QString escapedControls(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x20 || code == 0x7F || (code >= 0x80 && code < 0xA0))
            shown += QStringLiteral("\\x") + QString::number(code, 16).toUpper().rightJustified(2, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

QString connectionClosed()
{
    return QStringLiteral("La connexion s'est terminée proprement.");
}

QString cannotWrite(const QString& path)
{
    return QStringLiteral("Impossible d'écrire dans %1").arg(path);
}

QString fieldNotFound(const QString& field)
{
    return QStringLiteral("Champ '%1' non trouvé").arg(field);
}

QString notARowSet()
{
    return QStringLiteral("CommandText ne renvoie pas un ensemble de résultats");
}

QString closedDataSet()
{
    return QStringLiteral("Impossible d'effectuer cette opération sur un ensemble de données fermé");
}

QString fileErrorText(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("Fichier introuvable");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("Accès au fichier refusé");
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("Disque plein");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Trop de fichiers ouverts");
    case ENAMETOOLONG:
        return QStringLiteral("Nom de fichier trop long");
    default:
        return QStringLiteral("Erreur E/S %1").arg(errorNumber);
    }
}

} // namespace Messages
