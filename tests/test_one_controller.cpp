#include "core/failure.h"
#include "core/settings.h"
#include "pseudo_terminal.h"
#include "support/controller_folder.h"
#include "support/deployed_controller.h"
#include "usual_display.h"

#include <QDir>
#include <QtTest>

#include <csignal>

using Key = Settings::Key;

namespace {

const QString program = QStringLiteral(MOSTRELA_EXECUTABLE);
const QStringList withWindow{QStringLiteral("AUTO")};
const QStringList withoutWindow{QStringLiteral("--sem-janela")};

} // namespace

// A second controller started on the folder of a running one, as a service beside an autostart
// entry or two clicks on the icon do: it says which folder and which process hold it and ends
// with 1, having taken nothing and written nothing to the port. The lock of a controller that
// was killed is taken over by the next one. Every message is shown once all the while.
class TestOneController : public QObject {
    Q_OBJECT
private slots:
    void secondIsRefused_killedOnesLockIsTakenOver_data();
    void secondIsRefused_killedOnesLockIsTakenOver();
};

void TestOneController::secondIsRefused_killedOnesLockIsTakenOver_data()
{
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::newRow("two windows") << withWindow << withWindow;
    QTest::newRow("a window, then none") << withWindow << withoutWindow;
    QTest::newRow("no window, then one") << withoutWindow << withWindow;
}

void TestOneController::secondIsRefused_killedOnesLockIsTakenOver()
{
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    ControllerFolder folder;
    PseudoTerminal display;
    folder.settings().setText(Key::Porta, display.slavePath());
    folder.settings().setLigaFicheiros(true);
    QByteArray expected;
    const auto dropAndShow = [&](const char* text) {
        QVERIFY(folder.drop(QString::fromLatin1(text) + QStringLiteral(".dsp"), text));
        expected += usualDisplayMessage(text, "");
        QTRY_COMPARE_WITH_TIMEOUT(display.received(), expected, 15000);
        // Shown, and its entry gone: a kill now loses nothing and repeats nothing.
        QTRY_VERIFY(QDir(folder.filePath(QStringLiteral("fila")))
                        .entryList({QStringLiteral("*.msg")}, QDir::Files)
                        .isEmpty());
    };

    DeployedController running;
    QString failure = runTrapped([&] { running.start(program, folder, first); });
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    dropAndShow("primeira");

    DeployedController refused;
    refused.process().setProcessChannelMode(QProcess::SeparateChannels);
    failure = runTrapped([&] { refused.start(program, folder, second); });
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QString log;
    const auto logNamesTheHolder = [&] {
        log += QString::fromLocal8Bit(refused.process().readAllStandardError());
        return log.contains(folder.path()) &&
               log.contains(QStringLiteral("processo %1").arg(running.process().processId()));
    };
    QTRY_VERIFY2_WITH_TIMEOUT(logNamesTheHolder(), qPrintable(log), 15000);
    // With a window, its message box waits until it is answered or the program is told to end.
    if (second == withWindow)
        refused.process().terminate();
    QTRY_COMPARE_WITH_TIMEOUT(refused.process().state(), QProcess::NotRunning, 10000);
    QCOMPARE(refused.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(refused.process().exitCode(), 1);
    dropAndShow("segunda");

    ::kill(static_cast<pid_t>(running.process().processId()), SIGKILL);
    QTRY_COMPARE_WITH_TIMEOUT(running.process().state(), QProcess::NotRunning, 10000);
    QVERIFY(QFileInfo::exists(folder.filePath(QStringLiteral("Mostrela.lock"))));
    failure = runTrapped([&] { refused.restart(); });
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    dropAndShow("terceira");
    QCOMPARE(refused.process().state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TestOneController)
#include "test_one_controller.moc"
