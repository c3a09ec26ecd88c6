#include "batch/CommandLine.h"

#include <QRegularExpression>

namespace {

const QString kSynchronise = QStringLiteral("--synchroniser");
const QString kStartDate = QStringLiteral("--depuis");
const QString kExportRolls = QStringLiteral("--exporter-roles");

QDate startDateOf(const QString& text)
{
    // Day and month with their two digits, as the operator's guide writes them.
    const QString pattern = QStringLiteral("dd/MM/yyyy");
    const QDate date = QDate::fromString(text, pattern);
    if (!date.isValid() || date.toString(pattern) != text)
        throw UsageError(
            kStartDate + QStringLiteral(" : '") + text + QStringLiteral("' n'est pas une date JJ/MM/AAAA"));
    return date;
}

QVector<int> rollNumbersOf(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^\\d{1,9}$"));
    QVector<int> numbers;
    for (const QString& piece : text.split(QLatin1Char(','))) {
        if (!number.match(piece).hasMatch())
            throw UsageError(kExportRolls + QStringLiteral(" : '") + text
                + QStringLiteral("' n'est pas une liste de numéros de rôle"));
        const int roll = piece.toInt();
        if (numbers.contains(roll))
            throw UsageError(kExportRolls + QStringLiteral(" : le rôle %1 est donné deux fois").arg(roll));
        numbers << roll;
    }
    return numbers;
}

class Reader {
public:
    explicit Reader(const QStringList& arguments)
        : m_arguments(arguments)
    {
    }

    UnattendedCommand read()
    {
        UnattendedCommand command;
        while (m_next < m_arguments.size()) {
            const QString option = m_arguments.at(m_next++);
            if (option == kSynchronise) {
                takeAction(command, UnattendedCommand::Action::Synchronise);
            } else if (option == kExportRolls) {
                takeAction(command, UnattendedCommand::Action::ExportRolls);
                command.rollNumbers = rollNumbersOf(value(option, QStringLiteral("des numéros de rôle N[,N...]")));
            } else if (option == kStartDate) {
                if (command.startDate)
                    throw UsageError(kStartDate + QStringLiteral(" est donnée deux fois"));
                command.startDate = startDateOf(value(option, QStringLiteral("une date JJ/MM/AAAA")));
            } else if (option == QLatin1String("--aide") || option == QLatin1String("--help")) {
                takeAction(command, UnattendedCommand::Action::Help);
            } else if (option == QLatin1String("--version")) {
                takeAction(command, UnattendedCommand::Action::Version);
            } else if (option == QLatin1String("--etat")) {
                takeAction(command, UnattendedCommand::Action::Status);
            } else {
                throw UsageError(QStringLiteral("option inconnue : ") + option);
            }
        }
        if (command.startDate && (!m_actionTaken || command.action != UnattendedCommand::Action::Synchronise))
            throw UsageError(kStartDate + QStringLiteral(" ne va qu'avec ") + kSynchronise);
        if (!m_actionTaken)
            throw UsageError(QStringLiteral("aucune action demandée"));
        return command;
    }

private:
    void takeAction(UnattendedCommand& command, UnattendedCommand::Action action)
    {
        if (m_actionTaken)
            throw UsageError(QStringLiteral("une seule action à la fois"));
        m_actionTaken = true;
        command.action = action;
    }

    QString value(const QString& option, const QString& expected)
    {
        if (m_next >= m_arguments.size())
            throw UsageError(option + QStringLiteral(" attend ") + expected);
        return m_arguments.at(m_next++);
    }

    const QStringList& m_arguments;
    qsizetype m_next = 0;
    bool m_actionTaken = false;
};

} // namespace

UnattendedCommand ParseCommandLine(const QStringList& arguments)
{
    return Reader(arguments).read();
}
