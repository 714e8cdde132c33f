#include "intake/database_polling.h"
#include "support/database_test.h"
#include "support/polled_source.h"
#include "support/test_main.h"

#include <memory>

// The database's polling step, run by its intake worker over a SQLite database behind an ODBC
// data source: which rows it takes, in what order, what it deletes and what it leaves.
class TestDatabaseSource : public DatabaseTest {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<PolledSource<DatabasePolling>> m_source;
    SourceSettings m_settings;
    const QDateTime m_start{QDate(2024, 3, 9), QTime(10, 15, 0)};

    QString spoolFolder() const { return m_folder->filePath("fila"); }
    void insert(const QString& user, int second, const QVariant& linha1, const QVariant& linha2)
    {
        m_odbc.insert(user, m_start.addSecs(second), linha1, linha2);
    }
    QString tick() { return m_source->poll(m_settings).error; }
    // Leaves `kept` in the spool as the message of the table's first row, as a run that ended
    // before showing it leaves it, and starts the source again over that spool.
    void restartWithKept(QueuedMessage kept)
    {
        kept.origin.numRegisto =
            m_odbc.rows("select NumRegisto from SaidaDisplay").first().first().toLongLong();
        QList<QueuedMessage> entries{kept};
        Spool(spoolFolder()).write(entries);
        m_source = std::make_unique<PolledSource<DatabasePolling>>(spoolFolder());
    }
    // Longer than a message keeps, cut at intake between the two halves of one character.
    static QString longLine() { return QString(longestLine - 1, u'x') + "\U0001F600 fim"; }

private slots:

    void init()
    {
        m_odbc.createTable();
        m_folder = std::make_unique<QTemporaryDir>();
        m_source = std::make_unique<PolledSource<DatabasePolling>>(spoolFolder());
        m_settings.ligaSQL = true;
        m_settings.sqlServidor = OdbcFixture::dataSource();
        m_settings.sqlUtilizador = OdbcFixture::databaseUser();
        m_settings.sqlPassword = "segredo";
    }

    void rowsOfThisUser_queuedInDataSysOrder_deleted_othersLeft()
    {
        const QVariant null(QMetaType::fromType<QString>());
        insert(OdbcFixture::databaseUser(), 2, "B1", "B2");
        insert("caixa2", 1, "X1", "X2");
        insert(OdbcFixture::databaseUser(), 1, "A1", "A2");
        // NULL lines, as some writers leave an empty line: an empty line, and the row goes.
        insert(OdbcFixture::databaseUser(), 3, null, "C2");
        insert(OdbcFixture::databaseUser(), 4, "D1", null);

        QCOMPARE(tick(), QString());
        QCOMPARE(m_source->lines(), QStringList({"A1|A2", "B1|B2", "|C2", "D1|"}));
        QCOMPARE(m_source->taken.first().ordem, "2024-03-09 10:15:01");
        QCOMPARE(m_odbc.rowsLeft(), QList<QStringList>({{"caixa2", "X1"}}));

        QCOMPARE(tick(), QString());
        QCOMPARE(m_source->taken.size(), 4);
        QVERIFY(!m_source->result.connectionFailed);
    }

    void quotesInUserName_matchOnlyThatUser()
    {
        insert("O'Neil", 0, "O1", "O2");
        insert("caixa2", 0, "X1", "X2");

        m_settings.sqlUtilizador = "x' or 'a'='a";
        QCOMPARE(tick(), QString());
        QCOMPARE(m_source->taken.size(), 0);
        QCOMPARE(m_odbc.rowsLeft().size(), 2);

        m_settings.sqlUtilizador = "O'Neil";
        QCOMPARE(tick(), QString());
        QCOMPARE(m_source->lines(), QStringList({"O1|O2"}));
        QCOMPARE(m_odbc.rowsLeft(), QList<QStringList>({{"caixa2", "X1"}}));
    }

    void tableNotAsExpected_failsInLblError_nextGoodTickClearsIt_data()
    {
        QTest::addColumn<QString>("definition");
        QTest::addColumn<QString>("complaint");
        QTest::newRow("missing table") << QString() << "no such table";
        QTest::newRow("missing column") << "create table SaidaDisplay (NumRegisto integer, DataSys "
                                           "datetime, Texto varchar(80), Utilizador varchar(40))"
                                        << "no such column";
    }
    void tableNotAsExpected_failsInLblError_nextGoodTickClearsIt()
    {
        QFETCH(QString, definition);
        QFETCH(QString, complaint);
        m_odbc.run("drop table SaidaDisplay");
        if (!definition.isEmpty())
            m_odbc.run(definition);

        const QString error = tick();
        QVERIFY2(error.contains(complaint), qPrintable(error));
        QCOMPARE(m_source->captions.last(), "Em Execução - Abrindo Tabela");
        QVERIFY(!m_source->result.connectionFailure);

        m_odbc.createTable();
        insert(OdbcFixture::databaseUser(), 0, "A1", "A2");
        QCOMPARE(tick(), QString());
        QCOMPARE(m_source->lines(), QStringList({"A1|A2"}));
    }

