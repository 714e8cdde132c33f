#include "core/failure.h"
#include "core/settings.h"
#include "support/controller_folder.h"
#include "support/deployed_controller.h"
#include "support/file_bytes.h"
#include "support/pseudo_terminal.h"
#include "support/usual_display.h"

#include <QtTest>

#include <csignal>
#include <memory>

using Key = Settings::Key;

namespace {

const QString program = QStringLiteral(MOSTRELA_EXECUTABLE);
constexpr int endingMs = 10000;

// The environment of a box with no display server at all: a QApplication would abort there.
QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}

} // namespace

// The built program's command line, each case a process of its own: the options that answer
// and end, the AUTO rule on what remains after the options, the settings folder named with
// --pasta, the run without a window, and the signals that end a run cleanly.
class TestCommandLine : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ControllerFolder> m_folder;
    std::unique_ptr<PseudoTerminal> m_terminal;
    std::unique_ptr<DeployedController> m_controller;

    static QByteArray idle() { return usualDisplayMessage("Bem-vindo", "Aguarde"); }
    static QByteArray dropped() { return usualDisplayMessage("Primeira-linha-de-20", "Segunda"); }

    // The folder's settings: its display on the pseudo-terminal, the idle text on, the drop
    // folder polled every 0.1 s and one message a second, with one drop file waiting.
    void prepare(ControllerFolder& folder)
    {
        Settings& settings = folder.settings();
        settings.setText(Key::Porta, m_terminal->slavePath());
        settings.setText(Key::SegundosTimerDisplay, QStringLiteral("1"));
        settings.setMostraDefault(1);
        settings.setText(Key::Default_Linha1, QStringLiteral("Bem-vindo"));
        settings.setText(Key::Default_Linha2, QStringLiteral("Aguarde"));
        settings.setLigaFicheiros(true);
        QVERIFY(folder.drop(QStringLiteral("20240309100000.dsp"), "Primeira-linha-de-20Segunda"));
    }

    void start(const ControllerFolder& folder, const QStringList& arguments)
    {
        const QString failure =
            runTrapped([&] { m_controller->start(program, folder, arguments); });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    // What the display gets first: the dropped message when polling ran from the start, the
    // idle text when it did not (the first display tick comes a second after the start, when
    // polling would have taken the file ten times over).
    void expectFirstOnDisplay(const QByteArray& expected)
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_terminal->received().size() >= expected.size(), 15000);
        QCOMPARE(m_terminal->received().left(expected.size()), expected);
    }

    struct Outcome {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    static Outcome runToEnd(const QStringList& arguments)
    {
        QProcess process;
        process.setProcessEnvironment(withoutDisplay());
        process.start(program, arguments);
        if (!process.waitForFinished(endingMs) || process.exitStatus() != QProcess::NormalExit)
            return {};
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<ControllerFolder>();
        m_terminal = std::make_unique<PseudoTerminal>();
        m_controller = std::make_unique<DeployedController>();
    }

    void cleanup() { m_controller.reset(); }

    void answers_endAtOnceWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("outputHas");
        // A copy outside the prefix it was built for: the default folder is its own, or the
        // user's.
        const QStringList help{QStringLiteral("Utilização:"),
                               QStringLiteral("Opções:"),
                               QStringLiteral("--pasta"),
                               QStringLiteral("--sem-janela"),
                               QStringLiteral("--version"),
                               QStringLiteral("AUTO"),
                               QFileInfo(program).absolutePath() + u','};
        QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << 0 << help;
        QTest::newRow("-h, after AUTO")
            << QStringList{QStringLiteral("AUTO"), QStringLiteral("-h")} << 0 << help;
        QTest::newRow("--version")
            << QStringList{QStringLiteral("--version")} << 0
            << QStringList{QStringLiteral("mostrela " MOSTRELA_VERSION "\n")};
        QTest::newRow("unknown option")
            << QStringList{QStringLiteral("--janela")} << 1
            << QStringList{QStringLiteral("opção desconhecida: janela")};
        QTest::newRow("--pasta without a folder")
            << QStringList{QStringLiteral("--pasta")} << 1 << QStringList{QStringLiteral("pasta")};
        QTest::newRow("--pasta with an empty folder")
            << QStringList{QStringLiteral("--pasta"), QString(), QStringLiteral("AUTO")} << 1
            << QStringList{QStringLiteral("pasta")};
        // The window needs a display server: without one the program says how to run without
        // a window, instead of Qt's abort.
        const QStringList withoutWindow{QStringLiteral("servidor gráfico"),
                                        QStringLiteral("mostrela --sem-janela")};
        QTest::newRow("window") << QStringList() << 1 << withoutWindow;
        QTest::newRow("window, AUTO") << QStringList{QStringLiteral("AUTO")} << 1 << withoutWindow;
    }

    void answers_endAtOnceWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, outputHas);
        const Outcome outcome = runToEnd(arguments);
        QCOMPARE(outcome.exitCode, exitCode);
        // Answers go to standard output, refusals to standard error.
        const QString output = QString::fromLocal8Bit(exitCode == 0 ? outcome.out : outcome.err);
        for (const QString& part : outputHas)
            QVERIFY2(output.contains(part), qPrintable(output));
        // Whatever translations the system has, the program's answers are its own.
        for (const char* english : {"Usage", "Options", "Unknown", "Missing"})
            QVERIFY2(!output.contains(QLatin1String(english)), qPrintable(output));
    }

    void auto_isWhatRemainsAfterTheOptions_inAnyCase_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("polling");
        QTest::newRow("auto") << QStringList{QStringLiteral("auto")} << true;
        QTest::newRow("AUTO") << QStringList{QStringLiteral("AUTO")} << true;
        QTest::newRow("Auto") << QStringList{QStringLiteral("Auto")} << true;
        QTest::newRow("nothing") << QStringList{} << false;
        QTest::newRow("AUTO x") << QStringList{QStringLiteral("AUTO"), QStringLiteral("x")}
                                << false;
        QTest::newRow("x AUTO") << QStringList{QStringLiteral("x"), QStringLiteral("AUTO")}
                                << false;
    }

    // Anything but AUTO or nothing opens the program stopped, and the log says so.
    void auto_isWhatRemainsAfterTheOptions_inAnyCase()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, polling);
        prepare(*m_folder);
        QProcess& process = m_controller->process();
        process.setProcessChannelMode(QProcess::SeparateChannels);
        start(*m_folder, arguments);
        expectFirstOnDisplay(polling ? dropped() : idle());
        QCOMPARE(m_folder->dropFilesLeft().isEmpty(), polling);
        QCOMPARE(process.state(), QProcess::Running);
        const QString log = QString::fromLocal8Bit(process.readAllStandardError());
        const bool unknown = !arguments.isEmpty() && !polling;
        QVERIFY2(log.contains(QStringLiteral("não reconhecidos")) == unknown, qPrintable(log));
    }

    // The program sits in a folder with settings of its own, which --pasta overrides: only the
    // named folder's settings lead to its drop file and to the display.
    void pasta_namesTheSettingsFolder_optionsMixWithAuto()
    {
        ControllerFolder programFolder;
        prepare(*m_folder);
        m_folder->writeConfig();
        start(programFolder, {QStringLiteral("--pasta"), m_folder->path(), QStringLiteral("auto")});
        expectFirstOnDisplay(dropped());
        QCOMPARE(m_folder->dropFilesLeft(), QStringList());
    }

    void end_onSignal_cleanly_withAndWithoutAWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("errorsDiscarded");
        const QStringList withoutWindow{QStringLiteral("--sem-janela")};
        QTest::newRow("no window, SIGTERM") << withoutWindow << SIGTERM << false;
        QTest::newRow("no window, SIGINT") << withoutWindow << SIGINT << false;
        QTest::newRow("no window, SIGHUP") << withoutWindow << SIGHUP << false;
        QTest::newRow("window, SIGTERM") << QStringList{QStringLiteral("AUTO")} << SIGTERM << false;
        QTest::newRow("window, standard error to /dev/null, SIGTERM")
            << QStringList{QStringLiteral("AUTO")} << SIGTERM << true;
    }

    // Without a window the program needs no display server and polls from the start, AUTO or
    // not; the log names its folder and each message shown. A signal ends the event loop, so
    // the program ends normally, with exit code 0, not killed by the signal. With its standard
    // error going nowhere, the same log, dated, is in Mostrela.log beside the settings; with it
    // read by a parent, there is no such file.
    void end_onSignal_cleanly_withAndWithoutAWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, signal);
        QFETCH(bool, errorsDiscarded);
        const bool windowless = arguments.contains(QStringLiteral("--sem-janela"));
        prepare(*m_folder);
        QProcess& process = m_controller->process();
        QProcessEnvironment environment = process.processEnvironment();
        if (windowless)
            environment = withoutDisplay();
        environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                           QStringLiteral("mostrela.debug=true"));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::SeparateChannels);
        const QString logFile = m_folder->filePath(QStringLiteral("Mostrela.log"));
        if (errorsDiscarded)
            process.setStandardErrorFile(QProcess::nullDevice());
        start(*m_folder, arguments);
        expectFirstOnDisplay(dropped());
        // The display has the bytes before the window's thread hears that they were written.
        const QString shown = QStringLiteral("Mostrada: Primeira-linha-de-20 | Segunda");
        QString log;
        const auto logged = [&] {
            if (errorsDiscarded)
                log = QString::fromUtf8(fileBytes(logFile));
            else
                log += QString::fromLocal8Bit(process.readAllStandardError());
            return log;
        };
        QTRY_VERIFY_WITH_TIMEOUT(logged().contains(shown), 10000);

        QCOMPARE(::kill(static_cast<pid_t>(process.processId()), signal), 0);
        QVERIFY(process.waitForFinished(endingMs));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        logged();
        for (const QString& line :
             {QStringLiteral("pasta ") + m_folder->path(), QStringLiteral("A terminar")})
            QVERIFY2(log.contains(line), qPrintable(log));
        QCOMPARE(QFileInfo::exists(logFile), errorsDiscarded);
        if (errorsDiscarded)
            QVERIFY2(log.contains(QRegularExpression(
                         QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "
                                        "mostrela: A terminar$"),
                         QRegularExpression::MultilineOption)),
                     qPrintable(log));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
