#include "core/settings.h"
#include "support/file_bytes.h"
#include "support/program_rig.h"
#include "support/test_main.h"
#include "support/usual_display.h"
#include "support/verify_says.h"

#include <csignal>
#include <memory>

// The built program's command line, each case a process of its own: the options that answer
// and end, the AUTO rule on what remains after the options, the settings folder named with
// --pasta, the run without a window, and the signals that end a run cleanly.
class TestCommandLine : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramRig> m_rig;

    static QByteArray dropped() { return usualDisplayMessage("Primeira-linha-de-20", "Segunda"); }

    // What the display gets first: the dropped message when polling ran from the start, else the
    // idle text, a second after the start, when polling would have taken the file ten times over.
    void expectFirstOnDisplay(const QByteArray& expected)
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_rig->display.received().size() >= expected.size(), 15000);
        QCOMPARE(m_rig->display.received().left(expected.size()), expected);
    }

private slots:
    // The folder's settings: its display on the terminal, the idle text on, the drop folder
    // polled every 0.1 s and one message a second, with one drop file waiting.
    void init()
    {
        m_rig = std::make_unique<ProgramRig>();
        m_rig->settings().setText(Settings::Key::SegundosTimerDisplay, "1");
        m_rig->showIdleText();
        m_rig->settings().setLigaFicheiros(true);
        QVERIFY(m_rig->folder.drop("20240309100000.dsp", "Primeira-linha-de-20Segunda"));
    }

    void cleanup() { m_rig.reset(); }

    void answers_endAtOnceWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("outputHas");
        // A copy outside its build's prefix: the default folder is its own, or the user's.
        const QString folder =
            QDir::toNativeSeparators(QFileInfo(ProgramRig::builtProgram()).absolutePath()) + u',';
        const QStringList help{"Utilização:", "Opções:", "--pasta", "--sem-janela",
                               "--version",   "AUTO",    folder};
        QTest::newRow("--help") << QStringList{"--help"} << 0 << help;
        QTest::newRow("-h, after AUTO") << QStringList{"AUTO", "-h"} << 0 << help;
        QTest::newRow("--version")
            << QStringList{"--version"} << 0 << QStringList{"mostrela " MOSTRELA_VERSION "\n"};
        QTest::newRow("unknown option")
            << QStringList{"--janela"} << 1 << QStringList{"opção desconhecida: janela"};
        QTest::newRow("--pasta without a folder")
            << QStringList{"--pasta"} << 1 << QStringList{"pasta"};
        QTest::newRow("--pasta with an empty folder")
            << QStringList{"--pasta", "", "AUTO"} << 1 << QStringList{"pasta"};
#ifndef Q_OS_WIN
        // The window needs a display server, which Windows always has: without one the program
        // says how to run without a window, instead of Qt's abort.
        const QStringList withoutWindow{"servidor gráfico", "mostrela --sem-janela"};
        QTest::newRow("window") << QStringList() << 1 << withoutWindow;
        QTest::newRow("window, AUTO") << QStringList{"AUTO"} << 1 << withoutWindow;
