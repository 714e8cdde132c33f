#include "intake/abrir_ligacao.h"

#include "core/failure.h"
#include "intake/odbc_catalog.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

namespace {

// An attribute value as ODBC connection strings want it: in braces when it holds a separator,
// a brace or blanks at either end, with a closing brace doubled.
QString attributeValue(const QString& value)
{
    const bool plain = !value.contains(u';') && !value.contains(u'{') && !value.contains(u'}') &&
                       value == value.trimmed();
    if (plain)
        return value;
    QString escaped = value;
    escaped.replace(u'}', QStringLiteral("}}"));
    return u'{' + escaped + u'}';
}

QString attribute(const QString& name, const QString& value)
{
    return name + u'=' + attributeValue(value);
}

bool isMicrosoftDriver(const QString& driver)
{
    return driver.startsWith(QStringLiteral("ODBC Driver"), Qt::CaseInsensitive);
}

// Qt's ODBC driver puts "DSN=" before a database name unless it already names a driver or a
// server, and reads any name holding ".dsn" as a file data source.
QString qtDatabaseName(const QString& connection)
{
    if (connection.contains(QStringLiteral(".dsn"), Qt::CaseInsensitive))
        throw Failure(QStringLiteral("O texto \".dsn\" no nome do servidor ou da base de dados "
                                     "não é aceite pela ligação ODBC"));
    if (connection.contains(QStringLiteral("DRIVER="), Qt::CaseInsensitive) ||
        connection.contains(QStringLiteral("SERVER="), Qt::CaseInsensitive))
        return connection;
    return connection.mid(QStringLiteral("DSN=").size());
}

QString loginMode(const QString& mode)
{
    return mode.trimmed().isEmpty() ? QStringLiteral("SQL") : mode.trimmed().toUpper();
}

// SQL Server's drivers take the session's name from the connection text, and other drivers pass
// over an attribute they do not know; PostgreSQL's is set on the session once it is open. A
// session left unnamed still works, so a name that Qt's driver would read as one of its markers
// (see qtDatabaseName()) is left out.
QString withApplicationName(const QString& qtName, const QString& name)
{
    const bool marked = name.contains(QStringLiteral(".dsn"), Qt::CaseInsensitive) ||
                        name.contains(QStringLiteral("DRIVER="), Qt::CaseInsensitive) ||
                        name.contains(QStringLiteral("SERVER="), Qt::CaseInsensitive);
    if (name.isEmpty() || marked)
        return qtName;
    return qtName + u';' + attribute(QStringLiteral("APP"), name);
}

void nameSession(DatabaseConnection& connection)
{
    if (connection.applicationName().isEmpty() ||
        connection.database().driver()->dbmsType() != QSqlDriver::PostgreSQL)
        return;
    runSkippingFailure([&] {
        QSqlQuery query =
            connection.prepare(QStringLiteral("select set_config('application_name', ?, false)"));
        query.addBindValue(connection.applicationName());
        execute(query);
    });
}

} // namespace

QString ConnectionFailure::message() const
{
    return QStringLiteral("Falha na Ligação à Base de Dados (") + server + QStringLiteral(")\n") +
           (number.isEmpty() ? QStringLiteral("0") : number) + u'\n' + description;
}

QString connectionText(const QString& server, const QString& database, const QString& mode)
{
    const QString login = loginMode(mode);
    QStringList attributes;
    if (odbcDataSourceExists(server)) {
        attributes << attribute(QStringLiteral("DSN"), server.trimmed());
    } else {
        const QString driver = preferredSqlServerDriver(odbcDrivers());
        if (driver.isEmpty())
            throw Failure(QStringLiteral("Não está instalado nenhum controlador ODBC para SQL "
                                         "Server (ODBC Driver for SQL Server ou FreeTDS)"));
        attributes << QStringLiteral("Driver={") + QString(driver).replace(u'}', "}}") + u'}'
                   << attribute(QStringLiteral("Server"), server.trimmed());
        // Older clients neither asked for encryption nor checked the server's certificate;
        // Microsoft's newer drivers demand both unless told otherwise.
        if (isMicrosoftDriver(driver))
            attributes << QStringLiteral("Encrypt=no")
                       << QStringLiteral("TrustServerCertificate=yes");
        // FreeTDS left to guess the protocol tries one version after another, each with its own
        // login time-out, against a server that does not answer. 7.4 serves SQL Server 2012 and
        // later; a data source can name another version.
        else if (driver.compare(QStringLiteral("FreeTDS"), Qt::CaseInsensitive) == 0)
            attributes << QStringLiteral("TDS_Version=7.4");
    }
    if (!database.isEmpty())
        attributes << attribute(QStringLiteral("Database"), database);
    if (login == QStringLiteral("WIN"))
        attributes << QStringLiteral("Trusted_Connection=yes");
    else if (login != QStringLiteral("SQL"))
        throw Failure(
            QStringLiteral("Modo de autenticação desconhecido: \"%1\" (aceita SQL ou WIN)")
                .arg(mode.trimmed()));
    return attributes.join(u';');
}

bool AbrirLigacao(DatabaseConnection& connection, const QString& server, const QString& database,
                  const QString& user, const QString& password, const QString& mode,
                  qint16 commandTimeout, qint16 connectionTimeout,
                  std::optional<ConnectionFailure>& failure)
{
    failure.reset();
    if (server.trimmed().isEmpty())
        return false;
    connection.renew();
    QString number;
    const QString description = runTrapped([&] {
        QSqlDatabase& sql = connection.database();
        sql.setDatabaseName(withApplicationName(
            qtDatabaseName(connectionText(server, database, mode)), connection.applicationName()));
        if (loginMode(mode) == QStringLiteral("SQL")) {
            // Qt adds them to the connection text as they stand; braces keep a ";" in a
            // password from cutting it short.
            sql.setUserName(attributeValue(user));
            sql.setPassword(attributeValue(password));
        }
        sql.setConnectOptions(
            QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(qMax<qint16>(connectionTimeout, 0)));
        connection.setCommandTimeout(qMax<qint16>(commandTimeout, 0));
        if (!sql.open()) {
            number = sql.lastError().nativeErrorCode();
            throw Failure(describe(sql.lastError()));
        }
        nameSession(connection);
    });
    if (description.isEmpty())
        return true;
    connection.close();
    failure = ConnectionFailure{server, number, description};
    return false;
}
