#pragma once

#include <QSslCertificate>
#include <QString>

#include <memory>

class SocatListener;

// A test certificate authority and the server certificates the TLS tests
// present, made once per test run with the host's openssl command in a
// temporary folder.
namespace TestCertificates {

enum class Server {
    Trusted, // for 127.0.0.1, localhost and this computer's own address, from the test authority
    WrongHost, // for autre.exemple only, from the test authority
    Expired, // for 127.0.0.1 and localhost, from the test authority, expired since yesterday
    UnknownAuthority, // for 127.0.0.1 and localhost, from an authority nobody trusts
    NameOnlyInCommonName, // common name localhost, DNS name autre.exemple, from the test authority
    AddressAsName, // common name and DNS name "127.0.0.1", no IP entry, from the test authority
};

// Whether the client hears the server's closing alert, which alone ends a
// reply without a length over TLS: not under Wine, whose Schannel answers the
// alert with no data (DecryptMessage gives SEC_E_OK, where Windows gives
// SEC_I_CONTEXT_EXPIRED), so such a reply never ends there.
bool ClosingAlertHeard();
inline constexpr const char* kWhyNoClosingAlert
    = "under Wine, Schannel does not report the server's TLS closing alert (DecryptMessage gives SEC_E_OK with no "
      "data, not SEC_I_CONTEXT_EXPIRED), so a reply without a length over TLS cannot end";

// The test authority's certificate (PEM), as this program opens it.
QString AuthorityFile();
// The names of the two authorities, as the certificates carry them.
QString AuthorityName();
QString UnknownAuthorityName();
// A certificate made now, for the common name and the alternative names
// given as openssl takes them ("DNS:a.fr,IP:127.0.0.1"; empty for none).
QSslCertificate SelfSigned(const QString& commonName, const QString& alternativeNames);

} // namespace TestCertificates

// A TLS server on the loopback (the host's socat) that terminates TLS with
// one of the test certificates and passes the plain bytes to a backend port:
// the scripted server, the recording portal or the portal stand-in. It opens
// its connection to the backend only once the handshake has succeeded, so a
// refused handshake reaches nothing behind it.
class TlsFront {
public:
    // How the front ends a connection the backend has closed: with TLS's
    // closing alert, or by closing the connection bare, as a cut does.
    enum class Ending { ClosingAlert, WithoutAlert };

    TlsFront(int backendPort, TestCertificates::Server certificate = TestCertificates::Server::Trusted,
        Ending ending = Ending::ClosingAlert);
    ~TlsFront();
    TlsFront(const TlsFront&) = delete;
    TlsFront& operator=(const TlsFront&) = delete;

    int port() const { return m_port; }
    // "https://127.0.0.1:<port>" (or the host given) followed by the path.
    QString url(const QString& path = QString(), const QString& host = QStringLiteral("127.0.0.1")) const;

private:
    std::unique_ptr<SocatListener> m_listener;
    int m_port = 0;
};
