// A 50 MB export batch posted through PortalExport to the portal stand-in in
// sink mode, beside the same request body posted by curl --data-binary in the
// same run. Prints both times (median of the runs) and this program's peak memory.
// Then one small request, over plain HTTP and over TLS (socat in front of the
// stand-in, the address in the settings file): the median time of each.

#include "common/SettingsFile.h"
#include "portal/FonctionsVendrolles.h"
#include "support/PortalStandin.h"
#include "support/TlsFront.h"

#include "../BenchSummary.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

constexpr qsizetype kBatchSize = 50 * 1000 * 1000;
constexpr int kRuns = 3;
constexpr int kSmallRuns = 50;

// Invoice-line inserts, as a roll export sends them, up to the size.
QString BuildBatch(qsizetype size)
{
    QString batch;
    batch.reserve(size + 1024);
    batch += QStringLiteral("DELETE FROM itemfacture where numrole=12;");
    for (int n = 1; batch.size() < size; ++n) {
        batch += QStringLiteral(" INSERT into itemfacture (numitemfacture,numrole,numfacture,numclient,numenfant,"
                                "nomenfant,libprestation,q,pu,ht,txtva,ttc,tva) VALUES ('%1','12','%2','%3','%4',"
                                "'Zoé','Repas cantine','%5','3.45','%6','5.5','%7','0.87');")
                     .arg(n)
                     .arg(n / 3)
                     .arg(n % 997)
                     .arg(n % 1511)
                     .arg(n % 20)
                     .arg((n % 20) * 3.45, 0, 'f', 2)
                     .arg((n % 20) * 3.64, 0, 'f', 2);
    }
    return batch;
}

// The request body that PortalExport sends, written piece by piece.
void WriteRequestBody(const QString& batch, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write the request body for curl");
    file.write(PortalFormLine(QString()).toLatin1());
    constexpr qsizetype kSlice = 1 << 20;
    for (qsizetype at = 0; at < batch.size(); at += kSlice)
        file.write(FormEncodeValue(batch.mid(at, kSlice)).toLatin1());
    file.write("\r\n");
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double PeakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

QString Runs(const std::vector<double>& seconds)
{
    QStringList texts;
    for (const double s : seconds)
        texts.append(QString::number(s, 'f', 3));
    return texts.join(QLatin1Char(' '));
}

// The median time of one small export request to the address in force.
double SmallRequestSeconds()
{
    std::vector<double> seconds;
    QElapsedTimer timer;
    for (int run = 0; run < kSmallRuns; ++run) {
        timer.start();
        PortalExport(QStringLiteral("DELETE FROM client where numclient=1;"));
        seconds.push_back(timer.nsecsElapsed() / 1e9);
    }
    return Median(seconds);
}

// The small request over plain HTTP, then over TLS at the settings file's address.
void SmallRequestRows(const PortalStandin& standin, const QTemporaryDir& folder)
{
    const double plain = SmallRequestSeconds();
    const TlsFront front(standin.port());
    const QString settingsPath = folder.filePath(QStringLiteral("quilvanor.ini"));
    QFile settings(settingsPath);
    if (!settings.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write the settings file");
    settings.write("[Portail]\r\nAdresse=" + front.url().toLatin1() + "\r\nAutoriteCertification="
        + TestCertificates::AuthorityFile().toLocal8Bit() + "\r\n");
    settings.close();
    SetSettingsFilePath(settingsPath);
    const double tls = SmallRequestSeconds();
    SetSettingsFilePath(QString());
    std::printf("small request, plain HTTP: median %.2f ms of %d\n", plain * 1000, kSmallRuns);
    std::printf("small request, TLS (socat in front): median %.2f ms of %d\n", tls * 1000, kSmallRuns);
    char measured[64];
    std::snprintf(measured, sizeof measured, "%.2f ms", plain * 1000);
    PrintSummary("small request over plain HTTP, median", "-", measured, true);
    std::snprintf(measured, sizeof measured, "%.2f ms", tls * 1000);
    PrintSummary("small request over TLS (socat), median", "-", measured, true);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    PortalStandin::Options options;
    options.sink = true;
    PortalStandin standin(options);
    const double baseMegabytes = PeakMegabytes();

    const QString batch = BuildBatch(kBatchSize);
    QTemporaryDir folder;
    const QString bodyPath = folder.filePath(QStringLiteral("body"));
    WriteRequestBody(batch, bodyPath);
    const QString url = PortalBaseUrl() + QLatin1String(kPortalExportPath);

    std::vector<double> ours;
    std::vector<double> curl;
    QElapsedTimer timer;
    for (int run = 0; run < kRuns; ++run) {
        timer.start();
        const QString reply = PortalExport(batch);
        ours.push_back(timer.nsecsElapsed() / 1e9);
        if (!reply.isEmpty())
            throw std::runtime_error("the stand-in answered: " + reply.toStdString());

        timer.start();
        const int status = QProcess::execute(QStringLiteral("curl"),
            { "-s", "-f", "-o", "/dev/null", "--http1.0", "-H", "Content-Type: application/x-www-form-urlencoded", "-A",
                "Mozilla/5.0 (compatible; Test)", "--data-binary", "@" + bodyPath, url });
        curl.push_back(timer.nsecsElapsed() / 1e9);
        if (status != 0)
            throw std::runtime_error("curl failed");
    }

    const double batchMegabytes = static_cast<double>(batch.size()) / (1024.0 * 1024.0);
    const double peak = PeakMegabytes();
    std::printf("batch: %lld bytes in Windows-1252, request body %lld bytes\n", static_cast<long long>(batch.size()),
        static_cast<long long>(QFile(bodyPath).size()));
    std::printf("PortalExport:        %s s, median %.3f s\n", qPrintable(Runs(ours)), Median(ours));
    std::printf("curl --data-binary:  %s s, median %.3f s\n", qPrintable(Runs(curl)), Median(curl));
    std::printf("time ratio: %.2f (goal at most 1.1)\n", Median(ours) / Median(curl));
    std::printf("peak memory: %.0f MB = %.2f x the batch (goal under 4); %.0f MB before the batch was built\n", peak,
        peak / batchMegabytes, baseMegabytes);
    char measured[96];
    std::snprintf(measured, sizeof measured, "%.2fx (%.3f s / %.3f s)", Median(ours) / Median(curl), Median(ours),
        Median(curl));
    PrintSummary("50 MB batch vs curl, medians", "<= 1.1x", measured, Median(ours) / Median(curl) <= 1.1);
    SmallRequestRows(standin, folder);
    return 0;
}
