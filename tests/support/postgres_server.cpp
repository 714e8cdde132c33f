#include "support/postgres_server.h"

#include "core/failure.h"
#include "support/odbc_fixture.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t nobody = 65534;
constexpr int toolMs = 60000;

QString newestBinFolder()
{
    QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(), [](const QString& left, const QString& right) {
        return left.toInt() > right.toInt();
    });
    if (versions.isEmpty())
        throw Failure(QStringLiteral("PostgreSQL is not installed (scripts/install-deps)"));
    return QStringLiteral("/usr/lib/postgresql/%1/bin").arg(versions.first());
}

void finish(QProcess& process)
{
    if (!process.waitForFinished(toolMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        throw Failure(QStringLiteral("%1 failed: %2%3")
                          .arg(process.program(), process.errorString(),
                               QString::fromLocal8Bit(process.readAllStandardError())));
}

} // namespace

PostgresServer::PostgresServer() : m_bin(newestBinFolder())
{
    QDir().mkpath(path("socket"));
    for (const QString& folder : {m_folder.path(), path("socket")}) {
        if (::geteuid() == 0 && ::chown(QFile::encodeName(folder).constData(), nobody, nobody) != 0)
            throw Failure(QStringLiteral("Cannot give %1 to nobody").arg(folder));
    }
    runTool("initdb", {"-D", path("data"), "-U", "postgres", "--auth=trust", "--encoding=UTF8",
                       "--locale=C", "--no-sync"});
    stopWithThisProcess();
    start();
    run(QStringLiteral("create table SaidaDisplay (NumRegisto bigserial primary key, "
                       "DataSys timestamp not null, Linha1 varchar(80), Linha2 varchar(80), "
                       "Utilizador varchar(40) not null);"
                       "create index SaidaDisplay_Utilizador_DataSys on SaidaDisplay "
                       "(Utilizador, DataSys);"
                       "create role %1 login; grant select, delete on SaidaDisplay to %1;")
            .arg(OdbcFixture::databaseUser()));
}

PostgresServer::~PostgresServer()
{
    if (!QFile::exists(path("data/postmaster.pid")))
        return;
    resume();
    runSkippingFailure([this] {
        runTool("pg_ctl", {"-D", path("data"), "-m", "immediate", "stop"});
    });
}

void PostgresServer::stopWithThisProcess()
{
    // A pipe that only this process writes to (its descriptors are closed across exec), read by
    // a shell in a session of its own, out of reach of a time-out that kills this process's
    // children and of a Ctrl-C. When this process ends, however it ends, the shell reads the
    // pipe's end and stops a server still running at once, frozen or not.
    const QString lifeline = path("lifeline");
    if (::mkfifo(QFile::encodeName(lifeline).constData(), 0600) != 0)
        throw Failure(QStringLiteral("Cannot make %1").arg(lifeline));
    // Read and write, so that opening it does not wait for the reader.
    m_lifeline.setFileName(lifeline);
    if (!m_lifeline.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        throw Failure(QStringLiteral("Cannot open %1").arg(lifeline));
    QProcess watcher;
    watcher.setStandardInputFile(lifeline);
    watcher.start(QStringLiteral("setsid"),
                  {"-f", "sh", "-c",
                   "cat >/dev/null; pid=$(head -n 1 \"$0\") && kill -CONT \"$pid\" && "
                   "kill -QUIT \"$pid\"",
                   path("data/postmaster.pid")});
    finish(watcher);
}

QString PostgresServer::odbcSection() const
{
    return QStringLiteral("[%1]\nDriver=PostgreSQL Unicode\nServername=%2\nPort=5432\n"
                          "Database=postgres\n")
        .arg(dataSource(), path("socket"));
}

void PostgresServer::runTool(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), m_folder.path());
    process.setProcessEnvironment(environment);
    if (::geteuid() == 0)
        process.setChildProcessModifier([] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
                ::_exit(126);
        });
    process.start(m_bin + u'/' + tool, arguments);
    finish(process);
}

void PostgresServer::start()
{
    // Only the socket in the server's own folder: no port that another test could meet.
    runTool("pg_ctl", {"-D", path("data"), "-l", path("server.log"), "-w", "-o",
                       QStringLiteral("-k %1 -c listen_addresses= -c fsync=off "
                                      "-c log_connections=on")
                           .arg(path("socket")),
                       "start"});
}

void PostgresServer::stop()
{
    runTool("pg_ctl", {"-D", path("data"), "-m", "fast", "-w", "stop"});
}

pid_t PostgresServer::mainProcess() const
{
    QFile pidFile(path("data/postmaster.pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("The server is not running"));
    return static_cast<pid_t>(pidFile.readLine().trimmed().toLongLong());
}

void PostgresServer::freeze()
{
    ::kill(mainProcess(), SIGSTOP);
}

void PostgresServer::resume()
{
    ::kill(mainProcess(), SIGCONT);
}

QStringList PostgresServer::run(const QString& statements)
{
    QProcess psql;
    psql.start(m_bin + QStringLiteral("/psql"),
               {"-h", path("socket"), "-U", "postgres", "-d", "postgres", "-X", "-q", "-v",
                "ON_ERROR_STOP=1", "-A", "-t", "-c", statements});
    finish(psql);
    return QString::fromUtf8(psql.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

int PostgresServer::logins(const QString& user) const
{
    QFile log(path("server.log"));
    const QByteArray authorized =
        QStringLiteral("connection authorized: user=%1 ").arg(user).toUtf8();
    return log.open(QIODevice::ReadOnly) ? static_cast<int>(log.readAll().count(authorized)) : 0;
}
