#include "app/controller.h"
#include "support/odbc_fixture.h"
#include "window/menu.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using Key = Settings::Key;

// The message box that the window shows for a connection that failed, driven through the window.
class TestConnectionBox : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OdbcFixture> m_odbc;
    QTemporaryDir m_folder;
    std::unique_ptr<Controller> m_controller;
    std::unique_ptr<Menu> m_menu;

    template <typename T> T* widget(const QString& name) const
    {
        T* found = m_menu->findChild<T*>(name);
        if (!found)
            qFatal("No widget %s", qPrintable(name));
        return found;
    }
    void type(Key key, const QString& text)
    {
        auto* edit = widget<QLineEdit>(QStringLiteral("txt") + Settings::keyName(key));
        edit->selectAll();
        edit->del();
        QTest::keyClicks(edit, text);
    }
    void click(const QString& name) { widget<QAbstractButton>(name)->click(); }
    QString lblError() const { return widget<QLabel>(QStringLiteral("lblError"))->text(); }

private slots:
    void initTestCase()
    {
        m_odbc = std::make_unique<OdbcFixture>();
        m_controller = std::make_unique<Controller>(m_folder.path());
        m_menu = std::make_unique<Menu>(*m_controller);
        m_menu->show();
    }
    void cleanupTestCase()
    {
        m_menu.reset();
        m_controller.reset();
    }

    // The database fails on tick after tick: one box, open while polling goes on, the drop
    // folder read and the database tried on every tick; the failure label shows the failure.
    // Once a tick connects, the box closes by itself and the label clears.
    void connectionBox_oneAtATime_pollingGoesOn_closesItselfOnceATickConnects()
    {
        QTemporaryDir dropFolder;
        click(QStringLiteral("optSQL"));
        type(Key::SQL_Servidor, OdbcFixture::brokenDataSource());
        type(Key::LigaFicheirosPath, dropFolder.path());
        click(QStringLiteral("optLigaSQL"));
        click(QStringLiteral("optLigaFicheiros"));
        click(QStringLiteral("optConfigura"));
        type(Key::SegundosTimerSQL, QStringLiteral("0.02"));
        const auto openBoxes = [] {
            int open = 0;
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
                    ++open;
            }
            return open;
        };
        click(QStringLiteral("optExecutando"));
        QTRY_COMPARE(openBoxes(), 1);
        QVERIFY2(lblError().startsWith(QStringLiteral("Falha na Ligação")), qPrintable(lblError()));

        QSignalSpy ticks(m_controller.get(), &Controller::pollingFinished);
        QFile file(QDir(dropFolder.path()).filePath(QStringLiteral("1.dsp")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("ficheiro") > 0);
        file.close();
        QTRY_COMPARE(m_controller->queue().count(), 1);
        QTRY_VERIFY(ticks.count() >= 10);
        QCOMPARE(openBoxes(), 1);

        click(QStringLiteral("optSQL"));
        type(Key::SQL_Servidor, OdbcFixture::dataSource());
        click(QStringLiteral("optExecutando"));
        QTRY_COMPARE(openBoxes(), 0);
        QTRY_COMPARE(lblError(), QString());
    }
};

QTEST_MAIN(TestConnectionBox)
#include "test_connection_box.moc"
