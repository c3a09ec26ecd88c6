#pragma once

#include <QString>

#include <functional>

// Lines for the standard streams, in the system's character set, each flushed
// at once so that a scheduled task's log follows the run.

enum class ConsoleStream { Output, Error };

// A standard stream that was closed (a pipe whose reader has gone) or that
// cannot be written (a full disk) neither ends the program nor stops a run:
// the report file and the statement logs are the run's record, the streams
// only a copy. Each line is written at once, so that a line that failed is
// lost alone and never comes out again with a later one. Called once at start-up.
void PrepareStandardStreams();

// One line on the stream; a text of several lines is written as it stands.
void WriteLine(ConsoleStream stream, const QString& line);
// "quilvanor: " and the text on standard error, on one line: its own line
// breaks become blanks. Returns the line written.
QString WriteErrorLine(const QString& text);

// Test hook: while a recorder is set, lines go to it instead of the streams.
using ConsoleRecorder = std::function<void(ConsoleStream, const QString&)>;
void SetConsoleRecorder(ConsoleRecorder recorder);
