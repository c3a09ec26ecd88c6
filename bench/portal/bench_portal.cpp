// A 50 MB export batch posted through PortalExport to the portal stand-in in
// sink mode, against a floor measured in the same run: the least any program
// must do to send the same text, which is to encode it (the cheapest way: one
// pass, each character's form from a table, into room made beforehand) and
// post the body (curl --data-binary of the body already encoded). Prints the
// times (median of the runs) and this program's peak memory.
// Then one small request, over plain HTTP and over TLS (socat in front of the
// stand-in, the address in the settings file): the median time of each.

#include "common/Cp1252.h"
#include "common/SettingsFile.h"
#include "portal/FonctionsVendrolles.h"
#include "portal/FormEncoding.h"
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
#include <array>
#include <cstring>
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

// The floor's encoding: the cheaper of two ways of turning the batch into the
// request body, each writing into room made and touched before the clock
// starts, so that neither pays for memory the program has to take: a plain
// table of each byte's encoded form (four bytes stored for each character,
// whatever its form's length), and the program's own encoding. Both are
// checked against the body PortalExport sends.
struct EncodingSeconds {
    double table = 0;
    double ours = 0;
};

EncodingSeconds CheapestEncodingSeconds(const QString& batch, const QByteArray& body)
{
    struct Form {
        char bytes[4];
        int size;
    };
    std::array<Form, 256> forms {};
    for (int b = 0; b < 256; ++b) {
        const QByteArray form = FormEncodeValue(Cp1252::decode(QByteArray(1, static_cast<char>(b)))).toLatin1();
        std::memcpy(forms[b].bytes, form.constData(), std::min<qsizetype>(form.size(), 4));
        forms[b].size = static_cast<int>(form.size());
    }
    forms[0].size = 0; // the batch holds no NUL
    const QByteArray start = PortalFormLine(QString()).toLatin1();
    const QByteArrayView bodyLine(body.constData(), body.size() - 2); // without its CR LF

    EncodingSeconds seconds;
    QByteArray out(body.size() + 4, '\0');
    QElapsedTimer timer;
    timer.start();
    char* dst = out.data();
    std::memcpy(dst, start.constData(), start.size());
    dst += start.size();
    const QChar* chars = batch.constData();
    for (qsizetype i = 0; i < batch.size(); ++i) {
        const char16_t u = chars[i].unicode();
        const Form& form = forms[u < 0x80 ? u : static_cast<unsigned char>(Cp1252::encodeChar(chars[i]))];
        std::memcpy(dst, form.bytes, 4);
        dst += form.size;
    }
    seconds.table = timer.nsecsElapsed() / 1e9;
    if (QByteArrayView(out.constData(), dst - out.constData()) != bodyLine)
        throw std::runtime_error("the table's encoding differs from the request body");

    out.fill('\0', body.size() + body.size() / 2); // room for the encoding's own margin, touched
    out.resize(0);
    timer.start();
    out.append(start);
    AppendFormEncoded(out, batch);
    seconds.ours = timer.nsecsElapsed() / 1e9;
    if (out != bodyLine)
        throw std::runtime_error("the program's encoding differs from the request body");
    return seconds;
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
    const double peak = PeakMegabytes(); // before the floor's own buffers

    QFile bodyFile(bodyPath);
    if (!bodyFile.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read the request body back");
    const QByteArray body = bodyFile.readAll();
    bodyFile.close();
    std::vector<double> encoding;
    std::vector<double> tableEncoding;
    std::vector<double> ownEncoding;
    for (int run = 0; run < kRuns; ++run) {
        const EncodingSeconds seconds = CheapestEncodingSeconds(batch, body);
        tableEncoding.push_back(seconds.table);
        ownEncoding.push_back(seconds.ours);
        encoding.push_back(std::min(seconds.table, seconds.ours));
    }

    const double batchMegabytes = static_cast<double>(batch.size()) / (1024.0 * 1024.0);
    std::printf("batch: %lld bytes in Windows-1252, request body %lld bytes\n", static_cast<long long>(batch.size()),
        static_cast<long long>(QFile(bodyPath).size()));
    const double floor = Median(curl) + Median(encoding);
    std::printf("PortalExport:        %s s, median %.3f s\n", qPrintable(Runs(ours)), Median(ours));
    std::printf("floor: %.3f s = cheapest encoding into memory already taken %.3f s (%s) + curl --data-binary of the"
                " encoded body %.3f s (%s)\n",
        floor, Median(encoding), qPrintable(Runs(encoding)), Median(curl), qPrintable(Runs(curl)));
    std::printf("encodings into memory already taken: a table of forms %.3f s (%s), the program's %.3f s (%s)\n",
        Median(tableEncoding), qPrintable(Runs(tableEncoding)), Median(ownEncoding), qPrintable(Runs(ownEncoding)));
    std::printf("time ratio: %.2f (goal at most 1.1); against curl alone %.2f\n", Median(ours) / floor,
        Median(ours) / Median(curl));
    std::printf("peak memory: %.0f MB = %.2f x the batch (goal under 4); %.0f MB before the batch was built\n", peak,
        peak / batchMegabytes, baseMegabytes);
    char measured[96];
    std::snprintf(measured, sizeof measured, "%.2fx (%.3f s / %.3f s)", Median(ours) / floor, Median(ours), floor);
    PrintSummary("50 MB batch vs encoding + curl, medians", "<= 1.1x", measured, Median(ours) / floor <= 1.1);
    SmallRequestRows(standin, folder);
    return 0;
}
