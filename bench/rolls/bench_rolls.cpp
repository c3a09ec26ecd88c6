// One roll of 20 000 invoices and 100 000 invoice lines, with 10 000 children
// and 10 000 clients, exported end to end through the roll export window's run
// (offscreen) to the portal stand-in in sink mode. Beside it, a floor measured
// in the same run: the same rows read through the same ODBC driver building
// nothing, plus the same request bodies posted by curl. Times are medians.

#include "common/Cp1252.h"
#include "common/LargeBlocks.h"
#include "app/TFrmMain.h"
#include "data/AdoConnection.h"
#include "data/AdoQuery.h"
#include "data/SqlDialect.h"
#include "data/TDmdMain.h"
#include "portal/FonctionsVendrolles.h"
#include "rolls/DBGrille.h"
#include "rolls/RollStatements.h"
#include "rolls/TFrmExportRole.h"
#include "support/ErrorRecorder.h"
#include "support/PortalStandin.h"
#include "support/TestOdbcSource.h"

#include "../BenchSummary.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

constexpr int kRuns = 5;
constexpr int kEventCalls = 20000;

const korva8::SampleOptions kSample {
    .rolls = 1, .invoicesPerRoll = 20000, .linesPerInvoice = 5, .children = 10000, .clients = 10000, .payments = 0
};

