#pragma once

#include "common/Errors.h"

#include <QDate>
#include <QStringList>
#include <QVector>

#include <optional>

// What the program is asked to do without a window, read from its arguments.
struct UnattendedCommand {
    enum class Action { Synchronise, ExportRolls, Help, Version, Status };
    Action action = Action::Help;
    std::optional<QDate> startDate; // --depuis JJ/MM/AAAA
    QVector<int> rollNumbers; // --exporter-roles N[,N...], in the order given
};

// A command line the program does not understand; the text says why.
class UsageError : public QuilvanorError {
    using QuilvanorError::QuilvanorError;
};

// The arguments after the program's name (at least one); fails with UsageError.
UnattendedCommand ParseCommandLine(const QStringList& arguments);
