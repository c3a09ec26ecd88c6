#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace HostPrograms {
class Background;
}

// The host's socat, started for a test with the given addresses, the first
// one listening on a port of its choosing (":0"); stopped when this goes.
class SocatListener {
public:
    explicit SocatListener(const QStringList& addresses);
    ~SocatListener();
    SocatListener(const SocatListener&) = delete;
    SocatListener& operator=(const SocatListener&) = delete;

    int port() const { return m_port; }

private:
    std::unique_ptr<HostPrograms::Background> m_process;
    int m_port = 0;
};
