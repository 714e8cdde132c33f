#include "core/settings.h"
#include "pseudo_terminal.h"
#include "support/controller_folder.h"
#include "support/unprivileged_user.h"
#include "usual_display.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QtTest>

using Key = Settings::Key;

namespace {

constexpr QFile::Permissions ownerOnlyFile = QFile::ReadOwner | QFile::WriteOwner;
constexpr QFile::Permissions ownerOnlyFolder = ownerOnlyFile | QFile::ExeOwner;
constexpr QFile::Permissions readOnlyFolder = QFile::ReadOwner | QFile::ExeOwner |
                                              QFile::ReadGroup | QFile::ExeGroup |
                                              QFile::ReadOther | QFile::ExeOther;

// The mode bits alone, without what they mean for this process.
QFile::Permissions mode(const QString& path)
{
    return QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
}

// The program run without a window for a user whose home folder is `home`.
void start(QProcess& process, const QString& home, const QStringList& command)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "DISPLAY"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("HOME"), home);
    process.setProcessEnvironment(environment);
    process.start(command.first(), command.mid(1) + QStringList{QStringLiteral("--sem-janela")});
}

// Whether the start's log line names these folders for the settings and the spool.
bool logsFolders(QProcess& process, QString& log, const QString& settings, const QString& spool)
{
    log += QString::fromLocal8Bit(process.readAllStandardError());
    return log.contains(QStringLiteral("pasta %1, fila %2\n").arg(settings, spool));
}

void stop(QProcess& process)
{
    process.terminate();
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 0);
}

} // namespace

// Where the built program keeps its files. Installed in the bin folder it was built for, it
// keeps its settings in the user's configuration folder, root included, however writable that
// bin folder is and whatever lies there; --pasta wins, and a copy elsewhere keeps its own
// folder. A program folder that holds Mostrela.cfg but that the user may not write (a locked
// down till) still has its messages taken: the spool and the lock go to the user's data folder,
// for that user only.
class TestProgramFolders : public QObject {
    Q_OBJECT
private slots:
    void installedProgram_keepsItsSettingsInTheUsersFolder_data();
    void installedProgram_keepsItsSettingsInTheUsersFolder();
    void readOnlyProgramFolder_spoolGoesToTheUsersDataFolder();
};

void TestProgramFolders::installedProgram_keepsItsSettingsInTheUsersFolder_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("settingsBeside");
    QTest::addColumn<bool>("chosen");
    QTest::newRow("installed") << true << false << false;
    QTest::newRow("installed, a Mostrela.cfg beside it") << true << true << false;
    QTest::newRow("installed, with --pasta") << true << false << true;
    QTest::newRow("a copy elsewhere") << false << false << false;
}

void TestProgramFolders::installedProgram_keepsItsSettingsInTheUsersFolder()
{
    QFETCH(bool, installed);
    QFETCH(bool, settingsBeside);
    QFETCH(bool, chosen);
    QTemporaryDir home;
    QTemporaryDir elsewhere;
    const QString binFolder =
        installed ? QStringLiteral(MOSTRELA_INSTALL_BINDIR) : elsewhere.path();
    const QString program = QDir(binFolder).filePath(QStringLiteral("mostrela"));
    if (!installed)
        QVERIFY(QFile::copy(QStringLiteral(MOSTRELA_EXECUTABLE), program));
    const QString besideSettings = QDir(binFolder).filePath(QStringLiteral("Mostrela.cfg"));
    const auto removeSettings = qScopeGuard([&] { QFile::remove(besideSettings); });
    if (settingsBeside)
        QVERIFY(QFile(besideSettings).open(QIODevice::WriteOnly));
    const QStringList before = QDir(binFolder).entryList(QDir::AllEntries | QDir::Hidden);

    QStringList command{program};
    QString expected = installed ? home.filePath(QStringLiteral(".config/Mostrela")) : binFolder;
    if (chosen) {
        expected = elsewhere.path();
        command << QStringLiteral("--pasta") << expected;
    }
    QProcess process;
    start(process, home.path(), command);
    QString log;
    QTRY_VERIFY2_WITH_TIMEOUT(
        logsFolders(process, log, expected, QDir(expected).filePath(QStringLiteral("fila"))),
        qPrintable(log), 10000);
    QVERIFY(QFileInfo::exists(QDir(expected).filePath(QStringLiteral("Mostrela.lock"))));
    stop(process);
    if (installed)
        QCOMPARE(QDir(binFolder).entryList(QDir::AllEntries | QDir::Hidden), before);
}

void TestProgramFolders::readOnlyProgramFolder_spoolGoesToTheUsersDataFolder()
{
    std::optional<QStringList> command = unprivilegedLauncher();
    if (!command)
        QSKIP("running as root, and setpriv or the user nobody is missing: permission bits "
              "would not stop the program");
    ControllerFolder folder;
    QTemporaryDir home;
    QTemporaryDir ports;
    PseudoTerminal display;
    const QString port = ports.filePath(QStringLiteral("porta"));
    folder.settings().setText(Key::Porta, port);
    folder.settings().setLigaFicheiros(true);
    folder.writeConfig();
    QByteArray expected;
    for (const char* text : {"1-um", "2-dois", "3-tres"}) {
        QVERIFY(folder.drop(QString::fromLatin1(text) + QStringLiteral(".dsp"), text));
        expected += usualDisplayMessage(text, "");
    }
    const QString program = folder.filePath(QStringLiteral("mostrela"));
    QVERIFY(QFile::copy(QStringLiteral(MOSTRELA_EXECUTABLE), program));
    for (const QString& path :
         {folder.dropFolder(), home.path(), ports.path(), display.slavePath()})
        QVERIFY(QFile::setPermissions(path, everyone));
    QVERIFY(QFile::setPermissions(folder.configPath(), QFile::ReadOwner | QFile::ReadOther));
    QVERIFY(QFile::setPermissions(folder.path(), readOnlyFolder));
    const auto writable = qScopeGuard([&] { QFile::setPermissions(folder.path(), everyone); });

    QProcess process;
    start(process, home.path(), *command << program);
    QString log;
    // Taken while the display is still missing: each message waits in the spool.
    QTRY_VERIFY_WITH_TIMEOUT(folder.dropFilesLeft().isEmpty(), 15000);
    const QString data = home.filePath(QStringLiteral(".local/share/Mostrela"));
    const QString spool = QDir(data).filePath(QStringLiteral("fila"));
    QVERIFY2(logsFolders(process, log, folder.path(), spool), qPrintable(log));
    QVERIFY(QFileInfo::exists(QDir(data).filePath(QStringLiteral("Mostrela.lock"))));
    QCOMPARE(mode(spool), ownerOnlyFolder);
    const QFileInfoList entries = QDir(spool).entryInfoList(QDir::Files);
    QCOMPARE(entries.size(), 3);
    for (const QFileInfo& entry : entries)
        QCOMPARE(mode(entry.filePath()), ownerOnlyFile);
    QCOMPARE(QDir(folder.path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
             QStringList({"Mostrela.cfg", "entrada", "mostrela"}));

    QVERIFY(QFile::link(display.slavePath(), port));
    QTRY_COMPARE_WITH_TIMEOUT(display.received(), expected, 15000);
    stop(process);
}

QTEST_GUILESS_MAIN(TestProgramFolders)
#include "test_program_folders.moc"
