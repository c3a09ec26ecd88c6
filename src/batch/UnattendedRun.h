#pragma once

#include <QStringList>

// The program started with arguments: one action run without any window, for
// a scheduled task. Nothing waits for a person.

// Exit statuses.
constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1; // an error ended the action; its message is on standard error
constexpr int kExitUsage = 2; // the command line is not understood; the usage follows the message
constexpr int kExitBusy = 3; // another run that moves records is under way; nothing was done

// Runs the action the arguments (after the program's name) ask for and
// returns the exit status. Needs a QCoreApplication.
int RunCommandLine(const QStringList& arguments);
