#include "app/program.h"

#include "app/controller.h"
#include "app/folder_lock.h"
#include "app/termination_signals.h"
#include "core/log.h"
#include "core/platform_files.h"
#include "core/standard_streams.h"
#include "core/worker_thread.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// A windowed program on Windows has no console of its own: what it prints goes to the console
// it was started from, when there is one.
void useStartingConsole()
{
#ifdef Q_OS_WIN
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        FILE* stream = nullptr;
        freopen_s(&stream, "CONOUT$", "w", stdout);
        freopen_s(&stream, "CONOUT$", "w", stderr);
    }
#endif
}

std::atomic<bool> endAsked{false};

// MinGW's runtime frees a thread's thread_local storage before it runs their destructors. Qt
// keeps the stack of its compiled regular expressions there, on each thread that matched one (a
// folder listed with a name filter, the search for the SQL drivers), and freed it from freed
// memory as the thread ended: a page fault, and then an end that never came. Interpreted
// expressions need no such stack, and the program's few lose nothing that counts.
void interpretRegularExpressions()
{
#ifdef Q_OS_WIN
    qputenv("QT_ENABLE_REGEXP_JIT", "0");
#endif
}

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("Mostrela"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MOSTRELA_VERSION));
}

// What remains after the options is either AUTO or nothing: anything else opens the window
// stopped, which a shortcut with a typo would otherwise do without a word.
void warnOfUnknownArguments(const CommandLine& commandLine)
{
    const QString& rest = commandLine.rest;
    if (!commandLine.withoutWindow && !rest.isEmpty() && rest.toUpper() != QStringLiteral("AUTO"))
        qCWarning(lcMostrela).noquote()
            << QStringLiteral("Argumentos \"%1\" não reconhecidos: só AUTO abre na página de "
                              "execução; o programa abre parado")
                   .arg(rest);
}

} // namespace

CommandLine readCommandLine(int& argc, char** argv, const QString& installedBinFolder)
{
    interpretRegularExpressions();
    settleHomeFolder();
    // QCoreApplication reads the arguments as the platform gives them, and needs no display.
    const QCoreApplication reader(argc, argv);
    nameApplication();
    return parseCommandLine(QCoreApplication::arguments(),
                            defaultSettingsFolderText(QCoreApplication::applicationDirPath(),
                                                      installedPlaces(installedBinFolder)));
}

int answer(const CommandLine& commandLine)
{
    useStartingConsole();
    const bool refused = commandLine.action == CommandLine::Action::Refuse;
    writeToStandardStream(refused ? stderr : stdout, commandLine.text);
    return refused ? 1 : 0;
}

WorkingFolders startUp(const CommandLine& commandLine, const QString& installedBinFolder)
{
    nameApplication();
    installLogHandler();
    new TerminationSignals(QCoreApplication::instance());
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                     [] { qCInfo(lcMostrela) << "A terminar"; });

    const QString settings =
        settingsFolder(commandLine.folder, QCoreApplication::applicationDirPath(),
                       installedPlaces(installedBinFolder),
                       QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    const ControllerFiles files = controllerFiles(
        settings, QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    logToFileIfUnkept(files.logFile);
    qCInfo(lcMostrela).noquote() << QStringLiteral("mostrela %1%2, pasta %3, fila %4")
                                        .arg(QStringLiteral(MOSTRELA_VERSION),
                                             commandLine.withoutWindow
                                                 ? QStringLiteral(" sem janela")
                                                 : QString(),
                                             QDir::toNativeSeparators(settings),
                                             QDir::toNativeSeparators(files.spoolFolder));
    warnOfUnknownArguments(commandLine);
    return {settings, files};
}

int runWithoutWindow(const CommandLine& commandLine, const QString& installedBinFolder)
{
    useStartingConsole();
    const WorkingFolders folders = startUp(commandLine, installedBinFolder);
    FolderLock lock(folders.files.lockFile);
    if (!lock.take().isEmpty())
        return 1;
    const int status = [&] {
        Controller controller(folders.settings, folders.files.spoolFolder);
        controller.load(commandLine.rest);
        if (controller.page() != Controller::Page::Executando)
            controller.selectPage(Controller::Page::Executando);
        return runEventLoop();
    }();
    return leaveProcess(status);
}

void endProgram()
{
    endAsked = true;
    QCoreApplication::quit();
}

int runEventLoop()
{
    // Posted rather than skipping the loop: the end then runs as it always does (aboutToQuit
    // and all).
    if (endAsked)
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    return QCoreApplication::exec();
}

int leaveProcess(int status)
{
    if (!workerLeftRunning())
        return status;
    qCInfo(lcMostrela) << "Fim sem esperar pela base de dados";
    std::fflush(nullptr);
    std::_Exit(status);
}
