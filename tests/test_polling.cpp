#include "core/failure.h"
#include "core/worker_thread.h"
#include "intake/database_polling.h"
#include "intake/drop_folder_polling.h"
#include "intake/intake_worker.h"
#include "support/database_test.h"
#include "support/file_bytes.h"
#include "support/polled_source.h"
#include "support/test_main.h"
#include "support/verify_says.h"

#include <memory>

// Each source's polling step as its intake worker runs it: the caption it shows at each stage,
// and how a failure ends it and a clean step after it clears it.
class TestPolling : public DatabaseTest {
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    SourceSettings m_settings;

    QString dropFolder() const { return m_folder.filePath("entrada"); }

private slots:
    void initTestCase()
    {
        m_settings.ligaSQL = true;
        m_settings.ligaFicheiros = true;
        m_settings.sqlUtilizador = OdbcFixture::databaseUser();
        m_settings.ligaFicheirosPath = dropFolder();
        m_settings.numLetras = LineWidth::read("10");
    }

    void databaseStep_eachStageShownAsItStarts()
    {
        PolledSource<DatabasePolling> source(m_folder.filePath("fila"));
        m_settings.sqlServidor = OdbcFixture::dataSource();
        m_odbc.insert(OdbcFixture::databaseUser(), QDateTime::currentDateTime(), "registo", "");
        QCOMPARE(source.poll(m_settings).error, QString());
        QCOMPARE(source.captions,
                 QStringList({"Em Execução - Abrindo Ligação", "Em Execução - Abrindo Tabela",
                              "Em Execução - Carregando Registos", "Em Execução"}));
        QCOMPARE(source.lines(), QStringList({"registo|"}));

        // Without rows the table step does not announce loading.
        QCOMPARE(source.poll(m_settings).messages, 0);
        QCOMPARE(source.captions, QStringList({"Em Execução - Abrindo Ligação",
                                               "Em Execução - Abrindo Tabela", "Em Execução"}));
    }

    // A step whose connection fails ends there, with the failure's facts for the person at the
    // screen; a blank server is not tried, and has none.
    void failedConnection_endsTheStepAtTheConnection_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<bool>("told");
        QTest::newRow("unreachable") << OdbcFixture::brokenDataSource() << true;
        QTest::newRow("blank") << " " << false;
    }
    void failedConnection_endsTheStepAtTheConnection()
    {
        QFETCH(QString, server);
        QFETCH(bool, told);
        PolledSource<DatabasePolling> source(m_folder.filePath("fila"));
        m_settings.sqlServidor = server;
        const PollResult result = source.poll(m_settings);
        QVERIFY(result.connectionFailed);
        QCOMPARE(result.messages, -1);
        QCOMPARE(result.connectionFailure.has_value(), told);
        if (told)
            VERIFY_STARTS(result.connectionFailure->message(),
                          QStringLiteral("Falha na Ligação à Base de Dados (%1)").arg(server));
        QCOMPARE(source.captions, QStringList({"Em Execução - Abrindo Ligação"}));
    }

    void dropFolderStep_missingFolderFails_theNextCleanStepClearsIt()
    {
        PolledSource<DropFolderPolling> source(m_folder.filePath("fila"));
        const QString error = source.poll(m_settings).error;
        VERIFY_SAYS(error, dropFolder());
        QCOMPARE(source.captions, QStringList({"Em Execução - Carregando Ficheiros"}));

        QVERIFY(QDir().mkpath(dropFolder()));
        QVERIFY(writeFileBytes(m_folder.filePath("entrada/1.dsp"), "ficheiro"));
        QCOMPARE(source.poll(m_settings).error, QString());
        QCOMPARE(source.captions,
                 QStringList({"Em Execução - Carregando Ficheiros", "Em Execução"}));
        QCOMPARE(source.lines(), QStringList({"ficheiro|"}));
        QVERIFY(QDir(dropFolder()).isEmpty());
    }

    // A file found empty may be one its writer has made and not yet written: it waits a step. One
    // still empty then is taken as the empty message it is.
    void dropFolderStep_anEmptyFileWaitsAStep()
    {
        PolledSource<DropFolderPolling> source(m_folder.filePath("fila"));
        QVERIFY(QDir().mkpath(dropFolder()));
        QFile writing(m_folder.filePath("entrada/1.dsp"));
        QVERIFY(writing.open(QIODevice::WriteOnly));
        QVERIFY(writeFileBytes(m_folder.filePath("entrada/2.dsp"), ""));
        QCOMPARE(source.poll(m_settings).messages, 0);
        QCOMPARE(QDir(dropFolder()).count(), 4u);

        QVERIFY(writing.write("escrito") > 0);
        writing.close();
        QCOMPARE(source.poll(m_settings).messages, 2);
        QCOMPARE(source.lines(), QStringList({"escrito|", "|"}));
        QVERIFY(QDir(dropFolder()).isEmpty());
    }

    // A source that cannot be made on its worker's thread is said on the thread that asked for
    // it, not thrown into the new thread's event loop.
    void workerThatCannotBeMade_throwsOnItsOwnersThread()
    {
        const auto unmade = []() -> std::unique_ptr<SourcePolling> { throw Failure("sem fonte"); };
        QVERIFY_THROWS_EXCEPTION(Failure, WorkerThread<IntakeWorker>{unmade});
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestPolling)
#include "test_polling.moc"
