#include "support/TlsFront.h"

#include "support/HostPrograms.h"
#include "support/SocatListener.h"
#include "support/WebProxy.h"
#include "support/TrustedRoots.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSslCertificate>
#include <QTemporaryDir>

#include <stdexcept>

namespace {

using HostPrograms::HostPath;
using TestCertificates::Server;

const QString kAuthorityName = QStringLiteral("Autorite de test quilvanor");
const QString kUnknownAuthorityName = QStringLiteral("Autorite inconnue");
const QString kLoopbackNames = QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:localhost\n");

// The trusted certificate also serves at this computer's own address, where
// the portal is reached through the test proxy (the loopback goes direct).
QString TrustedNames()
{
    const QString own = OwnAddress();
    return own.isEmpty() ? kLoopbackNames : QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:localhost,IP:%1\n").arg(own);
}

void RunOpenssl(const QStringList& arguments)
{
    const HostPrograms::Outcome outcome = HostPrograms::Run(QStringList { QStringLiteral("openssl") } + arguments);
    if (outcome.exitCode != 0)
        throw std::runtime_error("openssl " + arguments.join(QLatin1Char(' ')).toStdString() + ": "
            + outcome.errors.toStdString());
}

QStringList NewKey(const QString& keyFile)
{
    return { QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
        QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"), QStringLiteral("-keyout"),
        HostPath(keyFile) };
}

// The folder of the test certificates, made on first use and kept for the run.
class Certificates {
public:
    static const Certificates& Get()
    {
        static const Certificates certificates;
        return certificates;
    }

    QString file(const QString& name) const { return m_dir.filePath(name); }

    ~Certificates() { TrustedRoots::RemoveUnderWine(m_trustedRoot); }
    Certificates(const Certificates&) = delete;
    Certificates& operator=(const Certificates&) = delete;

private:
    Certificates()
    {
        if (!m_dir.isValid())
            throw std::runtime_error("no temporary folder for the test certificates");
        makeAuthority(QStringLiteral("ca"), kAuthorityName);
        makeAuthority(QStringLiteral("unknown-ca"), kUnknownAuthorityName);
        const QList<QSslCertificate> authority = QSslCertificate::fromPath(file(QStringLiteral("ca.pem")));
        if (authority.size() != 1)
            throw std::runtime_error("the test authority cannot be read back");
        m_trustedRoot = authority.first().toDer();
        TrustedRoots::AddUnderWine(m_trustedRoot);
        makeServer(QStringLiteral("trusted"), QStringLiteral("ca"), TrustedNames(), QStringLiteral("30"));
        makeServer(QStringLiteral("wrong-host"), QStringLiteral("ca"),
            QStringLiteral("subjectAltName=DNS:autre.exemple\n"), QStringLiteral("30"));
        makeServer(QStringLiteral("expired"), QStringLiteral("ca"), kLoopbackNames, QStringLiteral("-1"));
        makeServer(QStringLiteral("unknown"), QStringLiteral("unknown-ca"), kLoopbackNames, QStringLiteral("30"));
        makeServer(QStringLiteral("name-in-common-name"), QStringLiteral("ca"),
            QStringLiteral("subjectAltName=DNS:autre.exemple\n"), QStringLiteral("30"), QStringLiteral("localhost"));
        makeServer(QStringLiteral("address-as-name"), QStringLiteral("ca"),
            QStringLiteral("subjectAltName=DNS:127.0.0.1\n"), QStringLiteral("30"), QStringLiteral("127.0.0.1"));
    }

    void makeAuthority(const QString& name, const QString& commonName)
    {
        RunOpenssl(QStringList { QStringLiteral("req"), QStringLiteral("-x509") } + NewKey(file(name + ".key"))
            + QStringList { QStringLiteral("-out"), HostPath(file(name + ".pem")), QStringLiteral("-days"),
                QStringLiteral("30"), QStringLiteral("-subj"), QStringLiteral("/CN=") + commonName });
    }

