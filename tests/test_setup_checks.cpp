#include "support/database_test.h"
#include "support/heartbeat.h"
#include "support/open_window.h"
#include "support/silent_server.h"
#include "support/test_main.h"
#include "support/usual_display.h"
#include "support/verify_says.h"

#include <QLineEdit>
#include <QPushButton>

#include <memory>

using Key = Settings::Key;

namespace {

// The window, its rotation ticked by hand.
struct Window : OpenWindow {
    Window() { controller.tmrDisplay().setInterval(0); }

    QSignalSpy tested{&controller, &Controller::displayTested};
    bool enabled(const char* button) { return child<QPushButton>(button)->isEnabled(); }
    void set(Key key, const QString& value) { controller.settings().setText(key, value); }
    // One rotation tick, then everything the display has received so far.
    QByteArray tickAndRead()
    {
        emit controller.tmrDisplay().tick();
        return display.received();
    }
};

const QString testing = QStringLiteral("A testar…");

} // namespace

// The two checks of a shop's setup on the settings pages: a test message on the display and a
// test connection to the database, each answering beside its button.
class TestSetupChecks : public DatabaseTest {
    Q_OBJECT

private slots:
    void displayTest_goesOutWithTheFieldsAsTheyStand_thenTheRotationResendsItsLast()
    {
        Window window;
        window.set(Key::Porta, window.display.name());
        window.set(Key::NumLetras, QStringLiteral("12"));
        MessageQueue& queue = window.controller.queue();
        queue.appendAll({QueuedMessage(QString(), "Bom dia", "Loja")});
        QTRY_COMPARE(window.tickAndRead(), usualDisplayMessage("Bom dia", "Loja"));
        window.display.take();

        queue.appendAll({QueuedMessage(QString(), "Bom dia", "Loja"),
                         QueuedMessage(QString(), "Obrigado", "Volte sempre")});
        window.click("cmdTestarDisplay");
        QCOMPARE(window.text("lblTesteDisplay"), testing);
        QVERIFY(!window.enabled("cmdTestarDisplay"));
        QTRY_COMPARE(window.tested.count(), 1);
        QCOMPARE(window.tested.at(0).at(0).toBool(), true);
        VERIFY_READS(window.text("lblTesteDisplay"), "Enviado às %T");
        QVERIFY(window.enabled("cmdTestarDisplay"));
        // The width ruler cut to the 12 letters typed, and the time.
        VERIFY_READS(QString::fromLatin1(window.display.take()),
                     "\f\x1BQA123456789012\r\x1BQB%T\r");
        QCOMPARE(queue.count(), 2);

        // The display shows the test now: the rotation sends "Bom dia" again, then the next.
        QTRY_COMPARE(window.tickAndRead(), usualDisplayMessage("Bom dia", "Loja") +
                                               usualDisplayMessage("Obrigado", "Volte sempre"));
        QCOMPARE(queue.count(), 0);
    }

    void displayTest_saysWhyAPortThatIsNotThereGotNothing()
    {
        Window window;
        const QString port = window.folder.filePath("sem-display");
        window.set(Key::Porta, port);
        window.click("cmdTestarDisplay");
        QTRY_COMPARE(window.tested.count(), 1);
        QCOMPARE(window.tested.at(0).at(0).toBool(), false);
        VERIFY_STARTS(window.text("lblTesteDisplay"), "Não enviado: ");
        VERIFY_SAYS(window.text("lblTesteDisplay"), port);
        QVERIFY(window.enabled("cmdTestarDisplay"));
        QCOMPARE(window.controller.queue().count(), 0);
    }

    void displayTest_refusesWhatTheWindowMarks_andSaysWhy_data()
    {
        QTest::addColumn<Key>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("why");
        const QString range = "Nº Letras p/ Linha: O número de letras vai de 1 a 255.";
        QTest::newRow("300 letters") << Key::NumLetras << "300" << range;
        QTest::newRow("no letters") << Key::NumLetras << "0" << range;
        // "20 letras" is read as 20, with a note; a width in words has no number to read.
        QTest::newRow("letters in words") << Key::NumLetras << "vinte"
                                          << "Nº Letras p/ Linha: Escreva só algarismos: o número "
                                             "de letras de uma linha (1 a 255).";
        QTest::newRow("code above 255") << Key::InitLinha2 << "27+81+666"
                                        << "Inicialização Linha 2: O código 666 passa de 255.";
        QTest::newRow("nine data bits") << Key::PortaDefinicoes << "9600,n,9,1"
                                        << "Definições da porta: ";
        QTest::newRow("unknown code page") << Key::PaginaCodigos << "999"
                                           << "Página de códigos: ";
    }

