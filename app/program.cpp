#include "app/program.h"

#include "app/controller.h"
#include "app/settings_folder.h"
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

CommandLine readCommandLine(int& argc, char** argv)
{
    // QCoreApplication reads the arguments as the platform gives them, and needs no display.
    const QCoreApplication reader(argc, argv);
    return parseCommandLine(QCoreApplication::arguments());
}

int answer(const CommandLine& commandLine)
{
    const bool refused = commandLine.action == CommandLine::Action::Refuse;
    std::fputs(commandLine.text.toLocal8Bit().constData(), refused ? stderr : stdout);
    return refused ? 1 : 0;
}

QString startUp(const CommandLine& commandLine)
{
    QCoreApplication::setApplicationName(QStringLiteral("Mostrela"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MOSTRELA_VERSION));
#ifdef Q_OS_UNIX
    new TerminationSignals(QCoreApplication::instance());
#endif
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                     [] { qCInfo(lcMostrela) << "A terminar"; });

    const QString folder =
        settingsFolder(commandLine.folder, QCoreApplication::applicationDirPath(),
                       QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    qCInfo(lcMostrela).noquote() << QStringLiteral("mostrela %1%2, pasta %3")
                                        .arg(QStringLiteral(MOSTRELA_VERSION),
                                             commandLine.withoutWindow
                                                 ? QStringLiteral(" sem janela")
                                                 : QString(),
                                             QDir::toNativeSeparators(folder));
    return folder;
}

int runWithoutWindow(const CommandLine& commandLine)
{
    const int status = [&] {
        Controller controller(startUp(commandLine));
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
