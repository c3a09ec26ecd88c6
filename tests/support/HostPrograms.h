#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The build machine's own programs that the tests lean on: the portal
// stand-in, the sample database tool and the sqlite3 shell. On Linux they run
// beside the test. A Windows test runs under Wine on the same machine, whose
// drive Z: is the host's file system: it starts them there through the host's
// shell and names its files to them by their host paths.
namespace HostPrograms {

// A local file name as the host's programs name it.
QString HostPath(const QString& localPath);
// A host file name as this program opens it.
QString LocalPath(const QString& hostPath);

// The host path of one of the build's tools ("portal-standin", "korva8-sample").
QString Tool(const QString& name);

struct Outcome {
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;
};

// Runs a host program to its end, its standard input fed from the bytes;
// throws std::runtime_error when it cannot be started or runs past two minutes.
Outcome Run(const QStringList& arguments, const QByteArray& input = {});

// A host program running in the background, its standard output kept in a
// file, terminated and waited for when the object goes.
class Background {
public:
    explicit Background(const QStringList& arguments);
    ~Background();
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;

    // The first line the program wrote, once it has; empty when it ended or
    // wrote nothing within the bound.
    QByteArray firstLine(int timeoutMs);

private:
    QTemporaryDir m_dir;
    qint64 m_pid = 0;
};

} // namespace HostPrograms
