#include "intake/abrir_ligacao.h"
#include "intake/odbc_catalog.h"
#include "support/database_test.h"
#include "support/driver_manager_files.h"
#include "support/test_main.h"
#include "support/verify_says.h"

#include <QSqlQuery>

#include <memory>

class TestAbrirLigacao : public DatabaseTest {
    Q_OBJECT

public:
    // The driver manager's trace shows the attributes set on the connection's handles.
    TestAbrirLigacao() : DatabaseTest(OdbcFixture::Trace::On) {}

private:
    std::optional<ConnectionFailure> m_failure;

    bool open(DatabaseConnection& connection, const QString& server, const QString& database,
              const QString& mode = "SQL")
    {
        return AbrirLigacao(connection, server, database, "caixa1", "p;w}d", mode, 120, 60,
                            m_failure);
    }
    // Whether a connection does not open, and is left closed.
    bool refused(const QString& server, const QString& database, const QString& mode = "SQL")
    {
        DatabaseConnection connection;
        return !open(connection, server, database, mode) && !connection.isOpen();
    }

private slots:
    void init() { m_failure.reset(); }

    void blankServer_returnsFalseWithoutFailure()
    {
        QVERIFY(refused("   ", QString()));
        QVERIFY(!m_failure);
    }

    void dataSource_opensInAnyLetterCase_withDatabaseOnlyWhenGiven()
    {
        DatabaseConnection connection;
        // The session's name goes with the connection text, escaped as a value; one that Qt's
        // driver would take for a file data source is left out, and the connection still opens.
        connection.setApplicationName("mostrela /lojas/caixa;1.dsn");
        QVERIFY(open(connection, "mostrelateste", QString()));
        connection.setApplicationName("mostrela /lojas/caixa;1");
        QVERIFY(open(connection, "mostrelateste", QString()));
#ifndef Q_OS_WIN
        QCOMPARE(m_odbc.trace().count("APP={mostrela /lojas/caixa;1}"), 1);
#endif
        QVERIFY(QSqlQuery("select count(*) from SaidaDisplay", connection.database()).isActive());
        QVERIFY(!connection.isSqlServer());

        // The SQLite driver takes Database= as the file to open, so a given database shows as
        // a new file; the password's ";" and "}" did not break the connection text.
        const QString other = QDir(m_odbc.folder()).filePath("outra.db");
        QVERIFY(open(connection, OdbcFixture::dataSource(), driverManagerPath(other), ""));
        QVERIFY(QFileInfo::exists(other));
        QVERIFY(!m_failure);
    }

    void modes_sqlWinOrFailure()
    {
        QVERIFY(!connectionText(OdbcFixture::dataSource(), QString(), " sql ")
                     .contains("Trusted_Connection"));
        QCOMPARE(connectionText(OdbcFixture::dataSource(), "Loja", "win"),
                 "DSN=MostrelaTeste;Database=Loja;Trusted_Connection=yes");

        QVERIFY(refused(OdbcFixture::dataSource(), QString(), "NT"));
        QVERIFY(m_failure);
        VERIFY_STARTS(m_failure->message(), "Falha na Ligação à Base de Dados (MostrelaTeste)\n");
        VERIFY_SAYS(m_failure->description, "\"NT\"");
    }

    void serverName_reachedThroughSqlServerDriver()
    {
        // Only SQLite3 and FreeTDS are installed for this process.
        QCOMPARE(connectionText("loja01\\SQLEXPRESS", "Vendas;2", QString()),
                 "Driver={FreeTDS};Server=loja01\\SQLEXPRESS;TDS_Version=7.4;Database={Vendas;2}");
    }

    void preferredSqlServerDriver_newestMicrosoftThenFreeTdsThenWindows()
    {
        QCOMPARE(preferredSqlServerDriver({"SQL Server", "FreeTDS", "ODBC Driver 17 for SQL Server",
                                           "ODBC Driver 18 for SQL Server", "SQLite3"}),
                 "ODBC Driver 18 for SQL Server");
        QCOMPARE(preferredSqlServerDriver({"SQL Server", "freetds", "SQLite3"}), "freetds");
        QCOMPARE(preferredSqlServerDriver({"SQLite3", "SQL Server"}), "SQL Server");
        QCOMPARE(preferredSqlServerDriver({"SQLite3", "SQL Server Native Client 11.0"}), QString());
        QCOMPARE(
            preferredSqlServerDriver({"ODBC Driver for SQL Server", "ODBC Driver 1x for SQL Server",
                                      "odbc driver 9 for sql server"}),
            "odbc driver 9 for sql server");
        QCOMPARE(odbcDrivers(), QStringList({"SQLite3", "FreeTDS", "PostgreSQL Unicode"}));
    }

    void failedConnection_reportsNumberAndDescription_neverThePassword()
    {
        // FreeTDS, to a port where nothing listens: refused at once.
        QVERIFY(refused("127.0.0.1,1", "Loja"));
        QVERIFY(m_failure);
        const QString message = m_failure->message();
        const QStringList lines = message.split(u'\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0), "Falha na Ligação à Base de Dados (127.0.0.1,1)");
        QVERIFY2(lines.at(1).toLongLong() != 0, qPrintable(lines.at(1)));
        QVERIFY(!lines.at(2).trimmed().isEmpty());
        QVERIFY(!message.contains("p;w"));

        QVERIFY(refused(OdbcFixture::brokenDataSource(), QString()));
        QCOMPARE(m_failure->server, OdbcFixture::brokenDataSource());
    }

    void timeouts_loginOnTheConnection_commandOnEveryStatement()
    {
#ifdef Q_OS_WIN
        QSKIP("the trace is unixODBC's, which writes none of the calls of Wine's odbc32");
#endif
        const auto attributeSet = [this](const QString& attribute, int value) {
            return m_odbc.trace().contains(QStringLiteral("Attribute = %1\n\t\t\tValue = 0x%2\n")
                                               .arg(attribute, QString::number(value, 16)));
        };
        DatabaseConnection connection;
        QVERIFY(AbrirLigacao(connection, OdbcFixture::dataSource(), QString(), QString(), QString(),
                             QString(), 97, 43, m_failure));
        QVERIFY(attributeSet("SQL_ATTR_LOGIN_TIMEOUT", 43));
        QVERIFY(!attributeSet("SQL_ATTR_QUERY_TIMEOUT", 97));
        const QSqlQuery query = connection.prepare("select 1");
        QVERIFY(attributeSet("SQL_ATTR_QUERY_TIMEOUT", 97));
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestAbrirLigacao)
#include "test_abrir_ligacao.moc"
