#include "app/config_file.h"
#include "core/failure.h"
#include "core/settings.h"
#include "support/file_bytes.h"
#include "support/odbc_fixture.h"
#include "support/postgres_server.h"
#include "support/program_rig.h"
#include "support/shown_messages.h"
#include "support/test_main.h"
#include "support/usual_display.h"
#include "support/verify_says.h"
#include "support/wine_prefix.h"

#include <memory>

#include <fcntl.h>
#include <unistd.h>

using Key = Settings::Key;

namespace {

constexpr int comPort = 5;
// Wine starts a program in seconds, more on a busy machine.
constexpr int startMs = 90000;
// A program asked to end is gone in seconds; one that never ends stays.
constexpr int endMs = 30000;

} // namespace

// The Windows program under Wine as shops run it: the portable ZIP unpacked in a shop's folder,
// its Mostrela.cfg beside it, its display a pseudo-terminal on COM5, its drop folder on drive Z:,
// its database through Wine's ODBC (SQLite, PostgreSQL); and the installer's silent round trip.
class TestWindowsProgram : public QObject {
    Q_OBJECT

private:
    QString m_zip;
    QString m_setup;
    std::unique_ptr<PostgresServer> m_postgres;
    std::unique_ptr<OdbcFixture> m_odbc;
    std::unique_ptr<WinePrefix> m_prefix;
    std::unique_ptr<ProgramRig> m_rig;

    // The shop's folder (C:\ on a till) and the program's folder that the ZIP makes in it.
    QString shopFolder() const { return m_rig->folder.filePath("loja"); }
    QString programPath(const QString& name) const { return shopFolder() + "/Mostrela/" + name; }

