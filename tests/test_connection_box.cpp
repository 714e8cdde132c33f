#include "support/database_test.h"
#include "support/file_bytes.h"
#include "support/open_window.h"
#include "support/test_main.h"
#include "support/verify_says.h"

#include <QApplication>
#include <QGroupBox>
#include <QMessageBox>

using Key = Settings::Key;

// The message box that the window shows for a connection that failed, driven through the window.
class TestConnectionBox : public DatabaseTest {
    Q_OBJECT
    OpenWindow m_window;

    void type(Key key, const QString& text) { m_window.type("txt" + Settings::keyName(key), text); }

private slots:
    // The database fails tick after tick: one box, open while polling goes on, with the drop folder
    // and the database tried every tick; the failure label shows it. A tick that connects closes
    // the box and clears the label. A blank server is not tried, nor told; a new failure is told
    // again. With both sources off a tick shows the idle caption and no source's failure stands.
    void connectionBox_oneAtATime_pollingGoesOn_closesItselfOnceATickConnects()
    {
        QTemporaryDir dropFolder;
        m_window.click("optSQL");
        type(Key::SQL_Servidor, OdbcFixture::brokenDataSource());
        type(Key::LigaFicheirosPath, dropFolder.path());
        m_window.click("optLigaSQL", "optLigaFicheiros", "optConfigura");
        type(Key::SegundosTimerSQL, QStringLiteral("0.02"));
        const auto openBoxes = [] {
            int open = 0;
            for (QWidget* window : QApplication::topLevelWidgets())
                open += qobject_cast<QMessageBox*>(window) && window->isVisible();
            return open;
        };
        m_window.click("optExecutando");
        QTRY_COMPARE(openBoxes(), 1);
        VERIFY_STARTS(m_window.lblError(), "Falha na Ligação");

        QSignalSpy ticks(&m_window.controller, &Controller::pollingFinished);
        QVERIFY(writeFileBytes(dropFolder.filePath("1.dsp"), "ficheiro"));
        QTRY_COMPARE(m_window.controller.queue().count(), 1);
        QTRY_VERIFY(ticks.count() >= 10);
        QCOMPARE(openBoxes(), 1);

        for (const QString& server :
             {OdbcFixture::dataSource(), QStringLiteral(" "), OdbcFixture::brokenDataSource()}) {
            const bool fails = server == OdbcFixture::brokenDataSource();
            m_window.click("optSQL");
            type(Key::SQL_Servidor, server);
            m_window.click("optExecutando");
            QTRY_COMPARE(openBoxes(), fails ? 1 : 0);
            QTRY_COMPARE(m_window.lblError().startsWith("Falha na Ligação"), fails);
        }

        m_window.click("optSQL");
        type(Key::SQL_Servidor, OdbcFixture::dataSource());
        type(Key::LigaFicheirosPath, dropFolder.filePath("em-falta"));
        m_window.click("optExecutando");
        TRY_VERIFY_SAYS(m_window.lblError(), "em-falta");
        m_window.click("optSQL", "optLigaSQL", "optLigaFicheiros");
        m_window.controller.status().setCaption(QStringLiteral("Em Execução - Abrindo Tabela"));
        m_window.click("optExecutando");
        QTRY_COMPARE(m_window.lblError(), QString());
        QTRY_COMPARE(m_window.child<QGroupBox>("fraExecutando")->title(), "Em Execução");
    }

    // The settings page's connection test with settings that fail (or a blank user, for a data
    // source that needs none): it answers beside the button, the window goes on, the next answers.
    void connectionTest_answersBesideTheButton_theWindowGoesOn_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("answer");
        const auto fails = [](const char* name, const QString& server) {
            QTest::newRow(name) << server << OdbcFixture::databaseUser() << "Falha na ligação: ";
        };
        fails("no server of that name", "mostrela-sem-servidor.invalid");
        fails("SQLite file missing", OdbcFixture::brokenDataSource());
        QTest::newRow("blank user")
            << OdbcFixture::dataSource() << QString() << "Ligação bem sucedida: 0 mensagens";
        fails("PostgreSQL port closed", OdbcFixture::closedPortDataSource());
    }

    void connectionTest_answersBesideTheButton_theWindowGoesOn()
    {
        QFETCH(QString, server);
        QFETCH(QString, user);
        QFETCH(QString, answer);
        m_window.click("optSQL");
        type(Key::SQL_Servidor, server);
        type(Key::SQL_Utilizador, user);
        const auto button = m_window.child<QAbstractButton>(QStringLiteral("cmdTestarLigacao"));
        for (int attempt = 0; attempt < 2; ++attempt) {
            m_window.click("cmdTestarLigacao");
            QVERIFY(!button->isEnabled());
            // The name's lookup may wait on the resolver for a while.
            QTRY_VERIFY_WITH_TIMEOUT(button->isEnabled(), 20000);
            const QString said = m_window.text(QStringLiteral("lblTesteLigacao"));
            QVERIFY2(said.startsWith(answer) && said.size() > answer.size(), qPrintable(said));
        }
    }
};

MOSTRELA_TEST_MAIN(TestConnectionBox)
#include "test_connection_box.moc"
