#pragma once

#include <QString>

#include <functional>

// Lines for the standard streams, in the system's character set, each flushed
// at once so that a scheduled task's log follows the run.

enum class ConsoleStream { Output, Error };

// One line on the stream; a text of several lines is written as it stands.
void WriteLine(ConsoleStream stream, const QString& line);
// "quilvanor: " and the text on standard error, on one line: its own line
// breaks become blanks. Returns the line written.
QString WriteErrorLine(const QString& text);

// Test hook: while a recorder is set, lines go to it instead of the streams.
using ConsoleRecorder = std::function<void(ConsoleStream, const QString&)>;
void SetConsoleRecorder(ConsoleRecorder recorder);
