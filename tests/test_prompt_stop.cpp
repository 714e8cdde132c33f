#include "core/failure.h"
#include "core/settings.h"
#include "pseudo_terminal.h"
#include "shown_messages.h"
#include "support/controller_folder.h"
#include "support/deployed_controller.h"
#include "support/odbc_fixture.h"
#include "support/silent_server.h"

#include <QDir>
#include <QtTest>

#include <csignal>
#include <memory>

using Key = Settings::Key;

namespace {

enum class Busy { Login, Files, Rows };

// Far below the time the busy step would take to end by itself: a login's time-out of 60 s, or
// the thousands of files or rows taken one by one.
constexpr int endingMs = 15000;
constexpr int waiting = 5000;

} // namespace

// The built program ended by a signal while a source is busy: a login that a silent server holds
// up, a large drop folder, a large table. It stops between files, rows and batches and never
// waits out a login: it ends at once with status 0, leaving the rest in its source, and every
// message it took is on the display or still in its spool.
class TestPromptStop : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OdbcFixture> m_odbc;

    qsizetype spooled(const ControllerFolder& folder) const
    {
        return QDir(folder.filePath(QStringLiteral("fila")))
            .entryList({QStringLiteral("*.msg")}, QDir::Files)
            .size();
    }
    qsizetype rowsLeft() const
    {
        return m_odbc->rows(QStringLiteral("select NumRegisto from SaidaDisplay")).size();
    }

private slots:
    void initTestCase() { m_odbc = std::make_unique<OdbcFixture>(); }
    void init() { m_odbc->createTable(); }

    void signalWhileBusy_endsAtOnceLeavingTheRestInItsSource_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("window");
        QTest::addColumn<Busy>("busy");
        QTest::newRow("SIGTERM, login") << SIGTERM << false << Busy::Login;
        QTest::newRow("SIGTERM, window, login") << SIGTERM << true << Busy::Login;
        QTest::newRow("SIGINT, files") << SIGINT << false << Busy::Files;
        QTest::newRow("SIGHUP, rows") << SIGHUP << false << Busy::Rows;
        QTest::newRow("SIGTERM, window, rows") << SIGTERM << true << Busy::Rows;
    }

    void signalWhileBusy_endsAtOnceLeavingTheRestInItsSource()
    {
        QFETCH(int, signal);
        QFETCH(bool, window);
        QFETCH(Busy, busy);
        ControllerFolder folder;
        PseudoTerminal display;
        SilentServer server;
        Settings& settings = folder.settings();
        settings.setText(Key::Porta, display.slavePath());
        settings.setText(Key::SegundosTimerDisplay, QStringLiteral("0.05"));
        switch (busy) {
        case Busy::Login:
            settings.setText(Key::SQL_Servidor, QStringLiteral("127.0.0.1,%1").arg(server.port()));
            settings.setLigaSQL(true);
            break;
        case Busy::Files:
            for (int number = 0; number < waiting; ++number)
                QVERIFY(folder.drop(QStringLiteral("%1.dsp").arg(number, 5, 10, QLatin1Char('0')),
                                    "Ficheiro"));
            settings.setLigaFicheiros(true);
            break;
        case Busy::Rows:
            m_odbc->run(
                QStringLiteral(
                    "insert into SaidaDisplay (DataSys, Linha1, Linha2, Utilizador) "
                    "with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                    "select datetime('2024-03-09', '+' || i || ' seconds'), 'Registo ' || i, '', "
                    "'%2' from n")
                    .arg(waiting)
                    .arg(ControllerFolder::databaseUser()));
            settings.setLigaSQL(true);
            break;
        }

        DeployedController controller;
        QProcess& process = controller.process();
        process.setProcessChannelMode(QProcess::SeparateChannels);
        const QStringList arguments = window
                                          ? QStringList{QStringLiteral("AUTO")}
                                          : QStringList{QStringLiteral("--sem-janela"),
                                                        QStringLiteral("--pasta"), folder.path()};
        const QString failure = runTrapped(
            [&] { controller.start(QStringLiteral(MOSTRELA_EXECUTABLE), folder, arguments); });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        ShownMessages frames;
        qsizetype shown = 0;
        const auto left = [&] {
            shown += frames.take(display.take(0, 0)).size();
            return busy == Busy::Files ? folder.dropFilesLeft().size() : rowsLeft();
        };
        // Under way: the login waiting, or the first messages shown.
        if (busy == Busy::Login)
            QTRY_COMPARE_WITH_TIMEOUT(server.connections(), 1, endingMs);
        else
            QTRY_VERIFY_WITH_TIMEOUT(left() < waiting && shown > 0, endingMs);

        QCOMPARE(::kill(static_cast<pid_t>(process.processId()), signal), 0);
        QVERIFY(process.waitForFinished(endingMs));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        if (busy == Busy::Login) {
            // Ended with the login still waiting: the server never hung up on it.
            QCOMPARE(server.connections(), 1);
            QVERIFY(process.readAllStandardError().contains("sem esperar"));
            return;
        }
        // Nothing lost: what did not reach the display is in the spool or still in its source.
        const qsizetype stillThere = left();
        QVERIFY2(stillThere > 0, "the step was waited out");
        QVERIFY2(shown + spooled(folder) + stillThere >= waiting,
                 qPrintable(QStringLiteral("%1 shown, %2 spooled, %3 left")
                                .arg(shown)
                                .arg(spooled(folder))
                                .arg(stillThere)));
    }
};

QTEST_MAIN(TestPromptStop)
#include "test_prompt_stop.moc"
