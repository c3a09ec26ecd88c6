#pragma once

#include "portal/ProxyRoute.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace HostPrograms {
class Background;
}
class SocatListener;

// This computer's first IPv4 address besides the loopback; empty when it has none.
QString OwnAddress();
inline constexpr const char* kWhyNoOwnAddress
    = "this computer has no IPv4 address besides the loopback, and a portal on the loopback is never reached "
      "through a proxy";

// A plain relay from this computer's own address to a loopback port: the
// portal as a proxy reaches it, since the loopback always goes direct. Over
// TLS the bytes pass through unchanged, to the TLS front behind it.
class OwnAddressRelay {
public:
    explicit OwnAddressRelay(int loopbackPort);
    ~OwnAddressRelay();
    OwnAddressRelay(const OwnAddressRelay&) = delete;
    OwnAddressRelay& operator=(const OwnAddressRelay&) = delete;

    // "http[s]://<own address>:<port>"
    QString url(bool tls) const;

private:
    std::unique_ptr<SocatListener> m_listener;
};

// The town's web proxy for a test: the host's tinyproxy on a free loopback
// port, tunnelling CONNECT requests to any port, or to 443 only; asking for
// Basic authentication when given a user.
class WebProxy {
public:
    struct Options {
        QString user;
        QString password;
        bool connectTo443Only = false;
    };
    WebProxy();
    explicit WebProxy(const Options& options);
    ~WebProxy();
    WebProxy(const WebProxy&) = delete;
    WebProxy& operator=(const WebProxy&) = delete;

    int port() const { return m_port; }
    QString address() const; // "http://127.0.0.1:<port>"
    // The route to it, with the credentials given.
    ProxyRoute route(const QString& user = QString(), const QString& password = QString()) const;
    // The CONNECT requests it has received, as its log counts them.
    int tunnelRequests() const;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<HostPrograms::Background> m_process;
    int m_port = 0;
};
