#include "data/DatabaseErrors.h"

#include <array>

namespace {

// The failures an operator can act on, told in French before the driver's
// own text: the words of SQLite's and of the Access (Jet) driver's messages
// that name them, and what to say.
struct KnownFailure {
    std::array<const char*, 4> words;
    const char* sentence;
};

const std::array<KnownFailure, 4> kKnownFailures { {
    { { "disk is full", "not enough space", "disk full", "Disk or network error" },
        "Le disque de la base KORVA 8 est plein : libérez de la place, puis relancez." },
    { { "database is locked", "already in use", "Could not lock", "locked by" },
        "La base KORVA 8 est verrouillée par un autre programme (KORVA 8 ouvert en exclusivité ?) : fermez-le, "
        "puis relancez." },
    { { "readonly database", "read-only", "read only", "Cannot update" },
        "La base KORVA 8 est en lecture seule : le programme ne peut pas y écrire." },
    { { "no such table", "cannot find the input table", "Could not find file", "not a valid path" },
        "Une table de KORVA 8 manque dans la base : la source de données DB_KORVA8 désigne-t-elle bien la base "
        "de KORVA 8 ?" },
} };

QString WithFrenchSentence(const QString& text)
{
    for (const KnownFailure& failure : kKnownFailures) {
        for (const char* word : failure.words) {
            if (text.contains(QLatin1String(word), Qt::CaseInsensitive))
                return QString::fromUtf8(failure.sentence) + QStringLiteral(" Message du pilote : ") + text;
        }
    }
    return text;
}

} // namespace

DatabaseError DatabaseErrorFrom(const QSqlError& error, const QString& fallback)
{
    const QString text = error.databaseText().trimmed();
    return DatabaseErrorFrom(text.isEmpty() ? error.driverText() : text, fallback);
}

DatabaseError DatabaseErrorFrom(const QString& databaseText, const QString& fallback)
{
    const QString text = databaseText.trimmed();
    return DatabaseError(text.isEmpty() ? fallback : WithFrenchSentence(text));
}