    // A row that cannot be deleted stays, out of the queue, delaying only itself tick after tick:
    // a trigger refuses its delete, or a view's trigger deletes nothing and no row counts deleted.
    // A row that a delete counting no row did take away is gone all the same, its message taken.
    // A refusal longer than the driver keeps, cut inside a character, is told in whole characters.
    void rowThatCannotBeDeleted_staysAndDelaysOnlyItself_data()
    {
        QTest::addColumn<QString>("refusal");
        QTest::newRow("refused") << "registo protegido";
        QTest::newRow("counting no row") << "o registo continua na tabela";
        QTest::newRow("refused at length") << "registo protegido: " + QString(600, u'\u00E7');
    }
    void rowThatCannotBeDeleted_staysAndDelaysOnlyItself()
    {
        QFETCH(QString, refusal);
        const bool view = refusal.contains("continua");
        const QString trigger =
            view ? "create trigger guarda instead of delete on SaidaDisplay %1 begin delete from "
                   "Mensagens where NumRegisto = old.NumRegisto; end"
                 : "create trigger guarda before delete on SaidaDisplay %1 begin select "
                   "raise(abort, '%2'); end";
        for (int second = 0; const char* linha1 : {"A1", "preso", "C1"})
            insert(OdbcFixture::databaseUser(), second++, linha1, "2");
        if (view) {
            m_odbc.run("alter table SaidaDisplay rename to Mensagens");
            m_odbc.run("create view SaidaDisplay as select * from Mensagens");
        }
        const QString when = view ? "when old.Linha1 <> 'preso'" : "when old.Linha1 = 'preso'";
        m_odbc.run(view ? trigger.arg(when) : trigger.arg(when, refusal));

        for (int attempt = 0; attempt < 2; ++attempt) {
            const QString error = tick();
            QVERIFY2(error.contains(refusal.left(60)), qPrintable(error));
            QVERIFY2(!error.contains(u'\u00C3') && !error.contains(QChar::ReplacementCharacter),
                     qPrintable(error));
            QCOMPARE(m_source->captions.last(), "Em Execução");
            QCOMPARE(m_source->lines(), QStringList({"A1|2", "C1|2"}));
        }
        QVERIFY2(view || m_odbc.rowsLeft() == QList<QStringList>({{"caixa1", "preso"}}),
                 "the refused row stays");

        m_odbc.run("drop trigger guarda");
        if (view)
            m_odbc.run(trigger.arg(QString()));
        QCOMPARE(tick(), QString());
        QCOMPARE(m_source->lines(), QStringList({"A1|2", "C1|2", "preso|2"}));
        QVERIFY(m_odbc.rowsLeft().isEmpty());
        if (view) {
            m_odbc.run("drop view SaidaDisplay");
            m_odbc.run("drop table Mensagens");
        }
    }

    // A row kept in the spool by a run that ended before deleting it is deleted, never taken a
    // second time, also when its delete must wait for a lock to go.
    void spooledRowsLeftInTheTable_areDeletedNotTakenAgain_evenWhenTheDeleteMustWait()
    {
        insert(OdbcFixture::databaseUser(), 0, "guardada", QString());
        QueuedMessage kept("2024-03-09 10:15:00", "guardada");
        restartWithKept(kept);

        m_settings.sqlServidor = OdbcFixture::impatientDataSource();
        m_odbc.lockForWriting();
        tick();
        const QString error = tick();
        QVERIFY2(error.contains("locked"), qPrintable(error));
        m_odbc.commit();
        QCOMPARE(tick(), QString());
        QCOMPARE(m_source->taken.size(), 0);
        QCOMPARE(m_odbc.rowsLeft(), QList<QStringList>());
    }

    // A row kept in the spool by a run that ended after deleting it, whose number came back with
    // another row (a table emptied numbers its rows from 1 again), is a new message, and taken.
    // Only a row holding the kept message (its DataSys, lines cut as at intake, and user) is
    // deleted untaken; an entry of an earlier version, which kept no user, is matched without one.
    void spooledRowsNumberGivenToAnotherRow_thatRowIsTaken_data()
    {
        QTest::addColumn<QueuedMessage>("kept");
        QTest::addColumn<bool>("taken");
        const auto kept = [](const char* ordem, const QString& linha1, const char* linha2,
                             const std::optional<QString>& user) {
            QueuedMessage message(ordem, linha1, linha2);
            message.origin.utilizador = user;
            return message;
        };
        const char* dataSys = "2024-03-09 10:15:00";
        const QString caixa1 = OdbcFixture::databaseUser();
        QTest::newRow("same message") << kept(dataSys, longLine(), "2", caixa1) << false;
        QTest::newRow("same, kept by an earlier version")
            << kept(dataSys, longLine(), "2", {}) << false;
        QTest::newRow("other DataSys")
            << kept("2024-03-09 10:14:59", longLine(), "2", caixa1) << true;
        QTest::newRow("other Linha1") << kept(dataSys, "x", "2", caixa1) << true;
        QTest::newRow("other Linha2") << kept(dataSys, longLine(), "", caixa1) << true;
        QTest::newRow("other user") << kept(dataSys, longLine(), "2", "caixa2") << true;
        QTest::newRow("other user, kept by an earlier version")
            << kept(dataSys, "x", "2", {}) << true;
    }
    void spooledRowsNumberGivenToAnotherRow_thatRowIsTaken()
    {
        QFETCH(QueuedMessage, kept);
        QFETCH(bool, taken);
        insert(OdbcFixture::databaseUser(), 0, longLine(), "2");
        restartWithKept(kept);
        if (taken)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("numerou registos de novo: 1 "));

        QCOMPARE(tick(), QString());
        const QStringList row{longLine().left(longestLine) + "|2"};
        QCOMPARE(m_source->lines(), taken ? row : QStringList());
        QCOMPARE(m_odbc.rowsLeft(), QList<QStringList>());
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestDatabaseSource)
#include "test_database_source.moc"
