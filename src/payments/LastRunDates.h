#pragma once

#include "common/SettingsFile.h"

#include <QDate>
#include <QString>

// The start dates of the last completed import and export, kept in the
// settings file beside the program as "dd-mm-yy" texts. They are only shown
// again, never parsed.

// One of the two kept dates: where it lives and what shows when it is missing.
struct LastRun {
    const char* section;
    const char* key;
    const char* missingText; // UTF-8
};
extern const LastRun kLastImport; // [Import] LastDateImport, "aucun import realisé"
extern const LastRun kLastExport; // [Export] LastDateExport, "aucun export réalisé"

// The stored date text, or the run's missing text.
QString ReadLastRun(const LastRun& run);
// The stored date text, or the empty text when none is stored.
QString StoredLastRun(const LastRun& run);
// Stores the start date of a completed run and returns its "dd-mm-yy" text.
// Fails with "Impossible d'écrire dans %s".
QString RecordLastRun(const LastRun& run, const QDate& startDate);

// The label texts: the window shows the stored dates after "Dernière"; a
// completed import is announced after "Derniere", an export after "Dernière".
QString LastRunLabel(const QString& dateText);
QString CompletedImportLabel(const QString& dateText);
