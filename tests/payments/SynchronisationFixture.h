#pragma once

// What the synchronisation tests share: the town's database behind a real
// ODBC data source, the portal stand-in, a settings file of the test's own
// and the error display recorded instead of shown.
#include "data/AdoConnection.h"
#include "data/TDmdMain.h"
#include "payments/LastRunDates.h"
#include "payments/TFrmSynchroniserPaiement.h"
#include "support/ErrorRecorder.h"
#include "support/PortalStandin.h"
#include "support/TestOdbcSource.h"

#include <QDateEdit>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

class SynchronisationFixture {
public:
    SynchronisationFixture()
        : m_source(emptyPayments())
    {
    }

    static korva8::SampleOptions emptyPayments()
    {
        korva8::SampleOptions options;
        options.payments = 0;
        return options;
    }

    // A new local database without payments, a new portal, no settings file,
    // no statement log and no recorded error.
    void reset()
    {
        m_portal.reset();
        m_dmd.ADOConnection->SetConnected(false);
        m_source.recreate(emptyPayments());
        m_portal = std::make_unique<PortalStandin>();
        SetSettingsFilePath(settingsPath());
        QFile::remove(settingsPath());
        for (const QString& log : statementLogs(QStringLiteral("*")))
            QFile::remove(log);
        m_errors.clear();
    }

    QString settingsPath() const { return m_settingsDir.filePath(QStringLiteral("quilvanor.ini")); }

    QByteArray settingsFile() const
    {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    // A local payment; bank "NULL" leaves BanquePièce null.
    void addLocalPayment(int number, int client, int method, int roll, const QString& isoDate, const QString& piece,
        double amount, const QString& bank) const
    {
        m_source.execute(
            QStringLiteral("INSERT INTO Encaissement VALUES (%1, %2, %3, %4, '%5 00:00:00', '%6', 1, %7, %8)")
                .arg(number)
                .arg(client)
                .arg(method)
                .arg(roll)
                .arg(isoDate, piece)
                .arg(amount)
                .arg(bank == QLatin1String("NULL") ? bank : QLatin1Char('\'') + bank + QLatin1Char('\'')));
    }

    // A payment a family made on the portal (etat 1), or abandoned (etat 0).
    void addPortalPayment(
        int client, const QString& isoDate, double amount, int invoice, int roll, int transaction, int etat = 1) const
    {
        m_portal->execute(QStringLiteral("INSERT INTO encaissement VALUES (NULL, %1, 5, '%2', %3, %4, %5, %6, %7)")
                              .arg(client)
                              .arg(isoDate)
                              .arg(amount)
                              .arg(invoice)
                              .arg(roll)
                              .arg(etat)
                              .arg(transaction));
    }

    QStringList localPayments() const
    {
        return m_source.rows(
            QStringLiteral("SELECT NumEncaissement, NumClient, MoyenPaiement, NumRole2, DatePaiement, NoPièce, NumE, "
                           "printf('%.2f', MontantPayé), BanquePièce FROM Encaissement ORDER BY NumEncaissement"));
    }

    // The payments the program sent to the portal (etat 2, no transaction).
    QStringList exportedPayments() const
    {
        return m_portal->rows(QStringLiteral(
            "SELECT numclient, moyenpaiement, datepaiement, printf('%.2f', montant), numfacture, numrole "
            "FROM encaissement WHERE etat = 2 AND transactionid = 0 ORDER BY numclient, numfacture"));
    }

    static QStringList statementLogs(const QString& kind)
    {
        QStringList paths;
        for (const QString& name :
            QDir::current().entryList({ QStringLiteral("cantine-") + kind + QStringLiteral("-*.csv") }))
            paths << QDir::current().filePath(name);
        return paths;
    }

    static QByteArray statementLog(const QString& kind)
    {
        const QStringList paths = statementLogs(kind);
        if (paths.size() != 1)
            return "(" + QByteArray::number(paths.size()) + " logs)";
        QFile file(paths.first());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    }

    // Runs the synchronisation from the start date, as the operator does.
    static void synchronise(TFrmSynchroniserPaiement& window, const QDate& startDate)
    {
        window.DatePaiementImport->setDate(startDate);
        window.BtSynchroniser->click();
    }

    TestOdbcSource m_source;
    TDmdMain m_dmd;
    QTemporaryDir m_settingsDir;
    std::unique_ptr<PortalStandin> m_portal;
    ErrorRecorder m_errors;
};
