#include "support/controller_rig.h"
#include "support/database_test.h"
#include "support/test_main.h"
#include "support/usual_display.h"
#include "support/verify_says.h"

#include "core/log.h"

#include <QLabel>

#include <memory>

namespace {

// Qt's own warnings as the program's log lets them through.
QStringList qtWarnings;

void keepQtWarning(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg && QLatin1String(context.category) != QLatin1String("mostrela"))
        qtWarnings.append(text);
}

} // namespace

// The sources failing under the controller on its own timers: each fault shows in the failure
// label while it lasts; once it is over, every message that was in a source is shown exactly once.
class TestFaultSources : public DatabaseTest {
    Q_OBJECT

private:
    std::unique_ptr<ControllerRig> m_rig;

    void start(const QString& dataSource)
    {
        m_rig->folder.settings().setLigaSQL(true);
        m_rig->folder.settings().setText(Settings::Key::SQL_Servidor, dataSource);
        m_rig->start();
    }
    void insert(const QString& linha1) { m_rig->insert(m_odbc, linha1); }
    QString lblError() { return m_rig->running().lblError(); }
    QString label(const char* name) { return child<QLabel>(m_rig->running().menu(), name)->text(); }

    // Waits for the display to show these messages, in order, each taken from its source once.
    void expectEachShownOnce(const QStringList& lines)
    {
        QTRY_COMPARE_WITH_TIMEOUT(m_rig->display.received(), usualDisplayMessages(lines), 10000);
        QCOMPARE(m_rig->running().added(), lines);
        QCOMPARE(lblError(), QString());
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler(keepQtWarning);
        installLogHandler();
    }
    void init()
    {
        qtWarnings.clear();
        forgetQtWarnings();
        m_odbc.createTable();
        m_rig = std::make_unique<ControllerRig>();
    }
    void cleanup() { m_rig.reset(); }

    void lockedDatabase_rowsStayUntilTheirDeleteSucceeds()
    {
        start(OdbcFixture::impatientDataSource());
        insert("Antes");
        expectEachShownOnce({"Antes"});

        insert("Retida");
        m_odbc.lockForWriting();
        insert("Durante");
        TRY_VERIFY_SAYS(lblError(), "locked");
        QCOMPARE(m_rig->running().added(), QStringList{"Antes"});
        const QString user = OdbcFixture::databaseUser();
        QCOMPARE(m_odbc.rowsLeft(), QList<QStringList>({{user, "Retida"}, {user, "Durante"}}));

        m_odbc.commit();
        insert("Depois");
        expectEachShownOnce({"Antes", "Retida", "Durante", "Depois"});
        QCOMPARE(m_odbc.rowsLeft(), QList<QStringList>());
    }

    void databaseFileRemoved_itsRowsAreShownOnceItIsBack()
    {
        start(OdbcFixture::dataSource());
        insert("Antes");
        expectEachShownOnce({"Antes"});

        // Moved away rather than deleted, so the fixture's own connection goes with the file.
        const QString path = m_odbc.databasePath();
        const QString away = path + ".fora";
        insert("Guardada");
        QVERIFY(QFile::rename(path, away));
        TRY_VERIFY_SAYS(lblError(), "SaidaDisplay");
        QCOMPARE(m_rig->running().added(), QStringList{"Antes"});
        TRY_VERIFY_STARTS(label("lblLeituraSQL"), "Base de dados: falha na leitura às ");
        // Tick after tick, Qt's ODBC driver warns the same: the log has each warning once.
        QSignalSpy failedTicks(&m_rig->running().controller(), &Controller::sourceFailed);
        QTRY_VERIFY(failedTicks.size() >= 3);
        const QStringList driverWarnings = qtWarnings.filter(u"QODBC");
        QVERIFY(!driverWarnings.isEmpty());
        QCOMPARE(QStringList(driverWarnings).removeDuplicates(), qsizetype(0));

        // Connecting meanwhile left an empty database at the path; the restored one replaces it.
        QFile::remove(path);
        QVERIFY(QFile::rename(away, path));
        insert("Depois");
        expectEachShownOnce({"Antes", "Guardada", "Depois"});
        QCOMPARE(m_odbc.rowsLeft(), QList<QStringList>());
        TRY_VERIFY_STARTS(label("lblLeituraSQL"), "Base de dados: lida às ");
    }

    void dropFolderRemoved_filesInTheNewOneAreShownOnce()
    {
        m_rig->startOnFiles();
        QStringList lines = m_rig->dropNumbered(1);
        expectEachShownOnce(lines);

        QVERIFY(QDir(m_rig->folder.dropFolder()).removeRecursively());
        TRY_VERIFY_SAYS(lblError(), m_rig->folder.dropFolder());
        TRY_VERIFY_STARTS(label("lblLeituraFicheiros"), "Ficheiros: falha na leitura às ");

        QVERIFY(QDir().mkpath(m_rig->folder.dropFolder()));
        lines += m_rig->dropNumbered(2, 2);
        expectEachShownOnce(lines);
        QCOMPARE(m_rig->folder.dropFilesLeft(), QStringList());
        TRY_VERIFY_STARTS(label("lblLeituraFicheiros"), "Ficheiros: lidos às ");
    }
};

MOSTRELA_TEST_MAIN(TestFaultSources)
#include "test_fault_sources.moc"
