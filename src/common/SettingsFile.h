#pragma once

#include <QString>

// The settings file beside the program: its path with the extension ".ini",
// unless pointed elsewhere (the tests and benchmarks keep their own). It holds
// the synchronisation's last dates and the portal's address.
QString SettingsFilePath();
void SetSettingsFilePath(const QString& path);

// A file the program keeps beside the settings file: its name with another
// extension (".verrou", ".etat").
QString BesideSettingsFile(const QString& extension);
