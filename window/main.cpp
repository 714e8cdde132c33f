#include "app/controller.h"
#include "app/folder_lock.h"
#include "app/program.h"
#include "core/log.h"
#include "window/display_server.h"
#include "window/menu.h"
#include "window/qt_translations.h"

#include <QApplication>
#include <QMessageBox>
#include <optional>

namespace {

// The box stays until it is answered or the program is signalled to end; either way the program
// then ends with 1.
int refuse(QApplication& application, const QString& refusal)
{
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), refusal,
                    QMessageBox::Ok);
    QObject::connect(&box, &QMessageBox::finished, &application, &QCoreApplication::quit);
    box.show();
    runEventLoop();
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    const QString installedBinFolder = QStringLiteral(MOSTRELA_INSTALL_BINDIR);
    const CommandLine commandLine = readCommandLine(argc, argv, installedBinFolder);
    if (commandLine.action != CommandLine::Action::Run)
        return answer(commandLine);
    if (commandLine.withoutWindow) {
        QCoreApplication application(argc, argv);
        // The system's reasons in the log (a file missing, a permission) in Portuguese too.
        translateQtIntoPortuguese(application);
        return runWithoutWindow(commandLine, installedBinFolder);
    }

    auto guard = std::make_optional<DisplayServerGuard>();
    QApplication application(argc, argv);
    guard.reset();
    translateQtIntoPortuguese(application);
    const WorkingFolders folders = startUp(commandLine, installedBinFolder);
    FolderLock lock(folders.files.lockFile);
    if (const QString refusal = lock.take(); !refusal.isEmpty())
        return refuse(application, refusal);
    const int status = [&] {
        Controller controller(folders.settings, folders.files.spoolFolder);
        Menu menu(controller);
        // Windows asks before a logoff or a shutdown, and ends the process soon after the
        // session's end without waiting for the event loop: the program ends at the question,
        // while it has the time, as on a signal. Elsewhere a session that ends signals the
        // program, and a session manager may ask to save without ending anything.
#ifdef Q_OS_WIN
        QObject::connect(&application, &QGuiApplication::commitDataRequest, [] {
            qCInfo(lcMostrela) << "Fim da sessão: a terminar";
            endProgram();
        });
#endif
        menu.load(commandLine.rest);
        menu.show();
        return runEventLoop();
    }();
    return leaveProcess(status);
}
