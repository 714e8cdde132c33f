#include "support/controller_rig.h"
#include "support/database_test.h"
#include "support/test_main.h"
#include "support/usual_display.h"
#include "support/verify_says.h"

#include <memory>

using Key = Settings::Key;

// Messages and settings that would upset the display or the sources, the program's whole way: read
// from a drop file or a row, queued, written to a port in memory, the failure label saying why.
class TestMessageFaults : public DatabaseTest {
    Q_OBJECT

private:
    std::unique_ptr<ControllerRig> m_rig;

    void insert(const QString& linha1, const QString& linha2 = QString())
    {
        m_rig->insert(m_odbc, linha1, linha2);
    }
    // Waits until the display has received exactly `bytes` since the last look, then takes them.
    void expectOnDisplay(const QByteArray& bytes)
    {
        QTRY_COMPARE_WITH_TIMEOUT(m_rig->display.received(), bytes, 10000);
        m_rig->display.take();
    }
    // Lets a few polling ticks end: what a source would give twice is in the queue by then.
    void watchSomeTicks()
    {
        QSignalSpy ticks(&m_rig->running().controller(), &Controller::pollingFinished);
        QTRY_VERIFY(ticks.size() >= 4);
    }
    QString lblError() { return m_rig->running().lblError(); }
    QStringList added() { return m_rig->running().added(); }

private slots:
    void init()
    {
        m_odbc.createTable();
        m_rig = std::make_unique<ControllerRig>();
        m_rig->folder.settings().setText(Key::SegundosTimerDisplay, "0.05");
        m_rig->folder.settings().setLigaSQL(true);
    }
    void cleanup() { m_rig.reset(); }

    // ESC Q B inside a message would start a line 2 of its own, CR LF would move the cursor.
    void controlCharacters_fromBothSources_reachTheDisplayAsBlanks()
    {
        QVERIFY(m_rig->folder.drop("20240309100000.dsp", "Sinal\x1BQBfalso       linha\r\ndois"));
        insert("Fila\x1BQA\x1BQBx", "ok\x1B");
        m_rig->startOnFiles();
        expectOnDisplay(usualDisplayMessage("Fila QA QBx", "ok") +
                        usualDisplayMessage("Sinal QBfalso", "linha  dois"));
        QCOMPARE(added().size(), 2);
    }

    void rowNumberBeyond32Bits_isTakenOnceAndDeleted()
    {
        m_odbc.run(QStringLiteral("insert into SaidaDisplay (NumRegisto, DataSys, Linha1, "
                                  "Linha2, Utilizador) values (3000000000, ?, 'Grande', '', ?)"),
                   {"2024-03-09T10:00:00", OdbcFixture::databaseUser()});
        m_rig->startOnFiles();
        expectOnDisplay(usualDisplayMessage("Grande", ""));
        watchSomeTicks();
        QCOMPARE(added(), QStringList({"Grande"}));
        QVERIFY(m_odbc.rowsLeft().isEmpty());
        QCOMPARE(lblError(), QString());
    }

    // A row the database silently refuses to delete (no row counted) stays, out of the queue.
    void deleteThatAffectsNoRow_isThatRowsFailure()
    {
        m_odbc.run(QStringLiteral("create trigger guarda before delete on SaidaDisplay "
                                  "when old.Linha1 = 'Presa' begin select raise(ignore); end"));
        insert("Presa");
        insert("Livre");
        m_rig->startOnFiles();
        expectOnDisplay(usualDisplayMessage("Livre", ""));
        TRY_VERIFY_SAYS(lblError(), "continua na tabela");
        watchSomeTicks();
        QCOMPARE(added(), QStringList({"Livre"}));
        QCOMPARE(m_odbc.rowsLeft().size(), 1);

        m_odbc.run("drop trigger guarda");
        expectOnDisplay(usualDisplayMessage("Presa", ""));
        QTRY_COMPARE(lblError(), QString());
        QVERIFY(m_odbc.rowsLeft().isEmpty());
    }