#endif
    }

    void answers_endAtOnceWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, outputHas);
        QProcess process;
        process.setProcessEnvironment(withoutDisplayServer());
        process.start(ProgramRig::builtProgram(), arguments);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        // Answers to standard output, refusals to standard error: UTF-8, the system's line ends.
        const QString output = QString::fromUtf8(exitCode == 0 ? process.readAllStandardOutput()
                                                               : process.readAllStandardError())
                                   .remove(u'\r');
        for (const QString& part : outputHas)
            VERIFY_SAYS(output, part);
        // Whatever translations the system has, the program's answers are its own.
        for (const char* english : {"Usage", "Options", "Unknown", "Missing"})
            QVERIFY2(!output.contains(QLatin1String(english)), qPrintable(output));
    }

    void auto_isWhatRemainsAfterTheOptions_inAnyCase_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("polling");
        QTest::newRow("auto") << QStringList{"auto"} << true;
        QTest::newRow("AUTO") << QStringList{"AUTO"} << true;
        QTest::newRow("Auto") << QStringList{"Auto"} << true;
        QTest::newRow("nothing") << QStringList{} << false;
        QTest::newRow("AUTO x") << QStringList{"AUTO", "x"} << false;
        QTest::newRow("x AUTO") << QStringList{"x", "AUTO"} << false;
    }

    // Anything but AUTO or nothing opens the program stopped, and the log says so.
    void auto_isWhatRemainsAfterTheOptions_inAnyCase()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, polling);
        QCOMPARE(m_rig->start(arguments), QString());
        expectFirstOnDisplay(polling ? dropped() : ProgramRig::idleText());
        QCOMPARE(m_rig->folder.dropFilesLeft().isEmpty(), polling);
        QCOMPARE(m_rig->controller.process().state(), QProcess::Running);
        const QString log = m_rig->controller.log();
        const bool unknown = !arguments.isEmpty() && !polling;
        QVERIFY2(log.contains("não reconhecidos") == unknown, qPrintable(log));
    }

    // The program sits in a folder with settings of its own, which --pasta overrides: only the
    // named folder's settings lead to its drop file and to the display.
    void pasta_namesTheSettingsFolder_optionsMixWithAuto()
    {
        ControllerFolder programFolder;
        m_rig->folder.writeConfig();
        QCOMPARE(m_rig->start({"--pasta", m_rig->folder.path(), "auto"}, programFolder), QString());
        expectFirstOnDisplay(dropped());
        QCOMPARE(m_rig->folder.dropFilesLeft(), QStringList());
    }

    void end_onSignal_cleanly_withAndWithoutAWindow_data()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows has no signals that a program handles");
#else
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("errorsDiscarded");
        const QStringList withoutWindow{"--sem-janela"};
        QTest::newRow("no window, SIGTERM") << withoutWindow << SIGTERM << false;
        QTest::newRow("no window, SIGINT") << withoutWindow << SIGINT << false;
        QTest::newRow("no window, SIGHUP") << withoutWindow << SIGHUP << false;
        QTest::newRow("window, SIGTERM") << QStringList{"AUTO"} << SIGTERM << false;
        QTest::newRow("window, standard error to /dev/null, SIGTERM")
            << QStringList{"AUTO"} << SIGTERM << true;
#endif
    }

    // Without a window the program needs no display server and polls from the start, AUTO or
    // not; the log names its folder and each message shown. A signal ends the event loop, so the
    // program ends normally with exit code 0. With its standard error going nowhere, the same
    // log, dated, is in Mostrela.log beside the settings; read by a parent, there is no such file.
    void end_onSignal_cleanly_withAndWithoutAWindow()
    {
#ifdef Q_OS_UNIX
        QFETCH(QStringList, arguments);
        QFETCH(int, signal);
        QFETCH(bool, errorsDiscarded);
        QProcess& process = m_rig->controller.process();
        QProcessEnvironment environment = arguments.contains("--sem-janela")
                                              ? withoutDisplayServer()
                                              : process.processEnvironment();
        environment.insert("QT_LOGGING_RULES", "mostrela.debug=true");
        process.setProcessEnvironment(environment);
        const QString logFile = m_rig->folder.filePath("Mostrela.log");
        if (errorsDiscarded) {
            process.setProcessChannelMode(QProcess::SeparateChannels);
            process.setStandardErrorFile(QProcess::nullDevice());
        }
        QCOMPARE(m_rig->start(arguments), QString());
        expectFirstOnDisplay(dropped());
        // The display has the bytes before the window's thread hears that they were written.
        const auto logged = [&] {
            return errorsDiscarded ? QString::fromUtf8(fileBytes(logFile))
                                   : m_rig->controller.log();
        };
        QTRY_VERIFY_WITH_TIMEOUT(logged().contains("Mostrada: Primeira-linha-de-20 | Segunda"),
                                 10000);

        QCOMPARE(m_rig->controller.end(signal), 0);
        const QString log = logged();
        for (const QString& line : {"pasta " + m_rig->folder.path(), QString("A terminar")})
            VERIFY_SAYS(log, line);
        QCOMPARE(QFileInfo::exists(logFile), errorsDiscarded);
        if (errorsDiscarded)
            VERIFY_SAYS(log,
                        QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "
                                           "mostrela: A terminar$",
                                           QRegularExpression::MultilineOption));
#endif
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
