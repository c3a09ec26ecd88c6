// The payment synchronisation at scale: 10 000 portal payments imported into
// a local payments table of 200 000 rows, then 10 000 local payments exported,
// through the synchronisation window's two runs (offscreen) on the SQLite ODBC
// data source and the portal stand-in. Beside each, a floor measured in the
// same run: the same portal request and the same statements through the same
// ODBC driver from plain ODBC calls. Times are medians of the runs.

#include "OdbcFloor.h"

#include "common/Cp1252.h"
#include "common/FieldList.h"
#include "data/AdoConnection.h"
#include "data/SqlDialect.h"
#include "data/TDmdMain.h"
#include "payments/LastRunDates.h"
#include "payments/TFrmSynchroniserPaiement.h"
#include "portal/FonctionsVendrolles.h"
#include "support/ErrorRecorder.h"
#include "support/PortalStandin.h"
#include "support/TestOdbcSource.h"

#include "../BenchSummary.h"
#include "ui/Guard.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <vector>

namespace {

constexpr int kRuns = 5;
constexpr int kLocalPayments = 200000;
constexpr int kPortalPayments = 10000;
constexpr int kExportedPayments = 10000;
const QDate kStart(2025, 1, 1);

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Seconds(const std::function<void()>& action)
{
    QElapsedTimer timer;
    timer.start();
    action();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// 200 000 local payments before the start date, 10 000 of them moved after it
// with a counter reference, so that the export sends them.
void PrepareLocalBase(const TestOdbcSource& source)
{
    source.execute(QStringLiteral("UPDATE Encaissement SET DatePaiement = '2024-06-01 00:00:00';"
                                  "UPDATE Encaissement SET DatePaiement = '2025-02-01 00:00:00', BanquePièce = 'CHQ '"
                                  " || NumEncaissement WHERE NumEncaissement <= %1;")
                       .arg(kExportedPayments));
}

// 10 000 card payments made on the portal since the start date.
void PreparePortal(const PortalStandin& portal)
{
    portal.execute(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO encaissement SELECT NULL, 1 + i %% 1000, 5, '2025-01-15', 10 + (i %% 50) * 1.5, 900000 + i, "
        "1 + i %% 4, 1, 4800000 + i FROM n;")
                       .arg(kPortalPayments)
                       .replace(QStringLiteral("%%"), QStringLiteral("%")));
}

void CopyFile(const QString& from, const QString& to)
{
    QFile::remove(to);
    QFile::remove(to + QStringLiteral("-wal"));
    QFile::remove(to + QStringLiteral("-shm"));
    if (!QFile::copy(from, to))
        throw std::runtime_error("cannot copy the sample base");
}

// The import as a plain program does it: the same request, the same
// statements, nothing else.
int FloorImport()
{
    FieldList fields;
    SplitFields(PortalImportPaiement(kStart), fields);
    OdbcFloor odbc(QStringLiteral("DB_KORVA8"));
    const QStringList& f = fields.fields();
    const qsizetype records = f.size() / 8;
    for (qsizetype k = 0; k < records; ++k) {
        const qsizetype b = k * 8;
        odbc.execute(QStringLiteral("DELETE from encaissement where NumRole2=") + f[b + 5]
            + QStringLiteral(" and NumClient=") + f[b] + QStringLiteral(" and NoPièce='fact-") + f[b + 4]
            + QLatin1Char('\''));
    }
    for (qsizetype k = 0; k < records; ++k) {
        const qsizetype b = k * 8;
        const long long number = odbc.scalar(QStringLiteral("select max(NumEncaissement) from encaissement")) + 1;
        const QString day = f[b + 3];
        odbc.execute(QStringLiteral("INSERT into encaissement(NumEncaissement,NumClient,MoyenPaiement,NumRole2,"
                                    "DatePaiement,NoPièce,NumE,MontantPayé,BanquePièce) values(")
            + QString::number(number) + QLatin1Char(',') + f[b] + QLatin1Char(',') + f[b + 1] + QLatin1Char(',')
            + f[b + 5] + QStringLiteral(",'") + day.left(2) + QLatin1Char('/') + day.mid(3, 2) + QLatin1Char('/')
            + day.mid(6, 4) + QStringLiteral("','fact-") + f[b + 4] + QStringLiteral("',") + f[b + 7] + QLatin1Char(',')
            + f[b + 2] + QStringLiteral(",'PF_") + f[b + 6] + QStringLiteral("')"));
    }
    odbc.commit();
    return static_cast<int>(records);
}

QString Quoted(const QString& text)
{
    QString quoted = text;
    return QLatin1Char('\'') + quoted.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

QString Digits(const QString& text)
{
    QString digits;
    for (const QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    return digits;
}

// The export as a plain program does it: the same selection through the
// driver, the same batch, the same request.
int FloorExport()
{
    OdbcFloor odbc(QStringLiteral("DB_KORVA8"));
    QString batch = QStringLiteral("DELETE FROM encaissement where etat=2 and transactionid=0 and datepaiement>'")
        + kStart.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral("';");
    const QString selection = TranslateStatement(
        QStringLiteral("SELECT * FROM Encaissement where (BanquePièce not like'PF_%' or BanquePièce is null) and "
                       "DatePaiement >#2025-01-01#"),
        SqlDialect::SQLite);
    // Columns of the sample table: NumEncaissement, NumClient, MoyenPaiement,
    // NumRole2, DatePaiement, NoPièce, NumE, MontantPayé, BanquePièce.
    const int rows = odbc.rows(selection, [&batch](const QStringList& r) {
        batch += QStringLiteral(" INSERT into  encaissement VALUES (''") + QLatin1Char(',') + Quoted(r[1])
            + QLatin1Char(',') + Quoted(r[2]) + QLatin1Char(',') + Quoted(r[4].left(10)) + QLatin1Char(',')
            + Quoted(r[7]) + QLatin1Char(',') + Quoted(Digits(r[5])) + QLatin1Char(',') + Quoted(r[3])
            + QStringLiteral(",'2','');");
    });
    PortalExport(batch);
    return rows;
}

void Report(const char* what, const char* figure, int statements, double program, double floor)
{
    std::printf("%-44s %8.3f s %9.0f statements/s   floor %8.3f s %9.0f statements/s   ratio %.2f\n", what, program,
        statements / program, floor, statements / floor, program / floor);
    char measured[96];
    std::snprintf(measured, sizeof measured, "%.2fx (%.3f s / %.3f s)", program / floor, program, floor);
    PrintSummary(figure, "<= 1.3x", measured, program / floor <= 1.3);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    try {
        QTemporaryDir work;
        QDir::setCurrent(work.path()); // the statement logs go there
        SetSettingsFilePath(work.filePath(QStringLiteral("quilvanor.ini")));

        korva8::SampleOptions sample;
        sample.clients = 1000;
        sample.payments = kLocalPayments;
        TestOdbcSource source(sample);
        PrepareLocalBase(source);
        const QString pristine = work.filePath(QStringLiteral("pristine.db"));
        CopyFile(source.databasePath(), pristine);

        PortalStandin portal;
        PreparePortal(portal);
        ErrorRecorder errors;
        TDmdMain dmd;

        std::vector<double> importTimes, importFloors, exportTimes, exportFloors;
        int imported = 0;
        int exported = 0;
        for (int run = 0; run < kRuns; ++run) {
            CopyFile(pristine, source.databasePath());
            importFloors.push_back(Seconds([&] { imported = FloorImport(); }));
            exportFloors.push_back(Seconds([&] { exported = FloorExport(); }));

            CopyFile(pristine, source.databasePath());
            TFrmSynchroniserPaiement window;
            window.show();
            window.DatePaiementImport->setDate(kStart);
            importTimes.push_back(Seconds([&] { Guarded([&] { window.BtImporterClick(); }); }));
            exportTimes.push_back(Seconds([&] { Guarded([&] { window.BtExporterClick(); }); }));
            dmd.ADOConnection->SetConnected(false);
            if (!errors.messages().isEmpty())
                throw std::runtime_error(errors.messages().join(QLatin1Char('\n')).toStdString());
        }
        if (imported != kPortalPayments || exported != kExportedPayments)
            throw std::runtime_error("the floor did not see the expected payments");
        const int localRows = source.scalar(QStringLiteral("SELECT count(*) FROM Encaissement")).toInt();
        if (localRows != kLocalPayments + kPortalPayments)
            throw std::runtime_error("the import did not record every payment");
        const int portalRows
            = portal.scalar(QStringLiteral("SELECT count(*) FROM encaissement WHERE etat = 2")).toInt();
        if (portalRows != kExportedPayments)
            throw std::runtime_error("the export did not send every payment");

        std::printf("payment import: %d portal payments into %d local rows (3 statements each); "
                    "payment export: %d local payments (1 selection + %d portal statements); median of %d runs\n",
            kPortalPayments, kLocalPayments, kExportedPayments, kExportedPayments + 1, kRuns);
        Report("import (request, checks, 30 000 statements)", "payment import vs floor, medians", 3 * kPortalPayments,
            Median(importTimes),
            Median(importFloors));
        Report("export (selection, batch, request)", "payment export vs floor, medians", kExportedPayments + 2,
            Median(exportTimes), Median(exportFloors));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench-payments: %s\n", error.what());
        return 1;
    }
    return 0;
}
