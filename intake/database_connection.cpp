#include "intake/database_connection.h"

#include "core/failure.h"
#include "intake/odbc_installer.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlResult>
#include <QtDebug>

// Windows' ODBC headers take their types from windows.h but do not include it.
#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

namespace {

QString uniqueConnectionName()
{
    static quint64 counter = 0;
    return QStringLiteral("mostrela-%1").arg(++counter);
}

void setQueryTimeout(const QSqlQuery& query, int seconds)
{
    const QVariant handle = query.result()->handle();
    if (handle.metaType() != QMetaType::fromType<SQLHANDLE>())
        throw Failure(QStringLiteral("O controlador de base de dados não é ODBC"));
    SQLHSTMT statement = *static_cast<const SQLHANDLE*>(handle.constData());
    const SQLRETURN result = SQLSetStmtAttr(
        statement, SQL_ATTR_QUERY_TIMEOUT,
        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(seconds)), SQL_IS_UINTEGER);
    // A driver may round the value it keeps (success with information): a time-out still holds.
    if (!SQL_SUCCEEDED(result))
        throw Failure(QStringLiteral("O controlador ODBC recusou o tempo limite dos comandos "
                                     "(%1 segundos)")
                          .arg(seconds));
}

} // namespace

DatabaseConnection::~DatabaseConnection()
{
    close();
}

void DatabaseConnection::renew()
{
    close();
    keepOdbcInstallerLoaded();
    m_name = uniqueConnectionName();
    m_database = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
}

void DatabaseConnection::close()
{
    if (m_name.isEmpty())
        return;
    m_database.close();
    m_database = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
    m_name.clear();
}

bool DatabaseConnection::isOpen() const
{
    return m_database.isOpen();
}

bool DatabaseConnection::isBroken() const
{
    if (!isOpen())
        return true;
    const QVariant handle = m_database.driver()->handle();
    if (handle.metaType() != QMetaType::fromType<SQLHANDLE>())
        return true;
    SQLHDBC connection = *static_cast<const SQLHANDLE*>(handle.constData());
    SQLUINTEGER dead = SQL_CD_TRUE;
    const SQLRETURN result =
        SQLGetConnectAttr(connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
    return !SQL_SUCCEEDED(result) || dead == SQL_CD_TRUE;
}

bool DatabaseConnection::isSqlServer() const
{
    return m_database.driver() != nullptr &&
           m_database.driver()->dbmsType() == QSqlDriver::MSSqlServer;
}

QSqlQuery DatabaseConnection::prepare(const QString& statement) const
{
    QSqlQuery query(m_database);
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        throw Failure(describe(query.lastError()));
    setQueryTimeout(query, m_commandTimeout);
    return query;
}

void execute(QSqlQuery& query)
{
    if (!query.exec())
        throw Failure(describe(query.lastError()));
}

QString describe(const QSqlError& error)
{
    const QString database = error.databaseText().trimmed();
    const QString driver = error.driverText().trimmed();
    if (database.isEmpty())
        return driver;
    return driver.isEmpty() ? database : database + QStringLiteral(" (") + driver + u')';
}
