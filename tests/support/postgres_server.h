#pragma once

#include <QDateTime>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A PostgreSQL server of a test's own: a new cluster in a temporary folder, reached on a Unix
// socket in that folder and nowhere else, run by an unprivileged user when the test runs as root
// (the server refuses root). It holds SaidaDisplay with the index the polling query wants, a
// login for ControllerFolder::databaseUser() that may read and delete its rows, and logs every
// connection. The server is stopped when the object goes.
class PostgresServer {
public:
    // The ODBC data source that odbcSection() describes.
    static QString dataSource() { return QStringLiteral("MostrelaPostgres"); }
    // Whether the server's programs are installed.
    static bool installed();

    // Makes the cluster and starts the server; throws Failure.
    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // The odbc.ini section of dataSource(), on the PostgreSQL Unicode driver.
    QString odbcSection() const;

    // Stops the server (fast: sessions are ended) or starts it again. Throws Failure.
    void stop();
    void start();
    // The server's main process stops taking logins, as a server that hangs does, until
    // resume(): new connections wait in its queue. Sessions already open go on.
    void freeze();
    void resume();

    // Runs statements as the server's superuser; the rows of the last one, each row's columns
    // joined by '|'. Throws Failure.
    QStringList run(const QString& statements);
    void insert(const QString& utilizador, const QDateTime& dataSys, const QString& linha1);
    // The process of each session of `user`.
    QList<qint64> sessions(const QString& user);
    // Ends every session of `user` from the server's side (pg_terminate_backend).
    void terminateSessions(const QString& user);
    // Ends these sessions as pg_terminate_backend does, without asking the server: it works
    // while the server is frozen.
    static void endSessions(const QList<qint64>& processes);
    // How many times `user` has logged in since the server was made, from its log.
    int logins(const QString& user) const;

    // A transaction of another program that holds SaidaDisplay's rows matching `condition`
    // locked (select ... for update) until it ends.
    class RowLock {
    public:
        ~RowLock();
        RowLock(const RowLock&) = delete;
        RowLock& operator=(const RowLock&) = delete;
        // Ends the transaction, committing what it did.
        void release();

    private:
        friend class PostgresServer;
        RowLock() = default;
        QProcess m_session;
    };
    std::unique_ptr<RowLock> lockRows(const QString& condition);

private:
    QStringList psqlArguments() const;
    void runTool(const QString& tool, const QStringList& arguments);
    qint64 mainProcess() const;

    QTemporaryDir m_folder;
    QString m_bin;
    bool m_running = false;
};
