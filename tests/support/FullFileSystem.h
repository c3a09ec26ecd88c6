#pragma once

#include <QString>
#include <QTemporaryDir>

// A small file system of its own (a tmpfs), filled to the last byte once the
// test has put its files there: a full disk for real, not a refusal made up.
// Mounting takes root on Linux; elsewhere, or without root, the test is
// skipped with the reason reason().
class FullFileSystem {
public:
    FullFileSystem();
    ~FullFileSystem();
    FullFileSystem(const FullFileSystem&) = delete;
    FullFileSystem& operator=(const FullFileSystem&) = delete;

    bool mounted() const { return m_mounted; }
    QString reason() const { return m_reason; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    // Takes every byte left.
    void fill();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_reason;
};

// Skips the test where no full file system can be made.
#define SKIP_WITHOUT_FULL_FILE_SYSTEM(fileSystem)                                                                      \
    do {                                                                                                               \
        if (!(fileSystem).mounted())                                                                                   \
            QSKIP(qPrintable((fileSystem).reason()));                                                                  \
    } while (false)
