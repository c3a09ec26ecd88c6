// 20 000 digital-invoice clients from a loopback portal: loaded into the client
// list window's grid, and built and laid out as the client list report. Beside
// them, a floor measured in the same run: the same reply fetched and split into
// fields, building nothing. Times are medians of a few runs.

#include "common/Cp1252.h"
#include "einvoice/ClientRecords.h"
#include "einvoice/TFrmImporterFactureNumerique.h"
#include "einvoice/TFrmReportFactureNum.h"
#include "portal/FonctionsVendrolles.h"
#include "report/ReportLayout.h"
#include "report/ReportPreview.h"
#include "report/ReportRenderer.h"
#include "support/ErrorRecorder.h"
#include "support/ScriptedTcpServer.h"
#include "ui/Look.h"
#include "ui/StringGrid.h"

#include "../BenchSummary.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <vector>

namespace {

constexpr int kClients = 20000;
constexpr int kRuns = 5;
constexpr double kLimitSeconds = 2.0;

// Fields of realistic lengths; one name in ten carries an apostrophe.
QByteArray ClientReply()
{
    QString body;
    for (int i = 1; i <= kClients; ++i) {
        const QString name = i % 10 == 0 ? QStringLiteral("D'Alembert-Duchêne Marie %1").arg(i)
                                         : QStringLiteral("Lefèvre-Martin Jean-Pierre %1").arg(i);
        body += QStringLiteral(
            "%1;%2;%3 avenue du Général de Gaulle, résidence Les Tilleuls;%4;Saint-Étienne-du-Rouvray\r\n")
                    .arg(i)
                    .arg(name)
                    .arg(i % 200)
                    .arg(76800 + i % 100);
    }
    const QByteArray bytes = Cp1252::encode(body);
    return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(bytes.size())
        + "\r\n\r\n" + bytes;
}

// Seconds taken by the action, the portal answering one request with the reply.
double Timed(const QByteArray& reply, const std::function<void()>& action)
{
    ScriptedTcpServer portal(reply);
    SetPortalBaseUrl(portal.url(QString()));
    QElapsedTimer timer;
    timer.start();
    action();
    return timer.nsecsElapsed() / 1e9;
}

double Median(const QByteArray& reply, const std::function<void()>& action)
{
    Timed(reply, action); // warm-up: fonts, first allocations
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run)
        times.push_back(Timed(reply, action));
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Print(const char* what, const char* figure, double seconds, double floor)
{
    std::printf("%-52s %7.3f s   (floor %.3f s, own work %.3f s)  %s\n", what, seconds, floor, seconds - floor,
        seconds < kLimitSeconds ? "under 2 s" : "OVER 2 s");
    char measured[64];
    std::snprintf(measured, sizeof measured, "%.3f s (floor %.3f s)", seconds, floor);
    PrintSummary(figure, "< 2 s", measured, seconds < kLimitSeconds);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Look::InstallFontSubstitutes();
    ErrorRecorder errors;
    const QByteArray reply = ClientReply();
    std::printf("%d clients, a reply of %.1f MB\n", kClients, reply.size() / 1e6);

    const double floor = Median(reply, [] {
        if (FetchClientFields().count() != qsizetype(kClients) * kClientFieldCount)
            throw std::runtime_error("the floor did not split every field");
    });

    const double window = Median(reply, [] {
        TFrmImporterFactureNumerique w;
        if (w.StringGrid1->RowCount() != kClients + 1)
            throw std::runtime_error("the grid did not receive every client");
    });

    std::size_t pageCount = 0;
    ReportPreview::SetViewer([&pageCount](const ReportPages& pages) { pageCount = pages.pages.size(); });
    const double report = Median(reply, [] { TFrmReportFactureNum holder(nullptr); });
    ReportPreview::SetViewer({});
    if (!errors.messages().isEmpty())
        throw std::runtime_error(errors.messages().first().toStdString());

    std::printf("floor: fetch the reply and split it into fields      %7.3f s\n", floor);
    Print("client list window: fetch, split, fill the grid", "client list, 20 000 clients", window, floor);
    Print("client list report: fetch, split, lines, lay out", "client report, 20 000 clients", report, floor);
    std::printf("  the report has %zu pages\n", pageCount);

    // The layout alone, from the lines already built.
    TFrmReportFactureNum* built = nullptr;
    ReportPreview::SetViewer([](const ReportPages&) {});
    ScriptedTcpServer portal(reply);
    SetPortalBaseUrl(portal.url(QString()));
    built = new TFrmReportFactureNum(nullptr);
    ReportPreview::SetViewer({});
    std::vector<double> layoutTimes;
    ReportPages laidOut;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        laidOut = LayOutReport(built->Report());
        layoutTimes.push_back(timer.nsecsElapsed() / 1e9);
    }
    delete built;
    std::sort(layoutTimes.begin(), layoutTimes.end());
    std::printf("  of which the layout alone                          %7.3f s\n", layoutTimes[layoutTimes.size() / 2]);

    // Informative: every page rendered to PDF, as the preview and the printer draw them.
    QTemporaryDir dir;
    QPdfWriter writer(dir.filePath(QStringLiteral("clients.pdf")));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QElapsedTimer timer;
    timer.start();
    RenderPages(laidOut, writer, 1, int(laidOut.pages.size()));
    std::printf("report rendered to PDF, every page                   %7.3f s\n", timer.nsecsElapsed() / 1e9);
    return window < kLimitSeconds && report < kLimitSeconds ? 0 : 1;
}
