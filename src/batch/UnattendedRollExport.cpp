#include "batch/UnattendedRollExport.h"

#include "common/ConsoleLines.h"
#include "common/Errors.h"
#include "rolls/ErrorList.h"
#include "rolls/ExportFeedback.h"
#include "rolls/RollExportRun.h"
#include "rolls/RollQueries.h"

#include <QHash>

namespace {

// Nobody watches the run: no progress shows, and the error list's lines go
// to standard output as the replies come.
class ReplyLines : public ExportFeedback {
public:
    void ProgressStart(int, const QString&) override { }
    void ProgressStep(int) override { }
    void ProgressEnd() override { }
    void AppendReply(const QString& reply) override
    {
        ErrorList lines;
        lines.Append(reply);
        for (const QString& line : lines.lines())
            WriteLine(ConsoleStream::Output, line);
    }
    void ShowErrorList() override { }
};

// The rows of QueryRole holding the rolls, in the order of the numbers.
QVector<int> rowsOfRolls(AdoQuery& rolls, const QVector<int>& rollNumbers)
{
    QHash<qint64, int> rowOfRoll;
    for (rolls.First(); !rolls.Eof(); rolls.Next())
        rowOfRoll.insert(rolls.FieldByName(QStringLiteral("NumRole")).AsInteger(), rolls.Bookmark());
    QVector<int> rows;
    for (const int roll : rollNumbers) {
        const auto found = rowOfRoll.constFind(roll);
        if (found == rowOfRoll.constEnd())
            throw QuilvanorError(QStringLiteral("le rôle %1 n'existe pas dans la base KORVA 8").arg(roll));
        rows << found.value();
    }
    return rows;
}

} // namespace

void ExportRollsUnattended(AdoConnection* connection, const QVector<int>& rollNumbers)
{
    RollQueries queries(connection);
    queries.OpenAllRolls();
    const QVector<int> rows = rowsOfRolls(queries.QueryRole, rollNumbers);
    ReplyLines feedback;
    ExportSelectedRolls(queries, rows, feedback);
}
