#include "report/ReportPreview.h"

#include "report/ReportRenderer.h"

#include <QEventLoop>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <utility>

namespace {

ReportPreview::Viewer& viewer()
{
    static ReportPreview::Viewer instance;
    return instance;
}

} // namespace

namespace ReportPreview {

void Show(const BandedReport& report, QWidget* parent, const ErrorReporter& reportError)
{
    const ReportPages pages = LayOutReport(report);
    if (viewer()) {
        viewer()(pages);
        return;
    }

    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer, pages);
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(
        &preview, &QPrintPreviewDialog::paintRequested, &preview, [&pages, &reportError](QPrinter* target) {
            if (!PrintPages(pages, *target) && reportError)
                reportError(QStringLiteral("L'impression n'a pas pu commencer sur l'imprimante \"%1\"")
                                .arg(target->printerName()));
        });

    QEventLoop untilClosed;
    QObject::connect(&preview, &QDialog::finished, &untilClosed, &QEventLoop::quit);
    preview.setWindowModality(Qt::NonModal);
    preview.show();
    untilClosed.exec();
}

void SetViewer(Viewer newViewer)
{
    viewer() = std::move(newViewer);
}

} // namespace ReportPreview