    void displayTest_refusesWhatTheWindowMarks_andSaysWhy()
    {
        QFETCH(Key, key);
        QFETCH(QString, value);
        QFETCH(QString, why);
        Window window;
        window.set(Key::Porta, window.display.name());
        window.click("optDisplay");
        window.set(key, value);
        QVERIFY(
            window.child<QLineEdit>("txt" + Settings::keyName(key))->property("invalid").toBool());
        window.click("cmdTestarDisplay");
        QCOMPARE(window.tested.count(), 1);
        VERIFY_STARTS(window.text("lblTesteDisplay"), "Não enviado: " + why);
        QVERIFY(window.enabled("cmdTestarDisplay"));

        // Nothing went out: the next test, with the field put right, is the first the display gets.
        window.set(key, Settings().text(key));
        window.click("cmdTestarDisplay");
        QTRY_COMPARE(window.tested.count(), 2);
        VERIFY_STARTS(window.text("lblTesteDisplay"), "Enviado às ");
        QVERIFY(window.display.take().startsWith("\f\x1BQA12345678901234567890\r"));
    }

    void connectionTest_countsTheUsersWaitingRowsAndTakesNone()
    {
        Window window;
        window.set(Key::SQL_Servidor, OdbcFixture::dataSource());
        window.set(Key::SQL_Utilizador, OdbcFixture::databaseUser());
        m_odbc.createTable();
        const auto testAndWait = [&window] {
            window.click("cmdTestarLigacao");
            QCOMPARE(window.text("lblTesteLigacao"), testing);
            QVERIFY(!window.enabled("cmdTestarLigacao"));
            QTRY_VERIFY(window.enabled("cmdTestarLigacao"));
        };

        testAndWait();
        QCOMPARE(window.text("lblTesteLigacao"), "Ligação bem sucedida: 0 mensagens à espera");

        for (const QString& user : {OdbcFixture::databaseUser(), QStringLiteral("caixa2"),
                                    OdbcFixture::databaseUser(), OdbcFixture::databaseUser()})
            m_odbc.insert(user, QDateTime::currentDateTime(), "Linha", QString());
        testAndWait();
        QCOMPARE(window.text("lblTesteLigacao"), "Ligação bem sucedida: 3 mensagens à espera");
        QCOMPARE(m_odbc.rowsLeft().size(), 4);
        QCOMPARE(window.controller.queue().count(), 0);

        window.set(Key::SQL_Servidor, OdbcFixture::brokenDataSource());
        testAndWait();
        VERIFY_STARTS(window.text("lblTesteLigacao"), "Falha na ligação: ");

        // An answer holds for the values it was given: a change to any of them takes it away, and
        // one made while the test runs keeps its answer from showing.
        window.type("txtSQL_BaseDados", QStringLiteral("loja"));
        QCOMPARE(window.text("lblTesteLigacao"), QString());
        window.set(Key::SQL_Servidor, OdbcFixture::dataSource());
        window.click("cmdTestarLigacao");
        window.set(Key::SQL_Password, QStringLiteral("nova"));
        QTRY_VERIFY(window.enabled("cmdTestarLigacao"));
        QCOMPARE(window.text("lblTesteLigacao"), QString());
    }

    void connectionTest_aSilentServerNeverHoldsTheWindow()
    {
        // The driver waits out its login time-out.
        SilentServer server;
        Window window;
        window.set(Key::SQL_Servidor, QStringLiteral("127.0.0.1,%1").arg(server.port()));
        window.set(Key::SQL_Utilizador, OdbcFixture::databaseUser());

        // The baseline: the window's pace as long again before the test starts.
        constexpr qint64 lookMs = 1500;
        QElapsedTimer clock;
        clock.start();
        auto heartbeat = std::make_unique<Heartbeat>();
        QTRY_VERIFY_WITH_TIMEOUT(clock.elapsed() >= lookMs, 5000);
        const qint64 baselineMs = heartbeat->longestGapMs();
        clock.restart();
        heartbeat = std::make_unique<Heartbeat>();
        window.click("cmdTestarLigacao");
        QTRY_VERIFY(server.connections() > 0);
        QTRY_VERIFY_WITH_TIMEOUT(clock.elapsed() >= lookMs, 5000);
        VERIFY_KEPT_PACE(heartbeat->longestGapMs(), baselineMs);
        QCOMPARE(window.text("lblTesteLigacao"), testing);
        QVERIFY(!window.enabled("cmdTestarLigacao"));

        server.hangUp();
        QTRY_VERIFY_WITH_TIMEOUT(window.enabled("cmdTestarLigacao"), 20000);
        VERIFY_STARTS(window.text("lblTesteLigacao"), "Falha na ligação: ");
    }
};

MOSTRELA_TEST_MAIN(TestSetupChecks)
#include "test_setup_checks.moc"
