#include "common/RunOutcomes.h"

#include "common/Errors.h"
#include "common/NativeFile.h"
#include "common/PrivateProfile.h"
#include "common/SettingsFile.h"

#include <QDir>

#include <cerrno>
#include <cstring>

namespace RunOutcomes {

namespace {

const QStringList kKeys { QStringLiteral("Debut"), QStringLiteral("Fin"), QStringLiteral("Resultat"),
    QStringLiteral("Origine"), QStringLiteral("Message"), QStringLiteral("Dossier"),
    QStringLiteral("DerniereReussite"), QStringLiteral("DernierePlanifiee") };
enum Key { Started, Ended, Result, From, Message, Folder, LastSuccess, LastUnattended };

const QString kSucceeded = QStringLiteral("reussite");
const QString kFailed = QStringLiteral("echec");
const QString kWindow = QStringLiteral("fenetre");
const QString kUnattended = QStringLiteral("sans fenetre");

QString SectionOf(Job job)
{
    return job == Job::Synchronisation ? QStringLiteral("Synchronisation") : QStringLiteral("EnvoiRoles");
}

// The job as the operator's sentences name it.
struct Words {
    QString failedRun; // %1: when
    QString lastSuccess;
    QString overdue; // %1: the bound in days
    QString never;
};

Words WordsFor(Job job)
{
    if (job == Job::Synchronisation) {
        return { QStringLiteral("La synchronisation des paiements planifiée du %1 a échoué : "),
            QStringLiteral("Dernière synchronisation réussie : "),
            QStringLiteral("La synchronisation des paiements n'a pas réussi depuis plus de %1 jours."),
            QStringLiteral("aucune") };
    }
    return { QStringLiteral("L'envoi des rôles au portail planifié du %1 a échoué : "),
        QStringLiteral("Dernier envoi des rôles réussi : "),
        QStringLiteral("L'envoi des rôles au portail n'a pas réussi depuis plus de %1 jours."), QStringLiteral("aucun") };
}

qint64 BoundDays(Job job)
{
    return job == Job::Synchronisation ? kSynchronisationBoundDays : kRollExportBoundDays;
}

QString Stamp(const QDateTime& when)
{
    return when.isValid() ? when.toString(Qt::ISODate) : QString();
}

QString WhenText(const QDateTime& when)
{
    return when.toString(QStringLiteral("dd/MM/yyyy 'à' HH:mm"));
}

// One line of the file: a message's line ends become blanks.
QString OneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text.trimmed();
}

QDateTime ReadStamp(const QStringList& values, Key key, const QString& section, const QDateTime& now, bool required)
{
    const QString text = values.at(key);
    if (text.isEmpty() && !required)
        return {};
    const QDateTime when = QDateTime::fromString(text, Qt::ISODate);
    if (!when.isValid())
        throw FileError(QStringLiteral("la date « %1 » (clé %2 de la section [%3]) n'est pas lisible")
                          .arg(text, kKeys.at(key), section));
    if (when > now.addSecs(60))
        throw FileError(QStringLiteral("la date %1 (clé %2 de la section [%3]) est postérieure à maintenant")
                          .arg(WhenText(when), kKeys.at(key), section));
    return when;
}

Outcome ReadOutcome(const QString& path, Job job, const QDateTime& now)
{
    const QString section = SectionOf(job);
    const std::optional<QStringList> values = PrivateProfile::ReadSection(path, section, kKeys);
    Outcome outcome;
    if (!values)
        return outcome;
    outcome.known = true;
    outcome.started = ReadStamp(*values, Started, section, now, true);
    outcome.ended = ReadStamp(*values, Ended, section, now, true);
    const QString result = values->at(Result);
    if (result != kSucceeded && result != kFailed)
        throw FileError(QStringLiteral("le résultat « %1 » de la section [%2] n'est pas lisible").arg(result, section));
    outcome.succeeded = result == kSucceeded;
    outcome.origin = values->at(From) == kUnattended ? Origin::Unattended : Origin::Window;
    outcome.message = values->at(Message);
    outcome.folder = values->at(Folder);
    outcome.lastSuccess = ReadStamp(*values, LastSuccess, section, now, false);
    outcome.lastUnattended = ReadStamp(*values, LastUnattended, section, now, false);
    return outcome;
}

QString SectionText(Job job, const Outcome& outcome)
{
    if (!outcome.known)
        return {};
    const QStringList values { Stamp(outcome.started), Stamp(outcome.ended), outcome.succeeded ? kSucceeded : kFailed,
        outcome.origin == Origin::Unattended ? kUnattended : kWindow, OneLine(outcome.message), outcome.folder,
        Stamp(outcome.lastSuccess), Stamp(outcome.lastUnattended) };
    QString text = QLatin1Char('[') + SectionOf(job) + QStringLiteral("]\r\n");
    for (int i = 0; i < kKeys.size(); ++i)
        text += kKeys.at(i) + QLatin1Char('=') + values.at(i) + QStringLiteral("\r\n");
    return text;
}

QString LastSuccessText(Job job, const Outcome& outcome)
{
    const Words words = WordsFor(job);
    return words.lastSuccess
        + (outcome.lastSuccess.isValid() ? QStringLiteral("le ") + WhenText(outcome.lastSuccess) : words.never)
        + QLatin1Char('.');
}

} // namespace

