#include "intake/database_connection.h"

#include "core/failure.h"
#include "intake/odbc_installer.h"

#include <QScopeGuard>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlResult>
#include <QStringDecoder>
#include <QtDebug>

#include <algorithm>
#include <optional>
#include <vector>

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

std::optional<SQLHANDLE> odbcHandle(const QVariant& handle)
{
    if (handle.metaType() != QMetaType::fromType<SQLHANDLE>())
        return std::nullopt;
    return *static_cast<const SQLHANDLE*>(handle.constData());
}

SQLHANDLE odbcHandleOrFailure(const QVariant& handle)
{
    if (const std::optional<SQLHANDLE> odbc = odbcHandle(handle))
        return *odbc;
    throw Failure(QStringLiteral("O controlador de base de dados não é ODBC"));
}

void setQueryTimeout(SQLHSTMT statement, int seconds)
{
    const SQLRETURN result = SQLSetStmtAttr(
        statement, SQL_ATTR_QUERY_TIMEOUT,
        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(seconds)), SQL_IS_UINTEGER);
    // A driver may round the value it keeps (success with information): a time-out still holds.
    if (!SQL_SUCCEEDED(result))
        throw Failure(QStringLiteral("O controlador ODBC recusou o tempo limite dos comandos "
                                     "(%1 segundos)")
                          .arg(seconds));
}

struct Diagnostic {
    QString state;
    SQLINTEGER native = 0;
    QString text;
};

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "wide ODBC text is UTF-16");

QString fromSqlWchar(const SQLWCHAR* text, qsizetype length)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

// The diagnostic records a handle holds after a call that failed.
QList<Diagnostic> diagnosticsOf(SQLSMALLINT type, SQLHANDLE handle)
{
    QList<Diagnostic> found;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
        Diagnostic diagnostic;
        SQLSMALLINT length = 0;
        if (!SQL_SUCCEEDED(SQLGetDiagRecW(type, handle, record, state, &diagnostic.native, nullptr,
                                          0, &length)))
            return found;
        std::vector<SQLWCHAR> text(static_cast<size_t>(length) + 1);
        if (!SQL_SUCCEEDED(SQLGetDiagRecW(type, handle, record, state, &diagnostic.native,
                                          text.data(), static_cast<SQLSMALLINT>(text.size()),
                                          &length)))
            return found;
        diagnostic.state = fromSqlWchar(state, SQL_SQLSTATE_SIZE);
        diagnostic.text =
            fromSqlWchar(text.data(), std::min<qsizetype>(length, qsizetype(text.size()) - 1));
        found.append(diagnostic);
    }
}

// The bytes as UTF-8, or none when they are not.
std::optional<QString> fromUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(bytes);
    return decoder.hasError() ? std::nullopt : std::optional(decoded);
}

// A driver that cuts its message inside a UTF-8 character may then give the whole message as
// Latin-1 (SQLite's does: "Ã§" for "ç"). Such a text is decoded again without the cut character.
// A text that is Latin-1 indeed ("Não") is not UTF-8 even without its last bytes, and stays.
QString wholeCharacters(const QString& text)
{
    if (std::any_of(text.cbegin(), text.cend(), [](QChar unit) { return unit.unicode() > 0xFF; }))
        return text;
    const QByteArray bytes = text.toLatin1();
    if (fromUtf8(bytes))
        return text;
    // The bytes left out start a character, and what is kept holds at least one of several bytes.
    for (qsizetype cut = 1; cut < 4 && cut <= bytes.size(); ++cut) {
        const QByteArray kept = bytes.chopped(cut);
        if (static_cast<uchar>(bytes.at(kept.size())) < 0xC0)
            continue;
        const std::optional<QString> decoded = fromUtf8(kept);
        if (decoded && decoded->size() < kept.size())
            return *decoded;
    }
    return text;
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
    const std::optional<SQLHANDLE> connection = odbcHandle(m_database.driver()->handle());
    if (!connection)
        return true;
    SQLUINTEGER dead = SQL_CD_TRUE;
    const SQLRETURN result =
        SQLGetConnectAttr(*connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
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
    setQueryTimeout(odbcHandleOrFailure(query.result()->handle()), m_commandTimeout);
    return query;
}

void DatabaseConnection::executeDirectly(const QString& statement) const
{
    SQLHANDLE handle = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT,
                                      odbcHandleOrFailure(m_database.driver()->handle()), &handle)))
        throw Failure(
            QStringLiteral("O controlador ODBC não deu onde executar \"%1\"").arg(statement));
    const auto freed = qScopeGuard([handle] { SQLFreeHandle(SQL_HANDLE_STMT, handle); });
    setQueryTimeout(handle, m_commandTimeout);
    const SQLRETURN result = SQLExecDirectW(
        handle, const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(statement.utf16())),
        SQL_NTS);
    if (SQL_SUCCEEDED(result) || result == SQL_NO_DATA)
        return;
    QStringList texts;
    for (const Diagnostic& diagnostic : diagnosticsOf(SQL_HANDLE_STMT, handle))
        texts << wholeCharacters(diagnostic.text.trimmed());
    throw Failure(QStringLiteral("\"%1\" falhou: %2").arg(statement, texts.join(u' ')));
}

bool DatabaseConnection::waitedForLock(const QSqlQuery& failed) const
{
    const std::optional<SQLHANDLE> statement = odbcHandle(failed.result()->handle());
    if (!statement)
        return false;
    const QSqlDriver::DbmsType server = m_database.driver()->dbmsType();
    const QList<Diagnostic> diagnostics = diagnosticsOf(SQL_HANDLE_STMT, *statement);
    return std::any_of(diagnostics.cbegin(), diagnostics.cend(), [&](const Diagnostic& found) {
        // SQL Server's "Lock request time out period exceeded", PostgreSQL's lock_not_available.
        return server == QSqlDriver::MSSqlServer
                   ? found.native == 1222
                   : server == QSqlDriver::PostgreSQL && found.state == QStringLiteral("55P03");
    });
}

void execute(QSqlQuery& query)
{
    if (!query.exec())
        throw Failure(describe(query.lastError()));
}

QString describe(const QSqlError& error)
{
    const QString database = wholeCharacters(error.databaseText().trimmed());
    const QString driver = error.driverText().trimmed();
    if (database.isEmpty())
        return driver;
    return driver.isEmpty() ? database : database + QStringLiteral(" (") + driver + u')';
}
