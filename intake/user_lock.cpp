#include "intake/user_lock.h"

#include "core/failure.h"

#include <QSqlDriver>
#include <QStringList>
#include <QVariant>

namespace {

// The statement that tries the lock without waiting, answering 1 when the session holds it, and
// the one that names the sessions holding it: the program, the client's host and the session.
// Both take the user as their one parameter.
struct LockStatements {
    QString take;
    QString holders;
};

std::optional<LockStatements> lockStatements(QSqlDriver::DbmsType server)
{
    switch (server) {
    case QSqlDriver::MSSqlServer:
        // The counts of the statements before the answer would come as results of their own;
        // the session's own NOCOUNT setting is put back before the answer. Naming the holder
        // needs the VIEW SERVER STATE permission, which a till's login seldom has; the lock's
        // name is cut to 32 characters in the description the server gives.
        return LockStatements{
            QStringLiteral("Declare @noCount int = @@OPTIONS & 512; Declare @result int; "
                           "Set NoCount On; "
                           "Exec @result = sp_getapplock @Resource = ?, @LockMode = 'Exclusive', "
                           "@LockOwner = 'Session', @LockTimeout = 0; "
                           "If @noCount = 0 Set NoCount Off; "
                           "Select Case When @result >= 0 Then 1 Else 0 End"),
            QStringLiteral("Select s.program_name, s.host_name, s.session_id "
                           "from sys.dm_tran_locks l join sys.dm_exec_sessions s "
                           "on s.session_id = l.request_session_id "
                           "where l.resource_type = 'APPLICATION' and l.request_owner_type = "
                           "'SESSION' and l.resource_database_id = DB_ID() and "
                           "CharIndex('[' + Left(?, 32), l.resource_description) > 0")};
    case QSqlDriver::PostgreSQL:
        // Two keys, so that pg_locks shows them as they were given.
        return LockStatements{
            QStringLiteral("select case when pg_try_advisory_lock(hashtext('mostrela'), "
                           "hashtext(?)) then 1 else 0 end"),
            QStringLiteral("select a.application_name, coalesce(host(a.client_addr), ''), a.pid "
                           "from pg_locks l join pg_stat_activity a on a.pid = l.pid "
                           "where l.locktype = 'advisory' and l.granted and l.objsubid = 2 "
                           "and l.database = (select oid from pg_database where datname = "
                           "current_database()) and l.classid = hashtext('mostrela')::oid "
                           "and l.objid = hashtext(?)::oid")};
    default:
        return std::nullopt;
    }
}

QString resourceName(QSqlDriver::DbmsType server, const QString& user)
{
    // PostgreSQL's first key already says whose lock it is.
    return server == QSqlDriver::MSSqlServer ? QStringLiteral("mostrela:") + user : user;
}

QString describeHolders(DatabaseConnection& connection, const QString& statement,
                        const QString& resource)
{
    QStringList holders;
    runSkippingFailure([&] {
        QSqlQuery query = connection.prepare(statement);
        query.addBindValue(resource);
        execute(query);
        while (query.next()) {
            QStringList facts;
            const QString program = query.value(0).toString().trimmed();
            const QString host = query.value(1).toString().trimmed();
            if (!program.isEmpty())
                facts << QStringLiteral("\"%1\"").arg(program);
            if (!host.isEmpty())
                facts << QStringLiteral("em %1").arg(host);
            facts << QStringLiteral("sessão %1").arg(query.value(2).toString());
            holders << facts.join(u' ');
        }
    });
    return holders.isEmpty()
               ? QStringLiteral("outro controlador")
               : QStringLiteral("outro controlador (%1)").arg(holders.join(QStringLiteral("; ")));
}

} // namespace

std::optional<QString> UserLock::hold(DatabaseConnection& connection, const QString& user)
{
    if (m_held)
        return std::nullopt;
    const QSqlDriver::DbmsType server = connection.database().driver()->dbmsType();
    const std::optional<LockStatements> statements = lockStatements(server);
    if (!statements)
        return std::nullopt;
    const QString resource = resourceName(server, user);
    QSqlQuery take = connection.prepare(statements->take);
    take.addBindValue(resource);
    execute(take);
    if (!take.next())
        throw Failure(QStringLiteral("O servidor não respondeu ao pedido de exclusividade do "
                                     "utilizador SQL \"%1\"")
                          .arg(user));
    m_held = take.value(0).toInt() == 1;
    take.finish();
    if (m_held)
        return std::nullopt;
    return describeHolders(connection, statements->holders, resource);
}
