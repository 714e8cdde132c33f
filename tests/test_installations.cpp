#include "core/failure.h"
#include "core/settings.h"
#include "support/file_bytes.h"
#include "support/odbc_fixture.h"
#include "support/program_rig.h"
#include "support/test_main.h"
#include "support/usual_display.h"
#include "support/verify_says.h"

#include <csignal>

#ifdef Q_OS_UNIX
#include "support/unprivileged_user.h"
#endif

using Key = Settings::Key;

namespace {

const QStringList withWindow{"AUTO"};
const QStringList withoutWindow{"--sem-janela"};

#ifdef Q_OS_UNIX
constexpr int messagesPerSource = 8;
constexpr QFile::Permissions ownerOnlyFile = QFile::ReadOwner | QFile::WriteOwner;
constexpr QFile::Permissions ownerOnlyFolder = ownerOnlyFile | QFile::ExeOwner;

// The start's log line that names these folders for the settings and the spool.
QString folders(const QString& settings, const QString& spool)
{
    return QString("pasta %1, fila %2\n").arg(settings, spool);
}
#endif

} // namespace

// The built program as shops install it. Installed in the bin folder it was built for, it keeps
// its settings in the user's configuration folder, root included, however writable that folder
// is and whatever lies there. A program folder with Mostrela.cfg that the user may not write (a
// locked down till) still has its messages taken: spool and lock go to the user's data folder,
// for that user only. A second controller on a running one's folder (a service beside an
// autostart entry, two clicks on the icon) names the folder and holder and ends with 1, having
// taken nothing and sent nothing to the port; a killed one's lock is taken over. With the spool
// on a file system of four entries and both sources fed more than that, each tick takes what
// fits and leaves the rest in its source, saying so once. Every message is shown once, in order.
class TestInstallations : public QObject {
    Q_OBJECT
private slots:
    void installedProgram_keepsItsSettingsInTheUsersFolder_data();
    void installedProgram_keepsItsSettingsInTheUsersFolder();
    void readOnlyProgramFolder_spoolGoesToTheUsersDataFolder();
    void secondIsRefused_killedOnesLockIsTakenOver_data();
    void secondIsRefused_killedOnesLockIsTakenOver();
    void nearlyFullDisk_takesWhatFits_andSaysSoOnce();
};

void TestInstallations::installedProgram_keepsItsSettingsInTheUsersFolder_data()
{
    QTest::addColumn<bool>("settingsBeside");
    QTest::newRow("installed") << false;
    QTest::newRow("installed, a Mostrela.cfg beside it") << true;
}

void TestInstallations::installedProgram_keepsItsSettingsInTheUsersFolder()
{
#ifdef Q_OS_WIN
    QSKIP("Windows installs the program with its installer, tried by test_windows_program");
#else
    QFETCH(bool, settingsBeside);
    QTemporaryDir home;
    const QDir binFolder(QString(MOSTRELA_INSTALL_BINDIR));
    const QString besideSettings = binFolder.filePath("Mostrela.cfg");
    const auto removeSettings = qScopeGuard([&] { QFile::remove(besideSettings); });
    const QByteArray chainSettings = "NumLetras=16\r\nSQL_Password=segredo\r\n";
    if (settingsBeside) {
        QVERIFY(writeFileBytes(besideSettings, chainSettings));
        QVERIFY(QFile::setPermissions(besideSettings,
                                      ownerOnlyFile | QFile::ReadGroup | QFile::ReadOther));
    }
    const QStringList before = binFolder.entryList(QDir::AllEntries | QDir::Hidden);

    DeployedController controller;
    const QStringList command{binFolder.filePath("mostrela")};
    QCOMPARE(startWithoutWindow(controller, command, home.path()), QString());
    const QDir expected(home.filePath(".config/Mostrela"));
    const QString logged = folders(expected.path(), expected.filePath("fila"));
    QVERIFY2(controller.waitForLog(logged), qPrintable(controller.log()));
    // The folders are logged just before the lock is taken.
    QTRY_VERIFY(QFileInfo::exists(expected.filePath("Mostrela.lock")));
    QCOMPARE(controller.end(SIGTERM), 0);
    QCOMPARE(binFolder.entryList(QDir::AllEntries | QDir::Hidden), before);
    // The settings beside the program seed the user's own, for the user alone, and only once.
    const QString own = expected.filePath("Mostrela.cfg");
    QCOMPARE(QFileInfo::exists(own), settingsBeside);
    if (!settingsBeside)
        return;
    QCOMPARE(fileBytes(own), chainSettings);
    QCOMPARE(modeBits(own), ownerOnlyFile);
    VERIFY_SAYS(controller.log(), "definições iniciais deste utilizador vêm de " + besideSettings +
                                      ", copiado para " + own);
    QVERIFY(writeFileBytes(besideSettings, "NumLetras=40\r\n"));
    QCOMPARE(startWithoutWindow(controller, command, home.path()), QString());
    QVERIFY2(controller.waitForLog(logged), qPrintable(controller.log()));
    QCOMPARE(controller.end(SIGTERM), 0);
    QCOMPARE(fileBytes(own), chainSettings);
#endif
}

