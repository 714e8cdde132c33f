#include "support/database_test.h"
#include "support/program_rig.h"
#include "support/shown_messages.h"
#include "support/silent_server.h"
#include "support/test_main.h"

#include <csignal>

namespace {

enum class Busy { Login, Files, Rows };

// Far below what the busy step would take to end by itself: the login's time-out of 60 s, or
// the thousands of files or rows taken one by one.
constexpr int endingMs = 15000;
constexpr int waiting = 5000;

} // namespace

// The built program signalled while a source is busy (a login a silent server holds up, a large
// drop folder or table) stops between files, rows and batches, never waiting out a login: it ends
// with status 0, the rest left in its source, every message it took shown or still spooled.
class TestPromptStop : public DatabaseTest {
    Q_OBJECT

private slots:
    void init() { m_odbc.createTable(); }

    void signalWhileBusy_endsLeavingTheRestInItsSource_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("window");
        QTest::addColumn<Busy>("busy");
        QTest::newRow("SIGTERM, login") << SIGTERM << false << Busy::Login;
        QTest::newRow("SIGTERM, window, login") << SIGTERM << true << Busy::Login;
        QTest::newRow("SIGINT, files") << SIGINT << false << Busy::Files;
        QTest::newRow("SIGHUP, window, rows") << SIGHUP << true << Busy::Rows;
    }

    void signalWhileBusy_endsLeavingTheRestInItsSource()
    {
        QFETCH(int, signal);
        QFETCH(bool, window);
        QFETCH(Busy, busy);
        ProgramRig rig;
        SilentServer server;
        Settings& settings = rig.settings();
        settings.setText(Settings::Key::SegundosTimerDisplay, "0.05");
        settings.setLigaSQL(busy != Busy::Files);
        settings.setLigaFicheiros(busy == Busy::Files);
        if (busy == Busy::Login)
            settings.setText(Settings::Key::SQL_Servidor,
                             QString("127.0.0.1,%1").arg(server.port()));
        if (busy == Busy::Rows)
            m_odbc.insertNumbered(OdbcFixture::databaseUser(), waiting);
        for (int number = 0; busy == Busy::Files && number < waiting; ++number)
            // Each its own text: the display is sent only what differs from the last message.
            QVERIFY(rig.folder.drop(QString("%1.dsp").arg(number, 5, 10, QLatin1Char('0')),
                                    "F" + QByteArray::number(number)));

        QCOMPARE(rig.start(window ? QStringList{"AUTO"} : rig.withoutWindow()), QString());
        ShownMessages frames;
        qsizetype shown = 0;
        const auto left = [&] {
            shown += frames.take(rig.display.take(0, 0)).size();
            return busy == Busy::Files ? rig.folder.dropFilesLeft().size()
                                       : m_odbc.rows("select NumRegisto from SaidaDisplay").size();
        };
        // Under way: the login waiting, or the first messages shown.
        if (busy == Busy::Login)
            QTRY_COMPARE_WITH_TIMEOUT(server.connections(), 1, endingMs);
        else
            QTRY_VERIFY_WITH_TIMEOUT(left() < waiting && shown > 0, endingMs);

        QCOMPARE(rig.controller.end(signal), 0);
        if (busy == Busy::Login) {
            // Ended with the login still waiting: the server never hung up on it.
            QCOMPARE(server.connections(), 1);
            QVERIFY(rig.controller.log().contains("sem esperar"));
            return;
        }
        const qsizetype spooled = rig.folder.spoolEntries();
        const qsizetype stillThere = left();
        QVERIFY2(
            stillThere > 0 && shown + spooled + stillThere >= waiting,
            qPrintable(
                QString("%1 shown, %2 spooled, %3 left").arg(shown).arg(spooled).arg(stillThere)));
    }

    void signalInTheFirstMoments_endsAWindowedStart_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }

    // Signalled as soon as the start is logged: the handlers are in place, while the window and
    // its running page are still being made, before the event loop runs.
    void signalInTheFirstMoments_endsAWindowedStart()
    {
        QFETCH(int, signal);
        ProgramRig rig;
        rig.settings().setLigaFicheiros(true);
        QCOMPARE(rig.start({"AUTO"}), QString());
        QVERIFY2(rig.controller.waitForLog(", pasta ", endingMs), qPrintable(rig.controller.log()));
        QCOMPARE(rig.controller.end(signal), 0);
    }
};

MOSTRELA_TEST_MAIN(TestPromptStop)
#include "test_prompt_stop.moc"
