#include "app/folder_lock.h"
#include "app/settings_folder.h"
#include "support/unwritable_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

// Which folder holds Mostrela.cfg: the one named on the command line, else the program's own
// when it has a Mostrela.cfg or can be written, else the user's configuration folder.
class TestSettingsFolder : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_program;
    // Stands in for the home folder; anyone may write in it, as the test may change identity.
    QTemporaryDir m_home;

    QString userFolder() const { return m_home.filePath(QStringLiteral(".config/Mostrela")); }
    void writeConfig()
    {
        QFile file(QDir(m_program.path()).filePath(QStringLiteral("Mostrela.cfg")));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

private slots:
    void init()
    {
        QVERIFY(m_program.isValid() && m_home.isValid());
        QVERIFY(QFile::setPermissions(m_home.path(), QFileDevice::Permissions(0x7777)));
    }

    void cleanup()
    {
        QDir(userFolder()).removeRecursively();
        QFile::remove(QDir(m_program.path()).filePath(QStringLiteral("Mostrela.cfg")));
    }

    void chosenFolder_winsOverAProgramFolderWithItsFile()
    {
        writeConfig();
        QCOMPARE(settingsFolder(QStringLiteral("/srv/mostrela"), m_program.path(), QString(),
                                userFolder()),
                 QStringLiteral("/srv/mostrela"));
    }

    void programFolder_whenItHasTheFileOrCanBeWritten_data()
    {
        QTest::addColumn<bool>("withFile");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("programFolderChosen");
        QTest::newRow("writable, no file") << false << true << true;
        QTest::newRow("writable, with file") << true << true << true;
        QTest::newRow("read-only, with file") << true << false << true;
        QTest::newRow("read-only, no file") << false << false << false;
    }

    void programFolder_whenItHasTheFileOrCanBeWritten()
    {
        QFETCH(bool, withFile);
        QFETCH(bool, writable);
        QFETCH(bool, programFolderChosen);
        if (withFile)
            writeConfig();
        const QStringList before =
            QDir(m_program.path()).entryList(QDir::AllEntries | QDir::Hidden);

        QString chosen;
        {
            std::optional<UnwritableFolder> readOnly;
            if (!writable)
                readOnly.emplace(m_program.path());
            chosen = settingsFolder(QString(), m_program.path(), QString(), userFolder());
        }

        QCOMPARE(chosen, programFolderChosen ? m_program.path() : userFolder());
        // The user's folder is made only when it is the one in use.
        QCOMPARE(QFileInfo(userFolder()).isDir(), !programFolderChosen);
        // Trying whether the folder can be written leaves nothing behind.
        QCOMPARE(QDir(m_program.path()).entryList(QDir::AllEntries | QDir::Hidden), before);
    }

    // A lock left by a controller whose process number this one was given again (after a
    // restart of the system) is taken over: no running process holds it.
    void folderLock_leftUnderThisProcessNumber_isTakenOver()
    {
        const QString path = QDir(m_program.path()).filePath(QStringLiteral("Mostrela.lock"));
        QFile left(path);
        QVERIFY(left.open(QIODevice::WriteOnly));
        left.write(QByteArray::number(QCoreApplication::applicationPid()) + "\nmostrela\n" +
                   QSysInfo::machineHostName().toUtf8() + "\n");
        left.close();

        FolderLock lock(path);
        QCOMPARE(lock.take(), QString());
        QLockFile other(path);
        QVERIFY(!other.tryLock());
    }
};

QTEST_GUILESS_MAIN(TestSettingsFolder)
#include "test_settings_folder.moc"
