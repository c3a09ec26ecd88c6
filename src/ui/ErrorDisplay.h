#pragma once

#include <QString>

#include <functional>

// The program's report of an error that ends a handler or a window's creation
// step: a message box captioned "quilvanor" with an error icon and an OK
// button, and the same text as one line on standard error. The program goes on.
namespace ErrorDisplay {

// The text as shown: "." appended when its last character sorts above ".".
QString DisplayText(const QString& message);

void Show(const QString& message);

// Test hook: while a recorder is set, messages go to it instead of a box.
using Recorder = std::function<void(const QString&)>;
void SetRecorder(Recorder recorder);

} // namespace ErrorDisplay
