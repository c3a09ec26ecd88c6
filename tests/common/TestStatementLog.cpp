// The statement log: its name, its bytes and its file errors, on the real file
// system; and the standard streams that copy a run's account.
#include "common/ConsoleLines.h"
#include "common/Errors.h"
#include "common/StatementLog.h"

#include <QtTest>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "(missing)";
    return file.readAll();
}

// Runs the action with the working folder set to the folder, then goes back.
[[maybe_unused]] QString errorIn(const QString& folder)
{
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    QString message = QStringLiteral("(no error)");
    try {
        StatementLog log(QStringLiteral("export-role"));
    } catch (const FileError& error) {
        message = error.message();
    }
    QDir::setCurrent(previous);
    return message;
}

} // namespace

class TestStatementLog : public QObject {
    Q_OBJECT

private slots:
    // Each case starts without the logs of the ones before it, which it would add to.
    void init()
    {
        for (const QString& name : QDir::current().entryList({ QStringLiteral("cantine-*") }, QDir::Files))
            QFile::remove(name);
    }

    void nameIsFolderKindDateAndTime()
    {
        // The folder as the system writes it ("C:\\Régie" on Windows), then a slash.
        const QString folder = QDir::toNativeSeparators(QDir::currentPath());
        const QDateTime when(QDate(2024, 3, 8), QTime(14, 5, 59));
        QCOMPARE(StatementLog::FileName(QStringLiteral("export-role"), when),
            folder + QStringLiteral("/cantine-export-role-08-03-2024-14.05.csv"));
        QCOMPARE(StatementLog::FileName(QStringLiteral("import-paiement"), QDateTime(QDate(2024, 12, 31), QTime(9, 7))),
            folder + QStringLiteral("/cantine-import-paiement-31-12-2024-09.07.csv"));
    }

    void linesEndWithCrLfInWindows1252()
    {
        QString path;
        {
            StatementLog log(QStringLiteral("export-role"));
            path = log.path();
            log.WriteLine(QStringLiteral("DELETE FROM role where numrole=12"));
            log.WriteLine(QStringLiteral(" INSERT into enfant VALUES ('Zoé','€ 5');"));
            log.WriteLine(QString());
            log.Close();
        }
        QCOMPARE(fileBytes(path),
            QByteArray("DELETE FROM role where numrole=12\r\n INSERT into enfant VALUES ('Zo\xE9','\x80 5');\r\n\r\n"));
    }

    void aRunBuildingNothingLeavesAnEmptyFile()
    {
        StatementLog log(QStringLiteral("export-role"));
        log.Close();
        QVERIFY(QFileInfo::exists(log.path()));
        QCOMPARE(fileBytes(log.path()), QByteArray());
    }

    // A statement log is the record of what was sent: a second run in the
    // same minute adds to it and never cuts the first run's statements.
    void aLogOfTheSameMinuteKeepsTheEarlierRunWhole()
    {
        // Two logs made back to back share their minute unless the clock turns
        // between them; then the pair is made again.
        for (int attempt = 0; attempt < 3; ++attempt) {
            QString firstPath;
            {
                StatementLog first(QStringLiteral("export-role"));
                firstPath = first.path();
                first.WriteLine(QStringLiteral("a longer first run"));
                first.Close();
            }
            StatementLog second(QStringLiteral("export-role"));
            if (second.path() != firstPath)
                continue;
            second.WriteLine(QStringLiteral("second"));
            second.Close();
            QCOMPARE(fileBytes(firstPath), QByteArray("a longer first run\r\nsecond\r\n"));
            return;
        }
        QFAIL("the minute turned between every pair of logs");
    }

    void aLogLeftOpenByAFailedRunStillReachesTheDisk()
    {
        QString path;
        try {
            StatementLog log(QStringLiteral("export-role"));
            path = log.path();
            log.WriteLine(QStringLiteral("DELETE FROM role where numrole=3"));
            throw FileError(QStringLiteral("la suite échoue"));
        } catch (const FileError&) {
        }
        QCOMPARE(fileBytes(path), QByteArray("DELETE FROM role where numrole=3\r\n"));
    }

    void aStandardOutputWhoseReaderIsGoneStopsNothing()
    {
#ifdef _WIN32
        QSKIP("a pipe without a reader raises a signal on Linux only");
#else
        PrepareStandardStreams();
        int ends[2];
        QVERIFY(::pipe(ends) == 0);
        ::close(ends[0]);
        const int saved = ::dup(STDOUT_FILENO);
        ::dup2(ends[1], STDOUT_FILENO);
        ::close(ends[1]);
        // Without the preparation the first line would end the process.
        WriteLine(ConsoleStream::Output, QStringLiteral("a line nobody reads"));
        WriteLine(ConsoleStream::Output, QStringLiteral("and another"));
        ::dup2(saved, STDOUT_FILENO);
        ::close(saved);
#endif
    }

    void writingAfterCloseFails()
    {
        StatementLog log(QStringLiteral("export-role"));
        log.Close();
        log.Close(); // closing twice does nothing
        QVERIFY_THROWS_EXCEPTION(FileError, log.WriteLine(QStringLiteral("x")));
    }

    void aFolderThatIsGoneGivesFileNotFound()
    {
#ifdef _WIN32
        QSKIP("Windows does not remove a folder that is a process's working folder");
#endif
        QTemporaryDir gone;
        QDir(gone.path()).mkdir(QStringLiteral("sub"));
        const QString folder = gone.filePath(QStringLiteral("sub"));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(folder);
        QDir().rmdir(folder);
        QString message;
        try {
            StatementLog log(QStringLiteral("export-role"));
        } catch (const FileError& error) {
            message = error.message();
        }
        QDir::setCurrent(previous);
        QCOMPARE(message, QStringLiteral("Fichier introuvable"));
    }

    void aFolderThatCannotBeWrittenGivesAccessDenied()
    {
#ifdef _WIN32
        QSKIP("a read-only folder is made with POSIX permissions, which Windows folders do not follow");
#else
        if (::geteuid() == 0) {
            // The super-user writes anywhere but in the kernel's own folders.
            QCOMPARE(errorIn(QStringLiteral("/sys")), QStringLiteral("Accès au fichier refusé"));
            return;
        }
        QTemporaryDir locked;
        QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QCOMPARE(errorIn(locked.path()), QStringLiteral("Accès au fichier refusé"));
        QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
#endif
    }
};

QTEST_GUILESS_MAIN(TestStatementLog)
#include "TestStatementLog.moc"
