#include "PortalStandin.h"

#include "portal/FonctionsVendrolles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kStartTimeoutMs = 60 * 1000;

// The built stand-in: in the build folder that the test runner names, else in
// the nearest folder above this program that holds one.
QString StandinProgram()
{
    const QString buildDir = qEnvironmentVariable("QUILVANOR_BUILD_DIR");
    if (!buildDir.isEmpty())
        return QDir(buildDir).filePath(QStringLiteral("portal-standin"));
    QDir dir(QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                          : QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget());
    do {
        if (QFileInfo(dir.filePath(QStringLiteral("portal-standin"))).isExecutable())
            return dir.filePath(QStringLiteral("portal-standin"));
    } while (dir.cdUp());
    throw std::runtime_error("portal-standin not found: set QUILVANOR_BUILD_DIR");
}

// The first line the stand-in writes: its port.
int ReadPort(int descriptor)
{
    std::string line;
    char c;
    pollfd entry { descriptor, POLLIN, 0 };
    while (::poll(&entry, 1, kStartTimeoutMs) > 0 && ::read(descriptor, &c, 1) == 1 && c != '\n')
        line += c;
    try {
        return std::stoi(line);
    } catch (const std::exception&) {
        return 0;
    }
}

struct Db {
    sqlite3* handle = nullptr;
    explicit Db(const QString& path)
    {
        if (sqlite3_open(path.toUtf8().constData(), &handle) != SQLITE_OK)
            throw std::runtime_error("cannot open the stand-in's database");
        sqlite3_busy_timeout(handle, 10000);
    }
    ~Db() { sqlite3_close(handle); }
};

// Every row of a query on the stand-in's database, null as "".
QList<QStringList> Query(const QString& dbPath, const QString& sql)
{
    Db db(dbPath);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db.handle, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db.handle));
    QList<QStringList> result;
    int step;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        QStringList columns;
        for (int c = 0; c < sqlite3_column_count(statement); ++c)
            columns.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, c))));
        result.append(columns);
    }
    sqlite3_finalize(statement);
    if (step != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(db.handle));
    return result;
}

} // namespace

PortalStandin::PortalStandin()
    : PortalStandin(Options {})
{
}

PortalStandin::PortalStandin(const Options& options)
{
    QTemporaryDir dir;
    dir.setAutoRemove(false);
    m_dir = dir.path();
    m_dbPath = QDir(m_dir).filePath(QStringLiteral("portal.db"));

    std::vector<std::string> args { StandinProgram().toStdString(), "--port", "0", "--db", m_dbPath.toStdString() };
    if (options.sink)
        args.push_back("--sink");
    if (!options.seedFromKorva8.isEmpty())
        args.insert(args.end(), { "--seed-from", options.seedFromKorva8.toStdString() });
    if (options.seed)
        args.push_back("--seed");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    int output[2];
    if (::pipe(output) != 0)
        throw std::runtime_error("cannot create a pipe for the stand-in");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(output[1]);
    if (spawned != 0) {
        ::close(output[0]);
        throw std::runtime_error("cannot start " + args[0]);
    }
    m_pid = pid;
    m_port = ReadPort(output[0]);
    ::close(output[0]);
    if (m_port <= 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
        QDir(m_dir).removeRecursively();
        throw std::runtime_error("the portal stand-in did not start");
    }
    m_previousBaseUrl = PortalBaseUrl();
    SetPortalBaseUrl(baseUrl());
}

PortalStandin::~PortalStandin()
{
    SetPortalBaseUrl(m_previousBaseUrl);
    ::kill(static_cast<pid_t>(m_pid), SIGTERM);
    ::waitpid(static_cast<pid_t>(m_pid), nullptr, 0);
    QDir(m_dir).removeRecursively();
}

QString PortalStandin::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

QStringList PortalStandin::rows(const QString& sql) const
{
    QStringList result;
    for (const QStringList& columns : Query(m_dbPath, sql))
        result.append(columns.join(QLatin1Char('|')));
    return result;
}

QString PortalStandin::scalar(const QString& sql) const
{
    const QList<QStringList> found = Query(m_dbPath, sql);
    return found.isEmpty() || found.first().isEmpty() ? QString() : found.first().first();
}

void PortalStandin::execute(const QString& sql) const
{
    Db db(m_dbPath);
    char* error = nullptr;
    if (sqlite3_exec(db.handle, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "sqlite error";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}
