#include "support/open_window.h"
#include "support/test_main.h"
#include "support/unwritable_folder.h"
#include "support/verify_says.h"
#include "window/elided_label.h"
#include "window/field_check.h"
#include "window/menu.h"
#include "window/port_choices.h"
#include "window/queue_columns.h"
#include "window/status_line.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSerialPortInfo>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeView>

#include <utility>

using Key = Settings::Key;
using Intervals = std::pair<int, int>;

namespace {

constexpr std::nullopt_t noFile = std::nullopt; // no Mostrela.cfg at start

struct Window : OpenWindow {
    Window() = default; // shown, not loaded
    // Loaded as the program loads it at start: Mostrela.cfg holding `config`, and the command line.
    explicit Window(const std::optional<QByteArray>& config, const QString& commandLine = {})
    {
        if (config)
            writeConfig(*config);
        menu.load(commandLine);
    }

    Settings& settings() { return controller.settings(); }
    QString field(const QString& name) { return child<QLineEdit>(name)->text(); }
    QString toolTip(const QString& name) { return child<QWidget>(name)->toolTip(); }
    QString statusBar() { return child<StatusLine>("barraEstado")->said(); }
    QString configPath() { return QDir::toNativeSeparators(controller.configPath()); }
    // The polling and the rotation's.
    Intervals intervals()
    {
        return {controller.tmrVerifica().interval(), controller.tmrDisplay().interval()};
    }
    bool marked(const char* name, const char* mark = FieldCheck::markProperty)
    {
        return child<QLineEdit>(name)->property(mark).toBool();
    }
    QString frame() { return child<QStackedWidget>("paginas")->currentWidget()->objectName(); }
};

const QByteArray timers53 = "SegundosTimerSQL=5\r\nSegundosTimerDisplay=3\r\n";

// Answers the next modal dialog of type T, once it is open, with `answer`.
template <typename T> void answerNextDialog(std::function<void(T*)> answer)
{
    QTimer::singleShot(10, [answer] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget()))
            answer(dialog);
        else
            answerNextDialog<T>(answer);
    });
}

} // namespace

class TestMenu : public QObject {
    Q_OBJECT
private slots:
    void opening_showsRunningPageWithNoButtonPressedTitleWithVersionAndEveryColumn()
    {
        Window window(timers53);
        // The title as scripts look for it.
        QCOMPARE(window.menu.windowTitle(), "Controlador de Display       [Ver 1.1]");
        QCOMPARE(window.text("lblPasta"),
                 "Pasta: " + QDir::toNativeSeparators(window.folder.path()));
        QCOMPARE(window.menu.pos(), QPoint(0, 0));
        // At its first size every column of the list shows whole, "Linha - 2" as wide as line 1.
        const QHeaderView* header = window.child<QTreeView>("lvwLista")->header();
        QTRY_VERIFY2(header->sectionSize(2) >= header->sectionSize(1) &&
                         header->sectionViewportPosition(2) + header->sectionSize(2) <=
                             header->viewport()->width(),
                     qPrintable(QString::asprintf("window %d, columns %d %d %d",
                                                  window.menu.width(), header->sectionSize(0),
                                                  header->sectionSize(1), header->sectionSize(2))));
        QCOMPARE(window.frame(), "fraExecutando");
        for (const char* name : {"optDisplay", "optSQL", "optConfigura", "optExecutando"})
            QVERIFY(!window.child<QAbstractButton>(name)->isChecked());
        QCOMPARE(window.child<QGroupBox>("fraExecutando")->title(), "Em Execução");
        QCOMPARE(window.toolTip("lblError"), "Relatório de Falhas");
        // Polling is on from the start, yet reads nothing until "Executar" is selected.
        QCOMPARE(window.controller.page(), Controller::Page::None);
        QVERIFY(window.controller.tmrVerifica().isEnabled());
        QVERIFY(window.controller.tmrDisplay().isTicking());
    }

