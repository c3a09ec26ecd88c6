#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// How one platform starts a host program (HostPrograms.h) and waits for it:
// POSIX spawns it, Windows under Wine asks the host's shell to.
namespace HostProcess {

// Starts the program with its standard streams on these local files (the input may be empty: none);
// returns its process number, or throws std::runtime_error. The folder holds the files and whatever
// the platform needs beside them.
qint64 Start(const QStringList& arguments, const QString& folder, const QString& input);
// The exit code once it ended, or nothing when the bound passed first.
std::optional<int> WaitForExit(qint64 pid, const QString& folder, int timeoutMs);
void Terminate(qint64 pid);

} // namespace HostProcess
