#include "support/odbc_fixture.h"

#include "core/failure.h"
#include "support/driver_manager_files.h"
#include "support/file_bytes.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

void writeFile(const QString& path, const QString& text)
{
    if (!writeFileBytes(path, text.toUtf8()))
        throw Failure(QStringLiteral("Cannot write %1").arg(path));
}

} // namespace

OdbcFixture::OdbcFixture(Trace trace, const QString& moreDataSources) : m_connection("odbc-fixture")
{
    const QString traceFile = driverManagerPath(m_folder.filePath("trace.log"));
    const QString tracing =
        trace == Trace::On ? "[ODBC]\nTrace=Yes\nTraceFile=" + traceFile + "\n\n" : "";
    const QDir iniFolder(driverManagerFolder(m_folder.path()));
    writeFile(iniFolder.filePath("odbcinst.ini"),
              tracing + QStringLiteral("[SQLite3]\nDriver=libsqlite3odbc.so\n\n"
                                       "[FreeTDS]\nDriver=libtdsodbc.so\n\n"
                                       "[PostgreSQL Unicode]\nDriver=psqlodbcw.so\n"));
    const QString databaseFile = driverManagerPath(databasePath());
    writeFile(iniFolder.filePath("odbc.ini"),
              QStringLiteral("[%1]\nDriver=SQLite3\nDatabase=%2\nTimeout=5000\n\n"
                             "[%3]\nDriver=SQLite3\nDatabase=%2\nTimeout=100\n\n"
                             "[%4]\nDriver=SQLite3\nDatabase=%5\n\n"
                             "[%6]\nDriver=PostgreSQL Unicode\nServername=127.0.0.1\nPort=1\n"
                             "Database=postgres\n\n")
                      .arg(dataSource(), databaseFile, impatientDataSource(), brokenDataSource(),
                           driverManagerPath(m_folder.filePath("em-falta")) + "/base.db",
                           closedPortDataSource()) +
                  moreDataSources);
    expectDriverManagerSees(dataSource(), databaseFile);

    QSqlDatabase database = QSqlDatabase::addDatabase("QODBC", m_connection);
    database.setDatabaseName(dataSource());
    if (!database.open())
        throw Failure(database.lastError().text());
    createTable();
}

void OdbcFixture::addDataSources(const QString& sections)
{
    const QString odbcIni = QDir(driverManagerFolder(m_folder.path())).filePath("odbc.ini");
    writeFile(odbcIni, fileBytes(odbcIni) + '\n' + sections);
}

OdbcFixture::~OdbcFixture()
{
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

QString OdbcFixture::trace() const
{
    return QString::fromUtf8(fileBytes(m_folder.filePath("trace.log")));
}

QList<QVariantList> OdbcFixture::rows(const QString& statement, const QVariantList& values)
{
    QSqlQuery query(QSqlDatabase::database(m_connection));
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        throw Failure(query.lastError().text());
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        throw Failure(query.lastError().text());
    QList<QVariantList> result;
    const int columns = query.record().count();
    while (query.next()) {
        QVariantList row;
        for (int column = 0; column < columns; ++column)
            row.append(query.value(column));
        result.append(row);
    }
    return result;
}

void OdbcFixture::lockForWriting()
{
    QSqlDatabase database = QSqlDatabase::database(m_connection);
    if (!database.transaction())
        throw Failure(database.lastError().text());
    // A write that changes nothing still takes the lock, and holds it until the commit.
    run("update SaidaDisplay set Linha1 = Linha1 where 0 = 1");
}

void OdbcFixture::commit()
{
    QSqlDatabase database = QSqlDatabase::database(m_connection);
    if (!database.commit())
        throw Failure(database.lastError().text());
}

void OdbcFixture::createTable()
{
    run("drop table if exists SaidaDisplay");
    run(QStringLiteral("create table SaidaDisplay (NumRegisto integer primary key autoincrement, "
                       "DataSys datetime not null, Linha1 varchar(80), Linha2 varchar(80), "
                       "Utilizador varchar(40) not null)"));
}

void OdbcFixture::insert(const QString& utilizador, const QDateTime& dataSys,
                         const QVariant& linha1, const QVariant& linha2)
{
    run(QStringLiteral("insert into SaidaDisplay (DataSys, Linha1, Linha2, Utilizador) "
                       "values (?, ?, ?, ?)"),
        {dataSys.toString("yyyy-MM-dd HH:mm:ss"), linha1, linha2, utilizador});
}

void OdbcFixture::insertNumbered(const QString& utilizador, int count)
{
    run(QStringLiteral(
            "insert into SaidaDisplay (DataSys, Linha1, Linha2, Utilizador) "
            "with recursive n(i) as (select 1 union all select i + 1 from n where i < ?) "
            "select datetime('2024-03-09', '+' || i || ' seconds'), 'Registo ' || i, '', "
            "? from n"),
        {count, utilizador});
}

QList<QStringList> OdbcFixture::rowsLeft()
{
    QList<QStringList> result;
    for (const QVariantList& row :
         rows("select Utilizador, Linha1 from SaidaDisplay order by NumRegisto"))
        result.append({row.at(0).toString(), row.at(1).toString()});
    return result;
}
