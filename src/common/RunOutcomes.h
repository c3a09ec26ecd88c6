#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The last outcome of each job that moves records, kept in a small file of
// its own beside the settings file ("quilvanor.etat"), so that a scheduled
// run that failed, or a job that no longer succeeds, is seen where the
// operator looks: the main window at start-up, and `--etat` for a monitoring
// script. Only the last outcome of each job and its last success are kept;
// the file is rewritten whole (old or new after a kill) by every run.
namespace RunOutcomes {

enum class Job { Synchronisation, RollExport };
enum class Origin { Window, Unattended };

struct Outcome {
    bool known = false; // the job has run since the record was kept
    QDateTime started;
    QDateTime ended;
    bool succeeded = false;
    Origin origin = Origin::Window;
    QString message; // what ended a failed run
    QString folder; // where its report and statement logs are
    QDateTime lastSuccess; // invalid: never
    QDateTime lastUnattended; // invalid: the job was never run without a window
};

struct Record {
    Outcome synchronisation;
    Outcome rollExport;
    QString unreadable; // why the file could not be read; empty when it was
    const Outcome& of(Job job) const { return job == Job::Synchronisation ? synchronisation : rollExport; }
    Outcome& of(Job job) { return job == Job::Synchronisation ? synchronisation : rollExport; }
};

// How long a job scheduled without a window may go without a success before
// it is shown as overdue.
constexpr qint64 kSynchronisationBoundDays = 3;
constexpr qint64 kRollExportBoundDays = 40;

QString RecordPath();

// The record as the file holds it. Never fails: a file that cannot be read,
// is damaged or dated after `now` gives an empty record and the reason.
Record Read(const QDateTime& now = QDateTime::currentDateTime());

// Records the run's outcome, the rest of the record kept (a damaged one is
// started afresh). False, with the reason, when the file cannot be written:
// the run's own outcome does not change for it.
bool Store(Job job, Origin origin, const QDateTime& started, bool succeeded, const QString& message,
    QString* failure = nullptr);

// What the operator must see, one paragraph a job (a failed scheduled run, a
// job overdue) or the unreadable record; empty when all is well.
QStringList Notices(const Record& record, const QDateTime& now = QDateTime::currentDateTime());

// The summary `--etat` prints: every job's last outcome and last success, then the notices.
QString Summary(const Record& record, const QDateTime& now = QDateTime::currentDateTime());

} // namespace RunOutcomes