// The statements the run reads, as it reads them.
const QStringList kSelects {
    QStringLiteral("SELECT * FROM Facture where NumRole=1 ORDER BY NumFacture"),
    QStringLiteral("SELECT * FROM ItemFacture where NumRole=1 ORDER BY NumItemFacture"),
    QStringLiteral("Select * from Enfant order by NumEnfant"),
    QStringLiteral("Select * from Client order by NumClient"),
    QStringLiteral("Select * from ClientGroupe order by NumClient"),
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Processor seconds of this program, or of its finished children: contention
// from other programs on the machine shows in the wall clock, not in these.
double ProcessorSeconds(int who)
{
    rusage usage {};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double Best(const std::vector<double>& values)
{
    return *std::min_element(values.begin(), values.end());
}

// The kilobytes of a /proc/self/status line: VmRSS now, VmHWM the peak since the last reset.
double StatusMegabytes(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

void ResetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

// The floor's reading: every row of every table the run reads, through the same query layer and driver.
double ReadRowsBuildingNothing()
{
    QElapsedTimer timer;
    timer.start();
    qint64 rows = 0;
    AdoQuery role(QStringLiteral("QueryRole"), DmdMain->ADOConnection);
    role.SetSql(QStringLiteral("SELECT * FROM Role ORDER BY NumRole DESC"));
    role.Open();
    for (const QString& select : kSelects) {
        AdoQuery query(QStringLiteral("QueryFloor"), DmdMain->ADOConnection);
        query.SetSql(select);
        query.Open();
        for (query.First(); !query.Eof(); query.Next())
            ++rows;
    }
    if (rows == 0)
        throw std::runtime_error("the floor read no row");
    return timer.nsecsElapsed() / 1e9;
}

// The rows' own data of the largest result the run reads, in bytes, as the
// driver hands the values over: a text's characters (one byte each in the
// town's code page), any other value the size of its type, a null nothing.
double LargestResultDataBytes()
{
    double largest = 0;
    for (const QString& select : kSelects) {
        QSqlQuery query(DmdMain->ADOConnection->database());
        query.setForwardOnly(true);
        if (!query.exec(TranslateStatement(select, DmdMain->ADOConnection->dialect())))
            throw std::runtime_error("cannot measure the rows' own data");
        double bytes = 0;
        const int columns = query.record().count();
        while (query.next()) {
            for (int c = 0; c < columns; ++c) {
                const QVariant value = query.value(c);
                if (!value.isNull())
                    bytes += value.typeId() == QMetaType::QString ? value.toString().size() : value.metaType().sizeOf();
            }
        }
        largest = std::max(largest, bytes);
    }
    return largest;
}

// The same reading with every insert statement built, none logged or sent: where the run's time goes.
double ReadRowsBuildingStatements()
{
    const QList<const InsertShape*> shapes { &InvoiceInsertShape(), &InvoiceLineInsertShape(), &ChildInsertShape(),
        &ClientInsertShape(), &ClientGroupInsertShape() };
    QElapsedTimer timer;
    timer.start();
    qint64 characters = 0;
    QByteArray statement;
    for (int i = 0; i < kSelects.size(); ++i) {
        AdoQuery query(QStringLiteral("QueryFloor"), DmdMain->ADOConnection);
        query.SetSql(kSelects.at(i));
        query.Open();
        InsertStatement builder(*shapes.at(i), query);
        for (query.First(); !query.Eof(); query.Next()) {
            builder.BuildInto(statement);
            characters += statement.size();
        }
    }
    if (characters == 0)
        throw std::runtime_error("nothing was built");
    return timer.nsecsElapsed() / 1e9;
}

QString TheLog()
{
    const QStringList logs = QDir::current().entryList({ QStringLiteral("cantine-export-role-*.csv") }, QDir::Files);
    if (logs.size() != 1)
        throw std::runtime_error("expected one statement log");
    return logs.first();
}

// Every request starts with a delete statement, but for the roll's insert, which goes alone.
bool StartsARequest(QByteArrayView line)
{
    return line.startsWith("DELETE") || line.startsWith(" INSERT into role ");
}

// The size of the largest batch of a run, read line by line from its log.
qint64 LargestBatchOfTheLog()
{
    QFile file(TheLog());
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read the statement log");
    qint64 largest = 0;
    qint64 batch = 0;
    QByteArray line;
    while (!(line = file.readLine()).isEmpty()) {
        const qint64 size = line.size() - (line.endsWith("\r\n") ? 2 : 0);
        batch = StartsARequest(line) ? size : batch + size;
        largest = std::max(largest, batch);
    }
    return largest;
}

// The batches of a run, from its log.
QStringList BatchesOfTheLog()
{
    QFile file(TheLog());
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read the statement log");
    QStringList batches;
    for (QByteArray line : file.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        line.chop(1); // CR
        const QString statement = Cp1252::decode(line);
        if (StartsARequest(line))
            batches << statement;
        else
            batches.last() += statement;
    }
    return batches;
}

void RemoveLogs()
{
    for (const QString& name : QDir::current().entryList({ QStringLiteral("cantine-export-role-*.csv") }, QDir::Files))
        QFile::remove(name);
}

// Posts the bodies one after the other, each on its own connection, with one curl process.
double PostWithCurl(const QStringList& bodyPaths)
{
    QStringList arguments;
    const QString url = PortalBaseUrl() + QLatin1String(kPortalExportPath);
    for (const QString& path : bodyPaths) {
        if (!arguments.isEmpty())
            arguments << QStringLiteral("--next");
        arguments << QStringLiteral("-s") << QStringLiteral("-f") << QStringLiteral("-o") << QStringLiteral("/dev/null")
                  << QStringLiteral("--http1.0") << QStringLiteral("-H")
                  << QStringLiteral("Content-Type: application/x-www-form-urlencoded") << QStringLiteral("-A")
                  << QStringLiteral("Mozilla/5.0 (compatible; Test)") << QStringLiteral("--data-binary")
                  << QLatin1Char('@') + path << url;
    }
    QElapsedTimer timer;
    timer.start();
    if (QProcess::execute(QStringLiteral("curl"), arguments) != 0)
        throw std::runtime_error("curl failed");
    return timer.nsecsElapsed() / 1e9;
}

// What letting pending events through costs once, with the window shown.
double EventProcessingSeconds()
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kEventCalls; ++i)
        QCoreApplication::processEvents();
    return timer.nsecsElapsed() / 1e9 / kEventCalls;
}

// A roll export as the operator meets it: a program just started, its main
// window and the roll window open, one roll clicked, one run. The resident
// set's rise over the run, against the largest batch, with nothing run before
// to leave the allocator warm. Prints its own figures and summary line.
int RunOnceInFreshWindow(int argc, char** argv, const QString& portalBaseUrl, bool plainDataSource)
{
    QApplication app(argc, argv);
    SetPortalBaseUrl(portalBaseUrl);
    TDmdMain dmd;
    ErrorRecorder errors;
    TFrmMain main;
    main.show();
    TFrmExportRole window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&main) || !QTest::qWaitForWindowExposed(&window))
        throw std::runtime_error("the windows were not shown");
    const QRect firstRow = window.DBGrille->visualRect(window.DBGrille->model()->index(0, 1));
    QTest::mouseClick(window.DBGrille->viewport(), Qt::LeftButton, {}, firstRow.center());
    QCoreApplication::processEvents();
    const double idle = StatusMegabytes("VmRSS:");
    ResetPeakMemory();
    QTest::mouseClick(window.BtExporter, Qt::LeftButton);
    const double peak = StatusMegabytes("VmHWM:");
    if (!errors.messages().isEmpty())
        throw std::runtime_error("the run failed: " + errors.messages().first().toStdString());
    const qint64 largestBatch = LargestBatchOfTheLog();
    const double largestMegabytes = static_cast<double>(largestBatch) / (1024.0 * 1024.0);
    const double rise = peak - idle;
    std::printf("one run in a program just started: windows at rest %.0f MB, peak %.0f MB, rise %.1f MB = %.2f x the"
                " largest batch (goal at most %d)\n",
        idle, peak, rise, rise / largestMegabytes, plainDataSource ? 4 : 2);
    // A data source that leaves out StepAPI has the SQLite driver hold each
    // selection whole beside the program's own copy: its goal allows for that.
    const double goal = plainDataSource ? 4 : 2;
    char measured[160];
    std::snprintf(measured, sizeof measured, "%.2fx (%.1f MB / %.1f MB)", rise / largestMegabytes, rise,
        largestMegabytes);
    PrintSummary(plainDataSource ? "roll run, fresh program, no StepAPI: rise vs largest batch"
                                 : "roll run, fresh program, windows: rise vs largest batch",
        plainDataSource ? "<= 4x" : "<= 2x", measured, rise <= goal * largestMegabytes);
    std::fflush(stdout);
    return 0;
}

