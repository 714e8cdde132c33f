#include "core/settings.h"
#include "pseudo_terminal.h"
#include "support/controller_folder.h"
#include "support/odbc_fixture.h"
#include "usual_display.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using Key = Settings::Key;

namespace {

constexpr int messagesPerSource = 8;

} // namespace

// The built program with its spool on a file system that holds four entries, fed more than that
// from both sources at once while the display shows one message at a time. Each tick takes what
// fits and leaves the rest in its source; the log says that the spool is full once, not once a
// tick; every message is shown once, in order (each source's in its order, rows first, as the
// database is read first on every tick).
class TestFullSpool : public QObject {
    Q_OBJECT
private slots:
    void nearlyFullDisk_takesWhatFits_andSaysSoOnce();
};

void TestFullSpool::nearlyFullDisk_takesWhatFits_andSaysSoOnce()
{
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    if (unshare.isEmpty() ||
        QProcess::execute(unshare, {QStringLiteral("--map-root-user"), QStringLiteral("--mount"),
                                    QStringLiteral("true")}) != 0)
        QSKIP("this system makes no mount namespace for the test");
    OdbcFixture odbc;
    ControllerFolder folder;
    PseudoTerminal display;
    Settings& settings = folder.settings();
    settings.setText(Key::Porta, display.slavePath());
    settings.setLigaSQL(true);
    settings.setLigaFicheiros(true);
    folder.writeConfig();
    const QString spool = folder.filePath(QStringLiteral("fila"));
    QVERIFY(QDir().mkdir(spool));
    const QString program = folder.filePath(QStringLiteral("mostrela"));
    QVERIFY(QFile::copy(QStringLiteral(MOSTRELA_EXECUTABLE), program));

    QByteArray rows;
    QByteArray files;
    const QDateTime dataSys(QDate(2024, 3, 9), QTime(10, 0));
    for (int number = 1; number <= messagesPerSource; ++number) {
        const QByteArray row = "registo " + QByteArray::number(number);
        const QByteArray file = "ficheiro " + QByteArray::number(number);
        odbc.insert(ControllerFolder::databaseUser(), dataSys.addSecs(number),
                    QString::fromLatin1(row), QString());
        QVERIFY(folder.drop(QString::fromLatin1(file) + QStringLiteral(".dsp"), file));
        rows += usualDisplayMessage(row, "");
        files += usualDisplayMessage(file, "");
    }

    // A file system of four pages on the spool's folder, which the program alone sees.
    QProcess process;
    process.start(unshare,
                  {QStringLiteral("--map-root-user"), QStringLiteral("--mount"),
                   QStringLiteral("sh"), QStringLiteral("-c"),
                   QStringLiteral("mount -t tmpfs -o size=16k tmpfs \"$0\" && exec \"$@\""), spool,
                   program, QStringLiteral("--sem-janela"), QStringLiteral("--pasta"),
                   folder.path()});
    QVERIFY2(process.waitForStarted(), qPrintable(process.errorString()));
    QTRY_COMPARE_WITH_TIMEOUT(display.received(), rows + files, 30000);
    QVERIFY(folder.dropFilesLeft().isEmpty());
    QCOMPARE(odbc.rows(QStringLiteral("select count(*) from SaidaDisplay")).first().first(), 0);

    process.terminate();
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 0);
    const QString log = QString::fromLocal8Bit(process.readAllStandardError());
    QCOMPARE(log.count(QStringLiteral("Não foi possível gravar na fila \"%1\"").arg(spool)), 1);
}

QTEST_GUILESS_MAIN(TestFullSpool)
#include "test_full_spool.moc"