    // AUTO on the command line selects the running page unless the polling interval is refused.
    void startup_autoInAnyCaseSelectsRunningPage_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<Intervals>("intervals");
        QTest::addColumn<QString>("failure");
        const auto row = [](const char* name, const QString& commandLine, bool selected) {
            QTest::newRow(name) << timers53 << commandLine << selected << Intervals{5000, 3000}
                                << QString();
        };
        row("AUTO", "AUTO", true);
        row("auto", "auto", true);
        row("Auto", "Auto", true);
        row("extra word", "AUTO x", false);
        row("surrounding blank", " AUTO", false);
        row("nothing", "", false);
        QTest::newRow("refused polling interval ends the sequence")
            << QByteArray("SegundosTimerSQL=70\r\nSegundosTimerDisplay=3\r\n") << "AUTO" << false
            << Intervals{2000, 1000} << "70000";
        QTest::newRow("half a second") << QByteArray("SegundosTimerSQL=0.5\r\n") << "" << false
                                       << Intervals{500, 1000} << QString();
    }

    void startup_autoInAnyCaseSelectsRunningPage()
    {
        QFETCH(QByteArray, config);
        QFETCH(QString, commandLine);
        QFETCH(QString, failure);
        Window window(config, commandLine);
        QTEST(window.child<QAbstractButton>("optExecutando")->isChecked(), "selected");
        QTEST(window.controller.page() == Controller::Page::Executando, "selected");
        QTEST(window.intervals(), "intervals");
        VERIFY_SAYS(window.lblError(), failure);
        QCOMPARE(window.lblError().isEmpty(), failure.isEmpty());
    }

    void startup_missingFileKeepsInitialValuesAndIgnoresAuto()
    {
        Window window(noFile, "AUTO");
        // The first start is no failure: the page says where the settings will go and what to set.
        QCOMPARE(window.lblError(), QString());
        auto* notice = window.child<QLabel>("lblAviso");
        for (const QString& part :
             QStringList{window.configPath(), "\"Gravar Conteúdos\"", "\"Definição do Display\"",
                         "\"Ligação ao Servidor de SQL\""})
            VERIFY_SAYS(notice->text(), part);
        // Copied out of the note, the path is the file's.
        notice->setSelection(0, int(notice->text().size()));
        VERIFY_SAYS(notice->selectedText(), window.configPath());
        QCOMPARE(window.controller.page(), Controller::Page::None);
        QVERIFY(!window.child<QAbstractButton>("optExecutando")->isChecked());
        QCOMPARE(window.intervals(), Intervals(2000, 1000));
        QCOMPARE(window.field("txtNumLetras"), "20");

        // Once saved, it is a start like any other.
        window.menu.GravarMostrela_cfg();
        QVERIFY(QFile::exists(window.controller.configPath()));
        QVERIFY2(!notice->text().contains(window.configPath()), qPrintable(notice->text()));
    }

    void startup_loadsFieldsIntoTheControls()
    {
        Window window("Porta=/dev/ttyUSB0\r\nMostraDefault=2\r\nLigaSQL=1\r\nLigaFicheiros=1\r\n"
                      "Default_Linha2=Pre\xe7o\r\n");
        QCOMPARE(window.field("txtPorta"), "/dev/ttyUSB0");
        QCOMPARE(window.field("txtDefault_Linha2"), "Preço");
        QCOMPARE(window.child<QCheckBox>("chkMostraDefault")->checkState(), Qt::PartiallyChecked);
        QVERIFY(window.child<QAbstractButton>("optLigaSQL")->isChecked());
        QVERIFY(window.child<QAbstractButton>("optLigaFicheiros")->isChecked());
    }

    void pages_runningPageAppliesTypedIntervalsAndEnablesPolling()
    {
        Window window(noFile);
        window.click("optConfigura");
        window.type("txtSegundosTimerSQL", "5");
        window.type("txtSegundosTimerDisplay", "3");
        QVERIFY(!window.controller.tmrVerifica().isEnabled());
        window.click("optExecutando");
        QVERIFY(window.controller.tmrVerifica().isEnabled());
        QCOMPARE(window.intervals(), Intervals(5000, 3000));
        QCOMPARE(window.frame(), "fraExecutando");

        // An empty display interval stops the rotation's ticks until a non-zero one is applied.
        window.click("optConfigura");
        window.type("txtSegundosTimerDisplay", QString());
        window.click("optExecutando");
        QCOMPARE(window.controller.tmrDisplay().interval(), 0);
        QVERIFY(window.controller.tmrDisplay().isEnabled());
        QVERIFY(!window.controller.tmrDisplay().isTicking());
        window.type("txtSegundosTimerDisplay", "2");
        window.click("optExecutando");
        QVERIFY(window.controller.tmrDisplay().isTicking());
    }

    // Even a polling tick that comes on a settings page reads nothing.
    void pages_settingsPagesStopPollingButNotTheRotation()
    {
        Window window;
        window.writeConfig(timers53 + "LigaFicheiros=1\r\nLigaFicheirosPath=" +
                           QFile::encodeName(window.folder.path()) +
                           "\r\nLigaSQL=1\r\nSQL_Servidor=MostrelaNenhuma\r\n");
        window.menu.load("AUTO");
        const QString dropped = window.folder.filePath("1.dsp");
        QVERIFY(writeFileBytes(dropped, "one"));
        for (const char* name : {"optDisplay", "optSQL", "optConfigura"}) {
            window.click("optExecutando");
            QVERIFY(window.controller.tmrVerifica().isTicking());
            window.click(name);
            QVERIFY(!window.controller.tmrVerifica().isEnabled());
            QVERIFY(!window.controller.tmrVerifica().isTicking());
            QVERIFY(window.controller.tmrDisplay().isTicking());
        }
        // A connection test answers on the database's thread after any step a tick started there.
        const auto databaseThreadDone = [&window] {
            QSignalSpy tested(&window.controller, &Controller::connectionTested);
            window.controller.testConnection();
            return tested.wait();
        };
        QVERIFY(databaseThreadDone());
        QSignalSpy read(&window.controller, &Controller::sourceRead);
        QSignalSpy failed(&window.controller, &Controller::sourceFailed);
        emit window.controller.tmrVerifica().tick();
        QVERIFY(databaseThreadDone());
        QCOMPARE(read.count() + failed.count(), 0);
        QVERIFY(QFile::exists(dropped));
        QCOMPARE(window.controller.queue().count(), 0);
    }

    void pages_refusedIntervalIsSkippedSilently()
    {
        Window window(timers53);
        window.click("optConfigura");
        window.type("txtSegundosTimerSQL", "70");
        window.type("txtSegundosTimerDisplay", "65.536");
        window.click("optExecutando");
        QCOMPARE(window.intervals(), Intervals(5000, 3000));
        QVERIFY(window.controller.tmrVerifica().isEnabled());
        QCOMPARE(window.frame(), "fraExecutando");
        // The failure label stays the program's, but the status bar says what was not applied.
        QCOMPARE(window.lblError(), QString());
        QCOMPARE(window.statusBar(),
                 "Verifique os campos marcados: Nº Segundos para verificação de "
                 "Informação, Nº Segundos para visualização da Informação");
    }

    void pages_selectedPageIsAlwaysInFront()
    {
        Window window(noFile);
        for (const QString page : {"Display", "SQL", "Display", "Configura", "Executando", "SQL"}) {
            window.click("opt" + page);
            QCOMPARE(window.frame(), "fra" + page);
            QVERIFY(window.child<QAbstractButton>("opt" + page)->isChecked());
        }
    }

    void saving_everyButtonWritesAllFieldsIncludingUnsavedEdits()
    {
        Window window(noFile);
        int port = 2;
        for (const char* button : {"cmdGravarDisplay", "cmdGravarSQL", "cmdGravarConfigura"}) {
            window.type("txtPorta", QString::number(++port));
            window.type("txtSQL_Password", "segredo");
            window.click(button);
            const QByteArray bytes = window.configBytes();
            QVERIFY(bytes.startsWith("Porta=" + QByteArray::number(port) + "\r\n"));
            QVERIFY(bytes.contains("\r\nSQL_Password=segredo\r\n"));
            // Every key but the two sources, which are off.
            QCOMPARE(bytes.count("\r\n"), qsizetype(settingCount) - 2);
        }
    }

    void saving_failureShowsInLabelAndNextSaveClearsIt()
    {
        if (const char* why = UnwritableFolder::unavailable())
            QSKIP(why);
        Window window(timers53);
        window.type("txtNumLetras", "16");
        {
            UnwritableFolder unwritable(window.folder.path());
            window.click("cmdGravarDisplay");
        }
        VERIFY_SAYS(window.lblError(), window.configPath());
        VERIFY_SAYS(window.statusBar(), "A configuração não foi gravada: ");
        VERIFY_SAYS(window.statusBar(), window.configPath());
        QCOMPARE(window.configBytes(), timers53);
        window.menu.GravarMostrela_cfg();
        QCOMPARE(window.lblError(), QString());
        QVERIFY(window.configBytes().contains("\r\nNumLetras=16\r\n"));
        VERIFY_READS(window.statusBar(),
                     QStringLiteral("Configuração gravada em %1 às %T.").arg(window.configPath()));
    }

    void saving_saysWhenOthersMayReadThePassword_data()
    {
        QTest::addColumn<QFile::Permissions>("mode");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("warned");
        const QFile::Permissions owner = QFile::ReadOwner | QFile::WriteOwner;
        const QFile::Permissions all = owner | QFile::ReadGroup | QFile::ReadOther;
        QTest::newRow("password, file readable by all") << all << "segredo" << true;
        QTest::newRow("password, file readable by its group")
            << (owner | QFile::ReadGroup) << "segredo" << true;
        QTest::newRow("password, file for its owner alone") << owner << "segredo" << false;
        QTest::newRow("no password, file readable by all") << all << "" << false;
    }

    void saving_saysWhenOthersMayReadThePassword()
    {
        QFETCH(QFile::Permissions, mode);
        QFETCH(QString, password);
        QFETCH(bool, warned);
#ifdef Q_OS_WIN
        if (warned)
            QSKIP("Windows files have no mode for the save to look at");
#endif
        Window window;
        window.writeConfig(timers53);
        QVERIFY(QFile::setPermissions(window.controller.configPath(), mode));
        window.menu.load(QString());
        window.settings().setText(Key::SQL_Password, password);
        window.click("cmdGravarSQL");
        VERIFY_SAYS(window.statusBar(), "Configuração gravada em ");
        QCOMPARE(window.statusBar().contains("outros utilizadores podem lê-lo") &&
                     window.statusBar().contains("chmod 600"),
                 warned);
    }

    void controls_followTheirRules()
    {
        Window window(noFile);
        for (const char* name : {"txtInitMostrador", "txtLimpa", "txtInitLinha1", "txtInitLinha2",
                                 "txtFimLinha1", "txtFimLinha2"})
            QCOMPARE(window.child<QLineEdit>(name)->maxLength(), 30);
        QCOMPARE(window.child<QLineEdit>("txtSQL_Password")->echoMode(), QLineEdit::Password);
        QCOMPARE(window.toolTip("txtDefault_Linha2"), "Data e Hora Actual -> #DataHora#");

        // The check box toggles between ticked and unticked by hand.
        window.click("optConfigura");
        window.click("chkMostraDefault");
        QCOMPARE(window.settings().mostraDefault(), 1);
        window.click("chkMostraDefault");
        QCOMPARE(window.settings().mostraDefault(), 0);

        // The two sources are independent: both may be on.
        window.click("optSQL", "optLigaSQL", "optLigaFicheiros");
        QVERIFY(window.settings().ligaSQL() && window.settings().ligaFicheiros());
        window.click("optLigaSQL");
        QVERIFY(!window.settings().ligaSQL());

        QStringList captions;
        for (const QLabel* label : window.menu.findChildren<QLabel*>())
            captions << label->text();
        for (const char* caption : {"Nº Letras p/ Linha", "(27+81+65)", "Finalização Linha 2",
                                    "Nº Segundos para visualização da Informação", "Base Dados"})
            QVERIFY2(captions.contains(QString::fromUtf8(caption)), caption);
    }

    void dropFolderPath_losesOneTrailingSeparatorOnFocusOut()
    {
        Window window(noFile);
        QLineEdit* path = window.child<QLineEdit>("txtLigaFicheirosPath");
        window.type("txtLigaFicheirosPath", "C:\\Vendas\\\\");
        QFocusEvent focusOut(QEvent::FocusOut);
        QApplication::sendEvent(path, &focusOut);
        QCOMPARE(path->text(), "C:\\Vendas\\");
        QApplication::sendEvent(path, &focusOut);
        QCOMPARE(window.settings().text(Key::LigaFicheirosPath), "C:\\Vendas");
        QApplication::sendEvent(path, &focusOut);
        QCOMPARE(path->text(), "C:\\Vendas");
    }

    void queueList_rowClickedIsTheQueuesSelection_noneLeftTheTopGoes()
    {
        Window window;
        window.controller.tmrDisplay().setEnabled(false); // ticked by hand below
        window.settings().setText(Key::Porta, window.display.name());
        MessageQueue& queue = window.controller.queue();
        for (int row = 1; row <= 5; ++row)
            queue.append({"ordem", QStringLiteral("Linha %1").arg(row), {}});
        auto* list = window.child<QTreeView>("lvwLista");
        QTRY_COMPARE(list->model()->rowCount(), 5);
        const QPoint third = list->visualRect(list->model()->index(2, 1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third);
        QCOMPARE(queue.selectedRow(), std::optional<int>(2));

        // A ctrl-click on the selected row unselects it: the display goes on, from the top.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, third);
        QCOMPARE(queue.selectedRow(), std::nullopt);
        emit window.controller.tmrDisplay().tick();
        QTRY_VERIFY(window.display.received().contains("Linha 1"));
        QCOMPARE(queue.at(0).linha1, "Linha 2");
        QCOMPARE(window.lblError(), QString());
    }

    void checks_loadedBadValuesAreMarkedAndKeptAsRead()
    {
        Window window("NumLetras=vinte\r\nSegundosTimerSQL=abc\r\nInitLinha1=27+300\r\n"
                      "Porta=/dev/ttyUSB0\r\nPortaDefinicoes=9600,n,9,1\r\nPaginaCodigos=858\r\n");
        QCOMPARE(window.field("txtNumLetras"), "vinte");
        QCOMPARE(window.field("txtSegundosTimerSQL"), "abc");
        QCOMPARE(window.field("txtInitLinha1"), "27+300");
        for (const char* name :
             {"txtNumLetras", "txtSegundosTimerSQL", "txtInitLinha1", "txtPortaDefinicoes"})
            QVERIFY2(window.marked(name), name);
        for (const char* name : {"txtPorta", "txtSegundosTimerDisplay", "txtPaginaCodigos"})
            QVERIFY2(!window.marked(name), name);
        VERIFY_STARTS(window.toolTip("txtInitLinha1"), "O código 300 passa de 255.");

        // Saved as read, unless the user changes it; a good value loses the mark and the reason.
        window.menu.GravarMostrela_cfg();
        QVERIFY(window.configBytes().contains("\r\nNumLetras=vinte\r\n"));
        window.type("txtNumLetras", "20");
        QVERIFY(!window.marked("txtNumLetras"));
        QVERIFY(!window.toolTip("txtNumLetras").contains(u'\n'));
    }

    void checks_typingDropsCharactersTheFieldNeverHolds()
    {
        Window window(noFile);
        window.click("optDisplay");
        const std::tuple<const char*, QString, QString> typings[] = {
            {"txtNumLetras", "2a0 ", "20"},
            {"txtInitLinha1", "27 + 81+x65", "27+81+65"},
            {"txtSegundosTimerSQL", "-1.5s", "1.5"},
            // The keypad's decimal key gives a comma on a Portuguese keyboard.
            {"txtSegundosTimerDisplay", "2,5", "2.5"},
            {"txtPorta", "/dev/pts/7", "/dev/pts/7"},
            {"txtPortaDefinicoes", "19200, E;7,2x", "19200,E7,2"},
            {"txtPaginaCodigos", "cp858", "858"},
            {"txtDefault_Linha1", "Ola, 2+2!", "Ola, 2+2!"}};
        for (const auto& [name, typed, kept] : typings) {
            window.type(name, typed);
            QCOMPARE(window.field(name), kept);
        }
        QCOMPARE(window.settings().text(Key::SegundosTimerDisplay), "2.5");
        QCOMPARE(window.settings().text(Key::Porta), "/dev/pts/7");

        // A paste is not typing: it goes in as it is, and is marked.
        QLineEdit* width = window.child<QLineEdit>("txtNumLetras");
        width->selectAll();
        QApplication::clipboard()->setText("vinte");
        QTest::keyClick(width, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window.settings().text(Key::NumLetras), "vinte");
        QVERIFY(window.marked("txtNumLetras"));
    }

    void checks_savingUnusableValueAsksFirst()
    {
        Window window(noFile);
        window.click("optDisplay");
        window.type("txtNumLetras", "300");
        QVERIFY(window.marked("txtNumLetras"));

        QString question;
        answerNextDialog<QMessageBox>([&question](QMessageBox* box) {
            question = box->text();
            box->button(QMessageBox::No)->click();
        });
        window.click("cmdGravarDisplay");
        VERIFY_SAYS(question, "Nº Letras p/ Linha: O número de letras vai de 1 a 255.");
        QVERIFY(question.endsWith("Gravar mesmo assim?"));
        QVERIFY(!QFile::exists(window.controller.configPath()));
        QCOMPARE(window.statusBar(), "A configuração não foi gravada.");

        answerNextDialog<QMessageBox>([](auto* box) { box->button(QMessageBox::Yes)->click(); });
        window.click("cmdGravarDisplay");
        QVERIFY(window.configBytes().contains("\r\nNumLetras=300\r\n"));
        VERIFY_SAYS(window.statusBar(), "Configuração gravada em ");

        // Good values save without a question: no dialog answers this click.
        window.type("txtNumLetras", "16");
        window.click("cmdGravarDisplay");
        QVERIFY(window.configBytes().contains("\r\nNumLetras=16\r\n"));

        // So does a value read as the program always read it, with a note instead of a mark.
        window.settings().setText(Key::SegundosTimerSQL, "2,5");
        QVERIFY(!window.marked("txtSegundosTimerSQL"));
        QVERIFY(window.marked("txtSegundosTimerSQL", FieldCheck::noteProperty));
        VERIFY_STARTS(window.toolTip("txtSegundosTimerSQL"), "Lido como 2 segundos");
        window.click("cmdGravarDisplay");
        QVERIFY(window.configBytes().contains("\r\nSegundosTimerSQL=2,5\r\n"));
        VERIFY_SAYS(window.statusBar(),
                    "Nº Segundos para verificação de Informação: Lido como 2 segundos");
    }

    void checks_everyFieldExplainsItself()
    {
        Window window(noFile);
        for (const SettingDefinition& row : settingsTable) {
            const QString name = Settings::keyName(row.key);
            const QList<QWidget*> fields = window.menu.findChildren<QWidget*>(
                QRegularExpression("^(txt|chk|opt)" + name + "$"));
            QVERIFY2(fields.size() == 1, qPrintable(name));
            QVERIFY2(fields.first()->toolTip().size() > 30, qPrintable(name));
        }
        for (const char* name : {"txtInitMostrador", "txtLimpa", "txtInitLinha1", "txtInitLinha2",
                                 "txtFimLinha1", "txtFimLinha2"})
            VERIFY_SAYS(window.toolTip(name), "unidos por +, por exemplo 27+81+65 = ESC Q A");
    }

    void statusBar_showsLastMessageAndEachSourceRead()
    {
        Window window("LigaSQL=1\r\nLigaFicheiros=1\r\n");
        auto* last = window.child<QLabel>("lblUltimaMensagem");
        auto* sql = window.child<QLabel>("lblLeituraSQL");
        auto* files = window.child<QLabel>("lblLeituraFicheiros");
        QCOMPARE(last->text(), QString());
        QTRY_COMPARE(sql->text(), "Base de dados: ainda não lida");
        QCOMPARE(files->text(), "Ficheiros: ainda não lidos");

        emit window.controller.messageShown("Café                ", "Total 1,20 EUR");
        TRY_VERIFY_READS(last->text(), "Último: Café | Total 1,20 EUR às %T");

        emit window.controller.sourceRead("SQL", 3);
        emit window.controller.sourceRead("Ficheiros", 1);
        TRY_VERIFY_READS(sql->text(), "Base de dados: lida às %T, 3 mensagens");
        VERIFY_READS(files->text(), "Ficheiros: lidos às %T, 1 mensagem");
        emit window.controller.sourceRead("Ficheiros", 0);
        QTRY_VERIFY(files->text().endsWith(", 0 mensagens"));
        QVERIFY(sql->text().endsWith(", 3 mensagens"));

        // A source switched off says so, and a read that ends after it does not say otherwise.
        window.settings().setOption(Key::LigaSQL, false);
        QTRY_COMPARE(sql->text(), "Base de dados: desligada");
        emit window.controller.sourceRead("SQL", 2);
        emit window.controller.sourceFailed("SQL", 1);
        emit window.controller.sourceRead("Ficheiros", 2);
        QTRY_VERIFY(files->text().endsWith(", 2 mensagens"));
        QCOMPARE(sql->text(), "Base de dados: desligada");
        window.settings().setOption(Key::LigaSQL, true);
        QTRY_COMPARE(sql->text(), "Base de dados: ainda não lida");
        QVERIFY(files->text().endsWith(", 2 mensagens"));
    }

    void portPicker_offersTheSystemsPortsAndFreeTextStillWorks()
    {
        Window window(noFile);
        window.click("optDisplay");
        QMenu* menu = window.child<QToolButton>("cmdPortas")->menu();
        QVERIFY(menu);
        emit menu->aboutToShow();

        QStringList offered;
        for (const QAction* action : menu->actions())
            if (action->isEnabled())
                offered << action->data().toString();
        QStringList system;
        for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
            system << port.portName(); // as a person there names it
#else
            system << port.systemLocation();
#endif
        }
        QCOMPARE(offered.mid(0, system.size()), system);
        if (offered.isEmpty()) {
            QCOMPARE(menu->actions().size(), 1);
            QCOMPARE(menu->actions().first()->text(), "Nenhuma porta série encontrada");
        } else {
            menu->actions().last()->trigger();
            QCOMPARE(window.field("txtPorta"), offered.last());
            QCOMPARE(window.settings().text(Key::Porta), offered.last());
        }

        // Opening again lists afresh, without the earlier entries twice.
        const qsizetype entries = menu->actions().size();
        emit menu->aboutToShow();
        QCOMPARE(menu->actions().size(), entries);

        window.type("txtPorta", "/dev/pts/3");
        QCOMPARE(window.settings().text(Key::Porta), "/dev/pts/3");
    }

    void portChoices_holdTheStableNamesOfTheByIdFolder()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows has no folder of stable device names");
