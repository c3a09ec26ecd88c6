#include "batch/UnattendedSynchronisation.h"

#include <QDir>

#include "batch/SynchronisationReport.h"
#include "common/CaughtErrors.h"
#include "common/ConsoleLines.h"
#include "common/DateTexts.h"
#include "common/Errors.h"
#include "data/AdoQuery.h"
#include "payments/LastRunDates.h"
#include "payments/PaymentExport.h"
#include "payments/PaymentImport.h"
#include "ui/ErrorDisplay.h"

QDate UnattendedStartDate(const std::optional<QDate>& requested)
{
    if (requested)
        return *requested;
    const QString stored = StoredLastRun(kLastImport);
    if (stored.isEmpty())
        throw QuilvanorError(QStringLiteral("aucune synchronisation n'a encore été faite : donnez la date de début "
                                            "avec --depuis JJ/MM/AAAA"));
    const QDate date = DateTexts::fromSettingsDate(stored);
    if (!date.isValid())
        throw QuilvanorError(QStringLiteral("la date de la dernière synchronisation dans %1 ('%2') n'est pas une "
                                            "date jj-mm-aa : donnez la date de début avec --depuis JJ/MM/AAAA")
                                 .arg(SettingsFilePath(), stored));
    // Two digits of year read in a century window: "31-12-69" reads as 2069,
    // a start no payment has reached yet, and the run would do nothing silently.
    if (date > QDate::currentDate())
        throw QuilvanorError(QStringLiteral("la date de la dernière synchronisation dans %1 ('%2', lue %3) est "
                                            "après aujourd'hui : donnez la date de début avec --depuis JJ/MM/AAAA")
                                 .arg(QDir::toNativeSeparators(SettingsFilePath()), stored,
                                     date.toString(QStringLiteral("dd/MM/yyyy"))));
    return date;
}

bool SynchroniseUnattended(AdoConnection& connection, const QDate& startDate, QString& ending)
{
    SynchronisationReport report;
    // The window's four queries, under the names their errors carry.
    AdoQuery deletion(QStringLiteral("QueryDeleteEncaissement"), &connection);
    AdoQuery insertion(QStringLiteral("QueryInsertEncaissement"), &connection);
    AdoQuery lastNumber(QStringLiteral("QueryIDEncaissement"), &connection);
    AdoQuery selection(QStringLiteral("QueryEncaissement"), &connection);
    return CatchingErrors(
        [&] {
            PaymentImport(connection, deletion, insertion, lastNumber, report).Run(startDate);
            PaymentExport(selection, report).Run(startDate);
            report.Close();
        },
        [&](const QString& message) {
            ending = ErrorDisplay::DisplayText(message);
            report.AddError(WriteErrorLine(ending));
        });
}