void TestInstallations::readOnlyProgramFolder_spoolGoesToTheUsersDataFolder()
{
#ifdef Q_OS_WIN
    QSKIP("another identity, which permission bits stop, is a Unix's");
#else
    std::optional<QStringList> command = unprivilegedLauncher();
    if (!command)
        QSKIP("running as root, and setpriv or the user nobody is missing: permission bits "
              "would not stop the program");
    ProgramRig rig;
    const ControllerFolder& folder = rig.folder;
    QTemporaryDir home;
    QTemporaryDir ports;
    const QString port = ports.filePath("porta");
    rig.settings().setText(Key::Porta, port);
    rig.settings().setLigaFicheiros(true);
    folder.writeConfig();
    QByteArray expected;
    for (const char* text : {"1-um", "2-dois", "3-tres"}) {
        QVERIFY(folder.drop(QString(text) + ".dsp", text));
        expected += usualDisplayMessage(text, "");
    }
    const QString program = folder.filePath("mostrela");
    QVERIFY(QFile::copy(ProgramRig::builtProgram(), program));
    for (const QString& path :
         {folder.dropFolder(), home.path(), ports.path(), rig.display.slavePath()})
        QVERIFY(QFile::setPermissions(path, everyone));
    QVERIFY(QFile::setPermissions(folder.configPath(), QFile::ReadOwner | QFile::ReadOther));
    QVERIFY(QFile::setPermissions(
        folder.path(), everyone & ~(QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther)));
    const auto writable = qScopeGuard([&] { QFile::setPermissions(folder.path(), everyone); });

    QCOMPARE(startWithoutWindow(rig.controller, *command << program, home.path()), QString());
    // Taken while the display is still missing: each message waits in the spool.
    QTRY_VERIFY_WITH_TIMEOUT(folder.dropFilesLeft().isEmpty(), 15000);
    // In a folder of the user's data folder that belongs to this program folder alone.
    const QString data = home.filePath(".local/share/Mostrela");
    const QStringList own = QDir(data).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(own.size(), 1);
    QVERIFY(own.first().startsWith(QFileInfo(folder.path()).fileName() + u'-'));
    const QDir ownFolder(QDir(data).filePath(own.first()));
    const QString spool = ownFolder.filePath("fila");
    VERIFY_SAYS(rig.controller.log(), folders(folder.path(), spool));
    QVERIFY(QFileInfo::exists(ownFolder.filePath("Mostrela.lock")));
    QCOMPARE(modeBits(spool), ownerOnlyFolder);
    const QFileInfoList entries = QDir(spool).entryInfoList(QDir::Files);
    QCOMPARE(entries.size(), 3);
    for (const QFileInfo& entry : entries)
        QCOMPARE(modeBits(entry.filePath()), ownerOnlyFile);
    QCOMPARE(QDir(folder.path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
             QStringList({"Mostrela.cfg", "entrada", "mostrela"}));

    // The missing display is logged with the system's reason in Portuguese, as in the window.
    QVERIFY(rig.controller.waitForLog("abrir a porta"));
    QVERIFY2(!rig.controller.log().contains("No such file"), qPrintable(rig.controller.log()));
    QVERIFY(QFile::link(rig.display.slavePath(), port));
    QTRY_COMPARE_WITH_TIMEOUT(rig.display.received(), expected, 15000);
    QCOMPARE(rig.controller.end(SIGTERM), 0);
#endif
}

void TestInstallations::secondIsRefused_killedOnesLockIsTakenOver_data()
{
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::newRow("a window, then none") << withWindow << withoutWindow;
#ifdef Q_OS_UNIX
    // The second's message box waits for an answer, or for SIGTERM.
    QTest::newRow("two windows") << withWindow << withWindow;
    QTest::newRow("no window, then one") << withoutWindow << withWindow;
#endif
}

void TestInstallations::secondIsRefused_killedOnesLockIsTakenOver()
{
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    ProgramRig rig;
    rig.settings().setLigaFicheiros(true);
    QByteArray expected;
    const auto dropAndShow = [&](const char* text) {
        QVERIFY(rig.folder.drop(QString(text) + ".dsp", text));
        expected += usualDisplayMessage(text, "");
        QTRY_COMPARE_WITH_TIMEOUT(rig.display.received(), expected, 15000);
        // Shown, and its entry gone: a kill now loses nothing and repeats nothing.
        QTRY_COMPARE(rig.folder.spoolEntries(), 0);
    };

    QCOMPARE(rig.start(first), QString());
    dropAndShow("primeira");

    DeployedController refused;
    QCOMPARE(runTrapped([&] { refused.start(ProgramRig::builtProgram(), rig.folder, second); }),
             QString());
    const QString holder = QString("processo %1").arg(rig.controller.process().processId());
    QVERIFY2(refused.waitForLog(holder), qPrintable(refused.log()));
    VERIFY_SAYS(refused.log(), rig.folder.path());
#ifdef Q_OS_UNIX
    if (second == withWindow)
        refused.process().terminate();
#endif
    QCOMPARE(refused.ended(), 1);
    dropAndShow("segunda");

    rig.controller.kill();
    QVERIFY(QFileInfo::exists(rig.folder.filePath("Mostrela.lock")));
    QCOMPARE(runTrapped([&] { refused.restart(); }), QString());
    dropAndShow("terceira");
    QCOMPARE(refused.process().state(), QProcess::Running);
}

void TestInstallations::nearlyFullDisk_takesWhatFits_andSaysSoOnce()
{
#ifdef Q_OS_WIN
    QSKIP("a file system mounted for the program alone (unshare) is a Unix's");
#else
    // A file system of four pages on the spool's folder, which the program alone sees.
    const QString unshare = QStandardPaths::findExecutable("unshare");
    const QStringList smallSpool{"--map-root-user", "--mount", "sh", "-c",
                                 "mount -t tmpfs -o size=16k tmpfs \"$0\" && exec \"$@\""};
    const QTemporaryDir probe;
    if (unshare.isEmpty() ||
        QProcess::execute(unshare, smallSpool + QStringList{probe.path(), "true"}) != 0)
        QSKIP("this system mounts no file system for the test");
    OdbcFixture odbc;
    ProgramRig rig;
    const ControllerFolder& folder = rig.folder;
    rig.settings().setLigaSQL(true);
    rig.settings().setLigaFicheiros(true);
    folder.writeConfig();
    const QString spool = folder.filePath("fila");
    QVERIFY(QDir().mkdir(spool));
    const QString program = folder.filePath("mostrela");
    QVERIFY(QFile::copy(ProgramRig::builtProgram(), program));

    odbc.insertNumbered(OdbcFixture::databaseUser(), messagesPerSource);
    QByteArray rows;
    QByteArray files;
    for (int number = 1; number <= messagesPerSource; ++number) {
        const QByteArray file = "ficheiro " + QByteArray::number(number);
        QVERIFY(folder.drop(QString(file) + ".dsp", file));
        rows += usualDisplayMessage("Registo " + QByteArray::number(number), "");
        files += usualDisplayMessage(file, "");
    }
    // Each source's messages come once and in their order, however the two sources interleave.
    const auto fromSource = [&rig](const QByteArray& source) {
        QByteArray shown;
        for (const QByteArray& frame : rig.display.received().split('\x0C'))
            if (frame.contains(source))
                shown += '\x0C' + frame;
        return shown;
    };

    rig.controller.process().setProgram(unshare);
    rig.controller.process().setArguments(smallSpool + QStringList{spool, program} +
                                          rig.withoutWindow());
    QCOMPARE(rig.restart(), QString());
    QTRY_COMPARE_WITH_TIMEOUT(rig.display.received().size(), rows.size() + files.size(), 30000);
    QCOMPARE(fromSource("Registo"), rows);
    QCOMPARE(fromSource("ficheiro"), files);
    QVERIFY(folder.dropFilesLeft().isEmpty());
    QCOMPARE(odbc.rows("select count(*) from SaidaDisplay").first().first(), 0);

    QCOMPARE(rig.controller.end(SIGTERM), 0);
    const QString log = rig.controller.log();
    // Once for each source that met it, not once a tick.
    const qsizetype said = log.count(QString("Não foi possível gravar na fila \"%1\"").arg(spool));
    QVERIFY2(said >= 1 && said <= 2, qPrintable(log));
#endif
}

MOSTRELA_TEST_GUILESS_MAIN(TestInstallations)
#include "test_installations.moc"