// The run above in a process of its own, on this run's database and portal,
// through a data source whose driver hands selections over as told.
void RunOnceInFreshProgram(const TestOdbcSource& source, TestOdbcSource::Fetch fetch, const QString& workFolder,
    const QString& portalBaseUrl)
{
    QDir().mkpath(workFolder);
    const QString ini = QDir(workFolder).filePath(QStringLiteral("odbc.ini"));
    source.WriteOdbcIni(ini, fetch);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ODBCINI"), ini);
    QProcess fresh;
    fresh.setProcessEnvironment(environment);
    fresh.setProcessChannelMode(QProcess::ForwardedChannels);
    fresh.setWorkingDirectory(workFolder);
    std::fflush(stdout);
    QStringList arguments { QStringLiteral("--fresh-window"), portalBaseUrl };
    if (fetch == TestOdbcSource::Fetch::WholeResult)
        arguments << QStringLiteral("--plain-data-source");
    fresh.start(QCoreApplication::applicationFilePath(), arguments);
    if (!fresh.waitForFinished(600 * 1000) || fresh.exitStatus() != QProcess::NormalExit || fresh.exitCode() != 0)
        throw std::runtime_error("the run in a fresh program failed");
}

int run(int argc, char** argv)
{
    QTemporaryDir work;
    TestOdbcSource source(kSample, TestOdbcSource::Fetch::RowByRow); // as the demo's data source
    QApplication app(argc, argv);
    QDir::setCurrent(work.path());
    PortalStandin::Options options;
    options.sink = true;
    PortalStandin standin(options);
    TDmdMain dmd;
    ErrorRecorder errors;

    std::printf("a program just started, its data source with StepAPI=1 as the demo's:\n");
    RunOnceInFreshProgram(source, TestOdbcSource::Fetch::RowByRow, work.filePath(QStringLiteral("fresh")),
        standin.baseUrl());
    std::printf("the same through a data source without StepAPI (the SQLite driver holds each whole result while it"
                " is read):\n");
    RunOnceInFreshProgram(source, TestOdbcSource::Fetch::WholeResult, work.filePath(QStringLiteral("fresh-whole")),
        standin.baseUrl());
    ReadRowsBuildingNothing(); // warms the driver and the file cache for both sides
    const double beforeReading = StatusMegabytes("VmRSS:");
    ResetPeakMemory();
    ReadRowsBuildingNothing();
    const double readingPeak = StatusMegabytes("VmHWM:") - beforeReading;
    TFrmExportRole window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        throw std::runtime_error("the window was not shown");
    const QRect firstRow = window.DBGrille->visualRect(window.DBGrille->model()->index(0, 1));
    QTest::mouseClick(window.DBGrille->viewport(), Qt::LeftButton, {}, firstRow.center());
    const double idle = StatusMegabytes("VmRSS:");

    std::vector<double> ours;
    std::vector<double> reads;
    std::vector<double> builds;
    std::vector<double> oursProcessor;
    std::vector<double> readsProcessor;
    double peak = 0;
    for (int i = 0; i < kRuns; ++i) {
        RemoveLogs();
        ResetPeakMemory();
        QElapsedTimer timer;
        const double processorBefore = ProcessorSeconds(RUSAGE_SELF);
        timer.start();
        QTest::mouseClick(window.BtExporter, Qt::LeftButton);
        ours.push_back(timer.nsecsElapsed() / 1e9);
        oursProcessor.push_back(ProcessorSeconds(RUSAGE_SELF) - processorBefore);
        peak = std::max(peak, StatusMegabytes("VmHWM:"));
        if (!errors.messages().isEmpty())
            throw std::runtime_error("the run failed: " + errors.messages().first().toStdString());
        const double readBefore = ProcessorSeconds(RUSAGE_SELF);
        reads.push_back(ReadRowsBuildingNothing());
        readsProcessor.push_back(ProcessorSeconds(RUSAGE_SELF) - readBefore);
        builds.push_back(ReadRowsBuildingStatements());
    }

    const QStringList batches = BatchesOfTheLog();
    QStringList bodyPaths;
    qint64 bodyBytes = 0;
    qint64 largestBatch = 0;
    for (int i = 0; i < batches.size(); ++i) {
        const QByteArray body = PortalFormLine(batches.at(i)).toLatin1() + "\r\n";
        bodyPaths << work.filePath(QStringLiteral("body%1").arg(i));
        QFile file(bodyPaths.last());
        if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size())
            throw std::runtime_error("cannot write a request body for curl");
        bodyBytes += body.size();
        largestBatch = std::max<qint64>(largestBatch, batches.at(i).size());
    }
    std::vector<double> posts;
    std::vector<double> postsProcessor;
    for (int i = 0; i < kRuns; ++i) {
        const double curlBefore = ProcessorSeconds(RUSAGE_CHILDREN);
        posts.push_back(PostWithCurl(bodyPaths));
        postsProcessor.push_back(ProcessorSeconds(RUSAGE_CHILDREN) - curlBefore);
    }

    const double floor = Median(reads) + Median(posts);
    const double bestFloor = Best(reads) + Best(posts);
    const double perEvent = EventProcessingSeconds();
    const double rows = kSample.invoicesPerRoll * (1.0 + kSample.linesPerInvoice) + kSample.children + kSample.clients
        + kSample.clients;
    const double largestMegabytes = static_cast<double>(largestBatch) / (1024.0 * 1024.0);

    std::printf("rows: %.0f (1 roll, %d invoices, %d invoice lines, %d children, %d clients, %d client groups)\n", rows,
        kSample.invoicesPerRoll, kSample.invoicesPerRoll * kSample.linesPerInvoice, kSample.children, kSample.clients,
        kSample.clients);
    std::printf("requests: %lld, request bodies: %lld bytes, largest batch: %lld bytes (%.1f MB)\n",
        static_cast<long long>(batches.size()), static_cast<long long>(bodyBytes), static_cast<long long>(largestBatch),
        largestMegabytes);
    std::printf("export run through the window: %.3f s (runs:", Median(ours));
    for (const double s : ours)
        std::printf(" %.3f", s);
    std::printf(")\n");
    std::printf("floor: %.3f s = reading the rows, building nothing %.3f s + curl posting the bodies %.3f s\n", floor,
        Median(reads), Median(posts));
    std::printf("time ratio: %.2f of the medians, %.2f of the best runs (%.3f s / %.3f s) (goal at most 1.3)\n",
        Median(ours) / floor, Best(ours) / bestFloor, Best(ours), bestFloor);
    const double processorFloor = Median(readsProcessor) + Median(postsProcessor);
    std::printf("processor time of this program: run %.3f s, floor %.3f s (reading %.3f s + curl %.3f s): ratio %.2f\n",
        Median(oursProcessor), processorFloor, Median(readsProcessor), Median(postsProcessor),
        Median(oursProcessor) / processorFloor);
    std::printf(
        "of which reading the rows and building the statements, neither logged nor sent: %.3f s (best %.3f s)\n",
        Median(builds), Best(builds));
    std::printf("event processing: %.1f us a call; once per row it would add %.3f s, paced as the window does it"
                " (every 8 ms) at most %.4f s\n",
        perEvent * 1e6, perEvent * rows, perEvent * (Median(ours) / 0.008 + 7));
    const double rise = peak - idle;
    std::printf("peak memory during a run: %.0f MB; roll window at rest %.0f MB; rise %.1f MB = %.2f x the largest"
                " batch (goal at most 2)\n",
        peak, idle, rise, rise / largestMegabytes);
    const double ownData = LargestResultDataBytes() / (1024.0 * 1024.0);
    std::printf("reading the rows alone, building nothing, peaks %.1f MB above where it starts = %.2f x the own data of"
                " the largest result (%.1f MB) (goal at most 2)\n",
        readingPeak, readingPeak / ownData, ownData);

    char measured[160];
    std::snprintf(measured, sizeof measured, "%.2fx (%.3f s / %.3f s)", Median(ours) / floor, Median(ours), floor);
    PrintSummary("roll export vs floor, medians", "<= 1.3x", measured, Median(ours) / floor <= 1.3);
    std::snprintf(measured, sizeof measured, "%.2fx (%.1f MB / %.1f MB)", rise / largestMegabytes, rise,
        largestMegabytes);
    PrintSummary("roll run: rise of resident set vs largest batch", "<= 2x", measured, rise <= 2 * largestMegabytes);
    std::snprintf(measured, sizeof measured, "%.2fx (%.1f MB / %.1f MB)", readingPeak / ownData, readingPeak, ownData);
    PrintSummary("reading the rows alone vs their own data", "<= 2x", measured, readingPeak <= 2 * ownData);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    ReturnLargeBlocksWhenFreed(); // as the program's entry does
    try {
        if ((argc == 3 || argc == 4) && qstrcmp(argv[1], "--fresh-window") == 0) {
            const bool plainDataSource = argc == 4 && qstrcmp(argv[3], "--plain-data-source") == 0;
            return RunOnceInFreshWindow(1, argv, QString::fromLocal8Bit(argv[2]), plainDataSource);
        }
        return run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench-rolls: %s\n", error.what());
        return 1;
    }
}
