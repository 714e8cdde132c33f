#include "app/program.h"

#include "app/controller.h"
#include "app/folder_lock.h"
#include "core/log.h"
#include "core/worker_thread.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>

#ifdef Q_OS_UNIX
#include "app/termination_signals.h"
#endif

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

} // namespace

CommandLine readCommandLine(int& argc, char** argv)
{
    // QCoreApplication reads the arguments as the platform gives them, and needs no display.
    const QCoreApplication reader(argc, argv);
    return parseCommandLine(QCoreApplication::arguments());
}

int answer(const CommandLine& commandLine)
{
    useStartingConsole();
    const bool refused = commandLine.action == CommandLine::Action::Refuse;
    std::fputs(commandLine.text.toLocal8Bit().constData(), refused ? stderr : stdout);
    return refused ? 1 : 0;
}

WorkingFolders startUp(const CommandLine& commandLine, const QString& installedBinFolder)
{
    QCoreApplication::setApplicationName(QStringLiteral("Mostrela"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MOSTRELA_VERSION));
    installLogHandler();
#ifdef Q_OS_UNIX
    new TerminationSignals(QCoreApplication::instance());
#endif
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                     [] { qCInfo(lcMostrela) << "A terminar"; });

    const QString settings = settingsFolder(
        commandLine.folder, QCoreApplication::applicationDirPath(), installedBinFolder,
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    const ControllerFiles files = controllerFiles(
        settings, QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    qCInfo(lcMostrela).noquote() << QStringLiteral("mostrela %1%2, pasta %3, fila %4")
                                        .arg(QStringLiteral(MOSTRELA_VERSION),
                                             commandLine.withoutWindow
                                                 ? QStringLiteral(" sem janela")
                                                 : QString(),
                                             QDir::toNativeSeparators(settings),
                                             QDir::toNativeSeparators(files.spoolFolder));
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
        return QCoreApplication::exec();
    }();
    return leaveProcess(status);
}

int leaveProcess(int status)
{
    if (!workerLeftRunning())
        return status;
    qCInfo(lcMostrela) << "Fim sem esperar pela base de dados";
    std::fflush(nullptr);
    std::_Exit(status);
}
