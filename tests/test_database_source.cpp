#include "app/controller.h"
#include "support/odbc_fixture.h"

#include <QtTest>

#include <memory>

using Key = Settings::Key;

class TestDatabaseSource : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OdbcFixture> m_odbc;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<Controller> m_controller;
    QStringList m_messages;
    const QDateTime m_start{QDate(2024, 3, 9), QTime(10, 15, 0)};

    // A tick of tmrVerifica, waited for: the sources are read on threads of their own.
    void tick()
    {
        QSignalSpy finished(m_controller.get(), &Controller::pollingFinished);
        emit m_controller->tmrVerifica().tick();
        QVERIFY(finished.wait(20000));
    }
    void setUser(const QString& user)
    {
        m_controller->settings().setText(Key::SQL_Utilizador, user);
    }
    QStringList queued() const
    {
        QStringList rows;
        for (int row = 0; row < m_controller->queue().count(); ++row) {
            const QueuedMessage& message = m_controller->queue().at(row);
            rows << message.linha1 + u'|' + message.linha2;
        }
        return rows;
    }
    QString error() const { return m_controller->status().error(); }

private slots:
    void initTestCase() { m_odbc = std::make_unique<OdbcFixture>(); }

    void init()
    {
        m_odbc->createTable();
        m_messages.clear();
        m_folder = std::make_unique<QTemporaryDir>();
        m_controller = std::make_unique<Controller>(m_folder->path());
        connect(m_controller.get(), &Controller::connectionFailed, this,
                [this](const QString& text) { m_messages.append(text); });
        Settings& settings = m_controller->settings();
        settings.setText(Key::SegundosTimerSQL, QStringLiteral("0")); // ticks by hand only
        settings.setText(Key::SQL_Servidor, OdbcFixture::dataSource());
        settings.setText(Key::SQL_Utilizador, QStringLiteral("caixa1"));
        settings.setText(Key::SQL_Password, QStringLiteral("segredo"));
        settings.setLigaSQL(true);
        m_controller->selectPage(Controller::Page::Executando);
    }

    void rowsOfThisUser_queuedInDataSysOrder_deleted_othersLeft()
    {
        const QVariant null(QMetaType::fromType<QString>());
        m_odbc->insert(QStringLiteral("caixa1"), m_start.addSecs(2), QStringLiteral("B1"),
                       QStringLiteral("B2"));
        m_odbc->insert(QStringLiteral("caixa2"), m_start.addSecs(1), QStringLiteral("X1"),
                       QStringLiteral("X2"));
        m_odbc->insert(QStringLiteral("caixa1"), m_start.addSecs(1), QStringLiteral("A1"),
                       QStringLiteral("A2"));
        // NULL lines, as some writers leave an empty line: an empty line, and the row goes.
        m_odbc->insert(QStringLiteral("caixa1"), m_start.addSecs(3), null, QStringLiteral("C2"));
        m_odbc->insert(QStringLiteral("caixa1"), m_start.addSecs(4), QStringLiteral("D1"), null);

        tick();
        QCOMPARE(error(), QString());
        QCOMPARE(queued(), QStringList({QStringLiteral("A1|A2"), QStringLiteral("B1|B2"),
                                        QStringLiteral("|C2"), QStringLiteral("D1|")}));
        QCOMPARE(m_controller->queue().at(0).ordem, QStringLiteral("2024-03-09 10:15:01"));
        QCOMPARE(m_odbc->rowsLeft(),
                 QList<QStringList>({{QStringLiteral("caixa2"), QStringLiteral("X1")}}));

        tick();
        QCOMPARE(m_controller->queue().count(), 4);
        QVERIFY(m_messages.isEmpty());
    }

    void quotesInUserName_matchOnlyThatUser()
    {
        m_odbc->insert(QStringLiteral("O'Neil"), m_start, QStringLiteral("O1"),
                       QStringLiteral("O2"));
        m_odbc->insert(QStringLiteral("caixa2"), m_start, QStringLiteral("X1"),
                       QStringLiteral("X2"));

        setUser(QStringLiteral("x' or 'a'='a"));
        tick();
        QCOMPARE(error(), QString());
        QCOMPARE(m_controller->queue().count(), 0);
        QCOMPARE(m_odbc->rowsLeft().size(), 2);

        setUser(QStringLiteral("O'Neil"));
        tick();
        QCOMPARE(error(), QString());
        QCOMPARE(queued(), QStringList({QStringLiteral("O1|O2")}));
        QCOMPARE(m_odbc->rowsLeft(),
                 QList<QStringList>({{QStringLiteral("caixa2"), QStringLiteral("X1")}}));
    }

    void tableNotAsExpected_failsInLblError_nextGoodTickClearsIt_data()
    {
        QTest::addColumn<QString>("definition");
        QTest::addColumn<QString>("complaint");
        QTest::newRow("missing table") << QString() << QStringLiteral("no such table");
        QTest::newRow("missing column")
            << QStringLiteral("create table SaidaDisplay (NumRegisto integer, DataSys datetime, "
                              "Texto varchar(80), Utilizador varchar(40))")
            << QStringLiteral("no such column");
    }
    void tableNotAsExpected_failsInLblError_nextGoodTickClearsIt()
    {
        QFETCH(QString, definition);
        QFETCH(QString, complaint);
        m_odbc->run(QStringLiteral("drop table SaidaDisplay"));
        if (!definition.isEmpty())
            m_odbc->run(definition);

        tick();
        QVERIFY2(error().contains(complaint), qPrintable(error()));
        QCOMPARE(m_controller->status().caption(), QStringLiteral("Em Execução - Abrindo Tabela"));
        QVERIFY(m_messages.isEmpty());

        m_odbc->createTable();
        m_odbc->insert(QStringLiteral("caixa1"), m_start, QStringLiteral("A1"),
                       QStringLiteral("A2"));
        tick();
        QCOMPARE(error(), QString());
        QCOMPARE(queued(), QStringList({QStringLiteral("A1|A2")}));
    }

    void rowThatCannotBeDeleted_staysAndDelaysOnlyItself()
    {
        m_odbc->run(QStringLiteral("create trigger guarda before delete on SaidaDisplay "
                                   "when old.Linha1 = 'preso' begin "
                                   "select raise(abort, 'registo protegido'); end"));
        m_odbc->insert(QStringLiteral("caixa1"), m_start, QStringLiteral("A1"),
                       QStringLiteral("A2"));
        m_odbc->insert(QStringLiteral("caixa1"), m_start.addSecs(1), QStringLiteral("preso"),
                       QStringLiteral("P2"));
        m_odbc->insert(QStringLiteral("caixa1"), m_start.addSecs(2), QStringLiteral("C1"),
                       QStringLiteral("C2"));

        // The row that cannot be deleted delays only itself, tick after tick.
        for (int attempt = 0; attempt < 2; ++attempt) {
            tick();
            QVERIFY2(error().contains(QStringLiteral("registo protegido")), qPrintable(error()));
            QCOMPARE(m_controller->status().caption(), QStringLiteral("Em Execução"));
            QCOMPARE(queued(), QStringList({QStringLiteral("A1|A2"), QStringLiteral("C1|C2")}));
            QCOMPARE(m_odbc->rowsLeft(),
                     QList<QStringList>({{QStringLiteral("caixa1"), QStringLiteral("preso")}}));
        }

        m_odbc->run(QStringLiteral("drop trigger guarda"));
        tick();
        QCOMPARE(error(), QString());
        QCOMPARE(queued(), QStringList({QStringLiteral("A1|A2"), QStringLiteral("C1|C2"),
                                        QStringLiteral("preso|P2")}));
        QVERIFY(m_odbc->rowsLeft().isEmpty());
    }

    // SaidaDisplay as a view whose delete a trigger does: the database counts no row deleted.
    // Gone all the same, the row's message is taken; one that the trigger keeps stays, named,
    // out of the queue, and is tried again next tick.
    void deleteCountingNoRow_takesTheRowIfGone_elseRetriesIt()
    {
        m_odbc->run(QStringLiteral("alter table SaidaDisplay rename to Mensagens"));
        m_odbc->run(QStringLiteral("create view SaidaDisplay as select * from Mensagens"));
        const QString trigger =
            QStringLiteral("create trigger apaga instead of delete on SaidaDisplay %1 begin "
                           "delete from Mensagens where NumRegisto = old.NumRegisto; end");
        m_odbc->run(trigger.arg(QStringLiteral("when old.Linha1 <> 'guardada'")));
        for (const char* linha1 : {"A1", "guardada", "C1"})
            m_odbc->run(
                QStringLiteral("insert into Mensagens (DataSys, Linha1, Linha2, Utilizador) "
                               "values (datetime('now'), ?, '', 'caixa1')"),
                {QString::fromLatin1(linha1)});
        for (int attempt = 0; attempt < 2; ++attempt) {
            tick();
            QVERIFY2(error().contains(QStringLiteral("registo 2 de SaidaDisplay: o registo "
                                                     "continua na tabela")),
                     qPrintable(error()));
            QCOMPARE(queued(), QStringList({QStringLiteral("A1|"), QStringLiteral("C1|")}));
        }
        m_odbc->run(QStringLiteral("drop trigger apaga"));
        m_odbc->run(trigger.arg(QString()));
        tick();
        QCOMPARE(error(), QString());
        QCOMPARE(queued().last(), QStringLiteral("guardada|"));
        m_odbc->run(QStringLiteral("drop view SaidaDisplay"));
        m_odbc->run(QStringLiteral("drop table Mensagens"));
    }
};

QTEST_GUILESS_MAIN(TestDatabaseSource)
#include "test_database_source.moc"
