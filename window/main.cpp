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
    QApplication::exec();
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    const CommandLine commandLine = readCommandLine(argc, argv);
    const QString installedBinFolder = QStringLiteral(MOSTRELA_INSTALL_BINDIR);
    if (commandLine.action != CommandLine::Action::Run)
        return answer(commandLine);
    if (commandLine.withoutWindow) {
        const QCoreApplication application(argc, argv);
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
        // The session manager ends the event loop itself once the session ends, and a session
        // that ends by signal is covered by startUp; there is nothing unsaved to ask about.
        QObject::connect(&application, &QGuiApplication::commitDataRequest,
                         [] { qCInfo(lcMostrela) << "Fim da sessão"; });
        menu.load(commandLine.rest);
        menu.show();
        return application.exec();
    }();
    return leaveProcess(status);
}
