// The settings file that keeps the start dates of the last runs: a Windows
// private profile file, read and written in place.
#include "common/Cp1252.h"
#include "common/Errors.h"
#include "common/PrivateProfile.h"
#include "common/StatementLog.h"
#include "payments/LastRunDates.h"
#include "portal/PortalAddress.h"
#include "support/ErrorMessageOf.h"
#include "support/FullFileSystem.h"

#include <QtTest>

#include <functional>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

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
                                                               "LastDateImport=12-05-12\n\n"
                                                               "[Fin]\nCle=1\n"
                                                               "[Export]\nLastDateExport=13-05-12\n"));
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

    // The file as Notepad and other editors save it: read in its encoding and
    // line ends, written back in them with every other byte kept.
    void aFileIsWrittenBackAsItWasSaved_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        const QString text = QStringLiteral("; Régie été%1[Portail]%1Adresse=https://famille.ville.fr%1"
                                            "[Import]%1LastDateImport=01-03-12%1");
        const QString written = QStringLiteral("; Régie été%1[Portail]%1Adresse=https://famille.ville.fr%1"
                                               "[Import]%1LastDateImport=12-05-12%1");
        const auto utf16 = [](const QString& t, QStringConverter::Encoding encoding, const char* mark) {
            return QByteArray(mark) + QStringEncoder(encoding)(t);
        };
        for (const char* end : { "\r\n", "\n", "\r" }) {
            const QString lineEnd = QString::fromLatin1(end);
            const QByteArray name = QByteArray(end).replace('\r', "CR").replace('\n', "LF");
            QTest::newRow("Windows-1252, " + name) << Cp1252::encode(text.arg(lineEnd))
                                                   << Cp1252::encode(written.arg(lineEnd));
            QTest::newRow("UTF-8 with a byte-order mark, " + name)
                << "\xEF\xBB\xBF" + text.arg(lineEnd).toUtf8() << "\xEF\xBB\xBF" + written.arg(lineEnd).toUtf8();
        }
        QTest::newRow("UTF-8 without a mark") << text.arg("\r\n").toUtf8() << written.arg("\r\n").toUtf8();
        QTest::newRow("UTF-16, little-endian") << utf16(text.arg("\r\n"), QStringConverter::Utf16LE, "\xFF\xFE")
                                               << utf16(written.arg("\r\n"), QStringConverter::Utf16LE, "\xFF\xFE");
        QTest::newRow("UTF-16, big-endian") << utf16(text.arg("\r\n"), QStringConverter::Utf16BE, "\xFE\xFF")
                                            << utf16(written.arg("\r\n"), QStringConverter::Utf16BE, "\xFE\xFF");
    }

    void aFileIsWrittenBackAsItWasSaved()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        writeFile(m_path, before);
        QCOMPARE(ReadLastRun(kLastImport), QStringLiteral("01-03-12"));
        QCOMPARE(PortalAddressInForce().baseUrl, QStringLiteral("https://famille.ville.fr"));
        RecordLastRun(kLastImport, QDate(2012, 5, 12));
        QCOMPARE(contentOf(m_path), after);
    }

    // A file that is there but cannot be read stops the run before anything
    // is sent or written, naming the file and the cause; it is left as it was.
    void aFileThatCannotBeReadStopsTheRun_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("cause");
        QTest::newRow("a folder") << QStringLiteral("folder") << QStringLiteral("c'est un dossier");
        QTest::newRow("a pipe") << QStringLiteral("fifo") << QStringLiteral("ce n'est pas un fichier ordinaire");
        QTest::newRow("a link to a device") << QStringLiteral("device")
                                            << QStringLiteral("ce n'est pas un fichier ordinaire");
        QTest::newRow("too large") << QStringLiteral("large")
                                   << QStringLiteral("il fait 1048577 octets, plus que les 1048576");
        QTest::newRow("no read permission") << QStringLiteral("unreadable") << QStringLiteral("il ne s'ouvre pas");
    }

    void aFileThatCannotBeReadStopsTheRun()
    {
        QFETCH(QString, kind);
        QFETCH(QString, cause);
        if (kind == QLatin1String("folder")) {
            QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("quilvanor.ini")));
        } else if (kind == QLatin1String("large")) {
            const QByteArray section = "[Portail]\r\nAdresse=https://famille.ville.fr\r\n;";
            writeFile(m_path, section + QByteArray((1 << 20) + 1 - section.size(), ' '));
        } else {
#ifdef _WIN32
            QSKIP("no pipes, device links nor permission bits on Windows");
#else
            if (kind == QLatin1String("fifo"))
                QCOMPARE(::mkfifo(QFile::encodeName(m_path).constData(), 0644), 0);
            if (kind == QLatin1String("device"))
                QVERIFY(QFile::link(QStringLiteral("/dev/null"), m_path));
            if (kind == QLatin1String("unreadable")) {
                if (::geteuid() == 0)
                    QSKIP("root reads any file");
                writeFile(m_path, "[Import]\r\nLastDateImport=01-03-12\r\n");
                QVERIFY(QFile::setPermissions(m_path, QFileDevice::WriteOwner));
            }
#endif
        }
        const auto cleanUp = qScopeGuard([this] {
            QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            QDir(m_dir.path()).rmdir(QStringLiteral("quilvanor.ini"));
            QFile::remove(m_path);
        });
        const QFileInfo before(m_path);
        const QString expected = QStringLiteral("Le fichier de paramètres %1 ne peut pas être lu : %2")
                                     .arg(QDir::toNativeSeparators(m_path), cause);
        for (const auto& call : std::initializer_list<std::function<void()>> { [] { ReadLastRun(kLastImport); },
                 [] { PortalAddressInForce(); }, [] { RecordLastRun(kLastImport, QDate(2012, 5, 12)); } }) {
            const QString message = ErrorMessageOf(call);
            QVERIFY2(message.startsWith(expected), qPrintable(message));
        }
        const QFileInfo after(m_path);
        QCOMPARE(after.isSymLink(), before.isSymLink());
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.lastModified(), before.lastModified());
    }

    // The built-in address holds only where the file has no [Portail] section:
    // a section that names none is an error, not a quiet fallback.
    void aPortalSectionWithoutAnAddressIsAnError_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::newRow("empty") << QByteArray("[Portail]\r\nAdresse=\r\n");
        QTest::newRow("blank") << QByteArray("[Portail]\r\nAdresse=   \r\n");
        QTest::newRow("missing") << QByteArray("[Portail]\r\nAutoriteCertification=ca.pem\r\n");
        QTest::newRow("in a second section of the name")
            << QByteArray("[Portail]\r\n[Import]\r\n[Portail]\r\nAdresse=https://famille.ville.fr\r\n");
    }

    void aPortalSectionWithoutAnAddressIsAnError()
    {
        QFETCH(QByteArray, settings);
        writeFile(m_path, settings);
        QCOMPARE(ErrorMessageOf([] { PortalAddressInForce(); }),
            QStringLiteral("La section [Portail] de %1 ne donne pas l'adresse du portail (la clé Adresse est vide ou "
                           "absente) : rien n'a été envoyé. Donnez-la (Adresse=https://…) ou retirez la section.")
                .arg(QDir::toNativeSeparators(m_path)));
    }

    // The town's IT may grant write on the file and not on its folder: the file
    // is then rewritten in place. A read-only file is written only by a user
    // who may write it (root), and stays read-only.
    void permissionsAreKept_data()
    {
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<int>("folderMode");
        QTest::newRow("a writable file in a read-only folder") << 0604 << 0500;
        QTest::newRow("a read-only file") << 0444 << 0700;
    }

    void permissionsAreKept()
    {
#ifdef _WIN32
        QSKIP("permission bits are a Linux matter");
#else
        QFETCH(int, fileMode);
        QFETCH(int, folderMode);
        const QString folder = m_dir.filePath(QStringLiteral("droits-%1").arg(fileMode, 0, 8));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/quilvanor.ini");
        const QByteArray before = "[Import]\r\nLastDateImport=01-03-12\r\n";
        writeFile(path, before);
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(fileMode)), 0);
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), static_cast<mode_t>(folderMode)), 0);
        const auto restore = qScopeGuard([&] { ::chmod(QFile::encodeName(folder).constData(), 0700); });
        SetSettingsFilePath(path);
        const bool mayWrite = ::geteuid() == 0 || (fileMode & 0200) != 0;
        const QString message = ErrorMessageOf([] { RecordLastRun(kLastImport, QDate(2012, 5, 12)); });
        QCOMPARE(message, mayWrite ? QStringLiteral("(no error)") : QStringLiteral("Impossible d'écrire dans %1").arg(path));
        QCOMPARE(contentOf(path), mayWrite ? QByteArray("[Import]\r\nLastDateImport=12-05-12\r\n") : before);
        struct stat after {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &after), 0);
        QCOMPARE(static_cast<int>(after.st_mode & 07777), fileMode);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList { "quilvanor.ini" });
#endif
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
