#pragma once

#include <QString>

// What the payment runs show the operator, as the synchronisation window
// implements it: the step text and gauge of the import, the detail text the
// two runs write, and the labels of the last-run dates. Nothing here may let
// the event loop run: the window repaints explicitly instead.
class SynchronisationFeedback {
public:
    virtual ~SynchronisationFeedback() = default;

    // The step text above the gauge, shown and repainted at once.
    virtual void ShowStep(const QString& text) = 0;
    // The gauge back at 0, with a new maximum, shown.
    virtual void StartGauge(qint64 maximum) = 0;
    virtual void AdvanceGauge(qint64 step) = 0;
    // Hides the gauge and its step text.
    virtual void HideProgress() = 0;

    virtual void MoveDetailCaretToEnd() = 0;
    // Inserts at the caret of the detail text, which then stands after the
    // inserted text. A line break is CR LF.
    virtual void InsertDetail(const QString& text, bool bold) = 0;
    // Shows the detail text and its heading label.
    virtual void ShowDetail() = 0;

    virtual void SetImportLabel(const QString& text) = 0;
    virtual void SetExportLabel(const QString& text) = 0;
};
