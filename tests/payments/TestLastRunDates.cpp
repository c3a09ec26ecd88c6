// The settings file that keeps the start dates of the last runs: a Windows
// private profile file, read and written in place.
#include "common/Cp1252.h"
#include "common/Errors.h"
#include "common/PrivateProfile.h"
#include "common/StatementLog.h"
#include "payments/LastRunDates.h"
#include "support/ErrorMessageOf.h"
#include "support/FullFileSystem.h"

#include <QtTest>

namespace {

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "(missing)";
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestLastRunDates : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;

private slots:
    void init()
    {
        m_path = m_dir.filePath(QStringLiteral("quilvanor.ini"));
        QFile::remove(m_path);
        SetSettingsFilePath(m_path);
    }

    void cleanupTestCase() { SetSettingsFilePath(QString()); }

    void sitsBesideTheProgramWithTheIniExtension()
    {
        SetSettingsFilePath(QString());
        const QFileInfo program(QCoreApplication::applicationFilePath());
        QCOMPARE(SettingsFilePath(), program.path() + QStringLiteral("/test_payments_settings.ini"));
    }

    void showsTheMissingTextsWithoutAFile()
    {
        QCOMPARE(ReadLastRun(kLastImport), QStringLiteral("aucun import realisé"));
        QCOMPARE(ReadLastRun(kLastExport), QStringLiteral("aucun export réalisé"));
        QCOMPARE(LastRunLabel(ReadLastRun(kLastImport)),
            QStringLiteral("Dernière synchronisation effectuée à la date du : aucun import realisé"));
        QCOMPARE(contentOf(m_path), QByteArray("(missing)"));
    }

    void storesTheStartDateWithATwoDigitYear()
    {
        QCOMPARE(RecordLastRun(kLastImport, QDate(2012, 3, 1)), QStringLiteral("01-03-12"));
        QCOMPARE(contentOf(m_path), QByteArray("[Import]\r\nLastDateImport=01-03-12\r\n"));
        QCOMPARE(ReadLastRun(kLastImport), QStringLiteral("01-03-12"));
        QCOMPARE(ReadLastRun(kLastExport), QStringLiteral("aucun export réalisé"));
        QCOMPARE(CompletedImportLabel(QStringLiteral("01-03-12")),
            QStringLiteral("Derniere synchronisation effectuée à la date du : 01-03-12"));
    }

    void keepsBothDatesInTheirSections()
    {
        RecordLastRun(kLastImport, QDate(2012, 3, 1));
        RecordLastRun(kLastExport, QDate(1999, 12, 31));
        RecordLastRun(kLastImport, QDate(2024, 11, 5));
        QCOMPARE(contentOf(m_path),
            QByteArray("[Import]\r\nLastDateImport=05-11-24\r\n[Export]\r\nLastDateExport=31-12-99\r\n"));
    }

    void readsAFileWrittenByHand()
    {
        writeFile(m_path,
            "; dates des synchronisations\n[ import ]\n  lastdateimport = 12-05-12  \n"
            "[Export]\nLastDateExport=\"13-05-12\"\n");
        QCOMPARE(ReadLastRun(kLastImport), QStringLiteral("12-05-12"));
        QCOMPARE(ReadLastRun(kLastExport), QStringLiteral("13-05-12"));
    }

    void theFirstSectionAndKeyOfANameCount()
    {
        writeFile(m_path,
            "[Import]\r\nLastDateImport=01-01-12\r\nLastDateImport=02-01-12\r\n"
            "[Import]\r\nLastDateImport=03-01-12\r\n");
        QCOMPARE(ReadLastRun(kLastImport), QStringLiteral("01-01-12"));
        RecordLastRun(kLastImport, QDate(2012, 5, 12));
        QCOMPARE(contentOf(m_path),
            QByteArray("[Import]\r\nLastDateImport=12-05-12\r\nLastDateImport=02-01-12\r\n"
                       "[Import]\r\nLastDateImport=03-01-12\r\n"));
    }

