#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>

// A SQLite database reached through an ODBC data source, as the program reaches SQL Server. The
// driver manager is pointed at an odbc.ini and an odbcinst.ini of its own, in a temporary folder,
// so it must be built before the process's first ODBC call. Drivers: SQLite3, FreeTDS and
// PostgreSQL Unicode; more data sources (a PostgresServer's) can be added. A traced fixture has
// the driver manager log every call, which shows the attributes the program sets on its handles.
class OdbcFixture {
public:
    static QString dataSource() { return "MostrelaTeste"; } // holds the table SaidaDisplay
    // The same database with a short busy time-out, for connections that give up soon on a lock.
    static QString impatientDataSource() { return "MostrelaImpaciente"; }
    // A database in a folder that does not exist, so connecting to it fails.
    static QString brokenDataSource() { return "MostrelaAvariada"; }
    // A PostgreSQL server on a local port where nothing listens (1), refused at once.
    static QString closedPortDataSource() { return "MostrelaFechada"; }
    // The database user whose rows the tests' controllers take.
    static QString databaseUser() { return "caixa1"; }

    enum class Trace { Off, On };
    // `moreDataSources`: odbc.ini sections of further data sources.
    explicit OdbcFixture(Trace trace = Trace::Off, const QString& moreDataSources = {});
    ~OdbcFixture();

    // Adds odbc.ini sections of further data sources, for the connections made after.
    void addDataSources(const QString& sections);

    QString folder() const { return m_folder.path(); }
    QString databasePath() const { return m_folder.filePath(QStringLiteral("mostrela.db")); }
    // What the driver manager has logged so far (traced fixtures only).
    QString trace() const;

    // Runs a statement with its values bound in order; a failure throws Failure.
    void run(const QString& statement, const QVariantList& values = {}) { rows(statement, values); }
    // Every row of a query, each as its column values.
    QList<QVariantList> rows(const QString& statement, const QVariantList& values = {});

    // Takes the database's write lock until commit(), as a writer in a transaction does: others
    // still read, but their writes wait out their busy time-out and fail. What this fixture writes
    // meanwhile is seen by others after commit().
    void lockForWriting();
    void commit();

    // Drops and creates SaidaDisplay, empty.
    void createTable();
    void insert(const QString& utilizador, const QDateTime& dataSys, const QVariant& linha1,
                const QVariant& linha2);
    // `count` rows for `utilizador` in one statement, "Registo 1" upward, a second apart.
    void insertNumbered(const QString& utilizador, int count);
    // (Utilizador, Linha1) of every row left, in NumRegisto order.
    QList<QStringList> rowsLeft();

private:
    QTemporaryDir m_folder;
    QString m_connection;
};