    void makeServer(const QString& name, const QString& authority, const QString& names, const QString& days,
        const QString& commonName = QString())
    {
        QFile extensions(file(name + ".ext"));
        if (!extensions.open(QIODevice::WriteOnly) || extensions.write(names.toLatin1()) != names.size())
            throw std::runtime_error("cannot write the certificate's extensions");
        extensions.close();
        RunOpenssl(QStringList { QStringLiteral("req"), QStringLiteral("-new") } + NewKey(file(name + ".key"))
            + QStringList { QStringLiteral("-out"), HostPath(file(name + ".csr")), QStringLiteral("-subj"),
                QStringLiteral("/CN=") + (commonName.isEmpty() ? name : commonName) });
        RunOpenssl({ QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), HostPath(file(name + ".csr")),
            QStringLiteral("-CA"), HostPath(file(authority + ".pem")), QStringLiteral("-CAkey"),
            HostPath(file(authority + ".key")), QStringLiteral("-set_serial"),
            QString::number(++m_serial), QStringLiteral("-days"), days, QStringLiteral("-extfile"),
            HostPath(file(name + ".ext")), QStringLiteral("-out"), HostPath(file(name + ".pem")) });
    }

    QTemporaryDir m_dir;
    QByteArray m_trustedRoot; // the test authority, among the prefix's trusted roots under Wine
    int m_serial = 1000;
};

QString ServerName(Server certificate)
{
    switch (certificate) {
    case Server::Trusted:
        return QStringLiteral("trusted");
    case Server::WrongHost:
        return QStringLiteral("wrong-host");
    case Server::Expired:
        return QStringLiteral("expired");
    case Server::NameOnlyInCommonName:
        return QStringLiteral("name-in-common-name");
    case Server::AddressAsName:
        return QStringLiteral("address-as-name");
    case Server::UnknownAuthority:
        break;
    }
    return QStringLiteral("unknown");
}

} // namespace

namespace TestCertificates {

QString AuthorityFile()
{
    return Certificates::Get().file(QStringLiteral("ca.pem"));
}

bool ClosingAlertHeard()
{
    return !TrustedRoots::RunningUnderWine();
}

QString AuthorityName()
{
    return kAuthorityName;
}

QString UnknownAuthorityName()
{
    return kUnknownAuthorityName;
}

QSslCertificate SelfSigned(const QString& commonName, const QString& alternativeNames)
{
    const Certificates& files = Certificates::Get();
    static int made = 0;
    const QString name = QStringLiteral("self-signed-%1").arg(++made);
    QStringList arguments = QStringList { QStringLiteral("req"), QStringLiteral("-x509") }
        + NewKey(files.file(name + ".key"))
        + QStringList { QStringLiteral("-out"), HostPath(files.file(name + ".pem")), QStringLiteral("-days"),
              QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=") + commonName };
    if (!alternativeNames.isEmpty())
        arguments << QStringLiteral("-addext") << QStringLiteral("subjectAltName=") + alternativeNames;
    RunOpenssl(arguments);
    const QList<QSslCertificate> certificate = QSslCertificate::fromPath(files.file(name + ".pem"));
    if (certificate.size() != 1)
        throw std::runtime_error("the certificate made cannot be read back");
    return certificate.first();
}

} // namespace TestCertificates

TlsFront::TlsFront(int backendPort, Server certificate, Ending ending)
{
    const Certificates& files = Certificates::Get();
    const QString name = ServerName(certificate);
    m_listener = std::make_unique<SocatListener>(QStringList {
        QStringLiteral("OPENSSL-LISTEN:0,bind=127.0.0.1,reuseaddr,fork,nodelay,verify=0,cert=%1,key=%2%3")
            .arg(HostPath(files.file(name + ".pem")), HostPath(files.file(name + ".key")),
                ending == Ending::WithoutAlert ? QStringLiteral(",shut-close") : QString()),
        QStringLiteral("TCP:127.0.0.1:%1,nodelay").arg(backendPort) });
    m_port = m_listener->port();
}

TlsFront::~TlsFront() = default;

QString TlsFront::url(const QString& path, const QString& host) const
{
    return QStringLiteral("https://%1:%2").arg(host).arg(m_port) + path;
}
