#include "common/abrir_ligacao.h"
#include "common/odbc_catalog.h"
#include "support/odbc_fixture.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QtTest>

#include <memory>

class TestAbrirLigacao : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OdbcFixture> m_odbc;
    QStringList m_messages;

    bool open(DatabaseConnection& connection, const QString& server, const QString& database,
              const QString& mode = QStringLiteral("SQL"), bool semMensagem = false)
    {
        return AbrirLigacao(connection, server, database, QStringLiteral("caixa1"),
                            QStringLiteral("p;w}d"), mode, 120, 60, semMensagem);
    }

private slots:
    void initTestCase() { m_odbc = std::make_unique<OdbcFixture>(OdbcFixture::Trace::On); }
    void init() { m_messages.clear(); }

    void blankServer_returnsFalseWithoutMessage()
    {
        DatabaseConnection connection([this](const QString& text) { m_messages.append(text); });
        QVERIFY(!open(connection, QStringLiteral("   "), QString()));
        QVERIFY(!connection.isOpen());
        QVERIFY(m_messages.isEmpty());
    }

    void dataSource_opensInAnyLetterCase_withDatabaseOnlyWhenGiven()
    {
        DatabaseConnection connection([this](const QString& text) { m_messages.append(text); });
        QVERIFY(open(connection, QStringLiteral("mostrelateste"), QString()));
        QVERIFY(
            QSqlQuery(QStringLiteral("select count(*) from SaidaDisplay"), connection.database())
                .isActive());
        QVERIFY(!connection.isSqlServer());

        // The SQLite driver takes Database= as the file to open, so a given database shows as
        // a new file; the password's ";" and "}" did not break the connection text.
        const QString other = QDir(m_odbc->folder()).filePath(QStringLiteral("outra.db"));
        QVERIFY(open(connection, OdbcFixture::dataSource(), other, QStringLiteral("")));
        QVERIFY(QFileInfo::exists(other));
        QVERIFY(m_messages.isEmpty());
    }

    void modes_sqlWinOrFailure()
    {
        QVERIFY(!connectionText(OdbcFixture::dataSource(), QString(), QStringLiteral(" sql "))
                     .contains(QStringLiteral("Trusted_Connection")));
        QCOMPARE(connectionText(OdbcFixture::dataSource(), QStringLiteral("Loja"),
                                QStringLiteral("win")),
                 QStringLiteral("DSN=MostrelaTeste;Database=Loja;Trusted_Connection=yes"));

        DatabaseConnection connection([this](const QString& text) { m_messages.append(text); });
        QVERIFY(!open(connection, OdbcFixture::dataSource(), QString(), QStringLiteral("NT")));
        QVERIFY(!connection.isOpen());
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().startsWith(
            QStringLiteral("Falha na Ligação à Base de Dados (MostrelaTeste)\n")));
        QVERIFY(m_messages.first().contains(QStringLiteral("\"NT\"")));
    }

    void serverName_reachedThroughSqlServerDriver()
    {
        // Only SQLite3 and FreeTDS are installed for this process.
        QCOMPARE(connectionText(QStringLiteral("loja01\\SQLEXPRESS"), QStringLiteral("Vendas;2"),
                                QString()),
                 QStringLiteral("Driver={FreeTDS};Server=loja01\\SQLEXPRESS;Database={Vendas;2}"));
    }

    void preferredSqlServerDriver_newestMicrosoftThenFreeTdsThenWindows()
    {
        QCOMPARE(preferredSqlServerDriver({QStringLiteral("SQL Server"), QStringLiteral("FreeTDS"),
                                           QStringLiteral("ODBC Driver 17 for SQL Server"),
                                           QStringLiteral("ODBC Driver 18 for SQL Server"),
                                           QStringLiteral("SQLite3")}),
                 QStringLiteral("ODBC Driver 18 for SQL Server"));
        QCOMPARE(preferredSqlServerDriver({QStringLiteral("SQL Server"), QStringLiteral("freetds"),
                                           QStringLiteral("SQLite3")}),
                 QStringLiteral("freetds"));
        QCOMPARE(
            preferredSqlServerDriver({QStringLiteral("SQLite3"), QStringLiteral("SQL Server")}),
            QStringLiteral("SQL Server"));
        QCOMPARE(preferredSqlServerDriver(
                     {QStringLiteral("SQLite3"), QStringLiteral("SQL Server Native Client 11.0")}),
                 QString());
        QCOMPARE(odbcDrivers(),
                 QStringList({QStringLiteral("SQLite3"), QStringLiteral("FreeTDS")}));
    }

    void failedConnection_showsOneMessage_withNumberAndDescription_neverThePassword()
    {
        DatabaseConnection connection([this](const QString& text) { m_messages.append(text); });
        // FreeTDS, to a port where nothing listens: refused at once.
        QVERIFY(!open(connection, QStringLiteral("127.0.0.1,1"), QStringLiteral("Loja")));
        QVERIFY(!connection.isOpen());
        QCOMPARE(m_messages.size(), 1);
        const QStringList lines = m_messages.first().split(u'\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0), QStringLiteral("Falha na Ligação à Base de Dados (127.0.0.1,1)"));
        QVERIFY2(lines.at(1).toLongLong() != 0, qPrintable(lines.at(1)));
        QVERIFY(!lines.at(2).trimmed().isEmpty());
        QVERIFY(!m_messages.first().contains(QStringLiteral("p;w")));

        QVERIFY(!open(connection, OdbcFixture::brokenDataSource(), QString(), QString(), true));
        QCOMPARE(m_messages.size(), 1);
    }

    void timeouts_loginOnTheConnection_commandOnEveryStatement()
    {
        const auto attributeSet = [this](const QString& attribute, int value) {
            return m_odbc->trace().contains(QStringLiteral("Attribute = %1\n\t\t\tValue = 0x%2\n")
                                                .arg(attribute, QString::number(value, 16)));
        };
        DatabaseConnection connection;
        QVERIFY(AbrirLigacao(connection, OdbcFixture::dataSource(), QString(), QString(), QString(),
                             QString(), 97, 43, false));
        QVERIFY(attributeSet(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT"), 43));
        QVERIFY(!attributeSet(QStringLiteral("SQL_ATTR_QUERY_TIMEOUT"), 97));
        const QSqlQuery query = connection.prepare(QStringLiteral("select 1"));
        QVERIFY(attributeSet(QStringLiteral("SQL_ATTR_QUERY_TIMEOUT"), 97));
    }
};

QTEST_GUILESS_MAIN(TestAbrirLigacao)
#include "test_abrir_ligacao.moc"
