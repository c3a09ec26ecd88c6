// The program run without a window, as a scheduled task runs it: the same runs
// as the windows', on a real ODBC data source with a recording portal or the
// portal stand-in; and the real program's command line, run as a process
// where no display exists.
#include "batch/UnattendedRun.h"
#include "payments/SynchronisationFixture.h"
#include "app/TFrmMain.h"
#include "common/RunLock.h"
#include "common/RunOutcomes.h"
#include "common/SettingsFile.h"
#include "portal/FonctionsVendrolles.h"
#include "support/RecordingPortal.h"
#include "support/RunFixture.h"
#include "rolls/WindowFixture.h"
#include "support/ConsoleCapture.h"
#include "support/HostPrograms.h"
#include "support/LoopbackPorts.h"
#include "support/TlsFront.h"
#include "support/WebProxy.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QPlainTextEdit>
#include <QtTest>

namespace {

const QDate kStart(2024, 3, 5);
const QStringList kSynchroniseFromStart
    = { QStringLiteral("--synchroniser"), QStringLiteral("--depuis"), QStringLiteral("05/03/2024") };
const QString kUsageFirstLine = QStringLiteral("Utilisation : quilvanor [action]");

// Two payments made on the portal since the start date, as its reply lists them.
const QByteArray kPortalPayments = "6;5;7.00;05-03-2024;240006;2;4700006;3\r\n"
                                   "5;5;61.20;06-03-2024;240005;2;4700005;3\r\n";

// A text's lines, without the empty line after a last line break.
QStringList linesOf(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList flattened(const QList<RecordingPortal::Request>& requests)
{
    QStringList out;
    for (const RecordingPortal::Request& request : requests)
        out << request.path + QLatin1Char('|') + request.token + QLatin1Char('|') + request.query;
    return out;
}

QStringList reportFiles()
{
    return QDir::current().entryList({ QStringLiteral("cantine-synchronisation-*.txt") }, QDir::Files);
}

void removeReports()
{
    for (const QString& name : reportFiles())
        QFile::remove(name);
}

// The one report the run left, as its lines ended by CR LF.
QStringList reportLines()
{
    return RunFixture::onlyFileLines(QStringLiteral("cantine-synchronisation-*.txt"));
}

// What a synchronisation leaves: the requests the portal received, the
// statement logs, the settings file and the local payments.
struct Synchronised {
    QStringList requests;
    QByteArray importLog;
    QByteArray exportLog;
    QByteArray settings;
    QStringList localPayments;
};

// The real program, with no window system named and no display, on the
// test's data source (the host programs of a Windows test start without it).
HostPrograms::Outcome runTheProgram(const QStringList& arguments)
{
    QStringList command { QStringLiteral("env"), QStringLiteral("-u"), QStringLiteral("QT_QPA_PLATFORM"),
        QStringLiteral("-u"), QStringLiteral("DISPLAY"), QStringLiteral("-u"), QStringLiteral("WAYLAND_DISPLAY"),
        QStringLiteral("ODBCINI=") + qEnvironmentVariable("ODBCINI") };
#ifdef _WIN32
    command << QStringLiteral("wine");
#endif
    return HostPrograms::Run(command << QStringLiteral(QUILVANOR_PROGRAM) << arguments);
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QStringList streamLines(const QByteArray& bytes)
{
    return linesOf(QString::fromLocal8Bit(bytes).remove(QLatin1Char('\r')));
}

} // namespace

class TestUnattendedRuns : public QObject {
    Q_OBJECT

    SynchronisationFixture m_fixture;

    // A local payment to send, one the portal sent earlier, and one that the
    // portal's payment of the same invoice replaces.
    void addLocalPayments()
    {
        m_fixture.addLocalPayment(
            42, 12, 1, 4, QStringLiteral("2024-03-09"), QStringLiteral("fact-678"), 8, QStringLiteral("NULL"));
        m_fixture.addLocalPayment(
            43, 5, 1, 2, QStringLiteral("2024-02-01"), QStringLiteral("fact-240005"), 20, QStringLiteral("CHQ 1"));
        m_fixture.addLocalPayment(
            44, 11, 3, 4, QStringLiteral("2024-03-08"), QStringLiteral("fact-240013"), 5, QStringLiteral("PF_99"));
    }

    // Runs a synchronisation from a fresh start against a recording portal.
    template <class Run> Synchronised synchroniseRecorded(Run&& run)
    {
        m_fixture.reset();
        removeReports();
        addLocalPayments();
        RecordingPortal portal({ { 200, kPortalPayments }, { 200, "3 paiements" } });
        run();
        return { flattened(portal.requests()), SynchronisationFixture::statementLog(QStringLiteral("import-paiement")),
            SynchronisationFixture::statementLog(QStringLiteral("export-paiement")), m_fixture.settingsFile(),
            m_fixture.localPayments() };
    }

private slots:
    void cleanupTestCase() { m_fixture.m_portal.reset(); }

    void aSynchronisationWithoutTheWindowDoesWhatTheWindowDoes()
    {
        QString detail;
        const Synchronised byWindow = synchroniseRecorded([&] {
            TFrmSynchroniserPaiement window;
            SynchronisationFixture::synchronise(window, kStart);
            detail = window.RichDetail->toPlainText();
        });
        QCOMPARE(m_fixture.m_errors.messages(), QStringList());
        QCOMPARE(byWindow.requests.size(), 2);

        ConsoleCapture console;
        int status = -1;
        const Synchronised unattended = synchroniseRecorded([&] { status = RunCommandLine(kSynchroniseFromStart); });
        QCOMPARE(status, kExitSuccess);
        QCOMPARE(console.errors(), QStringList());
        QCOMPARE(unattended.requests, byWindow.requests);
        QCOMPARE(unattended.importLog, byWindow.importLog);
        QCOMPARE(unattended.exportLog, byWindow.exportLog);
        QCOMPARE(unattended.settings, byWindow.settings);
        QCOMPARE(unattended.localPayments, byWindow.localPayments);
        // The detail text's lines, on standard output and in the report.
        QCOMPARE(console.output(), linesOf(detail));
        QCOMPARE(reportLines(), console.output());
    }

    void aSecondUnattendedSynchronisationStartsAtTheStoredDateAndDuplicatesNothing()
    {
        m_fixture.reset();
        removeReports();
        addLocalPayments();
        m_fixture.addPortalPayment(6, QStringLiteral("2024-03-05"), 7, 240006, 2, 4700006);
        ConsoleCapture console;

        // A first run needs its start date.
        QCOMPARE(RunCommandLine({ QStringLiteral("--synchroniser") }), kExitFailure);
        QCOMPARE(console.errors(),
            QStringList(QStringLiteral("quilvanor: aucune synchronisation n'a encore été faite : donnez la date de "
                                       "début avec --depuis JJ/MM/AAAA.")));
        QCOMPARE(SynchronisationFixture::statementLogs(QStringLiteral("*")), QStringList());
        QCOMPARE(reportFiles(), QStringList());

        // Nor is a stored date after today one: "31-12-69" reads as 2069.
        console.clear();
        writeBytes(SettingsFilePath(), "[Import]\r\nLastDateImport=31-12-69\r\n");
        QCOMPARE(RunCommandLine({ QStringLiteral("--synchroniser") }), kExitFailure);
        QCOMPARE(console.errors(),
            QStringList(QStringLiteral("quilvanor: la date de la dernière synchronisation dans %1 ('31-12-69', lue "
                                       "31/12/2069) est après aujourd'hui : donnez la date de début avec --depuis "
                                       "JJ/MM/AAAA.")
                            .arg(QDir::toNativeSeparators(SettingsFilePath()))));
        QCOMPARE(SynchronisationFixture::statementLogs(QStringLiteral("*")), QStringList());
        QFile::remove(SettingsFilePath());

        console.clear();
        QCOMPARE(RunCommandLine(kSynchroniseFromStart), kExitSuccess);
        const QStringList local = m_fixture.localPayments();
        const QStringList portal = m_fixture.m_portal->rows(QStringLiteral("SELECT * FROM encaissement ORDER BY 1"));
        QCOMPARE(local.size(), 4);
        QCOMPARE(m_fixture.exportedPayments().size(), 1);

        removeReports();
        console.clear();
        QCOMPARE(RunCommandLine({ QStringLiteral("--synchroniser") }), kExitSuccess);
        QCOMPARE(console.errors(), QStringList());
        QCOMPARE(console.output().value(0),
            QStringLiteral(
                "Import des paiements effectués dans le portail famille vers KORVA8 à partir du 05/03/2024"));
        QCOMPARE(m_fixture.localPayments(), local);
        const QStringList portalAfter
            = m_fixture.m_portal->rows(QStringLiteral("SELECT * FROM encaissement ORDER BY 1"));
        QCOMPARE(portalAfter.size(), portal.size());
        QCOMPARE(m_fixture.exportedPayments().size(), 1);
    }

    void anUnreachablePortalEndsTheRunWithItsMessageAndChangesNothing()
    {
        m_fixture.reset();
        removeReports();
        addLocalPayments();
        const QStringList local = m_fixture.localPayments();
        RefusingPort refusing;
        const QString previousBaseUrl = PortalBaseUrl();
        const auto restore = qScopeGuard([&] { SetPortalBaseUrl(previousBaseUrl); });
        SetPortalBaseUrl(QStringLiteral("http://127.0.0.1:%1").arg(refusing.port()));
        {
            TFrmSynchroniserPaiement window;
            SynchronisationFixture::synchronise(window, kStart);
        }
        QCOMPARE(m_fixture.m_errors.messages().size(), 1);
        // The window's message on one line.
        const QString errorLine = QStringLiteral("quilvanor: ")
            + QString(m_fixture.m_errors.messages().first()).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        for (const QString& log : SynchronisationFixture::statementLogs(QStringLiteral("*")))
            QFile::remove(log);

        ConsoleCapture console;
        QCOMPARE(RunCommandLine(kSynchroniseFromStart), kExitFailure);
        QCOMPARE(console.errors(), QStringList(errorLine));
        QCOMPARE(console.output(), QStringList());
        QCOMPARE(reportLines(), QStringList(errorLine));
        QCOMPARE(m_fixture.localPayments(), local);
        QCOMPARE(m_fixture.settingsFile(), QByteArray("(missing)"));
        QCOMPARE(SynchronisationFixture::statementLog(QStringLiteral("import-paiement")), QByteArray());
        QCOMPARE(SynchronisationFixture::statementLogs(QStringLiteral("export-paiement")), QStringList());
    }

    // The three jobs reach a portal over TLS at the settings file's address,
    // and the file keeps its bytes when the synchronisation adds its dates; a
    // certificate the program cannot trust ends the run with its message.
    void theThreeJobsReachAnHttpsPortalNamedInTheSettingsFile()
    {
        // The stand-in's empty replies end with the connection.
        if (!TestCertificates::ClosingAlertHeard())
            QSKIP(TestCertificates::kWhyNoClosingAlert);
        m_fixture.reset();
        removeReports();
        addLocalPayments();
        m_fixture.addPortalPayment(6, QStringLiteral("2024-03-05"), 7, 240006, 2, 4700006);
        const QStringList localBefore = m_fixture.localPayments();
        const TlsFront front(m_fixture.m_portal->port());
        // Only the settings file's address reaches the portal.
        const QString standinUrl = PortalBaseUrl();
        const auto restore = qScopeGuard([&] { SetPortalBaseUrl(standinUrl); });
        RefusingPort builtIn;
        SetPortalBaseUrl(QStringLiteral("http://127.0.0.1:%1").arg(builtIn.port()));
        const QByteArray portalSection = "; portail de la ville\r\n[Portail]\r\nAdresse=" + front.url().toLatin1() + "\r\n";
        const QByteArray authority = "AutoriteCertification=" + TestCertificates::AuthorityFile().toLocal8Bit() + "\r\n";
        const QByteArray otherSection = "\r\n[Autre]\r\nCle=1\r\n";

        // Without the town's authority, the certificate is refused and nothing changes.
        writeBytes(m_fixture.settingsPath(), portalSection + otherSection);
        ConsoleCapture console;
        QCOMPARE(RunCommandLine(kSynchroniseFromStart), kExitFailure);
        QCOMPARE(console.errors(),
            QStringList(QStringLiteral("quilvanor: Certificat du portail refusé : son émetteur « %1 » n'est pas une "
                                       "autorité de confiance, ni de ce poste ni du fichier nommé par "
                                       "AutoriteCertification dans la section [Portail].")
                            .arg(TestCertificates::AuthorityName())));
        QCOMPARE(m_fixture.localPayments(), localBefore);
        QCOMPARE(m_fixture.settingsFile(), portalSection + otherSection);

        writeBytes(m_fixture.settingsPath(), portalSection + authority + otherSection);
        console.clear();
        QCOMPARE(RunCommandLine(kSynchroniseFromStart), kExitSuccess);
        QCOMPARE(console.errors(), QStringList());
        QCOMPARE(m_fixture.localPayments().size(), 4);
        QCOMPARE(m_fixture.exportedPayments().size(), 1);
        QCOMPARE(m_fixture.settingsFile(),
            portalSection + authority + otherSection
                + "[Import]\r\nLastDateImport=05-03-24\r\n[Export]\r\nLastDateExport=05-03-24\r\n");

        QCOMPARE(RunCommandLine({ QStringLiteral("--exporter-roles"), QStringLiteral("3,1") }), kExitSuccess);
        QCOMPARE(m_fixture.m_portal->scalar(QStringLiteral("SELECT count(*) FROM role")), QStringLiteral("2"));

        const QString clientsOverTls = PortalImportClientFactureNumerique();
        QFile::remove(m_fixture.settingsPath());
        SetPortalBaseUrl(standinUrl);
        QCOMPARE(clientsOverTls, PortalImportClientFactureNumerique());
    }

    // Through the town's proxy, with its password, the three jobs reach the
    // portal over http as over https; a wrong password ends the run with the
    // proxy's refusal, and nothing changes.
    void theThreeJobsGoThroughTheTownsProxy_data()
    {
        QTest::addColumn<bool>("tls");
        QTest::newRow("http") << false;
        QTest::newRow("https") << true;
    }

    void theThreeJobsGoThroughTheTownsProxy()
    {
        QFETCH(bool, tls);
        if (OwnAddress().isEmpty())
            QSKIP(kWhyNoOwnAddress);
        if (tls && !TestCertificates::ClosingAlertHeard())
            QSKIP(TestCertificates::kWhyNoClosingAlert); // the stand-in's empty replies end with the connection
        m_fixture.reset();
        removeReports();
        addLocalPayments();
        m_fixture.addPortalPayment(6, QStringLiteral("2024-03-05"), 7, 240006, 2, 4700006);
        const QStringList localBefore = m_fixture.localPayments();
        std::optional<TlsFront> front;
        if (tls)
            front.emplace(m_fixture.m_portal->port());
        const OwnAddressRelay relay(tls ? front->port() : m_fixture.m_portal->port());
        const WebProxy proxy(WebProxy::Options { QStringLiteral("agent"), QStringLiteral("juste"), false });
        const QString standinUrl = PortalBaseUrl();
        const auto restore = qScopeGuard([&] { SetPortalBaseUrl(standinUrl); });
        RefusingPort builtIn;
        SetPortalBaseUrl(QStringLiteral("http://127.0.0.1:%1").arg(builtIn.port()));
        const QByteArray section = "[Portail]\r\nAdresse=" + relay.url(tls).toLatin1() + "\r\nProxy="
            + proxy.address().toLatin1() + "\r\nProxyUtilisateur=agent\r\nAutoriteCertification="
            + TestCertificates::AuthorityFile().toLocal8Bit() + "\r\n";

        writeBytes(m_fixture.settingsPath(), section + "ProxyMotDePasse=faux\r\n");
        ConsoleCapture console;
        QCOMPARE(RunCommandLine(kSynchroniseFromStart), kExitFailure);
        QCOMPARE(console.errors(),
            QStringList(QStringLiteral("quilvanor: Le proxy %1 (clé Proxy de la section [Portail] de %2) a refusé "
                                       "l'identifiant « agent » et son mot de passe (authentification Basic) : "
                                       "vérifiez ProxyUtilisateur et ProxyMotDePasse dans la section [Portail] du "
                                       "fichier de paramètres. Rien n'a été envoyé au portail.")
                            .arg(proxy.address(), QDir::toNativeSeparators(m_fixture.settingsPath()))));
        QCOMPARE(m_fixture.localPayments(), localBefore);
        const int refused = proxy.tunnelRequests();

        writeBytes(m_fixture.settingsPath(), section + "ProxyMotDePasse=juste\r\n");
        console.clear();
        QCOMPARE(RunCommandLine(kSynchroniseFromStart), kExitSuccess);
        QCOMPARE(console.errors(), QStringList());
        QCOMPARE(m_fixture.localPayments().size(), 4);
        QCOMPARE(m_fixture.exportedPayments().size(), 1);
        QCOMPARE(RunCommandLine({ QStringLiteral("--exporter-roles"), QStringLiteral("3,1") }), kExitSuccess);
        QCOMPARE(m_fixture.m_portal->scalar(QStringLiteral("SELECT count(*) FROM role")), QStringLiteral("2"));
        const QString clientsThroughTheProxy = PortalImportClientFactureNumerique();
        // At least one tunnel a job: the relay alone would have served them too.
        QVERIFY2(proxy.tunnelRequests() >= refused + 3, qPrintable(QString::number(proxy.tunnelRequests())));

        QFile::remove(m_fixture.settingsPath());
        SetPortalBaseUrl(standinUrl);
        QCOMPARE(clientsThroughTheProxy, PortalImportClientFactureNumerique());
    }

    void aRollExportWithoutTheWindowSendsWhatTheWindowSends()
    {
        m_fixture.reset();
        const QList<RecordingPortal::Answer> replies { { 200, "" }, { 200, "role 3 recu" }, { 200, "" },
            { 200, "ligne 4 refusee\r\nligne 9 refusee" }, { 200, "" }, { 200, "" }, { 200, "" }, { 200, "" },
            { 200, "" }, { 200, "groupes ok" } };
        RunFixture::removeExportLogs();
        QStringList byWindow;
        QString errorList;
        {
            RecordingPortal portal(replies);
            WindowFixture::OpenWindow open;
            QVERIFY(open.exposed());
            WindowFixture::clickRoll(open.window(), 1, Qt::ControlModifier);
            WindowFixture::clickRoll(open.window(), 3, Qt::ControlModifier);
            WindowFixture::clickExport(open.window());
            QCOMPARE(open.errors(), QStringList());
            byWindow = flattened(portal.requests());
            errorList = open.window().Memo1->toPlainText();
        }
        QCOMPARE(byWindow.size(), 11);
        const QStringList windowLog = RunFixture::onlyLogLines();
        RunFixture::removeExportLogs();

        ConsoleCapture console;
        {
            RecordingPortal portal(replies);
            QCOMPARE(RunCommandLine({ QStringLiteral("--exporter-roles"), QStringLiteral("3,1") }), kExitSuccess);
            QCOMPARE(flattened(portal.requests()), byWindow);
        }
        QCOMPARE(RunFixture::onlyLogLines(), windowLog);
        QCOMPARE(console.output(), errorList.split(QLatin1Char('\n')));
        QCOMPARE(console.errors(), QStringList());

        // A roll the base does not hold: refused before anything is written or sent.
        RunFixture::removeExportLogs();
        console.clear();
        RecordingPortal portal;
        QCOMPARE(RunCommandLine({ QStringLiteral("--exporter-roles"), QStringLiteral("3,99") }), kExitFailure);
        QCOMPARE(
            console.errors(), QStringList(QStringLiteral("quilvanor: le rôle 99 n'existe pas dans la base KORVA 8.")));
        QCOMPARE(portal.requests().size(), 0);
        QCOMPARE(RunFixture::exportLogs(), QStringList());
    }

    void theRealProgramAnswersItsCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("error");

        QTest::newRow("aide") << QStringList { QStringLiteral("--aide") } << kExitSuccess << kUsageFirstLine
                              << QString();
        QTest::newRow("help") << QStringList { QStringLiteral("--help") } << kExitSuccess << kUsageFirstLine
                              << QString();
        // Beside the built program there is no settings file: the built-in address is in force.
        QTest::newRow("version") << QStringList { QStringLiteral("--version") } << kExitSuccess
                                 << QStringLiteral("quilvanor " QUILVANOR_VERSION "\nPortail : " QUILVANOR_PORTAL_BASE_URL
                                                   " (adresse intégrée au programme)\nProxy : aucun (le portail est sur cet ordinateur : il est "
                                                   "joint directement)")
                                 << QString();
        QTest::newRow("unknown option") << QStringList { QStringLiteral("--synchronise") } << kExitUsage << QString()
                                        << QStringLiteral("quilvanor: option inconnue : --synchronise.");
        QTest::newRow("date missing") << QStringList { QStringLiteral("--synchroniser"), QStringLiteral("--depuis") }
                                      << kExitUsage << QString()
                                      << QStringLiteral("quilvanor: --depuis attend une date JJ/MM/AAAA.");
        QTest::newRow("no such day") << QStringList { QStringLiteral("--synchroniser"), QStringLiteral("--depuis"),
            QStringLiteral("30/02/2024") }
                                     << kExitUsage << QString()
                                     << QStringLiteral(
                                            "quilvanor: --depuis : '30/02/2024' n'est pas une date JJ/MM/AAAA.");
        QTest::newRow("date without action")
            << QStringList { QStringLiteral("--depuis"), QStringLiteral("01/03/2024") } << kExitUsage << QString()
            << QStringLiteral("quilvanor: --depuis ne va qu'avec --synchroniser.");
        QTest::newRow("two actions") << QStringList {
            QStringLiteral("--synchroniser"), QStringLiteral("--exporter-roles"), QStringLiteral("1")
        } << kExitUsage << QString() << QStringLiteral("quilvanor: une seule action à la fois.");
        QTest::newRow("roll list")
            << QStringList { QStringLiteral("--exporter-roles"), QStringLiteral("1,,2") } << kExitUsage << QString()
            << QStringLiteral("quilvanor: --exporter-roles : '1,,2' n'est pas une liste de numéros de rôle.");
        QTest::newRow("roll not in the base")
            << QStringList { QStringLiteral("--exporter-roles"), QStringLiteral("99") } << kExitFailure << QString()
            << QStringLiteral("quilvanor: le rôle 99 n'existe pas dans la base KORVA 8.");
    }

    void theRealProgramAnswersItsCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(QString, error);

        const HostPrograms::Outcome outcome = runTheProgram(arguments);
        const QStringList outputLines = streamLines(outcome.output);
        const QStringList errorLines = streamLines(outcome.errors);
        QCOMPARE(outcome.exitCode, exitCode);
        QCOMPARE(outputLines.mid(0, output.count(QLatin1Char('\n')) + 1).join(QLatin1Char('\n')), output);
        QCOMPARE(errorLines.value(0), error);
        // A command line that is not understood is answered with the usage.
        QCOMPARE(errorLines.value(1), exitCode == kExitUsage ? kUsageFirstLine : QString());
    }

