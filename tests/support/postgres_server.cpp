#include "postgres_server.h"

#include "core/failure.h"
#include "support/controller_folder.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t nobody = 65534;
constexpr int toolMs = 60000;
// Only a socket in the server's own folder: no port that another test could meet.
constexpr int port = 5432;

QString binFolder()
{
    QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(), [](const QString& left, const QString& right) {
        return left.toInt() < right.toInt();
    });
    for (auto version = versions.crbegin(); version != versions.crend(); ++version) {
        const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(*version);
        if (QFile::exists(bin + QStringLiteral("/initdb")))
            return bin;
    }
    return {};
}

// The server's programs run as nobody when this process is root.
void runAsServerUser(QProcess& process, const QString& home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(environment);
    if (::geteuid() != 0)
        return;
    process.setChildProcessModifier([] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
            ::_exit(126);
    });
}

void finish(QProcess& process, const QString& what)
{
    if (!process.waitForFinished(toolMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        throw Failure(QStringLiteral("%1 failed: %2 %3")
                          .arg(what, QString::fromLocal8Bit(process.readAllStandardError()),
                               process.errorString()));
}

} // namespace

bool PostgresServer::installed()
{
    return !binFolder().isEmpty();
}

PostgresServer::PostgresServer() : m_bin(binFolder())
{
    if (m_bin.isEmpty())
        throw Failure(QStringLiteral("PostgreSQL is not installed"));
    QDir().mkpath(m_folder.filePath(QStringLiteral("socket")));
    if (::geteuid() == 0) {
        for (const QString& path : {m_folder.path(), m_folder.filePath(QStringLiteral("socket"))}) {
            if (::chown(QFile::encodeName(path).constData(), nobody, nobody) != 0)
                throw Failure(QStringLiteral("Cannot give %1 to nobody").arg(path));
        }
    }
    runTool(QStringLiteral("initdb"),
            {QStringLiteral("-D"), m_folder.filePath(QStringLiteral("data")), QStringLiteral("-U"),
             QStringLiteral("postgres"), QStringLiteral("--auth=trust"),
             QStringLiteral("--encoding=UTF8"), QStringLiteral("--locale=C"),
             QStringLiteral("--no-sync")});
    start();
    const QString user = ControllerFolder::databaseUser();
    run(QStringLiteral("create table SaidaDisplay (NumRegisto bigserial primary key, "
                       "DataSys timestamp not null, Linha1 varchar(80), Linha2 varchar(80), "
                       "Utilizador varchar(40) not null);"
                       "create index SaidaDisplay_Utilizador_DataSys on SaidaDisplay "
                       "(Utilizador, DataSys);"
                       "create role %1 login;"
                       "grant select, delete on SaidaDisplay to %1;")
            .arg(user));
}

PostgresServer::~PostgresServer()
{
    if (!m_running)
        return;
    resume();
    QProcess stopping;
    runAsServerUser(stopping, m_folder.path());
    stopping.start(m_bin + QStringLiteral("/pg_ctl"),
                   {QStringLiteral("-D"), m_folder.filePath(QStringLiteral("data")),
                    QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("-w"),
                    QStringLiteral("stop")});
    stopping.waitForFinished(toolMs);
}

QString PostgresServer::odbcSection() const
{
    return QStringLiteral("[%1]\nDriver=PostgreSQL Unicode\nServername=%2\nPort=%3\n"
                          "Database=postgres\n")
        .arg(dataSource(), m_folder.filePath(QStringLiteral("socket")))
        .arg(port);
}

void PostgresServer::runTool(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    runAsServerUser(process, m_folder.path());
    process.start(m_bin + u'/' + tool, arguments);
    finish(process, tool);
}

void PostgresServer::start()
{
    runTool(QStringLiteral("pg_ctl"),
            {QStringLiteral("-D"), m_folder.filePath(QStringLiteral("data")), QStringLiteral("-l"),
             m_folder.filePath(QStringLiteral("server.log")), QStringLiteral("-w"),
             QStringLiteral("-o"),
             QStringLiteral("-k %1 -p %2 -c listen_addresses= -c fsync=off "
                            "-c log_connections=on")
                 .arg(m_folder.filePath(QStringLiteral("socket")))
                 .arg(port),
             QStringLiteral("start")});
    m_running = true;
}

void PostgresServer::stop()
{
    runTool(QStringLiteral("pg_ctl"),
            {QStringLiteral("-D"), m_folder.filePath(QStringLiteral("data")), QStringLiteral("-m"),
             QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")});
    m_running = false;
}

qint64 PostgresServer::mainProcess() const
{
    QFile pidFile(m_folder.filePath(QStringLiteral("data/postmaster.pid")));
    if (!pidFile.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("The server is not running"));
    return pidFile.readLine().trimmed().toLongLong();
}

void PostgresServer::freeze()
{
    ::kill(static_cast<pid_t>(mainProcess()), SIGSTOP);
}

void PostgresServer::resume()
{
    ::kill(static_cast<pid_t>(mainProcess()), SIGCONT);
}

QStringList PostgresServer::psqlArguments() const
{
    return {QStringLiteral("-h"), m_folder.filePath(QStringLiteral("socket")),
            QStringLiteral("-p"), QString::number(port),
            QStringLiteral("-U"), QStringLiteral("postgres"),
            QStringLiteral("-d"), QStringLiteral("postgres"),
            QStringLiteral("-X"), QStringLiteral("-q"),
            QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1")};
}

QStringList PostgresServer::run(const QString& statements)
{
    QProcess psql;
    psql.start(m_bin + QStringLiteral("/psql"),
               psqlArguments() + QStringList{QStringLiteral("-A"), QStringLiteral("-t"),
                                             QStringLiteral("-c"), statements});
    finish(psql, QStringLiteral("psql"));
    return QString::fromUtf8(psql.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

void PostgresServer::insert(const QString& utilizador, const QDateTime& dataSys,
                            const QString& linha1)
{
    const auto quoted = [](QString text) {
        return u'\'' + text.replace(u'\'', QStringLiteral("''")) + u'\'';
    };
    run(QStringLiteral("insert into SaidaDisplay (DataSys, Linha1, Linha2, Utilizador) values "
                       "(%1, %2, '', %3)")
            .arg(quoted(dataSys.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))),
                 quoted(linha1), quoted(utilizador)));
}

QList<qint64> PostgresServer::sessions(const QString& user)
{
    QList<qint64> processes;
    for (const QString& pid :
         run(QStringLiteral("select pid from pg_stat_activity where usename = '%1'").arg(user)))
        processes.append(pid.toLongLong());
    return processes;
}

void PostgresServer::terminateSessions(const QString& user)
{
    run(QStringLiteral("select pg_terminate_backend(pid) from pg_stat_activity where usename = "
                       "'%1'")
            .arg(user));
}

void PostgresServer::endSessions(const QList<qint64>& processes)
{
    for (const qint64 process : processes)
        ::kill(static_cast<pid_t>(process), SIGTERM);
}

int PostgresServer::logins(const QString& user) const
{
    QFile log(m_folder.filePath(QStringLiteral("server.log")));
    if (!log.open(QIODevice::ReadOnly))
        return 0;
    return static_cast<int>(
        log.readAll().count(QStringLiteral("connection authorized: user=%1 ").arg(user).toUtf8()));
}

std::unique_ptr<PostgresServer::RowLock> PostgresServer::lockRows(const QString& condition)
{
    std::unique_ptr<RowLock> lock(new RowLock);
    lock->m_session.start(m_bin + QStringLiteral("/psql"), psqlArguments());
    lock->m_session.write(QStringLiteral("begin;\nselect NumRegisto from SaidaDisplay where %1 "
                                         "for update;\n\\echo bloqueado\n")
                              .arg(condition)
                              .toUtf8());
    QByteArray said;
    while (!said.contains("bloqueado") && lock->m_session.waitForReadyRead(toolMs))
        said += lock->m_session.readAllStandardOutput();
    if (!said.contains("bloqueado"))
        throw Failure(QStringLiteral("Cannot lock the rows: %1")
                          .arg(QString::fromLocal8Bit(lock->m_session.readAllStandardError())));
    return lock;
}

PostgresServer::RowLock::~RowLock()
{
    release();
}

void PostgresServer::RowLock::release()
{
    if (m_session.state() == QProcess::NotRunning)
        return;
    m_session.write("commit;\n\\q\n");
    m_session.closeWriteChannel();
    m_session.waitForFinished(toolMs);
}
