#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

// One ODBC connection through Qt SQL, owned by one thread: closed and released when this object
// goes, after every statement made on it. Statements run with the command time-out on their
// statement handle, so a silent server cannot hold the tick for ever.
class DatabaseConnection {
public:
    DatabaseConnection() = default;
    ~DatabaseConnection();
    DatabaseConnection(const DatabaseConnection&) = delete;
    DatabaseConnection& operator=(const DatabaseConnection&) = delete;

    // Closes the connection, if any, and puts a new, unopened one in its place.
    void renew();
    void close();
    bool isOpen() const;
    // Whether the driver says the connection is lost (the server restarted, the connection was
    // ended there, the network went), or cannot say: worth asking after a statement failed.
    bool isBroken() const;
    QSqlDatabase& database() { return m_database; }

    // Reached through a SQL Server driver (whose table hints other databases refuse).
    bool isSqlServer() const;

    void setCommandTimeout(int seconds) { m_commandTimeout = seconds; }
    // The name the server shows for this program's session, so that whoever looks at the server
    // (or another controller locked out) can tell which controller it is; empty for none.
    void setApplicationName(const QString& name) { m_applicationName = name; }
    QString applicationName() const { return m_applicationName; }
    // A forward-only statement, prepared, with the command time-out set. Throws Failure.
    QSqlQuery prepare(const QString& statement) const;
    // Runs a statement as it stands, not prepared, with the command time-out: a SET meant for the
    // whole session (SQL Server ends the SET of a prepared statement with it). Throws Failure.
    void executeDirectly(const QString& statement) const;
    // Whether a statement that failed gave up waiting for a lock that another session holds.
    bool waitedForLock(const QSqlQuery& failed) const;

private:
    QString m_name;
    QSqlDatabase m_database;
    int m_commandTimeout = 0;
    QString m_applicationName;
};

// Runs a prepared statement with its bound values. Throws Failure with the database's own
// description of what went wrong.
void execute(QSqlQuery& query);

// The database's description of a failed step, followed by Qt's.
QString describe(const QSqlError& error);
