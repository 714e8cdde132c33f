#include "support/database_test.h"
#include "support/file_bytes.h"
#include "support/open_window.h"
#include "support/test_main.h"
#include "support/verify_says.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QMessageBox>

#include <memory>

using Key = Settings::Key;

// The message box that the window shows for a connection that failed, driven through the window.
class TestConnectionBox : public DatabaseTest {
    Q_OBJECT

private:
    std::unique_ptr<OpenWindow> m_window;

    void type(Key key, const QString& text)
    {
        m_window->type(QStringLiteral("txt") + Settings::keyName(key), text);
    }
    template <typename... Names> void click(const Names&... names) { m_window->click(names...); }
    QString lblError() const { return m_window->lblError(); }

private slots:
    void initTestCase() { m_window = std::make_unique<OpenWindow>(); }
    void cleanupTestCase() { m_window.reset(); }

    // The database fails on tick after tick: one box, open while polling goes on, the drop
    // folder read and the database tried on every tick; the failure label shows the failure.
    // Once a tick connects, the box closes by itself and the label clears. A blank server is not
    // tried, and told nothing; a new failure is told again. With both sources off a tick shows the
    // idle caption, and a failure of a source no longer stands.
    void connectionBox_oneAtATime_pollingGoesOn_closesItselfOnceATickConnects()
    {
        QTemporaryDir dropFolder;
        click("optSQL");
        type(Key::SQL_Servidor, OdbcFixture::brokenDataSource());
        type(Key::LigaFicheirosPath, dropFolder.path());
        click("optLigaSQL", "optLigaFicheiros", "optConfigura");
        type(Key::SegundosTimerSQL, QStringLiteral("0.02"));
        const auto openBoxes = [] {
            int open = 0;
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
                    ++open;
            }
            return open;
        };
        click("optExecutando");
        QTRY_COMPARE(openBoxes(), 1);
        VERIFY_STARTS(lblError(), "Falha na Ligação");

        QSignalSpy ticks(&m_window->controller, &Controller::pollingFinished);
        QVERIFY(writeFileBytes(QDir(dropFolder.path()).filePath("1.dsp"), "ficheiro"));
        QTRY_COMPARE(m_window->controller.queue().count(), 1);
        QTRY_VERIFY(ticks.count() >= 10);
        QCOMPARE(openBoxes(), 1);

        for (const QString& server :
             {OdbcFixture::dataSource(), QStringLiteral(" "), OdbcFixture::brokenDataSource()}) {
            const bool fails = server == OdbcFixture::brokenDataSource();
            click("optSQL");
            type(Key::SQL_Servidor, server);
            click("optExecutando");
            QTRY_COMPARE(openBoxes(), fails ? 1 : 0);
            QTRY_COMPARE(lblError().startsWith("Falha na Ligação"), fails);
        }

        click("optSQL");
        type(Key::SQL_Servidor, OdbcFixture::dataSource());
        type(Key::LigaFicheirosPath, dropFolder.filePath("em-falta"));
        click("optExecutando");
        TRY_VERIFY_SAYS(lblError(), "em-falta");
        click("optSQL", "optLigaSQL", "optLigaFicheiros");
        m_window->controller.status().setCaption(QStringLiteral("Em Execução - Abrindo Tabela"));
        click("optExecutando");
        QTRY_COMPARE(lblError(), QString());
        QTRY_COMPARE(m_window->child<QGroupBox>("fraExecutando")->title(), "Em Execução");
    }

    // The connection test of the settings page with settings that fail (or, for a blank user,
    // with a data source that needs none): the answer comes beside the button, the program and
    // its window go on, and the next test answers too.
    void connectionTest_answersBesideTheButton_theWindowGoesOn_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("answer");
        const QString failed = QStringLiteral("Falha na ligação: ");
        const QString user = OdbcFixture::databaseUser();
        QTest::newRow("no server of that name")
            << "mostrela-sem-servidor.invalid" << user << failed;
        QTest::newRow("SQLite file missing") << OdbcFixture::brokenDataSource() << user << failed;
        QTest::newRow("blank user")
            << OdbcFixture::dataSource() << QString() << "Ligação bem sucedida: 0 mensagens";
        QTest::newRow("PostgreSQL port closed")
            << OdbcFixture::closedPortDataSource() << user << failed;
    }

    void connectionTest_answersBesideTheButton_theWindowGoesOn()
    {
        QFETCH(QString, server);
        QFETCH(QString, user);
        QFETCH(QString, answer);
        click("optSQL");
        type(Key::SQL_Servidor, server);
        type(Key::SQL_Utilizador, user);
        const auto button = m_window->child<QAbstractButton>(QStringLiteral("cmdTestarLigacao"));
        for (int attempt = 0; attempt < 2; ++attempt) {
            click("cmdTestarLigacao");
            QVERIFY(!button->isEnabled());
            // The name's lookup may wait on the resolver for a while.
            QTRY_VERIFY_WITH_TIMEOUT(button->isEnabled(), 20000);
            const QString said = m_window->text(QStringLiteral("lblTesteLigacao"));
            QVERIFY2(said.startsWith(answer) && said.size() > answer.size(), qPrintable(said));
        }
    }
};

MOSTRELA_TEST_MAIN(TestConnectionBox)
#include "test_connection_box.moc"
