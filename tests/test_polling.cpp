#include "app/controller.h"
#include "app/menu.h"
#include "support/odbc_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QtTest>

#include <memory>
#include <set>

using Key = Settings::Key;

// The polling tick as the window runs it: settings typed into its boxes, pages picked with its
// buttons, results read from its list, caption and failure label.
class TestPolling : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OdbcFixture> m_odbc;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<Controller> m_controller;
    std::unique_ptr<Menu> m_menu;
    QStringList m_messages;

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
    QString caption() const { return widget<QGroupBox>(QStringLiteral("fraExecutando"))->title(); }
    QString dropFolder() const { return m_folder->filePath(QStringLiteral("entrada")); }
    void drop(const QString& name, const QByteArray& text)
    {
        QFile file(QDir(dropFolder()).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QStringList filesLeft() const { return QDir(dropFolder()).entryList(QDir::Files); }
    QStringList queued() const
    {
        QStringList rows;
        for (int row = 0; row < m_controller->queue().count(); ++row)
            rows << m_controller->queue().at(row).linha1;
        return rows;
    }
    void tick() { m_controller->polling().tick(); }
    void recordMessages()
    {
        m_controller->setCriticalMessageHandler(
            [this](const QString& text) { m_messages.append(text); });
    }

private slots:
    void initTestCase() { m_odbc = std::make_unique<OdbcFixture>(); }

    void init()
    {
        m_odbc->createTable();
        m_messages.clear();
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(dropFolder()));
        m_controller = std::make_unique<Controller>(m_folder->path());
        m_menu = std::make_unique<Menu>(*m_controller);
        m_menu->show();
        click(QStringLiteral("optSQL"));
        type(Key::SQL_Servidor, OdbcFixture::dataSource());
        type(Key::SQL_Utilizador, QStringLiteral("caixa1"));
        type(Key::LigaFicheirosPath, dropFolder());
        type(Key::NumLetras, QStringLiteral("10"));
        click(QStringLiteral("optConfigura"));
        type(Key::SegundosTimerSQL, QStringLiteral("0")); // ticks by hand, unless a test says
    }
    void cleanup()
    {
        m_menu.reset();
        m_controller.reset();
    }

    void otherPage_tickTouchesNothing()
    {
        click(QStringLiteral("optLigaFicheiros"));
        drop(QStringLiteral("1.dsp"), "one");
        m_controller->status().setError(QStringLiteral("anterior"), Status::Handler::Polling);
        tick();
        QCOMPARE(filesLeft(), QStringList({QStringLiteral("1.dsp")}));
        QCOMPARE(m_controller->queue().count(), 0);
        QCOMPARE(lblError(), QStringLiteral("anterior"));
    }

    void noSourceOn_tickSetsIdleCaptionAndClearsError()
    {
        click(QStringLiteral("optExecutando"));
        drop(QStringLiteral("1.dsp"), "one");
        m_controller->status().setError(QStringLiteral("anterior"), Status::Handler::Polling);
        m_controller->status().setCaption(QStringLiteral("Em Execução - Abrindo Tabela"));
        tick();
        QCOMPARE(caption(), QStringLiteral("Em Execução"));
        QCOMPARE(lblError(), QString());
        QCOMPARE(filesLeft(), QStringList({QStringLiteral("1.dsp")}));
    }

    void bothSources_databaseFirst_eachStepShownAsItStarts()
    {
        click(QStringLiteral("optLigaSQL"));
        click(QStringLiteral("optLigaFicheiros"));
        click(QStringLiteral("optExecutando"));
        m_odbc->insert(QStringLiteral("caixa1"), QDateTime::currentDateTime(),
                       QStringLiteral("registo"), QString());
        drop(QStringLiteral("1.dsp"), "ficheiro");
        QStringList shown;
        connect(&m_controller->status(), &Status::captionChanged, this,
                [&] { shown << caption(); });

        tick();
        QCOMPARE(shown, QStringList({QStringLiteral("Em Execução - Abrindo Ligação"),
                                     QStringLiteral("Em Execução - Abrindo Tabela"),
                                     QStringLiteral("Em Execução - Carregando Registos"),
                                     QStringLiteral("Em Execução - Carregando Ficheiros"),
                                     QStringLiteral("Em Execução")}));
        QCOMPARE(queued(), QStringList({QStringLiteral("registo"), QStringLiteral("ficheiro")}));
        QCOMPARE(lblError(), QString());

        // Without rows the table step does not announce loading.
        shown.clear();
        tick();
        QCOMPARE(shown, QStringList({QStringLiteral("Em Execução - Abrindo Ligação"),
                                     QStringLiteral("Em Execução - Abrindo Tabela"),
                                     QStringLiteral("Em Execução - Carregando Ficheiros"),
                                     QStringLiteral("Em Execução")}));
    }

    void failedConnection_endsTick_folderUnread_lblErrorUntouched_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<int>("messages");
        QTest::newRow("unreachable") << OdbcFixture::brokenDataSource() << 1;
        QTest::newRow("blank") << QStringLiteral(" ") << 0;
    }
    void failedConnection_endsTick_folderUnread_lblErrorUntouched()
    {
        QFETCH(QString, server);
        QFETCH(int, messages);
        recordMessages();
        click(QStringLiteral("optSQL"));
        type(Key::SQL_Servidor, server);
        click(QStringLiteral("optLigaSQL"));
        click(QStringLiteral("optLigaFicheiros"));
        click(QStringLiteral("optExecutando"));
        drop(QStringLiteral("1.dsp"), "one");
        m_controller->status().setError(QStringLiteral("anterior"), Status::Handler::Polling);

        tick();
        QCOMPARE(m_messages.size(), messages);
        QCOMPARE(caption(), QStringLiteral("Em Execução - Abrindo Ligação"));
        QCOMPARE(lblError(), QStringLiteral("anterior"));
        QCOMPARE(filesLeft(), QStringList({QStringLiteral("1.dsp")}));
        tick();
        QCOMPARE(m_messages.size(), 2 * messages);
    }

    void otherFailure_inLblError_cleanTickClearsIt()
    {
        click(QStringLiteral("optSQL"));
        type(Key::LigaFicheirosPath, dropFolder() + QStringLiteral("/em-falta"));
        click(QStringLiteral("optLigaFicheiros"));
        click(QStringLiteral("optExecutando"));
        tick();
        QVERIFY2(lblError().contains(dropFolder() + QStringLiteral("/em-falta")),
                 qPrintable(lblError()));
        QCOMPARE(caption(), QStringLiteral("Em Execução - Carregando Ficheiros"));

        QVERIFY(QDir().mkpath(dropFolder() + QStringLiteral("/em-falta")));
        tick();
        QCOMPARE(lblError(), QString());
        QCOMPARE(caption(), QStringLiteral("Em Execução"));
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

QTEST_MAIN(TestPolling)
#include "test_polling.moc"
