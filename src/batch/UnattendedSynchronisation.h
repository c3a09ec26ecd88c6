#pragma once

#include <QDate>

#include <optional>

class AdoConnection;

// The start date of an unattended synchronisation: the date asked for, or
// else the start date of the last completed import kept in the settings file.
// Fails when neither is there (a first run needs --depuis).
QDate UnattendedStartDate(const std::optional<QDate>& requested);

// The synchronisation of the window's button, without the window: the import
// then the export from the start date, on the shared connection, with the
// same statement logs and settings file. Their account goes to the report
// (SynchronisationReport). An error that ends a run reaches standard error
// and the end of the report (and to `ending`); returns whether both runs completed.
bool SynchroniseUnattended(AdoConnection& connection, const QDate& startDate, QString& ending);
