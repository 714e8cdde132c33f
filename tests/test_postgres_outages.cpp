#include "support/controller_rig.h"
#include "support/heartbeat.h"
#include "support/odbc_fixture.h"
#include "support/postgres_server.h"
#include "support/shown_messages.h"
#include "support/test_main.h"
#include "support/verify_says.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <csignal>
#include <future>
#include <map>

using Key = Settings::Key;

namespace {

enum class Outage { ServerRestarted, ConnectionKilled, RowLocked, LoginStalls, DeleteUnheard };

constexpr int drainMs = 30000;
const QString user = OdbcFixture::databaseUser();
// Another program's connection, which holds a row locked.
const QString lockerName = "locker";

} // namespace

// The controller and its window against a PostgreSQL server through its ODBC driver, fed from
// the database (its own user's rows among another user's) and the drop folder while the
// database has an outage. After each, every message is shown exactly once, the other user's rows
// are left, the window kept its beat, and a connection box the outage opened has closed itself.
class TestPostgresOutages : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PostgresServer> m_server;
    std::unique_ptr<OdbcFixture> m_odbc;
    std::unique_ptr<ControllerRig> m_rig;
    ShownMessages m_frames;
    std::map<QString, int> m_shown;
    QStringList m_fed;
    int m_rowsFed = 0;

    // A call to the server on another thread, this one's event loop going on meanwhile: the
    // heartbeat measures the controller, not the test's waits for psql and pg_ctl.
    template <typename Call> auto onServer(const Call& call)
    {
        auto done = std::async(std::launch::async, call);
        // Past the wait the server is hung for good: get() then holds the test until it ends.
        [[maybe_unused]] const bool ready = QTest::qWaitFor(
            [&] { return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
            drainMs);
        return done.get();
    }
    // The same for statements: the rows they give.
    QStringList query(const QString& sql)
    {
        return onServer([&] { return m_server->run(sql); });
    }
    int rowsLeft(const QString& owner)
    {
        const QString sql = "select count(*) from SaidaDisplay where Utilizador = '" + owner + "'";
        return query(sql).first().toInt();
    }

    // Rows for the controller's user, each beside one for another user, then drop files.
    void feed(int rows, int files)
    {
        for (int fed = 0; fed < rows + files; ++fed) {
            const QString linha1 = QString("Mensagem %1").arg(m_fed.size() + 1);
            m_fed.append(linha1);
            if (fed >= rows)
                QVERIFY(m_rig->folder.drop(linha1 + ".dsp", linha1.toLatin1()));
            else
                query(QString("insert into SaidaDisplay (DataSys, Linha1, Linha2, Utilizador) "
                              "values (now(), '%1', '', '%2'), (now(), '%1', '', 'caixa2')")
                          .arg(linha1, user));
        }
        m_rowsFed += rows;
    }

    bool shown(const QStringList& lines)
    {
        for (const ShownMessages::Shown& frame : m_frames.take(m_rig->display.take()))
            ++m_shown[frame.linha1];
        return std::all_of(lines.begin(), lines.end(),
                           [&](const QString& line) { return m_shown[line] > 0; });
    }

private slots:
    void initTestCase()
    {
        m_server = std::make_unique<PostgresServer>();
        m_odbc = std::make_unique<OdbcFixture>(OdbcFixture::Trace::Off, m_server->odbcSection());
    }

    void init()
    {
        m_server->run("delete from SaidaDisplay");
        m_rig = std::make_unique<ControllerRig>();
        m_frames = ShownMessages();
        m_shown.clear();
        m_fed.clear();
        m_rowsFed = 0;
    }
    void cleanup()
    {
        m_rig.reset();
        QSqlDatabase::removeDatabase(lockerName);
        m_server->run("drop rule if exists unheard on SaidaDisplay;"
                      "drop table if exists unheard_calls;"
                      "drop function if exists unheard");
    }

    void outage_data()
    {
        QTest::addColumn<Outage>("outage");
        QTest::newRow("server restarted") << Outage::ServerRestarted;
        QTest::newRow("connection killed") << Outage::ConnectionKilled;
        QTest::newRow("row locked") << Outage::RowLocked;
        QTest::newRow("login stalls") << Outage::LoginStalls;
        QTest::newRow("delete done, unheard") << Outage::DeleteUnheard;
    }

    void outage()
    {
        QFETCH(Outage, outage);
        // Another program's transaction holds the second row from the start: its delete gives up
        // after a short wait on every tick, and the rows after it go on.
        QSqlDatabase locker = QSqlDatabase::addDatabase("QODBC", lockerName);
        if (outage == Outage::RowLocked) {
            feed(3, 0);
            locker.setDatabaseName(PostgresServer::dataSource());
            locker.setUserName("postgres");
            QVERIFY(locker.open() && locker.transaction());
            QVERIFY(QSqlQuery(locker).exec("select * from SaidaDisplay where Linha1 = '" +
                                           m_fed.at(1) + "' for update"));
        }
        const int loginsBefore = m_server->logins(user);
        Settings& settings = m_rig->folder.settings();
        settings.setText(Key::SegundosTimerDisplay, "0.05");
        settings.setText(Key::SQL_Servidor, PostgresServer::dataSource());
        settings.setLigaSQL(true);
        settings.setLigaFicheiros(true);
        RunningController& running = m_rig->start();
        // All but a locked row.
        const auto unlocked = [&] {
            return outage == Outage::RowLocked ? m_fed.mid(0, 1) + m_fed.mid(2) : m_fed;
        };
        // The window's pace before the outage is the baseline for its pace through it.
        std::optional<Heartbeat> heartbeat(std::in_place);
        feed(3, 3);
        QTRY_VERIFY_WITH_TIMEOUT(shown(unlocked()), drainMs);
        const qint64 baselineMs = heartbeat->longestGapMs();
        heartbeat.emplace();

        switch (outage) {
        case Outage::ServerRestarted:
            onServer([&] { m_server->stop(); });
            QTRY_VERIFY_WITH_TIMEOUT(!running.connectionBoxText().isEmpty(), drainMs);
            VERIFY_STARTS(running.lblError(), "Falha na Ligação");
            feed(0, 3); // the drop folder goes on meanwhile
            QTRY_VERIFY_WITH_TIMEOUT(shown(m_fed), drainMs);
            onServer([&] { m_server->start(); });
            break;
        case Outage::ConnectionKilled:
            QCOMPARE(m_server->logins(user), loginsBefore + 1); // kept from tick to tick
            query("select pg_terminate_backend(pid) from pg_stat_activity where usename = '" +
                  user + "'");
            break;
        case Outage::RowLocked: {
            // Every other row is shown while the lock lasts, and the label says which row waits.
            const QString locked = query("select NumRegisto from SaidaDisplay where Linha1 = '" +
                                         m_fed.at(1) + "' and Utilizador = '" + user + "'")
                                       .first();
            feed(30, 0);
            QTRY_VERIFY_WITH_TIMEOUT(shown(unlocked()), drainMs);
            QVERIFY(!shown({m_fed.at(1)}));
            QCOMPARE(rowsLeft(user), 1);
            TRY_VERIFY_SAYS(running.lblError(),
                            QString("registo %1 de SaidaDisplay está preso").arg(locked));
            QVERIFY(locker.commit());
            break;
        }
        case Outage::DeleteUnheard:
            // The next row's delete is done, by another session, and the controller's session
            // then ended before it hears so: the message is shown all the same, and once.
            query(QString("create extension if not exists dblink;"
                          "create function unheard(number bigint) returns int language plpgsql "
                          "security definer as $$ begin perform dblink_exec(format('host=%s "
                          "user=postgres dbname=postgres', current_setting("
                          "'unix_socket_directories')), 'delete from SaidaDisplay where "
                          "NumRegisto = ' || number); perform pg_terminate_backend("
                          "pg_backend_pid()); return 0; end $$;"
                          "create table unheard_calls (result int);"
                          "create rule unheard as on delete to SaidaDisplay where old.Linha1 = "
                          "'Mensagem %1' and current_user <> 'postgres' do instead insert into "
                          "unheard_calls values (unheard(old.NumRegisto));")
                      .arg(m_fed.size() + 1));
            feed(1, 0);
            break;
        case Outage::LoginStalls: {
            const QStringList sessions =
                query("select pid from pg_stat_activity where usename = '" + user + "'");
            QCOMPARE(sessions.size(), 1);
            // The session ended as pg_terminate_backend ends it, by a server that then hangs.
            m_server->freeze();
            ::kill(sessions.first().toInt(), SIGTERM);
            feed(0, 3);
            QTRY_VERIFY_WITH_TIMEOUT(shown(m_fed), drainMs);
            m_server->resume();
            break;
        }
        }

        feed(3, 3);
        QTRY_VERIFY_WITH_TIMEOUT(shown(m_fed), drainMs);
        QTRY_COMPARE(QDir(m_rig->folder.filePath("fila")).entryList(QDir::Files), QStringList());
        QCOMPARE(rowsLeft(user), 0);
        QCOMPARE(m_rig->folder.dropFilesLeft(), QStringList());
        // Spool and sources empty: nothing more can come, so what was shown twice is known.
        shown({});
        for (const QString& line : std::as_const(m_fed))
            QVERIFY2(m_shown[line] == 1, qPrintable(line));
        QCOMPARE(m_frames.strayBytes(), 0);
        QCOMPARE(rowsLeft("caixa2"), m_rowsFed);
        // A new login only where the outage ended the connection.
        if (outage != Outage::ServerRestarted)
            QCOMPARE(m_server->logins(user), loginsBefore + (outage == Outage::RowLocked ? 1 : 2));
        QTRY_COMPARE(running.connectionBoxText(), QString());
        QTRY_COMPARE(running.lblError(), QString());
        // A server on its way back may refuse a login for another reason ("starting up"), which
        // the open box then says instead.
        QCOMPARE(running.connectionFailures().isEmpty(), outage != Outage::ServerRestarted);
        VERIFY_KEPT_PACE(heartbeat->longestGapMs(), baselineMs);
    }

    // A second controller of the same SQL user (another settings folder) takes none of its rows
    // and says which controller has them, until that one stops polling and it takes over.
    void secondControllerOfTheUser_leavesTheRowsAlone_untilTheFirstEnds()
    {
        ControllerRig second;
        for (ControllerRig* rig : {m_rig.get(), &second}) {
            Settings& settings = rig->folder.settings();
            settings.setText(Key::SQL_Servidor, PostgresServer::dataSource());
            settings.setLigaSQL(true);
        }
        m_rig->start();
        feed(2, 0);
        QTRY_VERIFY_WITH_TIMEOUT(shown(m_fed), drainMs);

        RunningController& waiting = second.start();
        const QString firstName = "mostrela " + QFileInfo(m_rig->folder.path()).absoluteFilePath();
        QTRY_VERIFY_WITH_TIMEOUT(waiting.lblError().contains(firstName), drainMs);
        VERIFY_SAYS(waiting.lblError(), "não os lê nem apaga");
        feed(2, 0);
        QTRY_VERIFY_WITH_TIMEOUT(shown(m_fed), drainMs);
        QCOMPARE(waiting.added(), QStringList());

        m_rig->running().controller().selectPage(Controller::Page::SQL);
        feed(2, 0);
        QTRY_COMPARE_WITH_TIMEOUT(waiting.added(), m_fed.mid(4), drainMs);
        QTRY_COMPARE(waiting.lblError(), QString());
        QCOMPARE(rowsLeft(user), 0);
        QCOMPARE(rowsLeft("caixa2"), m_rowsFed);
        for (const QString& line : m_fed.mid(0, 4))
            QVERIFY2(m_shown[line] == 1, qPrintable(line));
    }
};

MOSTRELA_TEST_MAIN(TestPostgresOutages)
#include "test_postgres_outages.moc"
