#include "common/SettingsFile.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

QString& settingsPathOverride()
{
    static QString path;
    return path;
}

} // namespace

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

QString BesideSettingsFile(const QString& extension)
{
    const QFileInfo settings(SettingsFilePath());
    return settings.path() + QLatin1Char('/') + settings.completeBaseName() + extension;
}
