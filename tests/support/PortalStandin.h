#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace HostPrograms {
class Background;
}

// The family portal stand-in (the build's portal-standin, a host program) run
// for a test: its own SQLite database in a temporary folder, on a free loopback
// port. The program under test is pointed at it (SetPortalBaseUrl) for the
// stand-in's lifetime, and the stand-in is stopped when this object goes.
class PortalStandin {
public:
    struct Options {
        bool sink = false;          // accept export batches and discard them
        QString seedFromKorva8;     // seed portal payments and digital-invoice clients from this sample base
        bool seed = false;          // seed on its own (no sample base)
    };
    PortalStandin();
    explicit PortalStandin(const Options& options);
    ~PortalStandin();
    PortalStandin(const PortalStandin&) = delete;
    PortalStandin& operator=(const PortalStandin&) = delete;

    int port() const { return m_port; }
    QString baseUrl() const;          // "http://127.0.0.1:PORT"
    QString databasePath() const { return m_dbPath; }

    // Reads and writes the stand-in's own database directly, beside the stand-in.
    QStringList rows(const QString& sql) const; // columns joined by "|", null as ""
    QString scalar(const QString& sql) const;
    void execute(const QString& sql) const;

private:
    QString m_dir;
    QString m_dbPath;
    std::unique_ptr<HostPrograms::Background> m_process;
    int m_port = 0;
    QString m_previousBaseUrl;
};
