#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <csignal>

// A PostgreSQL server of a test's own: a new cluster in a temporary folder, reached only on a Unix
// socket there, run by nobody when the test runs as root (the server refuses root). It holds
// SaidaDisplay with the index the polling query wants, a login for OdbcFixture::databaseUser() that
// may read and delete its rows, and logs every connection. The server stops when the object goes,
// or when this process ends without it going. Throws Failure when a step fails.
class PostgresServer {
public:
    // The ODBC data source of odbcSection().
    static QString dataSource() { return QStringLiteral("MostrelaPostgres"); }

    PostgresServer();
    ~PostgresServer();

    // The odbc.ini section of dataSource(), on the PostgreSQL Unicode driver.
    QString odbcSection() const;

    // Stops the server (its sessions ended), or starts it again.
    void stop();
    void start();
    // The server's main process stops taking logins until resume(), as a server that hangs
    // does: new connections wait. Sessions already open go on.
    void freeze() { signalMainProcess(SIGSTOP); }
    void resume() { signalMainProcess(SIGCONT); }

    // Runs statements as the superuser; the rows of the last one, columns joined by '|'.
    QStringList run(const QString& statements);
    // How many times `user` has logged in since the server was made, from its log.
    int logins(const QString& user) const;

private:
    void runTool(const QString& tool, const QStringList& arguments);
    QString path(const QString& name) const { return m_folder.filePath(name); }
    void signalMainProcess(int signal) const;

    QTemporaryDir m_folder;
    QString m_bin;
    QFile m_lifeline; // closed before the folder goes
};
