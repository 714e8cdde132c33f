#include "app/controller.h"
#include "support/odbc_fixture.h"
#include "window/menu.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <set>

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

    void openMessageBox_noFurtherTickUntilItCloses()
    {
        click(QStringLiteral("optSQL"));
        type(Key::SQL_Servidor, OdbcFixture::brokenDataSource());
        click(QStringLiteral("optLigaSQL"));
        click(QStringLiteral("optConfigura"));
        type(Key::SegundosTimerSQL, QStringLiteral("0.01"));
        QSignalSpy ticks(&m_controller->tmrVerifica(), &Timer::tick);

        // Watches from inside the box's own event loop. Qt holds back a timer whose tick is
        // still running, but not one started anew, as picking the running page again with a
        // new interval does: the timer then ticks a few times under the open box, and the
        // watcher stops polling and presses OK.
        std::set<QMessageBox*> seen;
        int mostOpenAtOnce = 0;
        int ticksWhenOpened = -1;
        bool closed = false;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, this, [&] {
            QList<QMessageBox*> open;
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
                    open << box;
            }
            mostOpenAtOnce = std::max(mostOpenAtOnce, int(open.size()));
            seen.insert(open.begin(), open.end());
            if (open.isEmpty())
                return;
            if (ticksWhenOpened < 0) {
                ticksWhenOpened = ticks.count();
                m_controller->settings().setText(Key::SegundosTimerSQL, QStringLiteral("0.02"));
                click(QStringLiteral("optExecutando"));
            }
            if (closed || open.size() > 1 || ticks.count() >= ticksWhenOpened + 5) {
                if (!closed)
                    click(QStringLiteral("optSQL"));
                closed = true;
                for (QMessageBox* box : open)
                    box->button(QMessageBox::Ok)->click();
            }
        });
        watcher.start(5);
        m_controller->status().setError(QStringLiteral("anterior"), Status::Handler::Polling);
        click(QStringLiteral("optExecutando"));

        QTRY_VERIFY_WITH_TIMEOUT(closed, 20000);
        QCOMPARE(seen.size(), size_t(1));
        QCOMPARE(mostOpenAtOnce, 1);
        QCOMPARE(lblError(), QStringLiteral("anterior"));
        QVERIFY(!m_controller->tmrVerifica().isTicking());
    }
};

QTEST_MAIN(TestConnectionBox)
#include "test_connection_box.moc"