QString RecordPath()
{
    return BesideSettingsFile(QStringLiteral(".etat"));
}

Record Read(const QDateTime& now)
{
    const QString path = RecordPath();
    Record record;
    try {
        record.synchronisation = ReadOutcome(path, Job::Synchronisation, now);
        record.rollExport = ReadOutcome(path, Job::RollExport, now);
    } catch (const QuilvanorError& error) {
        record = Record();
        record.unreadable = error.message();
    }
    return record;
}

bool Store(Job job, Origin origin, const QDateTime& started, bool succeeded, const QString& message, QString* failure)
{
    const QDateTime now = QDateTime::currentDateTime();
    Record record = Read(now);
    Outcome& outcome = record.of(job);
    outcome.known = true;
    outcome.started = started;
    outcome.ended = now;
    outcome.succeeded = succeeded;
    outcome.origin = origin;
    outcome.message = succeeded ? QString() : message;
    outcome.folder = QDir::toNativeSeparators(QDir::currentPath());
    if (succeeded)
        outcome.lastSuccess = now;
    if (origin == Origin::Unattended)
        outcome.lastUnattended = now;
    const QString text = QStringLiteral("; quilvanor : la dernière exécution de chaque tâche, tenue par le programme\r\n")
        + SectionText(Job::Synchronisation, record.synchronisation) + SectionText(Job::RollExport, record.rollExport);
    // UTF-8 with its mark: a message may hold any character, and Windows' profile functions read it so.
    const QByteArray bytes = QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
    errno = 0;
    if (WriteWholeFile(RecordPath(), bytes))
        return true;
    if (failure)
        *failure = QStringLiteral("L'état des exécutions (fichier %1) n'a pas pu être écrit : %2.")
                       .arg(QDir::toNativeSeparators(RecordPath()), QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

QStringList Notices(const Record& record, const QDateTime& now)
{
    if (!record.unreadable.isEmpty()) {
        return { QStringLiteral("L'état des exécutions planifiées (fichier %1) n'a pas pu être lu : %2. Il sera "
                                "réécrit à la prochaine exécution.")
                     .arg(QDir::toNativeSeparators(RecordPath()), record.unreadable) };
    }
    QStringList notices;
    for (const Job job : { Job::Synchronisation, Job::RollExport }) {
        const Outcome& outcome = record.of(job);
        if (!outcome.known)
            continue;
        const Words words = WordsFor(job);
        if (!outcome.succeeded && outcome.origin == Origin::Unattended) {
            QString text = words.failedRun.arg(WhenText(outcome.started)) + outcome.message;
            if (!outcome.folder.isEmpty())
                text += QStringLiteral(" (rapport et journaux dans %1)").arg(outcome.folder);
            notices << text + QLatin1Char(' ') + LastSuccessText(job, outcome);
            continue;
        }
        // A job the town schedules that has not succeeded within its bound: the task no longer runs.
        const QDateTime since = outcome.lastSuccess.isValid() ? outcome.lastSuccess : outcome.lastUnattended;
        if (outcome.lastUnattended.isValid() && since.daysTo(now) > BoundDays(job))
            notices << words.overdue.arg(BoundDays(job)) + QLatin1Char(' ') + LastSuccessText(job, outcome);
    }
    return notices;
}

QString Summary(const Record& record, const QDateTime& now)
{
    QStringList lines;
    if (record.unreadable.isEmpty()) {
        for (const Job job : { Job::Synchronisation, Job::RollExport }) {
            const Outcome& outcome = record.of(job);
            const QString name = job == Job::Synchronisation ? QStringLiteral("Synchronisation des paiements")
                                                             : QStringLiteral("Envoi des rôles au portail");
            if (!outcome.known) {
                lines << name + QStringLiteral(" : aucune exécution enregistrée.");
                continue;
            }
            lines << name
                    + QStringLiteral(" : dernière exécution (%1) le %2, %3.")
                          .arg(outcome.origin == Origin::Unattended ? QStringLiteral("sans fenêtre")
                                                                    : QStringLiteral("depuis la fenêtre"),
                              WhenText(outcome.started),
                              outcome.succeeded ? QStringLiteral("réussie") : QStringLiteral("échouée"))
                    + QLatin1Char(' ') + LastSuccessText(job, outcome);
        }
    }
    const QStringList notices = Notices(record, now);
    lines << (notices.isEmpty() ? QStringLiteral("Tout va bien.") : notices.join(QLatin1Char('\n')));
    return lines.join(QLatin1Char('\n'));
}

} // namespace RunOutcomes
