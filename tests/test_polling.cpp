#include "app/controller.h"
#include "core/spool.h"
#include "support/odbc_fixture.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <map>
#include <memory>

using Key = Settings::Key;

// The polling tick as the controller runs it: settings as the window's fields hold them, pages
// picked as its buttons pick them, results read from the queue, the caption and the failure
// label.
class TestPolling : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OdbcFixture> m_odbc;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<Controller> m_controller;
    QStringList m_messages;

    void type(Key key, const QString& text) { m_controller->settings().setText(key, text); }
    // A page button, or a source's option button, clicked.
    void click(const QString& name)
    {
        static const std::map<QString, Controller::Page> pages = {
            {QStringLiteral("optSQL"), Controller::Page::SQL},
            {QStringLiteral("optConfigura"), Controller::Page::Configura},
            {QStringLiteral("optExecutando"), Controller::Page::Executando},
        };
        Settings& settings = m_controller->settings();
        if (name == QStringLiteral("optLigaSQL"))
            settings.setLigaSQL(!settings.ligaSQL());
        else if (name == QStringLiteral("optLigaFicheiros"))
            settings.setLigaFicheiros(!settings.ligaFicheiros());
        else
            m_controller->selectPage(pages.at(name));
    }
    QString lblError() const { return m_controller->status().error(); }
    QString caption() const { return m_controller->status().caption(); }
    QString dropFolder() const { return m_folder->filePath(QStringLiteral("entrada")); }
    void drop(const QString& name, const QByteArray& text)
    {
        QFile file(QDir(dropFolder()).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QStringList filesLeft() const { return QDir(dropFolder()).entryList(QDir::Files); }
    QStringList queued() const
    {
        QStringList rows;
        for (int row = 0; row < m_controller->queue().count(); ++row)
            rows << m_controller->queue().at(row).linha1;
        return rows;
    }
    // A tick of tmrVerifica, waited for: the sources are read on threads of their own.
    void tick()
    {
        QSignalSpy finished(m_controller.get(), &Controller::pollingFinished);
        emit m_controller->tmrVerifica().tick();
        QVERIFY(finished.wait(20000));
    }
    void recordMessages()
    {
        connect(m_controller.get(), &Controller::connectionFailed, this,
                [this](const QString& text) { m_messages.append(text); });
        connect(m_controller.get(), &Controller::connectionRestored, this,
                [this] { m_messages.append(QStringLiteral("restabelecida")); });
    }

private slots:
    void initTestCase() { m_odbc = std::make_unique<OdbcFixture>(); }

    void init()
    {
        m_odbc->createTable();
        m_messages.clear();
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(dropFolder()));
        makeController();
    }
    void cleanup() { m_controller.reset(); }

    // A row kept in the spool by a run that ended before deleting it is deleted, never taken a
    // second time, also when its delete must wait for a lock to go. The display timer is off:
    // the queue is what the ticks left.
    void spooledRowsLeftInTheTable_areDeletedNotTakenAgain_evenWhenTheDeleteMustWait()
    {
        m_odbc->insert(QStringLiteral("caixa1"), QDateTime::currentDateTime(),
                       QStringLiteral("guardada"), QString());
        QueuedMessage kept(QStringLiteral("2024-03-09 10:00:00"), QStringLiteral("guardada"),
                           QString());
        kept.origin.numRegisto = m_odbc->rows(QStringLiteral("select NumRegisto from SaidaDisplay"))
                                     .first()
                                     .first()
                                     .toLongLong();
        QList<QueuedMessage> entries{kept};
        // The spool of a run that ended between keeping the row and deleting it.
        m_controller.reset();
        Spool(m_folder->filePath(QStringLiteral("fila"))).write(entries);
        makeController();
        m_controller->tmrDisplay().setEnabled(false);
        QCOMPARE(queued(), QStringList({QStringLiteral("guardada")}));

        click(QStringLiteral("optSQL"));
        type(Key::SQL_Servidor, OdbcFixture::impatientDataSource());
        click(QStringLiteral("optLigaSQL"));
        click(QStringLiteral("optExecutando"));
        m_odbc->lockForWriting();
        tick();
        tick();
        QVERIFY2(lblError().contains(QStringLiteral("locked")), qPrintable(lblError()));
        m_odbc->commit();
        tick();
        QCOMPARE(queued(), QStringList({QStringLiteral("guardada")}));
        QCOMPARE(m_odbc->rowsLeft(), QList<QStringList>());
        QCOMPARE(lblError(), QString());
    }

private:
    void makeController()
    {
        m_controller = std::make_unique<Controller>(m_folder->path());
        click(QStringLiteral("optSQL"));
        type(Key::SQL_Servidor, OdbcFixture::dataSource());
        type(Key::SQL_Utilizador, QStringLiteral("caixa1"));
        type(Key::LigaFicheirosPath, dropFolder());
        type(Key::NumLetras, QStringLiteral("10"));
        click(QStringLiteral("optConfigura"));
        type(Key::SegundosTimerSQL, QStringLiteral("0")); // ticks by hand, unless a test says
    }

private slots:

    void otherPage_tickTouchesNothing()
    {
        click(QStringLiteral("optLigaFicheiros"));
        drop(QStringLiteral("1.dsp"), "one");
        m_controller->status().setError(QStringLiteral("anterior"), Status::Handler::Polling);
        QSignalSpy finished(m_controller.get(), &Controller::pollingFinished);
        emit m_controller->tmrVerifica().tick();
        QVERIFY(!finished.wait(200)); // no tick is started on another page
        QCOMPARE(filesLeft(), QStringList({QStringLiteral("1.dsp")}));
        QCOMPARE(m_controller->queue().count(), 0);
        QCOMPARE(lblError(), QStringLiteral("anterior"));
    }

    void noSourceOn_tickSetsIdleCaptionAndClearsError()
    {
        click(QStringLiteral("optExecutando"));
        drop(QStringLiteral("1.dsp"), "one");
        m_controller->status().setError(QStringLiteral("anterior"), Status::Handler::Polling);
        m_controller->status().setCaption(QStringLiteral("Em Execução - Abrindo Tabela"));
        tick();
        QCOMPARE(caption(), QStringLiteral("Em Execução"));
        QCOMPARE(lblError(), QString());
        QCOMPARE(filesLeft(), QStringList({QStringLiteral("1.dsp")}));
    }

    // Each source has its own thread; the caption follows the database's steps while they run.
    void bothSources_databaseFirst_eachStepShownAsItStarts()
    {
        click(QStringLiteral("optLigaSQL"));
        click(QStringLiteral("optLigaFicheiros"));
        click(QStringLiteral("optExecutando"));
        m_odbc->insert(QStringLiteral("caixa1"), QDateTime::currentDateTime(),
                       QStringLiteral("registo"), QString());
        drop(QStringLiteral("1.dsp"), "ficheiro");
        QStringList shown;
        connect(&m_controller->status(), &Status::captionChanged, this,
                [&] { shown << caption(); });

        tick();
        QCOMPARE(shown.mid(0, 3),
                 QStringList({QStringLiteral("Em Execução - Abrindo Ligação"),
                              QStringLiteral("Em Execução - Abrindo Tabela"),
                              QStringLiteral("Em Execução - Carregando Registos")}));
        QCOMPARE(shown.last(), QStringLiteral("Em Execução"));
        QCOMPARE(queued(), QStringList({QStringLiteral("registo"), QStringLiteral("ficheiro")}));
        QCOMPARE(lblError(), QString());

        // Without rows the table step does not announce loading.
        shown.clear();
        tick();
        QCOMPARE(shown.mid(0, 2), QStringList({QStringLiteral("Em Execução - Abrindo Ligação"),
                                               QStringLiteral("Em Execução - Abrindo Tabela")}));
        QVERIFY(!shown.contains(QStringLiteral("Em Execução - Carregando Registos")));
        QCOMPARE(shown.last(), QStringLiteral("Em Execução"));
    }

    // A connection that fails delays only the database: the drop folder is read all the same.
    // The failure is told once, shown in the failure label while it lasts, and its end told once.
    void failedConnection_delaysOnlyTheDatabase_toldOnce_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<bool>("told");
        QTest::newRow("unreachable") << OdbcFixture::brokenDataSource() << true;
        QTest::newRow("blank") << QStringLiteral(" ") << false;
    }
    void failedConnection_delaysOnlyTheDatabase_toldOnce()
    {
        QFETCH(QString, server);
        QFETCH(bool, told);
        recordMessages();
        static QStringList logged;
        logged.clear();
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
                if (text.startsWith(QStringLiteral("base de dados")))
                    logged << text;
            });
        click(QStringLiteral("optSQL"));
        type(Key::SQL_Servidor, server);
        click(QStringLiteral("optLigaSQL"));
        click(QStringLiteral("optLigaFicheiros"));
        click(QStringLiteral("optExecutando"));
        drop(QStringLiteral("1.dsp"), "one");

        for (int attempt = 0; attempt < 3; ++attempt)
            tick();
        QCOMPARE(m_messages.size(), told ? 1 : 0);
        QCOMPARE(caption(), QStringLiteral("Em Execução - Abrindo Ligação"));
        QCOMPARE(lblError().startsWith(QStringLiteral("Falha na Ligação")), told);
        QCOMPARE(queued(), QStringList({QStringLiteral("one")}));
        QCOMPARE(filesLeft(), QStringList());

        type(Key::SQL_Servidor, OdbcFixture::dataSource());
        tick();
        tick();
        type(Key::SQL_Servidor, server);
        tick();
        qInstallMessageHandler(previous);
        QCOMPARE(lblError().startsWith(QStringLiteral("Falha na Ligação")), told);
        if (told) {
            QCOMPARE(m_messages.size(), 3);
            QVERIFY(m_messages.first().startsWith(QStringLiteral("Falha na Ligação")));
            QCOMPARE(m_messages.at(1), QStringLiteral("restabelecida"));
            QCOMPARE(logged.size(), 3);
            QVERIFY2(logged.at(1).endsWith(QStringLiteral("recuperado")), qPrintable(logged.at(1)));
        } else {
            QVERIFY(m_messages.isEmpty());
            QVERIFY(logged.isEmpty());
        }
    }

    void otherFailure_inLblError_cleanTickClearsIt()
    {
        click(QStringLiteral("optSQL"));
        type(Key::LigaFicheirosPath, dropFolder() + QStringLiteral("/em-falta"));
        click(QStringLiteral("optLigaFicheiros"));
        click(QStringLiteral("optExecutando"));
        tick();
        QVERIFY2(lblError().contains(dropFolder() + QStringLiteral("/em-falta")),
                 qPrintable(lblError()));
        QCOMPARE(caption(), QStringLiteral("Em Execução - Carregando Ficheiros"));

        QVERIFY(QDir().mkpath(dropFolder() + QStringLiteral("/em-falta")));
        tick();
        QCOMPARE(lblError(), QString());
        QCOMPARE(caption(), QStringLiteral("Em Execução"));
    }
};

QTEST_GUILESS_MAIN(TestPolling)
#include "test_polling.moc"
