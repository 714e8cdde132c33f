#include "support/controller_folder.h"
#include "support/odbc_fixture.h"
#include "support/pseudo_terminal.h"
#include "support/running_controller.h"
#include "support/usual_display.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <memory>

using Key = Settings::Key;

// The message sources failing under the controller while it runs on its own timers: each fault
// shows in the failure label while it lasts, and once it is over every message that was in a
// source reaches the display exactly once.
class TestFaultSources : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OdbcFixture> m_odbc;
    std::unique_ptr<ControllerFolder> m_folder;
    std::unique_ptr<PseudoTerminal> m_display;
    std::unique_ptr<RunningController> m_running;
    QDateTime m_dataSys{QDate(2024, 3, 9), QTime(10, 0)};

    void startWithDatabase(const QString& dataSource)
    {
        m_folder->settings().setLigaSQL(true);
        m_folder->settings().setText(Key::SQL_Servidor, dataSource);
        start();
    }
    void startWithDropFolder()
    {
        m_folder->settings().setLigaFicheiros(true);
        start();
    }
    void start()
    {
        m_folder->settings().setText(Key::Porta, m_display->slavePath());
        m_folder->writeConfig();
        m_running = std::make_unique<RunningController>(m_folder->path());
    }

    void insert(const QString& linha1)
    {
        m_dataSys = m_dataSys.addSecs(1);
        m_odbc->insert(OdbcFixture::databaseUser(), m_dataSys, linha1, QString());
    }
    QStringList linesLeftInTable()
    {
        QStringList lines;
        for (const QStringList& row : m_odbc->rowsLeft())
            lines.append(row.at(1));
        return lines;
    }

    // Waits until the display has shown these messages, in order, then checks that each was
    // taken from its source once only.
    void expectEachShownOnce(const QStringList& lines)
    {
        QByteArray bytes;
        for (const QString& line : lines)
            bytes += usualDisplayMessage(line.toLatin1(), "");
        QTRY_COMPARE_WITH_TIMEOUT(m_display->received(), bytes, 10000);
        QCOMPARE(m_running->added(), lines);
        QCOMPARE(m_running->lblError(), QString());
    }

private slots:
    void initTestCase() { m_odbc = std::make_unique<OdbcFixture>(); }

    void init()
    {
        m_odbc->createTable();
        m_folder = std::make_unique<ControllerFolder>();
        m_display = std::make_unique<PseudoTerminal>();
    }

    void cleanup()
    {
        m_running.reset();
        m_display.reset();
        m_folder.reset();
    }

    void lockedDatabase_rowsStayUntilTheirDeleteSucceeds()
    {
        startWithDatabase(OdbcFixture::impatientDataSource());
        insert(QStringLiteral("Antes"));
        expectEachShownOnce({QStringLiteral("Antes")});

        insert(QStringLiteral("Retida"));
        m_odbc->lockForWriting();
        insert(QStringLiteral("Durante"));
        QTRY_VERIFY2(m_running->lblError().contains(QStringLiteral("locked")),
                     qPrintable(m_running->lblError()));
        QCOMPARE(m_running->added(), QStringList({QStringLiteral("Antes")}));
        QCOMPARE(linesLeftInTable(),
                 QStringList({QStringLiteral("Retida"), QStringLiteral("Durante")}));

        m_odbc->commit();
        insert(QStringLiteral("Depois"));
        expectEachShownOnce({QStringLiteral("Antes"), QStringLiteral("Retida"),
                             QStringLiteral("Durante"), QStringLiteral("Depois")});
        QCOMPARE(linesLeftInTable(), QStringList());
    }

    void databaseFileRemoved_itsRowsAreShownOnceItIsBack()
    {
        startWithDatabase(OdbcFixture::dataSource());
        insert(QStringLiteral("Antes"));
        expectEachShownOnce({QStringLiteral("Antes")});

        // Moved away rather than deleted, so the fixture's own connection goes with the file.
        const QString path = m_odbc->databasePath();
        const QString away = path + QStringLiteral(".fora");
        insert(QStringLiteral("Guardada"));
        QVERIFY(QFile::rename(path, away));
        QTRY_VERIFY2(m_running->lblError().contains(QStringLiteral("SaidaDisplay")),
                     qPrintable(m_running->lblError()));
        QCOMPARE(m_running->added(), QStringList({QStringLiteral("Antes")}));

        // Connecting meanwhile left an empty database at the path; the restored one replaces it.
        QFile::remove(path);
        QVERIFY(QFile::rename(away, path));
        insert(QStringLiteral("Depois"));
        expectEachShownOnce(
            {QStringLiteral("Antes"), QStringLiteral("Guardada"), QStringLiteral("Depois")});
        QCOMPARE(linesLeftInTable(), QStringList());
    }

    void dropFolderRemoved_filesInTheNewOneAreShownOnce()
    {
        startWithDropFolder();
        QVERIFY(m_folder->drop(QStringLiteral("1.dsp"), "Antes"));
        expectEachShownOnce({QStringLiteral("Antes")});

        QVERIFY(QDir(m_folder->dropFolder()).removeRecursively());
        QTRY_VERIFY2(m_running->lblError().contains(m_folder->dropFolder()),
                     qPrintable(m_running->lblError()));

        QVERIFY(QDir().mkpath(m_folder->dropFolder()));
        QVERIFY(m_folder->drop(QStringLiteral("2.dsp"), "Depois 1"));
        QVERIFY(m_folder->drop(QStringLiteral("3.dsp"), "Depois 2"));
        expectEachShownOnce(
            {QStringLiteral("Antes"), QStringLiteral("Depois 1"), QStringLiteral("Depois 2")});
        QCOMPARE(m_folder->dropFilesLeft(), QStringList());
    }
};

QTEST_MAIN(TestFaultSources)
#include "test_fault_sources.moc"
