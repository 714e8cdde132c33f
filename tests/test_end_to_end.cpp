#include "core/settings.h"
#include "support/database_test.h"
#include "support/program_rig.h"
#include "support/test_main.h"
#include "support/usual_display.h"

#include <memory>

// The controller as it is deployed: the built program copied into a folder of its own beside a
// Mostrela.cfg, started as a separate process, its display a pseudo-terminal and its sources a
// drop folder and a SQLite database behind an ODBC data source.
class TestEndToEnd : public DatabaseTest {
    Q_OBJECT

private:
    enum Source { Files = 1, Database = 2 };

    std::unique_ptr<ProgramRig> m_rig;
    const QDateTime m_start{QDate(2024, 3, 9), QTime(10, 0)};

    static QByteArray idle() { return ProgramRig::idleText(); }

    // Starts the program on `sources` and waits until the display has received exactly
    // `messages`, in this order, after at most one showing of the idle text before them.
    void startAndExpect(int sources, const QByteArray& messages,
                        const QStringList& arguments = {"AUTO"},
                        const QString& displaySeconds = "0.2")
    {
        Settings& settings = m_rig->settings();
        settings.setText(Settings::Key::SegundosTimerDisplay, displaySeconds);
        m_rig->showIdleText();
        settings.setLigaSQL(sources & Database);
        settings.setLigaFicheiros(sources & Files);
        QCOMPARE(m_rig->start(arguments), QString());
        QTRY_VERIFY_WITH_TIMEOUT(m_rig->display.received().endsWith(messages), 15000);
        const QByteArray before = m_rig->display.received().chopped(messages.size());
        QVERIFY2(before.isEmpty() || before == idle(), before.toHex(' ').constData());
        QCOMPARE(m_rig->controller.process().state(), QProcess::Running);
    }

private slots:
    void init()
    {
        m_odbc.createTable();
        m_rig = std::make_unique<ProgramRig>();
    }

    void cleanup() { m_rig.reset(); }

    void dropFiles_shownInNameOrder_onePerTick_thenIdle_filesGone()
    {
        QVERIFY(m_rig->folder.drop("20240309100002-b.dsp", "Segundo-bilhete-0002Obrigado\r\n"));
        QVERIFY(m_rig->folder.drop("20240309100001-a.dsp", "Primeiro-bilhete-001Caf\xe9 1,20"));
        startAndExpect(Files, usualDisplayMessage("Primeiro-bilhete-001", "Cafe 1,20") +
                                  usualDisplayMessage("Segundo-bilhete-0002", "Obrigado") + idle());
        QCOMPARE(m_rig->folder.dropFilesLeft(), QStringList());
    }

    void databaseRows_shownInDataSysOrder_deleted_otherUsersKept()
    {
        m_odbc.insert(OdbcFixture::databaseUser(), m_start.addSecs(2), "Depois", "B");
        m_odbc.insert("caixa2", m_start, "Outra caixa", "X");
        m_odbc.insert(OdbcFixture::databaseUser(), m_start.addSecs(1), "Antes", "A");
        startAndExpect(Database, usualDisplayMessage("Antes", "A") +
                                     usualDisplayMessage("Depois", "B") + idle());
        QCOMPARE(m_odbc.rowsLeft(), QList<QStringList>({{"caixa2", "Outra caixa"}}));
    }

    void bothSources_databaseRowsBeforeDropFiles()
    {
        QVERIFY(m_rig->folder.drop("20240309090000.dsp", "Ficheiro"));
        m_odbc.insert(OdbcFixture::databaseUser(), m_start, "Registo", "R");
        startAndExpect(Files | Database, usualDisplayMessage("Registo", "R") +
                                             usualDisplayMessage("Ficheiro", "") + idle());
        QCOMPARE(m_rig->folder.dropFilesLeft(), QStringList());
        QVERIFY(m_odbc.rowsLeft().isEmpty());
    }

    void withoutAuto_nothingIsRead_idleShowsAllTheSame()
    {
        QVERIFY(m_rig->folder.drop("20240309100001.dsp", "Por ler"));
        m_odbc.insert(OdbcFixture::databaseUser(), m_start, "Por ler", QString());
        // The idle text comes on the first display tick, after 1.5 s: had polling been on, its
        // 0.1 s timer would have read both sources many times over by then.
        startAndExpect(Files | Database, idle(), {}, "1.5");
        QCOMPARE(m_rig->folder.dropFilesLeft(), QStringList({"20240309100001.dsp"}));
        QCOMPARE(m_odbc.rowsLeft().size(), 1);
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestEndToEnd)
#include "test_end_to_end.moc"
