#pragma once

#include "report/BandedReport.h"
#include "report/ReportLayout.h"

#include <QString>

#include <functional>

class QWidget;

namespace ReportPreview {

using ErrorReporter = std::function<void(const QString&)>;

// Lays the report out and shows it in a print preview window, a child of the
// parent, from which the operator pages through, zooms, prints (printer,
// copies, page range) and closes. The preview is not modal: the call goes on
// dispatching events, so the other windows stay usable, and returns when the
// preview closes. A print that cannot start is told to the error reporter.
void Show(const BandedReport& report, QWidget* parent, const ErrorReporter& reportError);

// Test hook: while a viewer is set, the laid-out pages go to it instead of a window.
using Viewer = std::function<void(const ReportPages&)>;
void SetViewer(Viewer viewer);

} // namespace ReportPreview
