#include "pseudo_terminal.h"
#include "shown_messages.h"
#include "support/controller_folder.h"
#include "support/heartbeat.h"
#include "support/odbc_fixture.h"
#include "support/postgres_server.h"
#include "support/running_controller.h"

#include <QDir>
#include <QtTest>

#include <future>
#include <map>
#include <memory>

using Key = Settings::Key;

namespace {

enum class Outage { ServerRestarted, ConnectionKilled, RowLocked, LoginStalls };

// How long the window's event loop may be held up at most.
constexpr qint64 longestGapMs = 100;
constexpr int drainMs = 30000;

} // namespace

// The controller and its window against a PostgreSQL server through its ODBC driver, fed from
// the database (rows of its own user among those of another) and from the drop folder while the
// database has an outage. After each one every message is shown exactly once, the other user's
// rows are left alone, the window's event loop kept its beat throughout, and a connection box
// opened by the outage has closed by itself.
class TestPostgresOutages : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PostgresServer> m_server;
    std::unique_ptr<OdbcFixture> m_odbc;
    std::unique_ptr<ControllerFolder> m_folder;
    std::unique_ptr<PseudoTerminal> m_display;
    ShownMessages m_frames;
    std::map<QString, int> m_shown;
    QStringList m_fed;
    int m_rowsFed = 0;
    QDateTime m_dataSys;

    // Runs a call to the server on another thread while this one's event loop goes on, so that
    // the heartbeat measures the controller, not the test's waits for psql and pg_ctl.
    void onServer(const std::function<void(PostgresServer&)>& call)
    {
        std::future<void> done = std::async(std::launch::async, [&] { call(*m_server); });
        QTRY_VERIFY_WITH_TIMEOUT(
            done.wait_for(std::chrono::seconds(0)) == std::future_status::ready, drainMs);
        done.get();
    }

    QString next()
    {
        return QStringLiteral("Mensagem %1").arg(m_fed.size() + 1, 3, 10, QLatin1Char('0'));
    }

    // A row for the controller's user, with a row for another user beside it.
    void feedRow()
    {
        const QString linha1 = next();
        m_dataSys = m_dataSys.addMSecs(1);
        onServer([&](PostgresServer& server) {
            server.insert(ControllerFolder::databaseUser(), m_dataSys, linha1);
            server.insert(QStringLiteral("caixa2"), m_dataSys, linha1);
        });
        m_fed.append(linha1);
        ++m_rowsFed;
    }
    void feedFile()
    {
        const QString linha1 = next();
        QVERIFY(m_folder->drop(linha1 + QStringLiteral(".dsp"), linha1.toLatin1()));
        m_fed.append(linha1);
    }
    void feed(int rows, int files)
    {
        for (int row = 0; row < rows; ++row)
            feedRow();
        for (int file = 0; file < files; ++file)
            feedFile();
    }

    bool shown(const QStringList& lines)
    {
        for (const ShownMessages::Shown& frame : m_frames.take(m_display->take(0, 0)))
            ++m_shown[frame.linha1];
        return std::all_of(lines.begin(), lines.end(),
                           [&](const QString& line) { return m_shown[line] > 0; });
    }

    std::unique_ptr<RunningController> start()
    {
        Settings& settings = m_folder->settings();
        settings.setText(Key::Porta, m_display->slavePath());
        settings.setText(Key::SegundosTimerDisplay, QStringLiteral("0.05"));
        settings.setText(Key::SQL_Servidor, PostgresServer::dataSource());
        settings.setLigaSQL(true);
        settings.setLigaFicheiros(true);
        m_folder->writeConfig();
        return std::make_unique<RunningController>(m_folder->path());
    }

    QStringList rowsLeft(const QString& user)
    {
        QStringList lines;
        onServer([&](PostgresServer& server) {
            lines = server.run(QStringLiteral("select Linha1 from SaidaDisplay where Utilizador = "
                                              "'%1' order by NumRegisto")
                                   .arg(user));
        });
        return lines;
    }

