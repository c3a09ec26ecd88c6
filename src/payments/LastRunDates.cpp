#include "payments/LastRunDates.h"

#include "common/DateTexts.h"
#include "payments/PrivateProfile.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

QString& settingsPathOverride()
{
    static QString path;
    return path;
}

} // namespace

const LastRun kLastImport = { "Import", "LastDateImport", "aucun import realisé" };
const LastRun kLastExport = { "Export", "LastDateExport", "aucun export réalisé" };

QString SettingsFilePath()
{
    if (!settingsPathOverride().isEmpty())
        return settingsPathOverride();
    const QFileInfo program(QCoreApplication::applicationFilePath());
    return program.path() + QLatin1Char('/') + program.completeBaseName() + QStringLiteral(".ini");
}

void SetSettingsFilePath(const QString& path)
{
    settingsPathOverride() = path;
}

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