    // A scheduled run that fails is seen where the operator looks: the real
    // program, its portal down, keeps the outcome beside its settings file;
    // the main window opens with it (never a box), --etat says it with status
    // 1; a damaged record is said and rewritten; a run that succeeds clears it.
    void aFailedScheduledRunIsShownUntilARunSucceeds()
    {
        m_fixture.reset();
        const QString folder = QFileInfo(QStringLiteral(QUILVANOR_PROGRAM)).path();
        const QString programSettings = folder + QStringLiteral("/quilvanor.ini");
        const QString previous = SettingsFilePath();
        SetSettingsFilePath(programSettings);
        const auto restore = qScopeGuard([&] {
            QFile::remove(programSettings);
            QFile::remove(RunOutcomes::RecordPath());
            SetSettingsFilePath(previous);
        });
        QFile::remove(RunOutcomes::RecordPath());
        RefusingPort down;
        writeBytes(programSettings, "[Portail]\r\nAdresse=http://127.0.0.1:" + QByteArray::number(down.port()) + "\r\n");
        const QStringList exportRoll { QStringLiteral("--exporter-roles"), QStringLiteral("1") };
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        const HostPrograms::Outcome failed = runTheProgram(exportRoll);
        QCOMPARE(failed.exitCode, kExitFailure);

        const RunOutcomes::Outcome kept = RunOutcomes::Read().rollExport;
        QVERIFY(kept.known && !kept.succeeded && kept.origin == RunOutcomes::Origin::Unattended);
        QVERIFY(kept.started >= before.addSecs(-1) && kept.ended >= kept.started);
        QVERIFY2(kept.message.contains(QStringLiteral("10061")), qPrintable(kept.message));
        QVERIFY(!kept.lastSuccess.isValid());
        const QString notice = QStringLiteral("L'envoi des rôles au portail planifié du %1 a échoué : %2 (rapport et "
                                              "journaux dans %3) Dernier envoi des rôles réussi : aucun.")
                                   .arg(kept.started.toString(QStringLiteral("dd/MM/yyyy 'à' HH:mm")), kept.message,
                                       kept.folder);
        const auto noticeOfAWindow = [] {
            TFrmMain window;
            return window.LabelEtat->isVisibleTo(&window) ? window.LabelEtat->text() : QString();
        };
        QCOMPARE(noticeOfAWindow(), notice);
        HostPrograms::Outcome status = runTheProgram({ QStringLiteral("--etat") });
        QCOMPARE(status.exitCode, kExitFailure);
        QVERIFY2(streamLines(status.output).contains(notice), status.output.constData());

        writeBytes(RunOutcomes::RecordPath(), "[EnvoiRoles]\r\nDebut=hier\r\n");
        QVERIFY(noticeOfAWindow().contains(QStringLiteral("n'a pas pu être lu : la date « hier » (clé Debut de la "
                                                          "section [EnvoiRoles]) n'est pas lisible")));

        writeBytes(programSettings,
            "[Portail]\r\nAdresse=http://127.0.0.1:" + QByteArray::number(m_fixture.m_portal->port()) + "\r\n");
        const HostPrograms::Outcome succeeded = runTheProgram(exportRoll);
        QVERIFY2(succeeded.exitCode == kExitSuccess, succeeded.errors.constData());
        const RunOutcomes::Outcome after = RunOutcomes::Read().rollExport;
        QVERIFY(after.succeeded && after.lastSuccess.isValid() && after.lastUnattended.isValid());
        QCOMPARE(noticeOfAWindow(), QString());
        status = runTheProgram({ QStringLiteral("--etat") });
        QCOMPARE(status.exitCode, kExitSuccess);
        QVERIFY2(streamLines(status.output).contains(QStringLiteral("Tout va bien.")), status.output.constData());
    }