private slots:
    void initTestCase()
    {
        m_server = std::make_unique<PostgresServer>();
        m_odbc = std::make_unique<OdbcFixture>(OdbcFixture::Trace::Off, m_server->odbcSection());
    }

    void init()
    {
        m_server->run(QStringLiteral("delete from SaidaDisplay"));
        m_folder = std::make_unique<ControllerFolder>();
        m_display = std::make_unique<PseudoTerminal>();
        m_frames = ShownMessages();
        m_shown.clear();
        m_fed.clear();
        m_rowsFed = 0;
        m_dataSys = QDateTime(QDate(2024, 3, 9), QTime(10, 0));
    }

    void outage_data()
    {
        QTest::addColumn<Outage>("outage");
        QTest::newRow("server restarted") << Outage::ServerRestarted;
        QTest::newRow("connection killed") << Outage::ConnectionKilled;
        QTest::newRow("row locked") << Outage::RowLocked;
        QTest::newRow("login stalls") << Outage::LoginStalls;
    }

    void outage()
    {
        QFETCH(Outage, outage);
        const QString user = ControllerFolder::databaseUser();
        // Another program's transaction holds one of the controller's rows from the start: its
        // delete waits, and the rest of its batch with it, but not the drop folder.
        std::unique_ptr<PostgresServer::RowLock> lock;
        if (outage == Outage::RowLocked) {
            feed(3, 0);
            const QString locked = m_fed.at(1);
            onServer([&](PostgresServer& server) {
                lock = server.lockRows(QStringLiteral("Linha1 = '%1'").arg(locked));
            });
        }
        const int loginsBefore = m_server->logins(user);
        const std::unique_ptr<RunningController> running = start();
        Heartbeat heartbeat;
        feed(3, 3);
        if (outage != Outage::RowLocked)
            QTRY_VERIFY_WITH_TIMEOUT(shown(m_fed), drainMs);

        QStringList duringOutage;
        switch (outage) {
        case Outage::ServerRestarted:
            onServer([](PostgresServer& server) { server.stop(); });
            QTRY_VERIFY_WITH_TIMEOUT(!running->connectionBoxText().isEmpty(), drainMs);
            QVERIFY2(running->lblError().startsWith(QStringLiteral("Falha na Ligação")),
                     qPrintable(running->lblError()));
            feed(0, 3);
            duringOutage = m_fed.mid(m_fed.size() - 3);
            QTRY_VERIFY_WITH_TIMEOUT(shown(duringOutage), drainMs);
            onServer([](PostgresServer& server) { server.start(); });
            break;
        case Outage::ConnectionKilled:
            // One login so far, kept from tick to tick.
            QCOMPARE(m_server->logins(user), loginsBefore + 1);
            onServer([&](PostgresServer& server) { server.terminateSessions(user); });
            break;
        case Outage::RowLocked:
            // The files come; the rows wait, the first one deleted but held with its batch.
            QTRY_VERIFY_WITH_TIMEOUT(shown(m_fed.mid(6)), drainMs);
            QVERIFY(!shown({m_fed.at(0)}));
            QCOMPARE(rowsLeft(user).size(), 5);
            lock->release();
            break;
        case Outage::LoginStalls: {
            QList<qint64> sessions;
            onServer([&](PostgresServer& server) { sessions = server.sessions(user); });
            QCOMPARE(sessions.size(), 1);
            m_server->freeze();
            PostgresServer::endSessions(sessions);
            feed(0, 3);
            duringOutage = m_fed.mid(m_fed.size() - 3);
            QTRY_VERIFY_WITH_TIMEOUT(shown(duringOutage), drainMs);
            m_server->resume();
            break;
        }
        }

        feed(3, 3);
        QTRY_VERIFY_WITH_TIMEOUT(shown(m_fed), drainMs);
        QTRY_COMPARE(QDir(m_folder->filePath(QStringLiteral("fila")))
                         .entryList({QStringLiteral("*.msg")}, QDir::Files),
                     QStringList());
        QCOMPARE(rowsLeft(user), QStringList());
        QCOMPARE(m_folder->dropFilesLeft(), QStringList());
        // Spool and sources empty: nothing more can come, so what was shown twice is known.
        shown(m_fed);
        for (const QString& line : std::as_const(m_fed))
            QVERIFY2(m_shown[line] == 1, qPrintable(line + QString::number(m_shown[line])));
        QCOMPARE(m_frames.strayBytes(), 0);
        QCOMPARE(rowsLeft(QStringLiteral("caixa2")).size(), m_rowsFed);
        // A new login only where the outage ended the connection.
        const bool reconnected =
            outage == Outage::ConnectionKilled || outage == Outage::LoginStalls;
        if (outage != Outage::ServerRestarted)
            QCOMPARE(m_server->logins(user), loginsBefore + (reconnected ? 2 : 1));

        QTRY_COMPARE(running->connectionBoxText(), QString());
        QTRY_COMPARE(running->lblError(), QString());
        QCOMPARE(running->connectionFailures().size(), outage == Outage::ServerRestarted ? 1 : 0);
        QVERIFY2(heartbeat.longestGapMs() <= longestGapMs,
                 qPrintable(QString::number(heartbeat.longestGapMs())));
    }
};

QTEST_MAIN(TestPostgresOutages)
#include "test_postgres_outages.moc"
