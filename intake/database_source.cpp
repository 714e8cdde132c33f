#include "intake/database_source.h"

#include "core/failure.h"
#include "core/settings_snapshots.h"

#include <QDateTime>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

constexpr qint16 commandTimeout = 120;
constexpr qint16 connectionTimeout = 60;
// How long a delete waits for a row that another transaction holds (a sales program's open
// one) before that row is left for the next tick: the rows after it go on meanwhile.
constexpr int lockWaitMs = 2000;

// The statement that sets the session's lock wait; empty where there is none to set.
QString lockWaitStatement(QSqlDriver::DbmsType server)
{
    switch (server) {
    case QSqlDriver::MSSqlServer:
        return QStringLiteral("Set Lock_Timeout %1").arg(lockWaitMs);
    case QSqlDriver::PostgreSQL:
        return QStringLiteral("Set lock_timeout = %1").arg(lockWaitMs);
    default:
        return {};
    }
}

// Reading past the writers' locks keeps the sales program from waiting on the display.
QString tableHint(bool sqlServer)
{
    return sqlServer ? QStringLiteral(" With (NoLock)") : QString();
}

QString selectStatement(bool sqlServer)
{
    // On SQL Server the statement the sales programs' tables were made for, its table hint
    // included. Elsewhere the row number comes as text: a driver that reports an integer column
    // as 32 bits (SQLite's) would cut a larger one, and its row could then never be deleted.
    // There the lines come already cut, too: SQLite's driver hands a long text over in pieces
    // and decodes it from the start for each, so a megabyte in one row took many seconds.
    if (sqlServer)
        return QStringLiteral("Select NumRegisto,DataSys,Linha1,Linha2 from SaidaDisplay%1 where "
                              "Utilizador=? order by DataSys ")
            .arg(tableHint(sqlServer));
    return QStringLiteral("Select Cast(NumRegisto As varchar(20)),DataSys,substr(Linha1,1,%1),"
                          "substr(Linha2,1,%1) from SaidaDisplay where Utilizador=? order by "
                          "DataSys ")
        .arg(longestLine);
}

qint64 numRegistoOf(const QVariant& value)
{
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (value.isNull() || !ok)
        throw Failure(QStringLiteral("Registo de SaidaDisplay com NumRegisto inválido: \"%1\"")
                          .arg(value.toString()));
    return number;
}

// In full and in an order that sorts as text, as a drop file's name starts.
QString ordemOf(const QVariant& dataSys)
{
    if (dataSys.metaType() == QMetaType::fromType<QDateTime>())
        return dataSys.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return dataSys.toString();
}

// The one number that a prepared count(*) statement gives. Throws Failure.
qint64 countOf(QSqlQuery& query)
{
    execute(query);
    bool counted = false;
    const qint64 count = query.next() ? query.value(0).toLongLong(&counted) : 0;
    if (!counted)
        throw Failure(QStringLiteral("A contagem de SaidaDisplay não deu um número"));
    return count;
}

} // namespace

template <typename Statements> auto DatabaseSource::closingIfLost(const Statements& statements)
{
    try {
        return statements();
    } catch (const Failure&) {
        if (m_connection.isBroken())
            m_connection.close();
        throw;
    }
}

DatabaseSource::DatabaseSource(const QString& applicationName)
{
    m_connection.setApplicationName(applicationName);
}

bool DatabaseSource::connect(const SourceSettings& settings,
                             std::optional<ConnectionFailure>& failure)
{
    failure.reset();
    const Login login{settings.sqlServidor, settings.sqlBaseDados, settings.sqlUtilizador,
                      settings.sqlPassword};
    if (login == m_login && m_connection.isOpen())
        return true;
    m_login = login;
    m_userLock.forget();
    if (!AbrirLigacao(m_connection, settings.sqlServidor, settings.sqlBaseDados,
                      settings.sqlUtilizador, settings.sqlPassword, QStringLiteral("SQL"),
                      commandTimeout, connectionTimeout, failure))
        return false;
    const QString lockWait = lockWaitStatement(m_connection.database().driver()->dbmsType());
    try {
        if (!lockWait.isEmpty())
            m_connection.executeDirectly(lockWait);
    } catch (const Failure&) {
        // Without it a locked row would hold every tick: the next connect() tries again.
        m_connection.close();
        throw;
    }
    return true;
}

std::optional<QString> DatabaseSource::holdUserLock(const SourceSettings& settings)
{
    return closingIfLost([&] { return m_userLock.hold(m_connection, settings.sqlUtilizador); });
}

// Read to the end before any delete: SQL Server refuses a second statement on a connection whose
// result is still being read.
QList<QueuedMessage> DatabaseSource::waitingRows(const SourceSettings& settings)
{
    return closingIfLost([&] {
        QSqlQuery query = m_connection.prepare(selectStatement(m_connection.isSqlServer()));
        query.addBindValue(settings.sqlUtilizador);
        execute(query);
        QList<QueuedMessage> rows;
        while (query.next()) {
            // An empty column comes as NULL from some writers; it is an empty line.
            QueuedMessage message{ordemOf(query.value(1)), query.value(2).toString(),
                                  query.value(3).toString()};
            message.origin.numRegisto = numRegistoOf(query.value(0));
            message.origin.utilizador = settings.sqlUtilizador;
            rows.append(message);
        }
        return rows;
    });
}

qint64 DatabaseSource::waitingCount(const SourceSettings& settings)
{
    return closingIfLost([&] {
        QSqlQuery query = m_connection.prepare(
            QStringLiteral("Select count(*) from SaidaDisplay%1 where Utilizador=?")
                .arg(tableHint(m_connection.isSqlServer())));
        query.addBindValue(settings.sqlUtilizador);
        return countOf(query);
    });
}

bool DatabaseSource::rowExists(qint64 numRegisto)
{
    QSqlQuery query = m_connection.prepare(
        QStringLiteral("Select count(*) from SaidaDisplay%1 where NumRegisto=?")
            .arg(tableHint(m_connection.isSqlServer())));
    query.addBindValue(QVariant::fromValue<qlonglong>(numRegisto));
    return countOf(query) > 0;
}

bool DatabaseSource::deleteRow(qint64 numRegisto, QStringList& problems)
{
    bool locked = false;
    const QString failure = runTrapped([&] {
        closingIfLost([&] {
            QSqlQuery deletion =
                m_connection.prepare(QStringLiteral("Delete from SaidaDisplay Where NumRegisto=?"));
            deletion.addBindValue(QVariant::fromValue<qlonglong>(numRegisto));
            if (!deletion.exec()) {
                locked = m_connection.waitedForLock(deletion);
                throw Failure(describe(deletion.lastError()));
            }
            // -1 is a count the server did not give; 0 may come from a delete done by a trigger.
            if (deletion.numRowsAffected() == 0 && rowExists(numRegisto))
                throw Failure(QStringLiteral("o registo continua na tabela"));
        });
    });
    if (failure.isEmpty())
        return true;
    if (locked)
        problems << QStringLiteral("O registo %1 de SaidaDisplay está preso por outra transacção: "
                                   "é tentado de novo no próximo ciclo")
                        .arg(numRegisto);
    else
        problems << QStringLiteral("Não foi possível apagar o registo %1 de SaidaDisplay: %2")
                        .arg(numRegisto)
                        .arg(failure);
    return false;
}