    // A megabyte in a row and in a drop file: each line is cut as it is taken (reading the row no
    // longer takes seconds), so spool entries stay small and come back whole at the next start.
    void oversizedRowAndFile_areCut_andComeBackFromTheSpool()
    {
        const QString port = m_rig->folder.filePath("porta");
        m_rig->startOnFiles();
        m_rig->settings().setText(Key::Porta, port); // missing until the next start
        const QByteArray huge(1100 * 1000, 'x');
        insert(QStringLiteral("linha") + QString::fromLatin1(huge));
        QVERIFY(m_rig->folder.drop("1.dsp", "ficheiro" + huge));
        // Counted: reading the row back through the driver would take the seconds it once took.
        const auto taken = [&] {
            return m_odbc.rows("select count(*) from SaidaDisplay").first().first().toInt() == 0 &&
                   m_rig->folder.dropFilesLeft().isEmpty();
        };
        QTRY_VERIFY_WITH_TIMEOUT(taken(), 15000);
        m_rig->stop();
        const auto entries = QDir(m_rig->folder.filePath("fila")).entryInfoList(QDir::Files);
        QCOMPARE(entries.size(), 2);
        for (const QFileInfo& entry : entries)
            QVERIFY2(entry.size() < 2 * longestLine, qPrintable(QString::number(entry.size())));

        m_rig->start(); // with the display's port again
        // Each source at its own pace: a row that took long to read may come after the file.
        const QByteArray row = usualDisplayMessage("linhaxxxxxxxxxxxxxxx", "");
        const QByteArray file = usualDisplayMessage("ficheiroxxxxxxxxxxxx", QByteArray(20, 'x'));
        QTRY_COMPARE_WITH_TIMEOUT(m_rig->display.received().size(), (row + file).size(), 10000);
        QVERIFY(m_rig->display.received() == row + file || m_rig->display.received() == file + row);
        QTRY_VERIFY(QDir(m_rig->folder.filePath("fila")).isEmpty());
    }

    // The same text across the two lines is another message: each line is compared on its own.
    void linesThatJoinAlike_areBothShown()
    {
        insert("Total 1", "0,00 EUR");
        insert("Total 10", ",00 EUR");
        m_rig->startOnFiles();
        expectOnDisplay(usualDisplayMessage("Total 1", "0,00 EUR") +
                        usualDisplayMessage("Total 10", ",00 EUR"));
    }

    // A blank message would be a lost one: messages wait for a width that can be used.
    void widthWithoutDigits_messagesWaitInTheQueue_thenGoOut()
    {
        insert("Antes");
        m_rig->startOnFiles();
        expectOnDisplay(usualDisplayMessage("Antes", ""));

        m_rig->settings().setText(Key::NumLetras, "vinte");
        insert("Primeira");
        insert("Segunda");
        TRY_VERIFY_SAYS(lblError(), "não é um número: \"vinte\"");
        QTRY_COMPARE(m_rig->running().queued(), QStringList({"Primeira", "Segunda"}));
        QCOMPARE(m_rig->display.received(), QByteArray());

        m_rig->settings().setText(Key::NumLetras, "20");
        expectOnDisplay(usualDisplayMessage("Primeira", "") + usualDisplayMessage("Segunda", ""));
        QTRY_COMPARE(lblError(), QString());
        QCOMPARE(m_rig->running().queued(), QStringList());
    }

    // The port in use stays when a new one cannot be set: the message is shown there, once.
    void portThatCannotBeSet_theOldOneKeepsShowing_once()
    {
        insert("Antes");
        m_rig->startOnFiles();
        expectOnDisplay(usualDisplayMessage("Antes", ""));

        // The label says so with the message written; the next idle tick clears it.
        QSignalSpy labels(&m_rig->running().controller().status(), &Status::errorChanged);
        m_rig->settings().setText(Key::Porta, "0");
        insert("Depois");
        expectOnDisplay(usualDisplayMessage("Depois", ""));
        watchSomeTicks();
        QVERIFY(!labels.isEmpty());
        VERIFY_SAYS(labels.first().first().toString(), "porta inválido: 0");
        QCOMPARE(added(), QStringList({"Antes", "Depois"}));
        QCOMPARE(m_rig->display.received(), QByteArray());
    }
};

MOSTRELA_TEST_MAIN(TestMessageFaults)
#include "test_message_faults.moc"
