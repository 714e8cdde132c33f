#include "support/controller_rig.h"
#include "support/file_bytes.h"
#include "support/pseudo_terminal.h"
#include "support/test_main.h"
#include "support/unprivileged_user.h"
#include "support/unwritable_folder.h"
#include "support/usual_display.h"
#include "support/verify_says.h"

#include <QAbstractButton>
#include <QLineEdit>

#include <optional>
#include <unistd.h>

using Key = Settings::Key;

namespace {

// What Mostrela.cfg is, where it is kept as people set it up.
enum class Target { Device, FileElsewhere, NoFileYet, SharedInLockedFolder, OtherAccount };

using Ownership = std::pair<uint, QFile::Permissions>;

Ownership ownership(const QString& path)
{
    return {QFileInfo(path).ownerId(), modeBits(path)};
}

void typeAndSave(RunningController& running, const QString& text)
{
    auto* edit = child<QLineEdit>(running.menu(), "txtDefault_Linha1");
    edit->selectAll();
    QTest::keyClicks(edit, text);
    child<QAbstractButton>(running.menu(), "cmdGravarConfigura")->click();
}

} // namespace

Q_DECLARE_METATYPE(Target)

// Saving the settings while the controller runs: where its folder cannot be written to, and where
// Mostrela.cfg is a link or a file that others share.
class TestFaultSettings : public QObject {
    Q_OBJECT
private slots:
    void saveToReadOnlyFolder_failsClearly_keepsTheFile_laterSaveSucceeds()
    {
        ControllerRig rig;
        ControllerFolder& folder = rig.folder;
        RunningController& running = rig.startOnFiles();
        const QByteArray saved = fileBytes(folder.configPath());
        // A file that can be written would be written in place.
        QVERIFY(QFile::setPermissions(folder.configPath(), QFile::ReadOwner));
        {
            // No event may run while the process has the other identity: click() saves at once.
            UnwritableFolder unwritable(folder.path());
            typeAndSave(running, "Boas compras");
        }
        QVERIFY(QFile::setPermissions(folder.configPath(), QFile::ReadOwner | QFile::WriteOwner));
        VERIFY_SAYS(running.lblError(), folder.configPath());
        QCOMPARE(fileBytes(folder.configPath()), saved);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList({"Mostrela.cfg"}));

        // The run goes on, and the failure stays in sight until a save gets through.
        QVERIFY(folder.drop("1.dsp", "Depois da falha"));
        QTRY_COMPARE_WITH_TIMEOUT(rig.display.received(),
                                  usualDisplayMessage("Depois da falha", ""), 10000);
        VERIFY_SAYS(running.lblError(), folder.configPath());

        child<QAbstractButton>(running.menu(), "cmdGravarConfigura")->click();
        QCOMPARE(running.lblError(), QString());
        Controller restarted(folder.path());
        restarted.load(QString());
        QCOMPARE(restarted.settings().text(Key::Default_Linha1), "Boas compras");
        QCOMPARE(restarted.settings().text(Key::Porta), rig.display.name());
    }

    void saveThroughLinksAndSharedFiles_writesOnlyARegularFile_keepingItsOwnerAndMode_data()
    {
        QTest::addColumn<Target>("target");
        QTest::newRow("link to a device") << Target::Device;
        QTest::newRow("link to a file in another folder") << Target::FileElsewhere;
        QTest::newRow("link to a file not made yet") << Target::NoFileYet;
        QTest::newRow("file shared by all, in a folder it may not write")
            << Target::SharedInLockedFolder;
        QTest::newRow("another account's file, saved by root") << Target::OtherAccount;
    }

    // A link is followed only to a regular file (or to none yet) and stays a link; anything else is
    // refused, named, untouched. A file keeps its owner and mode for those who share it, written in
    // place where the folder is locked; a password that others may read is pointed out once.
    void saveThroughLinksAndSharedFiles_writesOnlyARegularFile_keepingItsOwnerAndMode()
    {
        QFETCH(Target, target);
        if (target == Target::OtherAccount && ::geteuid() != 0)
            QSKIP("only root may save a file that another account owns");
        ControllerFolder folder;
        PseudoTerminal display;
        PseudoTerminal device;
        QTemporaryDir elsewhere;
        folder.settings().setText(Key::Porta, display.slavePath());
        if (target == Target::SharedInLockedFolder)
            folder.settings().setText(Key::SQL_Password, "segredo");
        folder.writeConfig();
        const QString config = folder.configPath();
        QString file = config;
        if (target == Target::Device)
            file = device.slavePath();
        else if (target == Target::FileElsewhere || target == Target::NoFileYet)
            file = elsewhere.filePath("Mostrela.cfg");
        if (target == Target::FileElsewhere)
            QVERIFY(QFile::copy(config, file));
        if (file != config)
            QVERIFY(QFile::remove(config) && QFile::link(file, config));
        const QFile::Permissions readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        if (target == Target::FileElsewhere)
            QVERIFY(QFile::setPermissions(file, readable | QFile::WriteOwner));
        if (target == Target::SharedInLockedFolder)
            QVERIFY(QFile::setPermissions(file, readable | QFile::WriteOwner | QFile::WriteGroup |
                                                    QFile::WriteOther));
        if (target == Target::OtherAccount) {
            QCOMPARE(::chown(QFile::encodeName(file).constData(), nobody, nobody), 0);
            QVERIFY(QFile::setPermissions(file,
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        }
        const Ownership before = target == Target::NoFileYet
                                     ? Ownership{::geteuid(), QFile::ReadOwner | QFile::WriteOwner}
                                     : ownership(file);

        // Said once, across both saves, and only where it is so.
        const QRegularExpression passwordWarning("guarda a palavra-passe");
        if (target == Target::SharedInLockedFolder)
            QTest::ignoreMessage(QtWarningMsg, passwordWarning);
        QTest::failOnWarning(passwordWarning);
        RunningController running(folder.path());
        for (const char* text : {"Boas compras", "Volte sempre"}) {
            std::optional<UnwritableFolder> locked;
            if (target == Target::SharedInLockedFolder)
                locked.emplace(folder.path());
            typeAndSave(running, QString::fromLatin1(text));
        }
        if (file != config)
            QVERIFY(QFileInfo(config).isSymLink());
        if (target == Target::Device) {
            VERIFY_SAYS(running.lblError(), file);
            QCOMPARE(device.received(), QByteArray());
            return;
        }
        QCOMPARE(running.lblError(), QString());
        QVERIFY(fileBytes(file).contains("Default_Linha1=Volte sempre\r\n"));
        QCOMPARE(ownership(file), before);
    }
};

MOSTRELA_TEST_MAIN(TestFaultSettings)
#include "test_fault_settings.moc"
