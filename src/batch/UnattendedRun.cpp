#include "batch/UnattendedRun.h"

#include "batch/CommandLine.h"
#include "batch/UnattendedRollExport.h"
#include "batch/UnattendedSynchronisation.h"
#include "batch/Usage.h"
#include "common/CaughtErrors.h"
#include "common/ConsoleLines.h"
#include "common/RunLock.h"
#include "data/AdoConnection.h"
#include "ui/ErrorDisplay.h"

#include <optional>

namespace {

// Runs a database action; false when it failed.
bool runAction(const UnattendedCommand& command)
{
    // A synchronisation that cannot know its start date is refused before the database is opened.
    const QDate startDate
        = command.action == UnattendedCommand::Action::Synchronise ? UnattendedStartDate(command.startDate) : QDate();
    // The connection the data module would hold, opened as the main window opens it.
    AdoConnection connection;
    connection.SetConnected(true);
    if (command.action == UnattendedCommand::Action::Synchronise)
        return SynchroniseUnattended(connection, startDate);
    ExportRollsUnattended(&connection, command.rollNumbers);
    return true;
}

} // namespace

int RunCommandLine(const QStringList& arguments)
{
    UnattendedCommand command;
    try {
        command = ParseCommandLine(arguments);
    } catch (const UsageError& error) {
        WriteErrorLine(ErrorDisplay::DisplayText(error.message()));
        WriteLine(ConsoleStream::Error, UsageText());
        return kExitUsage;
    }

    switch (command.action) {
    case UnattendedCommand::Action::Help:
        WriteLine(ConsoleStream::Output, UsageText());
        return kExitSuccess;
    case UnattendedCommand::Action::Version:
        WriteLine(ConsoleStream::Output, VersionText());
        return CatchingErrors([] { WriteLine(ConsoleStream::Output, PortalInForceText()); },
                   [](const QString& message) { WriteErrorLine(ErrorDisplay::DisplayText(message)); })
            ? kExitSuccess
            : kExitFailure;
    case UnattendedCommand::Action::Synchronise:
    case UnattendedCommand::Action::ExportRolls:
        break;
    }
    // The lock is held for the whole action and released however it ends.
    std::optional<RunLock> lock;
    try {
        lock.emplace(command.action == UnattendedCommand::Action::Synchronise ? kSynchronisationJob : kRollExportJob);
    } catch (const RunLockedError& error) {
        WriteErrorLine(ErrorDisplay::DisplayText(error.message()));
        return kExitBusy;
    } catch (const QuilvanorError& error) {
        WriteErrorLine(ErrorDisplay::DisplayText(error.message()));
        return kExitFailure;
    }
    bool completed = false;
    CatchingErrors([&] { completed = runAction(command); },
        [](const QString& message) { WriteErrorLine(ErrorDisplay::DisplayText(message)); });
    return completed ? kExitSuccess : kExitFailure;
}