#endif
        QTemporaryDir byId;
        const QString link = byId.filePath("usb-FTDI_FT232R_USB_UART_A50285BI-if00");
        QVERIFY(QFile::link("/dev/null", link));
        const QList<PortChoice> choices = portChoices(byId.path());
        QCOMPARE(choices.size(), QSerialPortInfo::availablePorts().size() + 1);
        QCOMPARE(choices.last().porta, link);
        QCOMPARE(choices.last().description, "nome fixo de null");

        QCOMPARE(portChoices(byId.filePath("em-falta")).size(),
                 QSerialPortInfo::availablePorts().size());
    }

    void folderPicker_putsTheChosenFolderInTheField()
    {
        Window window;
        QTemporaryDir chosen;
        const QString chosenPath = QDir::toNativeSeparators(chosen.path());
        window.settings().setText(Key::LigaFicheirosPath, window.folder.path());
        window.menu.load(QString());
        window.click("optSQL");
        QString startedIn;
        // Chosen as a person does, by opening the folder: selected by its path it would open its
        // parent, and reach the name field only until the dialog, once active, focuses that field.
        answerNextDialog<QFileDialog>([&](QFileDialog* dialog) {
            startedIn = dialog->directory().path();
            dialog->setDirectory(chosen.path());
            static_cast<QDialog*>(dialog)->accept(); // public there
        });
        window.click("cmdProcurarPasta");
        QCOMPARE(startedIn, window.folder.path());
        QCOMPARE(window.field("txtLigaFicheirosPath"), chosenPath);
        QCOMPARE(window.settings().text(Key::LigaFicheirosPath), chosenPath);

        // Cancelled: the field keeps its folder.
        answerNextDialog<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
        window.click("cmdProcurarPasta");
        QCOMPARE(window.settings().text(Key::LigaFicheirosPath), chosenPath);
    }

    void queueList_columnsFitTheirRowsAndTooltipShowsBothLines()
    {
        Window window;
        window.menu.resize(900, 500);
        auto* list = window.child<QTreeView>("lvwLista");
        QHeaderView* header = list->header();
        const QFontMetrics metrics = list->fontMetrics();
        QVERIFY(header->sectionSize(0) > metrics.horizontalAdvance("2026-12-08 08:05:00"));
        QVERIFY(header->sectionSize(1) > metrics.horizontalAdvance("Total a pagar 12"));
        QVERIFY(header->stretchLastSection());

        const QString wide = "Promoção de Natal: dois cafés pelo preço de um";
        MessageQueue& queue = window.controller.queue();
        queue.append({"20261208080500", wide, "Até domingo"});
        QTRY_VERIFY(header->sectionSize(1) > metrics.horizontalAdvance(wide));

        // A column the user made wider stays so when shorter rows come.
        header->resizeSection(1, header->sectionSize(1) + 150);
        const int widened = header->sectionSize(1);
        queue.append({"20261208080501", "Curta", QString()});
        list->findChild<QueueColumns*>()->fit();
        QCOMPARE(header->sectionSize(1), widened);

        const QAbstractItemModel& rows = *list->model();
        QTRY_COMPARE(rows.rowCount(), 2);
        QCOMPARE(rows.data(rows.index(0, 2), Qt::ToolTipRole).toString(), wide + "\nAté domingo");
        QCOMPARE(rows.data(rows.index(1, 0), Qt::ToolTipRole).toString(), "Curta\n");
        QCOMPARE(rows.data(rows.index(0, 1), Qt::DisplayRole).toString(), wide);
    }

    void pages_iconsShareOneSizeAndEveryPageHasItsHeading()
    {
        Window window;
        for (const char* name : {"optDisplay", "optSQL", "optConfigura", "optExecutando"})
            QCOMPARE(window.child<QToolButton>(name)->icon().pixmap(32).deviceIndependentSize(),
                     QSizeF(32, 32));
        QCOMPARE(window.child<QGroupBox>("fraDisplay")->title(), "Definição do Display");
        for (const char* name : {"fraSQL", "fraConfigura", "fraExecutando"})
            QVERIFY(!window.child<QGroupBox>(name)->title().isEmpty());
    }

    void displayModel_fillsTheCodesAndShowsTheMatchingModel()
    {
        Window window("NumLetras=40\r\nInitMostrador=\r\nLimpa=33+35+57+32+13\r\n"
                      "InitLinha1=33 + 35 + 49\r\nFimLinha1=13\r\nInitLinha2=33+35+50\r\n"
                      "FimLinha2=13\r\nPortaDefinicoes=19200,e,7,1\r\nPaginaCodigos=437\r\n");
        window.click("optDisplay");
        auto* model = window.child<QComboBox>("cboModeloDisplay");
        // The same bytes count as the model's, blanks and all; nothing is rewritten to match.
        QCOMPARE(model->currentText(), "AEDEX (e Emax)");
        QCOMPARE(window.field("txtInitLinha1"), "33 + 35 + 49");
        QCOMPARE(window.field("txtNumLetras"), "40");
        // The hints beside the fields are the model's usual values; the port's is the window's.
        const auto hint = [&](const QString& key) { return window.text("lblHabitual" + key); };
        QCOMPARE(hint("Limpa"), "(33+35+57+32+13)");
        QCOMPARE(hint("InitMostrador"), "(vazio)");
        QCOMPARE(hint("NumLetras"), "(20)");
        QCOMPARE(hint("Porta"), "(1)");

        // Picked by hand (the next entry down): six codes, 20 letters a line, usual line, no page.
        QTest::keyClick(model, Qt::Key_Down);
        QCOMPARE(model->currentText(), "Logic Controls (e Ultimate)");
        QStringList filled;
        for (const char* name :
             {"txtInitMostrador", "txtLimpa", "txtInitLinha1", "txtFimLinha1", "txtInitLinha2",
              "txtFimLinha2", "txtNumLetras", "txtPortaDefinicoes", "txtPaginaCodigos"})
            filled << window.field(name);
        QCOMPARE(filled,
                 QStringList({"31+17", "31+17", "16+0", "", "16+20", "", "20", "9600,n,8,1", ""}));
        // A model whose codes select a code page sets the page they select.
        emit model->activated(model->findData("escpos"));
        QCOMPARE(window.field("txtLimpa"), "12+27+116+19");
        QCOMPARE(window.field("txtPaginaCodigos"), "858");
        QCOMPARE(hint("Limpa"), "(12+27+116+19)");
        QCOMPARE(hint("PaginaCodigos"), "(858)");
        QCOMPARE(hint("FimLinha1"), "(vazio)");
        emit model->activated(model->findData("logic"));
        QCOMPARE(window.settings().text(Key::Limpa), "31+17");

        // A code typed by hand leaves every model; the hints stay those of the model it left.
        window.type("txtLimpa", "12");
        QCOMPARE(model->currentText(), "Personalizado");
        QCOMPARE(hint("Limpa"), "(31+17)");
        QCOMPARE(hint("PaginaCodigos"), "(vazio)");
        // Personalizado picked changes nothing.
        emit model->activated(model->count() - 1);
        QCOMPARE(model->currentText(), "Personalizado");
        QCOMPARE(window.settings().text(Key::Limpa), "12");
        QCOMPARE(window.settings().text(Key::InitLinha1), "16+0");

        // The file keeps the codes alone.
        window.menu.GravarMostrela_cfg();
        QCOMPARE(window.configBytes().count("\r\n"), qsizetype(settingCount) - 2);
        QVERIFY(window.configBytes().contains("\r\nLimpa=12\r\nInitLinha1=16+0\r\n"));
    }

    // The widest ruler a display test sends, a failure naming a 300-letter port and a list of
    // every field to check: each cut where the window ends, whole in its tooltip; width kept.
    void longTexts_areCutWithAnEllipsisAndNeverWidenTheWindow()
    {
        Window window(noFile);
        // Wide enough for the display's picture at its widest, 80 letters, as width 255 asks.
        window.menu.resize(1400, 560);
        window.click("optDisplay");
        const int width = window.menu.width();
        const auto keptWidth = [&] {
            return window.menu.width() == width && window.menu.minimumSizeHint().width() < width;
        };
        auto* last = window.child<ElidedLabel>("lblUltimaMensagem");

        window.type("txtPorta", window.display.name());
        window.type("txtNumLetras", "255");
        window.click("cmdTestarDisplay");
        QTRY_VERIFY(last->text().contains(QStringLiteral("1234567890").repeated(25)));
        QVERIFY(keptWidth());
        QVERIFY2(last->shownText().endsWith(u'…'), qPrintable(last->shownText()));
        QVERIFY(last->shownText().size() < 200);

        const QString longPort = "/dev/" + QString(300, u'p');
        window.type("txtPorta", longPort);
        window.click("cmdTestarDisplay");
        QTRY_VERIFY(window.text("lblTesteDisplay").contains(longPort));
        window.click("optExecutando");
        QTRY_VERIFY(window.text("lblVisorFalha").contains(longPort));
        QVERIFY(keptWidth());

        for (const char* name : {"txtSegundosTimerSQL", "txtSegundosTimerDisplay", "txtNumLetras",
                                 "txtLimpa", "txtInitLinha1", "txtInitLinha2", "txtFimLinha1",
                                 "txtFimLinha2", "txtPortaDefinicoes", "txtPaginaCodigos"})
            window.type(name, "9999999999");
        window.click("optExecutando");
        auto* said = window.child<ElidedLabel>("lblMensagemEstado");
        QVERIFY(said->text().endsWith(Settings::caption(Key::PaginaCodigos)));
        QVERIFY2(said->shownText().endsWith(u'…'), qPrintable(said->shownText()));
        QVERIFY(keptWidth());
    }

    // Started without AUTO, a drop file waiting: the page says nothing is read until "Executar";
    // then the file is taken and the notice goes. Polling at 0 and no source on are told too.
    void runningPage_saysWhyNoMessagesAreRead()
    {
        QTemporaryDir drop;
        QVERIFY(writeFileBytes(drop.filePath("1.dsp"), "Espera"));
        Window window("LigaFicheiros=1\r\nLigaFicheirosPath=" + QFile::encodeName(drop.path()) +
                      "\r\nSegundosTimerSQL=0.1\r\n");
        auto* notice = window.child<QLabel>("lblAviso");
        auto* frame = window.child<QGroupBox>("fraExecutando");
        QVERIFY(notice->isVisible());
        VERIFY_SAYS(notice->text(), "parada: carregue em \"Executar\"");
        QCOMPARE(frame->title(), "Em Execução");

        window.click("optExecutando");
        QTRY_COMPARE(window.controller.queue().count(), 1);
        QVERIFY(!notice->isVisible());
        QTRY_COMPARE(frame->title(), "Em Execução");

        window.click("optConfigura");
        window.type("txtSegundosTimerSQL", "0");
        window.click("optExecutando");
        QVERIFY(notice->isVisible());
        VERIFY_SAYS(notice->text(), "\"Nº Segundos para verificação de Informação\" é 0");

        window.type("txtSegundosTimerSQL", "2");
        window.click("optSQL", "optLigaFicheiros", "optExecutando");
        QVERIFY(notice->isVisible());
        VERIFY_SAYS(notice->text(), "Nenhuma fonte de mensagens está ligada");
        window.click("optSQL", "optLigaSQL", "optExecutando");
        QVERIFY(frame->isVisible() && !notice->isVisible());
    }
};

MOSTRELA_TEST_MAIN(TestMenu)
#include "test_menu.moc"
