#include "batch/UnattendedRun.h"

#include "batch/CommandLine.h"
#include "batch/UnattendedRollExport.h"
#include "batch/UnattendedSynchronisation.h"
#include "batch/Usage.h"
#include "common/CaughtErrors.h"
#include "common/ConsoleLines.h"
#include "common/RunLock.h"
#include "common/RunOutcomes.h"
#include "data/AdoConnection.h"
#include "ui/ErrorDisplay.h"

#include <QDateTime>

#include <optional>

namespace {

// Runs a database action; false when it failed, with the message that ended it.
bool runAction(const UnattendedCommand& command, QString& ending)
{
    // A synchronisation that cannot know its start date is refused before the database is opened.
    const QDate startDate
        = command.action == UnattendedCommand::Action::Synchronise ? UnattendedStartDate(command.startDate) : QDate();
    // The connection the data module would hold, opened as the main window opens it.
    AdoConnection connection;
    connection.SetConnected(true);
    if (command.action == UnattendedCommand::Action::Synchronise)
        return SynchroniseUnattended(connection, startDate, ending);
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
    case UnattendedCommand::Action::Status: {
        const RunOutcomes::Record record = RunOutcomes::Read();
        WriteLine(ConsoleStream::Output, RunOutcomes::Summary(record));
        return RunOutcomes::Notices(record).isEmpty() ? kExitSuccess : kExitFailure;
    }
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
    const QDateTime started = QDateTime::currentDateTime();
    bool completed = false;
    QString ending;
    CatchingErrors([&] { completed = runAction(command, ending); },
        [&](const QString& message) {
            ending = ErrorDisplay::DisplayText(message);
            WriteErrorLine(ending);
        });
    // The outcome is kept for the window and --etat; a record that cannot be written does not change the run's.
    QString unrecorded;
    if (!RunOutcomes::Store(command.action == UnattendedCommand::Action::Synchronise ? RunOutcomes::Job::Synchronisation
                                                                                     : RunOutcomes::Job::RollExport,
            RunOutcomes::Origin::Unattended, started, completed,
            ending, &unrecorded))
        WriteErrorLine(unrecorded);
    return completed ? kExitSuccess : kExitFailure;
}
