#include "pseudo_terminal.h"
#include "support/controller_folder.h"
#include "support/running_controller.h"
#include "support/unwritable_folder.h"
#include "usual_display.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QtTest>

using Key = Settings::Key;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Saving the settings while the controller runs and its folder cannot be written to.
class TestFaultSettings : public QObject {
    Q_OBJECT
private slots:
    void saveToReadOnlyFolder_failsClearly_keepsTheFile_laterSaveSucceeds();
};

void TestFaultSettings::saveToReadOnlyFolder_failsClearly_keepsTheFile_laterSaveSucceeds()
{
    ControllerFolder folder;
    PseudoTerminal display;
    folder.settings().setText(Key::Porta, display.slavePath());
    folder.settings().setLigaFicheiros(true);
    folder.writeConfig();
    const QByteArray saved = fileBytes(folder.configPath());
    RunningController running(folder.path());
    auto* edit = running.menu().findChild<QLineEdit*>(QStringLiteral("txtDefault_Linha1"));
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("Boas compras"));
    auto* save = running.menu().findChild<QAbstractButton*>(QStringLiteral("cmdGravarConfigura"));

    {
        // No event may run while the process has the other identity: click() saves at once.
        UnwritableFolder unwritable(folder.path());
        save->click();
    }
    QVERIFY2(running.lblError().contains(folder.configPath()), qPrintable(running.lblError()));
    QCOMPARE(fileBytes(folder.configPath()), saved);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList({"Mostrela.cfg"}));

    // The run goes on, and the failure stays in sight until a save gets through.
    QVERIFY(folder.drop(QStringLiteral("1.dsp"), "Depois da falha"));
    QTRY_COMPARE_WITH_TIMEOUT(display.received(), usualDisplayMessage("Depois da falha", ""),
                              10000);
    QVERIFY2(running.lblError().contains(folder.configPath()), qPrintable(running.lblError()));

    save->click();
    QCOMPARE(running.lblError(), QString());
    Controller restarted(folder.path());
    restarted.load(QString());
    QCOMPARE(restarted.settings().text(Key::Default_Linha1), QStringLiteral("Boas compras"));
    QCOMPARE(restarted.settings().text(Key::Porta), display.slavePath());
}

QTEST_MAIN(TestFaultSettings)
#include "test_fault_settings.moc"
