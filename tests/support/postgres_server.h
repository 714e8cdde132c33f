#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A PostgreSQL server of a test's own: a new cluster in a temporary folder, reached on a Unix
// socket in that folder only, run by nobody when the test runs as root (the server refuses
// root). It holds SaidaDisplay with the index the polling query wants, a login for
// OdbcFixture::databaseUser() that may read and delete its rows, and logs every connection.
// The server is stopped when the object goes, or when this process ends without it going.
// Throws Failure when a step fails.
class PostgresServer {
public:
    // The ODBC data source of odbcSection().
    static QString dataSource() { return QStringLiteral("MostrelaPostgres"); }

    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // The odbc.ini section of dataSource(), on the PostgreSQL Unicode driver.
    QString odbcSection() const;

    // Stops the server (its sessions ended), or starts it again.
    void stop();
    void start();
    // The server's main process stops taking logins until resume(), as a server that hangs
    // does: new connections wait. Sessions already open go on.
    void freeze();
    void resume();

    // Runs statements as the superuser; the rows of the last one, columns joined by '|'.
    QStringList run(const QString& statements);
    // How many times `user` has logged in since the server was made, from its log.
    int logins(const QString& user) const;

private:
    void stopWithThisProcess();
    void runTool(const QString& tool, const QStringList& arguments);
    QString path(const QString& name) const { return m_folder.filePath(name); }
    pid_t mainProcess() const;

    QTemporaryDir m_folder;
    QString m_bin;
    QFile m_lifeline; // closed before the folder goes
};