    // One run that moves records at a time: while this test holds the lock
    // beside the real program's settings file, the program's runs are refused
    // at once with their own status, the holder named, and nothing done.
    void aRunIsRefusedWhileAnotherHoldsTheLock()
    {
        addLocalPayments();
        const QStringList before = m_fixture.localPayments();
        const QString programSettings = QFileInfo(QStringLiteral(QUILVANOR_PROGRAM)).path() + QStringLiteral("/quilvanor.ini");
        const QString previous = SettingsFilePath();
        SetSettingsFilePath(programSettings);
        const auto restore = qScopeGuard([&] { SetSettingsFilePath(previous); });
        const QDateTime started = QDateTime::currentDateTime();
        {
            const RunLock lock(kSynchronisationJob);
            for (const QStringList& arguments : { kSynchroniseFromStart, QStringList { "--exporter-roles", "1" } }) {
                const HostPrograms::Outcome outcome = runTheProgram(arguments);
                QCOMPARE(outcome.exitCode, kExitBusy);
                const QString error = streamLines(outcome.errors).join(QLatin1Char('\n'));
                const QRegularExpression expected(QStringLiteral(
                    "^quilvanor: Une autre exécution de quilvanor est en cours : la synchronisation des paiements, "
                    "commencée le (\\d\\d/\\d\\d/\\d{4}) à (\\d\\d:\\d\\d:\\d\\d) \\(processus %1\\)\\. "
                    "Réessayez quand elle sera terminée\\.$").arg(QCoreApplication::applicationPid()));
                const QRegularExpressionMatch match = expected.match(error);
                QVERIFY2(match.hasMatch(), qPrintable(error));
                const QDateTime since = QDateTime::fromString(match.captured(1) + match.captured(2),
                    QStringLiteral("dd/MM/yyyyHH:mm:ss"));
                QVERIFY(qAbs(since.secsTo(started)) <= 2);
            }
        }
        QCOMPARE(m_fixture.localPayments(), before);
        QVERIFY(!QFileInfo::exists(programSettings));
        // Released, the lock is the next run's: it goes on (and fails on the portal it cannot reach).
        QCOMPARE(runTheProgram({ QStringLiteral("--exporter-roles"), QStringLiteral("999999") }).exitCode, kExitFailure);
    }
};

QTEST_MAIN(TestUnattendedRuns)
#include "TestUnattendedRuns.moc"
