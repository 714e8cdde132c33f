#include "app/folder_lock.h"
#include "app/settings_folder.h"
#include "core/log_file.h"
#include "support/file_bytes.h"
#include "support/test_main.h"
#include "support/unwritable_folder.h"

#include <optional>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

// Which folder holds Mostrela.cfg: the one named on the command line, else the program's own when
// it has the file or can be written and is not installed, else the user's. The spool and the lock
// go beside it, or, when it is read-only, in a folder of the user's data folder for it alone.
class TestSettingsFolder : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_program;
    // Stands in for the home folder; anyone may write in it, as the test may change identity.
    QTemporaryDir m_home;

    QString userFolder() const { return m_home.filePath(".config/Mostrela"); }
    QString dataFolder() const { return m_home.filePath(".local/share/Mostrela"); }
    void writeConfig() { QVERIFY(writeFileBytes(m_program.filePath("Mostrela.cfg"), {})); }

private slots:
    void init()
    {
        QVERIFY(m_program.isValid() && m_home.isValid());
        QVERIFY(QFile::setPermissions(m_home.path(), QFileDevice::Permissions(0x7777)));
    }

    void cleanup()
    {
        QDir(userFolder()).removeRecursively();
        QDir(dataFolder()).removeRecursively();
        QFile::remove(m_program.filePath("Mostrela.cfg"));
    }

    void chosenFolder_winsOverAProgramFolderWithItsFile()
    {
        writeConfig();
        QCOMPARE(
            settingsFolder("/srv/mostrela", m_program.path(), {m_program.path()}, userFolder()),
            "/srv/mostrela");
    }

    void programFolder_whenItHasTheFileOrCanBeWritten_data()
    {
        QTest::addColumn<bool>("withFile");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("programFolderChosen");
        QTest::newRow("writable, no file") << false << true << false << true;
        QTest::newRow("writable, with file") << true << true << false << true;
        QTest::newRow("read-only, with file") << true << false << false << true;
        QTest::newRow("read-only, no file") << false << false << false << false;
        // Installed: in the prefix's bin folder, or anywhere under Program Files.
        QTest::newRow("installed, writable, with file") << true << true << true << false;
        QTest::newRow("installed, read-only") << false << false << true << false;
    }

    void programFolder_whenItHasTheFileOrCanBeWritten()
    {
        QFETCH(bool, withFile);
        QFETCH(bool, writable);
        QFETCH(bool, installed);
        QFETCH(bool, programFolderChosen);
        if (const char* why = UnwritableFolder::unavailable(); why && !writable)
            QSKIP(why);
        const QStringList places{installed ? QFileInfo(m_program.path()).path()
                                           : QStringLiteral("/usr/bin")};
        if (withFile)
            writeConfig();
        const QStringList before =
            QDir(m_program.path()).entryList(QDir::AllEntries | QDir::Hidden);

        std::optional<UnwritableFolder> readOnly;
        if (!writable)
            readOnly.emplace(m_program.path());
        const QString chosen = settingsFolder(QString(), m_program.path(), places, userFolder());
        readOnly.reset();

        QCOMPARE(chosen, programFolderChosen ? m_program.path() : userFolder());
        // What --help says of the default folder.
        QCOMPARE(defaultSettingsFolderText(m_program.path(), places).startsWith("a do programa"),
                 !installed);
        // The user's folder is made only when it is the one in use.
        QCOMPARE(QFileInfo(userFolder()).isDir(), !programFolderChosen);
        // Trying whether the folder can be written leaves nothing behind.
        QCOMPARE(QDir(m_program.path()).entryList(QDir::AllEntries | QDir::Hidden), before);
    }

    // A lock left under this process's number, given again after a restart, is taken over: no
    // running process holds it. It is left as QLockFile writes it, host name and all.
    void folderLock_leftUnderThisProcessNumber_isTakenOver()
    {
        const QString path = m_program.filePath("Mostrela.lock");
        QByteArray written;
        {
            QLockFile own(path + QStringLiteral(".own"));
            QVERIFY(own.tryLock());
            written = fileBytes(own.fileName());
        }
        QVERIFY(writeFileBytes(path, written));

        FolderLock lock(path);
        QTest::ignoreMessage(
            QtInfoMsg,
            QRegularExpression(QStringLiteral("reservada pelo processo %1, que terminou sem")
                                   .arg(QCoreApplication::applicationPid())));
        QCOMPARE(lock.take(), QString());
        QLockFile other(path);
        QVERIFY(!other.tryLock());
    }

    void controllerFiles_besideTheSettings_orInTheDataFolderOfThatFolderAlone()
    {
        const ControllerFiles writable = controllerFiles(m_program.path(), dataFolder());
        QCOMPARE(writable.spoolFolder, m_program.filePath("fila"));
        QCOMPARE(writable.lockFile, m_program.filePath("Mostrela.lock"));
        QCOMPARE(writable.logFile, m_program.filePath("Mostrela.log"));
        QVERIFY(!QFileInfo::exists(dataFolder()));

        // Two read-only program folders of one name, for one user.
        if (const char* why = UnwritableFolder::unavailable())
            QSKIP(why);
        QTemporaryDir other;
        const QString first = m_program.filePath("loja");
        const QString second = other.filePath("loja");
        for (const QString& folder : {first, second})
            QVERIFY(QDir().mkpath(folder));
        // A spool that an earlier version shared between such folders is left alone, and named.
        const QString shared = QDir(dataFolder()).filePath("fila");
        QVERIFY(QDir().mkpath(shared));
        const QString left = QDir(shared).filePath("00000001.msg");
        QVERIFY(writeFileBytes(left, {}));
        QVERIFY(QFile::setPermissions(dataFolder(), QFileDevice::Permissions(0x7777)));
        QVERIFY(QFile::setPermissions(shared, QFileDevice::Permissions(0x7777)));
        QList<ControllerFiles> found;
        for (const QString& folder : {first, second, first}) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(
                                                   "fila partilhada .* tem 1 mensagens")));
            UnwritableFolder readOnly(folder);
            found << controllerFiles(folder, dataFolder());
        }
        QCOMPARE(found[2].spoolFolder, found[0].spoolFolder);
        QVERIFY(found[1].spoolFolder != found[0].spoolFolder);
        QVERIFY(found[1].lockFile != found[0].lockFile);
        for (const ControllerFiles& files : found) {
            const QFileInfo own(QFileInfo(files.spoolFolder).path());
            QCOMPARE(own.path(), dataFolder());
            QVERIFY2(own.fileName().startsWith("loja-"), qPrintable(own.fileName()));
            QVERIFY(own.isDir());
            QCOMPARE(QFileInfo(files.lockFile).path(), own.filePath());
            QCOMPARE(QFileInfo(files.logFile).path(), own.filePath());
        }
        QVERIFY(QFile::exists(left));
    }

    // A line that would take the log's file past its bound moves it aside, replacing the older one.
    void logFile_keepsTheLatestLinesInTwoFilesWithinTheBound()
    {
        const QString path = m_program.filePath("Mostrela.log");
        const QString older = m_program.filePath("Mostrela-anterior.log");
        QCOMPARE(LogFile::olderPath(path), older);
        const LogFile log(path, 100);
        QStringList lines;
        for (int number = 10; number < 40; ++number) {
            lines << QStringLiteral("Linha nº %1").arg(number);
            QVERIFY(log.append(lines.last()));
        }
        const QStringList kept = QString::fromUtf8(fileBytes(older) + fileBytes(path))
                                     .remove(u'\r')
                                     .split(u'\n', Qt::SkipEmptyParts);
        for (const QString& file : {path, older})
            QVERIFY(QFileInfo(file).size() <= 100);
        QVERIFY(kept.size() > 5);
        QCOMPARE(kept, lines.mid(lines.size() - kept.size()));
    }

    void withoutHome_theUsersFoldersAreUnderTheHomeTheSystemKnows()
    {
#ifdef Q_OS_UNIX
        const QByteArray former = qgetenv("HOME");
        qunsetenv("HOME");
        settleHomeFolder();
        const QByteArray settled = qgetenv("HOME");
        qputenv("HOME", former);
        QCOMPARE(settled, QByteArray(::getpwuid(::getuid())->pw_dir));
        // A home that is set stays as it is.
        settleHomeFolder();
        QCOMPARE(qgetenv("HOME"), former);
#else
        QSKIP("Windows gives a user's folders without HOME");
#endif
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestSettingsFolder)
#include "test_settings_folder.moc"