    void aWriteKeepsTheFilesOtherLines()
    {
        const QByteArray before = Cp1252::encode(QStringLiteral("; réglages de l'interface\n"
                                                                "[Portail]\nAdresse=http://portail.example\n\n"
                                                                "[Import]\n; dernière date\nAutre=é\n\n"
                                                                "[Fin]\nCle=1"));
        writeFile(m_path, before);
        RecordLastRun(kLastImport, QDate(2012, 5, 12));
        RecordLastRun(kLastExport, QDate(2012, 5, 13));
        const QByteArray after = Cp1252::encode(QStringLiteral("; réglages de l'interface\n"
                                                               "[Portail]\nAdresse=http://portail.example\n\n"
                                                               "[Import]\n; dernière date\nAutre=é\n"
                                                               "LastDateImport=12-05-12\r\n\n"
                                                               "[Fin]\nCle=1\r\n"
                                                               "[Export]\r\nLastDateExport=13-05-12\r\n"));
        QCOMPARE(contentOf(m_path), after);
        QCOMPARE(PrivateProfile::ReadString(m_path, QStringLiteral("Import"), QStringLiteral("Autre"), QString()),
            QStringLiteral("é"));
    }

    void replacesAValueInItsOwnLine()
    {
        writeFile(m_path, "[Export]\nAvant=1\n  LASTDATEEXPORT = 01-01-11 \nApres=2\n");
        RecordLastRun(kLastExport, QDate(2012, 5, 13));
        QCOMPARE(contentOf(m_path), QByteArray("[Export]\nAvant=1\nLastDateExport=13-05-12\nApres=2\n"));
    }

    void aWriteThatFailsNamesTheFile()
    {
        const QString path = m_dir.filePath(QStringLiteral("absent/quilvanor.ini"));
        SetSettingsFilePath(path);
        try {
            RecordLastRun(kLastImport, QDate(2012, 5, 12));
            QFAIL("the write succeeded");
        } catch (const FileError& error) {
            QCOMPARE(
                error.message(), QStringLiteral("Impossible d'écrire dans %1").arg(QDir::toNativeSeparators(path)));
        }
        QCOMPARE(ReadLastRun(kLastImport), QStringLiteral("aucun import realisé"));
    }

    void aFullDiskLeavesTheFileAsItWasAndFails()
    {
        FullFileSystem disk;
        SKIP_WITHOUT_FULL_FILE_SYSTEM(disk);
        const QString path = disk.filePath(QStringLiteral("quilvanor.ini"));
        const QByteArray before = "; dates of the last runs\r\n[Import]\r\nLastDateImport=01-03-12\r\n[Autre]\r\nCle=1\r\n";
        writeFile(path, before);
        SetSettingsFilePath(path);
        disk.fill();
        QCOMPARE(ErrorMessageOf([] { RecordLastRun(kLastExport, QDate(2024, 1, 1)); }),
            QStringLiteral("Impossible d'écrire dans %1").arg(QDir::toNativeSeparators(path)));
        QCOMPARE(contentOf(path), before);
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files), QStringList({ "filler", "quilvanor.ini" }));
    }

    void aFileThatCannotBeReadIsNotWrittenOver()
    {
        // A folder in the file's place can be neither read nor replaced.
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("quilvanor.ini")));
        try {
            RecordLastRun(kLastImport, QDate(2012, 5, 12));
            QFAIL("the write succeeded");
        } catch (const FileError& error) {
            QVERIFY(error.message().startsWith(QStringLiteral("Impossible d'écrire dans ")));
        }
        QVERIFY(QFileInfo(m_path).isDir());
        QVERIFY(QDir(m_dir.path()).rmdir(QStringLiteral("quilvanor.ini")));
    }

    // A run keeps its settings file and writes its statement log in folders the
    // town names: the French Windows code page holds "é" and "–" but not "Ω".
    void bothFilesOfARunAreWrittenInAFolderOfAnyName()
    {
        const QString folder = m_dir.filePath(QStringLiteral("Régie été – Ω"));
        QVERIFY(QDir().mkpath(folder));
        const QString settings = folder + QStringLiteral("/quilvanor.ini");
        SetSettingsFilePath(settings);
        RecordLastRun(kLastExport, QDate(2012, 5, 13));
        QCOMPARE(contentOf(settings), QByteArray("[Export]\r\nLastDateExport=13-05-12\r\n"));
        QCOMPARE(ReadLastRun(kLastExport), QStringLiteral("13-05-12"));

        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder));
        QString logPath;
        {
            StatementLog log(QStringLiteral("export-paiement"));
            logPath = log.path();
            log.WriteLine(QStringLiteral("UPDATE paiement SET payeur='Zoé', note='€ 5'"));
            log.Close();
        }
        QDir::setCurrent(previous);
        QCOMPARE(contentOf(logPath), QByteArray("UPDATE paiement SET payeur='Zo\xE9', note='\x80 5'\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestLastRunDates)
#include "TestLastRunDates.moc"
