#include "support/postgres_server.h"

#include "core/failure.h"
#include "support/file_bytes.h"
#include "support/odbc_fixture.h"

#include <QDir>
#include <QProcess>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t nobody = 65534;
constexpr int toolMs = 60000;

QString newestBinFolder()
{
    const QDir versions("/usr/lib/postgresql");
    const QStringList names = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    const auto newest =
        std::ranges::max_element(names, {}, [](const QString& name) { return name.toInt(); });
    if (newest == names.end())
        throw Failure("PostgreSQL is not installed (scripts/install-deps)");
    return versions.filePath(*newest + "/bin");
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
    for (const QString& folder : {m_folder.path(), path("socket")})
        if (::geteuid() == 0 && ::chown(QFile::encodeName(folder).constData(), nobody, nobody) != 0)
            throw Failure(QStringLiteral("Cannot give %1 to nobody").arg(folder));
    runTool("initdb", {"-D", path("data"), "-U", "postgres", "--auth=trust", "--encoding=UTF8",
                       "--locale=C", "--no-sync"});
    // A pipe that only this process writes to (its descriptors are closed across exec), read by a
    // shell in a session of its own, out of reach of a time-out that kills this process's children
    // and of a Ctrl-C. When this process ends, however it ends, the shell reads the pipe's end and
    // stops a server still running at once, frozen or not.
    const QString lifeline = path("lifeline");
    if (::mkfifo(QFile::encodeName(lifeline).constData(), 0600) != 0)
        throw Failure(QStringLiteral("Cannot make %1").arg(lifeline));
    // Read and write, so that opening it does not wait for the reader.
    m_lifeline.setFileName(lifeline);
    if (!m_lifeline.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        throw Failure(QStringLiteral("Cannot open %1").arg(lifeline));
    QProcess watcher;
    watcher.setStandardInputFile(lifeline);
    watcher.start("setsid", {"-f", "sh", "-c",
                             "cat >/dev/null; pid=$(head -n 1 \"$0\") && kill -CONT \"$pid\" && "
                             "kill -QUIT \"$pid\"",
                             path("data/postmaster.pid")});
    finish(watcher);
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
    environment.insert("HOME", m_folder.path());
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
    const QString options = "-c listen_addresses= -c fsync=off -c log_connections=on -k ";
    runTool("pg_ctl", {"-D", path("data"), "-l", path("server.log"), "-w", "-o",
                       options + path("socket"), "start"});
}

void PostgresServer::stop()
{
    runTool("pg_ctl", {"-D", path("data"), "-m", "fast", "-w", "stop"});
}

void PostgresServer::signalMainProcess(int signal) const
{
    QFile pidFile(path("data/postmaster.pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        throw Failure("The server is not running");
    ::kill(static_cast<pid_t>(pidFile.readLine().trimmed().toLongLong()), signal);
}

QStringList PostgresServer::run(const QString& statements)
{
    QProcess psql;
    psql.start(m_bin + "/psql", {"-h", path("socket"), "-U", "postgres", "-d", "postgres", "-X",
                                 "-q", "-v", "ON_ERROR_STOP=1", "-A", "-t", "-c", statements});
    finish(psql);
    return QString::fromUtf8(psql.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

int PostgresServer::logins(const QString& user) const
{
    const QString authorized = "connection authorized: user=" + user + " ";
    return static_cast<int>(fileBytes(path("server.log")).count(authorized.toUtf8()));
}
