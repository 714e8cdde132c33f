#include "core/settings.h"
#include "support/program_rig.h"
#include "support/test_main.h"
#include "support/usual_display.h"

#include <csignal>

#ifdef Q_OS_UNIX
#include "support/unprivileged_user.h"

#include <sys/stat.h>
#endif

using Key = Settings::Key;

// The built program, run without a window over a drop folder that holds, among good files, a
// folder named like a drop file and a file it may not read: on a Unix, run by a user who is not
// root (permission bits do not stop root), also links to a FIFO and to a file outside the folder,
// and the folder's name holds an escape sequence; on Windows the unreadable file is held open
// without sharing, as by the sales program. Only the good files are shown, in order, each once;
// the others stay, and the log names each, its control characters escaped for the terminal.
class TestOddDropEntries : public QObject {
    Q_OBJECT
private slots:
    void onlyTheGoodFilesAreShown_theOthersAreNamedAndLeft();
};

void TestOddDropEntries::onlyTheGoodFilesAreShown_theOthersAreNamedAndLeft()
{
#ifdef Q_OS_WIN
    QStringList launcher;
#else
    std::optional<QStringList> unprivileged = unprivilegedLauncher();
    if (!unprivileged)
        QSKIP("running as root, and setpriv or the user nobody is missing: permission bits "
              "would not stop the program");
    QStringList& launcher = *unprivileged;
#endif

    ProgramRig rig;
    const ControllerFolder& folder = rig.folder;
    rig.settings().setText(Key::SegundosTimerDisplay, "0.1");
    rig.settings().setLigaFicheiros(true);
    folder.writeConfig();

    const QDir drop(folder.dropFolder());
    QByteArray expected;
    for (const char* name : {"1-bom", "3-bom", "5-bom", "7-bom", "z-bom"}) {
        QVERIFY(folder.drop(QString(name) + ".dsp", name));
        expected += usualDisplayMessage(name, "");
    }
    QVERIFY(folder.drop("6-proibido.dsp", "Proibido"));
#ifdef Q_OS_WIN
    const QStringList odd{drop.filePath("6-proibido.dsp"), drop.filePath("x.DSP")};
    const HANDLE held = ::CreateFileW(reinterpret_cast<const wchar_t*>(odd[0].utf16()),
                                      GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    QVERIFY(held != INVALID_HANDLE_VALUE);
    const auto release = qScopeGuard([held] { ::CloseHandle(held); });
#else
    const QString fifo = folder.filePath("fifo");
    const QString outside = folder.filePath("fora.txt");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0666), 0);
    QVERIFY(folder.drop("../fora.txt", "Segredo"));
    const QStringList odd{drop.filePath("2-fifo.dsp"), drop.filePath("4-fora.dsp"),
                          drop.filePath("6-proibido.dsp"), drop.filePath("x\x1b[2J.DSP")};
    QVERIFY(QFile::link(fifo, odd[0]));
    QVERIFY(QFile::link(outside, odd[1]));
    QVERIFY(QFile::setPermissions(odd[2], {}));
#endif
    QVERIFY(drop.mkdir(odd.last()));

    const QString program = folder.filePath(QFileInfo(ProgramRig::builtProgram()).fileName());
    QVERIFY(QFile::copy(ProgramRig::builtProgram(), program));
#ifdef Q_OS_UNIX
    // The other user reaches the program, its settings, the drop folder, the spool and the port.
    for (const QString& path : {folder.path(), folder.dropFolder(), rig.display.slavePath()})
        QVERIFY(QFile::setPermissions(path, everyone));
    QVERIFY(QFile::setPermissions(folder.configPath(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
#endif

    QCOMPARE(startWithoutWindow(rig.controller, launcher << program << "--pasta" << folder.path(),
                                folder.path()),
             QString());

    QTRY_COMPARE_WITH_TIMEOUT(rig.display.received(), expected, 15000);
    for (const QString& path : odd)
        QVERIFY2(
            rig.controller.waitForLog(QDir::toNativeSeparators(path).replace(u'\x1b', "\\x1b")),
            qPrintable(rig.controller.log()));
    QVERIFY(!rig.controller.log().contains(u'\x1b'));
    QCOMPARE(rig.controller.process().state(), QProcess::Running);
    // Still each shown once, and left alone.
    QCOMPARE(rig.display.received(), expected);
    QCOMPARE(drop.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
             QStringList(odd).replaceInStrings(drop.path() + u'/', QString()));
#ifdef Q_OS_UNIX
    QVERIFY(QFileInfo(odd[0]).isSymLink());
    QVERIFY(QFileInfo(odd[1]).isSymLink());
    QVERIFY(QFileInfo(outside).isFile());
    QCOMPARE(rig.controller.end(SIGTERM), 0);
#endif
}

MOSTRELA_TEST_GUILESS_MAIN(TestOddDropEntries)
#include "test_odd_drop_entries.moc"
