#include "payments/LastRunDates.h"

#include "common/DateTexts.h"
#include "common/PrivateProfile.h"
#include "common/SettingsFile.h"

const LastRun kLastImport = { "Import", "LastDateImport", "aucun import realisé" };
const LastRun kLastExport = { "Export", "LastDateExport", "aucun export réalisé" };

namespace {

QString readLastRun(const LastRun& run, const QString& fallback)
{
    return PrivateProfile::ReadString(
        SettingsFilePath(), QString::fromUtf8(run.section), QString::fromUtf8(run.key), fallback);
}

} // namespace

QString ReadLastRun(const LastRun& run)
{
    return readLastRun(run, QString::fromUtf8(run.missingText));
}

QString StoredLastRun(const LastRun& run)
{
    return readLastRun(run, QString());
}

QString RecordLastRun(const LastRun& run, const QDate& startDate)
{
    const QString text = DateTexts::settingsDate(startDate);
    PrivateProfile::WriteString(SettingsFilePath(), QString::fromUtf8(run.section), QString::fromUtf8(run.key), text);
    return text;
}

QString LastRunLabel(const QString& dateText)
{
    return QStringLiteral("Dernière synchronisation effectuée à la date du : ") + dateText;
}

QString CompletedImportLabel(const QString& dateText)
{
    return QStringLiteral("Derniere synchronisation effectuée à la date du : ") + dateText;
}