    // The ZIP unpacked over what is there: its one folder is named without a version.
    void unpackPortable()
    {
        QCOMPARE(QProcess::execute("unzip", {"-q", "-o", m_zip, "-d", shopFolder()}), 0);
        QCOMPARE(QDir(shopFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList{"Mostrela"});
        for (const char* file : {"mostrela.exe", "SaidaDisplay.sql"})
            QVERIFY(QFileInfo::exists(programPath(file)));
    }

    // Writes the shop's settings beside the unpacked program and starts it with AUTO.
    void startInShop(const QString& display = {})
    {
        Settings& settings = m_rig->settings();
        settings.setText(Key::Porta, QString("COM%1").arg(comPort));
        settings.setText(Key::LigaFicheirosPath,
                         WinePrefix::windowsPath(m_rig->folder.dropFolder()));
        settings.setLigaFicheiros(true);
        writeConfigFile(programPath("Mostrela.cfg"), settings);
        start(m_rig->controller, {"AUTO"}, display);
    }

    // Starts the unpacked mostrela.exe; with an X `display`, its windows are drawn there.
    void start(DeployedController& controller, const QStringList& arguments,
               const QString& display = {})
    {
        QProcess& process = controller.process();
        m_prefix->prepare(process, WinePrefix::windowsPath(programPath("mostrela.exe")), arguments);
        if (!display.isEmpty()) {
            QProcessEnvironment environment = process.processEnvironment();
            environment.insert("DISPLAY", display);
            process.setProcessEnvironment(environment);
        }
        process.setWorkingDirectory(programPath({}));
        QCOMPARE(runTrapped([&] { controller.restart(); }), QString());
    }

    static void expectLog(DeployedController& controller, const QString& expected)
    {
        QVERIFY2(controller.waitForLog(expected, startMs), qPrintable(controller.log()));
    }

    qsizetype spoolEntries() const { return QDir(programPath("fila")).entryList({"*.msg"}).size(); }

private slots:
    void initTestCase()
    {
        m_zip = qEnvironmentVariable("MOSTRELA_WINDOWS_ZIP");
        m_setup = qEnvironmentVariable("MOSTRELA_WINDOWS_SETUP");
        if (m_zip.isEmpty() && m_setup.isEmpty())
            QSKIP("scripts/test-windows runs this test with the Windows packages it made");
        QVERIFY2(QFileInfo::exists(m_zip), qPrintable(m_zip));
        QVERIFY2(QFileInfo::exists(m_setup), qPrintable(m_setup));
        const QString failure = runTrapped([&] {
            m_postgres = std::make_unique<PostgresServer>();
            m_odbc =
                std::make_unique<OdbcFixture>(OdbcFixture::Trace::Off, m_postgres->odbcSection());
            m_prefix = std::make_unique<WinePrefix>();
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    void init()
    {
        m_odbc->createTable();
        m_postgres->run("delete from SaidaDisplay");
        m_rig = std::make_unique<ProgramRig>();
        m_prefix->mapComPort(comPort, m_rig->display.slavePath());
        unpackPortable();
    }

    void cleanup() { m_rig->controller.kill(); }

    // A drop file's message and then a row's reach the port as the bytes the Linux program
    // sends for the same settings: no other byte before, between or after them.
    void messages_reachThePortAsOnLinux_data()
    {
        QTest::addColumn<QString>("dataSource");
        QTest::newRow("SQLite") << OdbcFixture::dataSource();
        QTest::newRow("PostgreSQL") << PostgresServer::dataSource();
    }

    void messages_reachThePortAsOnLinux()
    {
        QFETCH(QString, dataSource);
        m_rig->settings().setText(Key::SQL_Servidor, dataSource);
        m_rig->settings().setLigaSQL(true);
        QVERIFY(m_rig->folder.drop("20240309100001-a.dsp", "Primeiro-bilhete-001Caf\xe9 1,20\r\n"));
        startInShop();

        const QByteArray fromFile = usualDisplayMessage("Primeiro-bilhete-001", "Cafe 1,20");
        QTRY_COMPARE_WITH_TIMEOUT(m_rig->display.received(), fromFile, startMs);
        QCOMPARE(m_rig->folder.dropFilesLeft(), QStringList());

        if (dataSource == OdbcFixture::dataSource())
            m_odbc->insert(OdbcFixture::databaseUser(), QDateTime::currentDateTime(),
                           "Registo da base", "Total 3,50");
        else
            m_postgres->run("insert into SaidaDisplay (DataSys, Linha1, Linha2, Utilizador) values "
                            "(now(), 'Registo da base', 'Total 3,50', '" +
                            OdbcFixture::databaseUser() + "')");
        const QByteArray fromRow = usualDisplayMessage("Registo da base", "Total 3,50");
        QTRY_COMPARE_WITH_TIMEOUT(m_rig->display.received(), fromFile + fromRow, startMs);
        QTRY_COMPARE(
            m_odbc->rowsLeft().size() + m_postgres->run("select 1 from SaidaDisplay").size(), 0);
        QCOMPARE(m_rig->controller.process().state(), QProcess::Running);
    }

    // Killed while messages wait in its spool and started again on the folder, the program shows
    // every message, at most the one on its way to the port twice. Three times the kill also ends
    // the Wine session, as a power cut ends Windows': the next start, in a new session, gets the
    // killed one's process number again and takes over its lock. Before the last start the ZIP is
    // unpacked over the folder, as an upgrade is: the new program meets the old settings and spool.
    void killedAndRestarted_losesNothing()
    {
        m_rig->settings().setText(Key::SegundosTimerDisplay, "3");
        QStringList lines;
        for (int number = 1; number <= 8; ++number) {
            lines << QString("Bilhete-%1").arg(number);
            QVERIFY(m_rig->folder.drop(QString("2024030910000%1.dsp").arg(number),
                                       lines.last().toLatin1()));
        }
        startInShop();
        QTRY_VERIFY_WITH_TIMEOUT(m_rig->display.received().size() > 0, startMs);
        QTRY_COMPARE(m_rig->folder.dropFilesLeft(), QStringList());
        QVERIFY(spoolEntries() > 0);

        ShownMessages shown;
        QStringList seen;
        // Takes what the display has shown; says whether the last message has come.
        const auto see = [&] {
            for (const ShownMessages::Shown& message : shown.take(m_rig->display.take(0, 0)))
                seen << message.linha1;
            return seen.endsWith(lines.last());
        };
        // SIGKILL to the Unix process that runs the Windows program: nothing of it runs on.
        const auto kill = [&] {
            m_rig->controller.kill();
            see();
        };
        kill();
        for (int cut = 1; cut <= 3; ++cut) {
            m_prefix->endSession();
            start(m_rig->controller, {"AUTO"});
            expectLog(m_rig->controller, "passa para este controlador");
            kill();
        }
        QVERIFY2(seen.size() < lines.size(), qPrintable(seen.join(u',')));

        const QByteArray settings = fileBytes(programPath("Mostrela.cfg"));
        const qsizetype waiting = spoolEntries();
        QVERIFY(writeFileBytes(programPath("mostrela.exe"), "an older version"));
        unpackPortable();
        QCOMPARE(fileBytes(programPath("Mostrela.cfg")), settings);
        QCOMPARE(spoolEntries(), waiting);

        start(m_rig->controller, {"AUTO"});
        expectLog(m_rig->controller,
                  "recuperadas da fila " + WinePrefix::windowsPath(programPath("fila")));
        QTRY_VERIFY_WITH_TIMEOUT(see(), startMs);
        QTRY_COMPARE(spoolEntries(), 0);
        seen.removeDuplicates();
        QCOMPARE(seen, lines);
    }

    // A second copy on a folder a running copy holds ends with 1, naming the holder, accents
    // whole; the first goes on. Having no console, both also keep a dated log in Mostrela.log.
    void secondCopy_refusedNamingTheHolder()
    {
        startInShop();
        expectLog(m_rig->controller, ", fila ");

        DeployedController second;
        start(second, {"--sem-janela"});
        QVERIFY(second.process().waitForFinished(startMs));
        const QString refusal = second.log();
        QCOMPARE(second.process().exitCode(), 1);
        const QString holder = "Outro controlador já trabalha na pasta " +
                               WinePrefix::windowsPath(programPath({})) + ": o processo ";
        VERIFY_SAYS(refusal, holder);
        VERIFY_SAYS(refusal.toLower(), "(mostrela");
        QCOMPARE(m_rig->controller.process().state(), QProcess::Running);

        const QString kept = QString::fromUtf8(fileBytes(programPath("Mostrela.log")));
        VERIFY_SAYS(kept, holder);
        const QRegularExpression started(
            "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} mostrela: "
            "mostrela " MOSTRELA_VERSION ", pasta .+, fila ",
            QRegularExpression::MultilineOption);
        QVERIFY2(started.match(kept).hasMatch(), qPrintable(kept));
    }

    // Installed silently with the logon shortcut, the program runs from Program Files in a folder
    // of its own with its log, its settings first those an administrator left beside it; removed
    // silently, it takes its files and shortcuts and leaves the user's settings and spool.
    void installer_silentRoundTrip_keepsTheSettings()
    {
        WinePrefix prefix;
        QByteArray output;
        QCOMPARE(prefix.run(WinePrefix::windowsPath(m_setup), {"/S", "/AUTO=1"}), 0);
        prefix.waitForAll();
        const QString installedFolder = "C:\\Program Files\\Mostrela";
        const QString program = installedFolder + "\\mostrela.exe";
        QStringList installed;
        for (const char* file :
             {"mostrela.exe", "Qt6Core.dll", "platforms/qwindows.dll", "SaidaDisplay.sql"})
            installed << prefix.hostPath(installedFolder + '/' + file);
        // Wine names the Startup folder "StartUp"; Windows finds it either way.
        for (const char* menu : {"Mostrela", "StartUp"})
            installed << prefix.hostPath(
                QString("C:/ProgramData/Microsoft/Windows/Start Menu/Programs/%1/Mostrela.lnk")
                    .arg(menu));
        for (const QString& file : installed)
            QVERIFY2(QFileInfo::exists(file), qPrintable(file));
        const QStringList uninstallKey{
            "query", "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Mostrela"};
        QCOMPARE(prefix.run("reg", uninstallKey), 0);

        QCOMPARE(prefix.run(program, {"--version"}, &output), 0);
        VERIFY_SAYS(output, "mostrela " MOSTRELA_VERSION);

        const QByteArray chainSettings = "NumLetras=16\r\nPorta=COM7\r\n";
        QVERIFY(writeFileBytes(prefix.hostPath(installedFolder + "\\Mostrela.cfg"), chainSettings));
        DeployedController running;
        prefix.prepare(running.process(), program, {"--sem-janela"});
        QCOMPARE(runTrapped([&] { running.restart(); }), QString());
        expectLog(running, ", fila ");
        output = running.log().toUtf8();
        running.kill();
        const QRegularExpressionMatch folders =
            QRegularExpression("pasta (.+), fila (.+)$", QRegularExpression::MultilineOption)
                .match(QString::fromLocal8Bit(output).remove(u'\r'));
        QVERIFY2(folders.hasMatch(), output.constData());
        // Beside the program when its folder may be written (under Wine every user may write
        // Program Files), otherwise in the user's own folders, as a cashier on Windows gets.
        const QString folder = folders.captured(1);
        qInfo("installed program's folder: %s", qPrintable(folder));
        const QRegularExpression usersFolder(
            "^C:\\\\users\\\\[^\\\\]+\\\\AppData\\\\(Local|Roaming)\\\\Mostrela$",
            QRegularExpression::CaseInsensitiveOption);
        QVERIFY2(folder == installedFolder || usersFolder.match(folder).hasMatch(),
                 qPrintable(folder));
        const QDir own(prefix.hostPath(folder));
        const QString config = own.filePath("Mostrela.cfg");
        QCOMPARE(fileBytes(config), chainSettings);
        VERIFY_SAYS(QString::fromUtf8(output), "definições iniciais deste utilizador vêm de " +
                                                   installedFolder + "\\Mostrela.cfg");
        QVERIFY(QFileInfo::exists(own.filePath("Mostrela.log")));
        // What the user's controller leaves there: its settings and a message in its spool.
        const QString spoolEntry = QDir(prefix.hostPath(folders.captured(2))).filePath("1.msg");
        QVERIFY(QDir().mkpath(QFileInfo(spoolEntry).path()));
        for (const QString& file : {config, spoolEntry})
            QVERIFY(writeFileBytes(file, "Porta=COM1\r\n"));

        QCOMPARE(prefix.run(installedFolder + "\\uninstall.exe", {"/S"}), 0);
        prefix.waitForAll();
        for (const QString& file : installed)
            QVERIFY2(!QFileInfo::exists(file), qPrintable(file));
        QVERIFY(prefix.run("reg", uninstallKey) != 0);
        QVERIFY(QFileInfo::exists(config));
        QVERIFY(QFileInfo::exists(spoolEntry));
    }

    // On a line held as flow control holds it, the display takes no byte: each frame is given up
    // at the port's deadline and the failure, as the window's labels show it, is logged naming the
    // port. On the first serial port, nothing on its line, the frame goes out or fails the same way
    // (Qt's port waited there, under Wine, for a character that never came). Either way, closed as
    // its window's [x] closes it, drawn by Windows' platform on a virtual screen, it ends at once.
    void silentDisplay_failureNamed_windowClosedEndsTheProgram_data()
    {
        QTest::addColumn<QString>("device");
        QTest::newRow("line held") << QString();
        QTest::newRow("first serial port") << QString("/dev/ttyS0");
    }

    void silentDisplay_failureNamed_windowClosedEndsTheProgram()
    {
        QFETCH(QString, device);
        if (device.isEmpty()) {
            m_rig->display.holdWriters();
        } else {
            const int line =
                ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            const bool serial = ::isatty(line);
            if (line >= 0)
                ::close(line);
            if (!serial)
                QSKIP("no serial line to try here");
            m_prefix->mapComPort(comPort, device);
        }
        const auto setPlatform = [this](const char* platform) {
            m_prefix->setUserVariable("QT_QPA_PLATFORM", platform);
        };
        QCOMPARE(runTrapped([&] { setPlatform("windows"); }), QString());
        const auto offscreenAgain =
            qScopeGuard([&] { runSkippingFailure([&] { setPlatform("offscreen"); }); });
        // The prefix's desktop, started anew by the program, then draws on that screen.
        m_prefix->waitForAll();
        // A virtual screen of the test's own, which says its number once it takes clients.
        QProcess screen;
        screen.start("Xvfb",
                     {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        const auto screenGone = qScopeGuard([&] {
            screen.terminate();
            screen.waitForFinished();
        });
        QByteArray number;
        while (!number.endsWith('\n') && screen.waitForReadyRead(startMs))
            number += screen.readAllStandardOutput();
        QVERIFY2(!number.trimmed().isEmpty(), screen.readAllStandardError().constData());

        // Both sources polled, as in a shop: each thread has done its work when the program ends.
        m_rig->settings().setLigaSQL(true);
        QVERIFY(m_rig->folder.drop("20240309100001-a.dsp", "Retido na linha"));
        startInShop(':' + QString::fromLatin1(number.trimmed()));

        const QString failure = QString("escrever na porta COM%1: ").arg(comPort);
        const auto shown = [this] {
            return m_rig->folder.dropFilesLeft().isEmpty() && !spoolEntries();
        };
        DeployedController& controller = m_rig->controller;
        QTRY_VERIFY2_WITH_TIMEOUT(controller.log().contains(failure) || shown() ||
                                      controller.process().state() != QProcess::Running,
                                  qPrintable(controller.log()), startMs);
        QVERIFY2(controller.log().contains(failure) || (!device.isEmpty() && shown()),
                 qPrintable(controller.log()));

        QCOMPARE(m_prefix->run("taskkill", {"/im", "mostrela.exe"}), 0);
        QVERIFY2(controller.process().waitForFinished(endMs), qPrintable(controller.log()));
        QCOMPARE(controller.process().exitCode(), 0);
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestWindowsProgram)
#include "test_windows_program.moc"
