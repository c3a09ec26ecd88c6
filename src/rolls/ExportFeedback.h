#pragma once

#include <QString>

// What a roll export run shows to the operator while it runs: the progress of
// the batch being built and the portal's replies. The roll export window
// implements it; a test can record it.
class ExportFeedback {
public:
    virtual ~ExportFeedback() = default;

    // Shows the gauge at 0 of maximum with its text.
    virtual void ProgressStart(int maximum, const QString& text) = 0;
    // Lets the window answer pending events, then shows the 1-based row number done.
    virtual void ProgressStep(int rowNumber) = 0;
    virtual void ProgressEnd() = 0;

    // Adds a reply at the end of the error list, as one line or more.
    virtual void AppendReply(const QString& reply) = 0;
    // Shows the error list and its caption once a run with a selection has ended.
    virtual void ShowErrorList() = 0;
};
