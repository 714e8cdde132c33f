#include "support/unwritable_folder.h"
#include "window/menu.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

using Key = Settings::Key;

namespace {

// A window over a temporary folder, as the program builds it beside its Mostrela.cfg.
struct Window {
    QTemporaryDir folder;
    Controller controller{folder.path()};
    Menu menu{controller};

    Window() { menu.show(); }

    void writeConfig(const QByteArray& bytes)
    {
        QFile file(controller.configPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray configBytes() const
    {
        QFile file(controller.configPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    template <typename T> T* child(const char* name)
    {
        T* found = menu.findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control named %s", name);
        return found;
    }
    QString lblError() { return child<QLabel>("lblError")->text(); }
    QString currentFrame()
    {
        return child<QStackedWidget>("paginas")->currentWidget()->objectName();
    }
    // Clicks near the left edge, where a check or option button has its indicator.
    void click(const char* name)
    {
        QAbstractButton* button = child<QAbstractButton>(name);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }
    void type(const char* name, const QString& text)
    {
        QLineEdit* edit = child<QLineEdit>(name);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
};

const QByteArray timers53 = "SegundosTimerSQL=5\r\nSegundosTimerDisplay=3\r\n";

} // namespace

class TestMenu : public QObject {
    Q_OBJECT
private slots:
    void opening_showsRunningPageWithNoButtonPressedAndTitleWithVersionAndFolder();
    void startup_autoInAnyCaseSelectsRunningPage_data();
    void startup_autoInAnyCaseSelectsRunningPage();
    void startup_missingFileKeepsInitialValuesAndIgnoresAuto();
    void startup_refusedPollingIntervalEndsTheSequence();
    void startup_loadsFieldsIntoTheControls();
    void pages_runningPageAppliesTypedIntervalsAndEnablesPolling();
    void pages_settingsPagesStopPollingButNotTheRotation();
    void pages_refusedIntervalIsSkippedSilently();
    void pages_selectedPageIsAlwaysInFront();
    void saving_everyButtonWritesAllFieldsIncludingUnsavedEdits();
    void saving_failureShowsInLabelAndNextSaveClearsIt();
    void controls_followTheirRules();
    void dropFolderPath_losesOneTrailingSeparatorOnFocusOut();
    void queueList_rowClickedIsTheQueuesSelection();
};

void TestMenu::opening_showsRunningPageWithNoButtonPressedAndTitleWithVersionAndFolder()
{
    Window window;
    window.writeConfig(timers53);
    window.menu.load(QString());
    QCOMPARE(window.menu.windowTitle(),
             QStringLiteral("Controlador de Display       [Ver 1.1] - ") +
                 QDir::toNativeSeparators(window.folder.path()));
    QCOMPARE(window.menu.pos(), QPoint(0, 0));
    QCOMPARE(window.currentFrame(), QStringLiteral("fraExecutando"));
    for (const char* name : {"optDisplay", "optSQL", "optConfigura", "optExecutando"})
        QVERIFY(!window.child<QAbstractButton>(name)->isChecked());
    QCOMPARE(window.child<QGroupBox>("fraExecutando")->title(), QStringLiteral("Em Execução"));
    QCOMPARE(window.child<QLabel>("lblError")->toolTip(), QStringLiteral("Relatório de Falhas"));
    // Polling is enabled from the start but reads nothing until "Executar" is selected.
    QCOMPARE(window.controller.page(), Controller::Page::None);
    QVERIFY(window.controller.tmrVerifica().isEnabled());
    QVERIFY(window.controller.tmrDisplay().isTicking());
}

void TestMenu::startup_autoInAnyCaseSelectsRunningPage_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<bool>("selected");
    QTest::newRow("AUTO") << "AUTO" << true;
    QTest::newRow("auto") << "auto" << true;
    QTest::newRow("Auto") << "Auto" << true;
    QTest::newRow("extra word") << "AUTO x" << false;
    QTest::newRow("surrounding blank") << " AUTO" << false;
    QTest::newRow("nothing") << "" << false;
}

void TestMenu::startup_autoInAnyCaseSelectsRunningPage()
{
    QFETCH(QString, commandLine);
    QFETCH(bool, selected);
    Window window;
    window.writeConfig(timers53);
    window.menu.load(commandLine);
    QCOMPARE(window.child<QAbstractButton>("optExecutando")->isChecked(), selected);
    QCOMPARE(window.controller.page() == Controller::Page::Executando, selected);
    QCOMPARE(window.controller.tmrVerifica().interval(), 5000);
    QCOMPARE(window.controller.tmrDisplay().interval(), 3000);
    QCOMPARE(window.lblError(), QString());
}

void TestMenu::startup_missingFileKeepsInitialValuesAndIgnoresAuto()
{
    Window window;
    window.menu.load(QStringLiteral("AUTO"));
    QVERIFY2(window.lblError().contains(QStringLiteral("Mostrela.cfg")),
             qPrintable(window.lblError()));
    QCOMPARE(window.controller.page(), Controller::Page::None);
    QVERIFY(!window.child<QAbstractButton>("optExecutando")->isChecked());
    QCOMPARE(window.controller.tmrVerifica().interval(), 2000);
    QCOMPARE(window.controller.tmrDisplay().interval(), 1000);
    QCOMPARE(window.child<QLineEdit>("txtNumLetras")->text(), QStringLiteral("20"));
}

void TestMenu::startup_refusedPollingIntervalEndsTheSequence()
{
    Window window;
    window.writeConfig("SegundosTimerSQL=70\r\nSegundosTimerDisplay=3\r\n");
    window.menu.load(QStringLiteral("AUTO"));
    QVERIFY2(window.lblError().contains(QStringLiteral("70000")), qPrintable(window.lblError()));
    QCOMPARE(window.controller.tmrVerifica().interval(), 2000);
    QCOMPARE(window.controller.tmrDisplay().interval(), 1000);
    QCOMPARE(window.controller.page(), Controller::Page::None);

    Window half;
    half.writeConfig("SegundosTimerSQL=0.5\r\n");
    half.menu.load(QString());
    QCOMPARE(half.controller.tmrVerifica().interval(), 500);
}

void TestMenu::startup_loadsFieldsIntoTheControls()
{
    Window window;
    window.writeConfig("Porta=/dev/ttyUSB0\r\nMostraDefault=2\r\nLigaSQL=1\r\nLigaFicheiros=1\r\n"
                       "Default_Linha2=Pre\xe7o\r\n");
    window.menu.load(QString());
    QCOMPARE(window.child<QLineEdit>("txtPorta")->text(), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(window.child<QLineEdit>("txtDefault_Linha2")->text(), QStringLiteral("Preço"));
    QCOMPARE(window.child<QCheckBox>("chkMostraDefault")->checkState(), Qt::PartiallyChecked);
    QVERIFY(window.child<QAbstractButton>("optLigaSQL")->isChecked());
    QVERIFY(window.child<QAbstractButton>("optLigaFicheiros")->isChecked());
}

void TestMenu::pages_runningPageAppliesTypedIntervalsAndEnablesPolling()
{
    Window window;
    window.menu.load(QString());
    window.click("optConfigura");
    window.type("txtSegundosTimerSQL", QStringLiteral("5"));
    window.type("txtSegundosTimerDisplay", QStringLiteral("3"));
    QVERIFY(!window.controller.tmrVerifica().isEnabled());
    window.click("optExecutando");
    QVERIFY(window.controller.tmrVerifica().isEnabled());
    QCOMPARE(window.controller.tmrVerifica().interval(), 5000);
    QCOMPARE(window.controller.tmrDisplay().interval(), 3000);
    QCOMPARE(window.currentFrame(), QStringLiteral("fraExecutando"));

    // An empty display interval stops the rotation's ticks until a non-zero one is applied.
    window.click("optConfigura");
    window.type("txtSegundosTimerDisplay", QString());
    window.click("optExecutando");
    QCOMPARE(window.controller.tmrDisplay().interval(), 0);
    QVERIFY(window.controller.tmrDisplay().isEnabled());
    QVERIFY(!window.controller.tmrDisplay().isTicking());
    window.type("txtSegundosTimerDisplay", QStringLiteral("2"));
    window.click("optExecutando");
    QVERIFY(window.controller.tmrDisplay().isTicking());
}

void TestMenu::pages_settingsPagesStopPollingButNotTheRotation()
{
    Window window;
    window.writeConfig(timers53);
    window.menu.load(QStringLiteral("AUTO"));
    for (const char* name : {"optDisplay", "optSQL", "optConfigura"}) {
        window.click("optExecutando");
        QVERIFY(window.controller.tmrVerifica().isTicking());
        window.click(name);
        QVERIFY(!window.controller.tmrVerifica().isEnabled());
        QVERIFY(!window.controller.tmrVerifica().isTicking());
        QVERIFY(window.controller.tmrDisplay().isTicking());
    }
}

void TestMenu::pages_refusedIntervalIsSkippedSilently()
{
    Window window;
    window.writeConfig(timers53);
    window.menu.load(QString());
    window.click("optConfigura");
    window.type("txtSegundosTimerSQL", QStringLiteral("70"));
    window.type("txtSegundosTimerDisplay", QStringLiteral("-1"));
    window.click("optExecutando");
    QCOMPARE(window.controller.tmrVerifica().interval(), 5000);
    QCOMPARE(window.controller.tmrDisplay().interval(), 3000);
    QVERIFY(window.controller.tmrVerifica().isEnabled());
    QCOMPARE(window.currentFrame(), QStringLiteral("fraExecutando"));
    QCOMPARE(window.lblError(), QString());
}

void TestMenu::pages_selectedPageIsAlwaysInFront()
{
    Window window;
    window.menu.load(QString());
    const std::pair<const char*, const char*> steps[] = {
        {"optDisplay", "fraDisplay"},       {"optSQL", "fraSQL"},
        {"optDisplay", "fraDisplay"},       {"optConfigura", "fraConfigura"},
        {"optExecutando", "fraExecutando"}, {"optSQL", "fraSQL"},
    };
    for (const auto& [button, frame] : steps) {
        window.click(button);
        QCOMPARE(window.currentFrame(), QString::fromLatin1(frame));
        QVERIFY(window.child<QAbstractButton>(button)->isChecked());
    }
}

void TestMenu::saving_everyButtonWritesAllFieldsIncludingUnsavedEdits()
{
    Window window;
    window.menu.load(QString());
    int port = 2;
    for (const char* button : {"cmdGravarDisplay", "cmdGravarSQL", "cmdGravarConfigura"}) {
        window.type("txtPorta", QString::number(port));
        window.type("txtSQL_Password", QStringLiteral("segredo"));
        window.click(button);
        const QByteArray bytes = window.configBytes();
        QVERIFY(bytes.startsWith("Porta=" + QByteArray::number(port) + "\r\n"));
        QVERIFY(bytes.contains("\r\nSQL_Password=segredo\r\n"));
        QCOMPARE(bytes.count("\r\n"), 18);
        ++port;
    }
}

void TestMenu::saving_failureShowsInLabelAndNextSaveClearsIt()
{
    Window window;
    window.writeConfig(timers53);
    window.menu.load(QString());
    window.type("txtNumLetras", QStringLiteral("16"));
    {
        UnwritableFolder unwritable(window.folder.path());
        window.click("cmdGravarDisplay");
    }
    QVERIFY2(window.lblError().contains(window.controller.configPath()),
             qPrintable(window.lblError()));
    QCOMPARE(window.configBytes(), timers53);
    window.menu.GravarMostrela_cfg();
    QCOMPARE(window.lblError(), QString());
    QVERIFY(window.configBytes().contains("\r\nNumLetras=16\r\n"));
}

void TestMenu::controls_followTheirRules()
{
    Window window;
    window.menu.load(QString());
    for (const char* name : {"txtInitMostrador", "txtLimpa", "txtInitLinha1", "txtInitLinha2",
                             "txtFimLinha1", "txtFimLinha2"})
        QCOMPARE(window.child<QLineEdit>(name)->maxLength(), 30);
    QCOMPARE(window.child<QLineEdit>("txtSQL_Password")->echoMode(), QLineEdit::Password);
    QCOMPARE(window.child<QLineEdit>("txtDefault_Linha2")->toolTip(),
             QStringLiteral("Data e Hora Actual -> #DataHora#"));

    // The check box toggles between ticked and unticked by hand.
    window.click("optConfigura");
    window.click("chkMostraDefault");
    QCOMPARE(window.controller.settings().mostraDefault(), 1);
    window.click("chkMostraDefault");
    QCOMPARE(window.controller.settings().mostraDefault(), 0);

    // The two sources are independent: both may be on.
    window.click("optSQL");
    window.click("optLigaSQL");
    window.click("optLigaFicheiros");
    QVERIFY(window.controller.settings().ligaSQL());
    QVERIFY(window.controller.settings().ligaFicheiros());
    window.click("optLigaSQL");
    QVERIFY(!window.controller.settings().ligaSQL());

    QStringList captions;
    for (const QLabel* label : window.menu.findChildren<QLabel*>())
        captions << label->text();
    for (const char* caption : {"Nº Letras p/ Linha", "(27+81+65)", "Finalização Linha 2",
                                "Nº Segundos para visualização da Informação", "Base Dados"})
        QVERIFY2(captions.contains(QString::fromUtf8(caption)), caption);
}

void TestMenu::dropFolderPath_losesOneTrailingSeparatorOnFocusOut()
{
    Window window;
    window.menu.load(QString());
    QLineEdit* path = window.child<QLineEdit>("txtLigaFicheirosPath");
    window.type("txtLigaFicheirosPath", QStringLiteral("C:\\Vendas\\\\"));
    QFocusEvent focusOut(QEvent::FocusOut);
    QApplication::sendEvent(path, &focusOut);
    QCOMPARE(path->text(), QStringLiteral("C:\\Vendas\\"));
    QApplication::sendEvent(path, &focusOut);
    QCOMPARE(window.controller.settings().text(Key::LigaFicheirosPath),
             QStringLiteral("C:\\Vendas"));
    QApplication::sendEvent(path, &focusOut);
    QCOMPARE(path->text(), QStringLiteral("C:\\Vendas"));
}

void TestMenu::queueList_rowClickedIsTheQueuesSelection()
{
    Window window;
    for (int row = 1; row <= 5; ++row)
        window.controller.queue().append(
            {QStringLiteral("ordem"), QStringLiteral("Linha %1").arg(row), {}});
    auto* list = window.child<QTreeView>("lvwLista");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(window.controller.queue().index(2, 1)).center());
    QCOMPARE(window.controller.queue().selectedRow(), std::optional<int>(2));
}

QTEST_MAIN(TestMenu)
#include "test_menu.moc"
