#include "app/controller.h"
#include "app/program.h"
#include "core/log.h"
#include "window/menu.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    const CommandLine commandLine = readCommandLine(argc, argv);
    if (commandLine.action != CommandLine::Action::Run)
        return answer(commandLine);
    if (commandLine.withoutWindow) {
        const QCoreApplication application(argc, argv);
        return runWithoutWindow(commandLine);
    }

    QApplication application(argc, argv);
    const int status = [&] {
        Controller controller(startUp(commandLine));
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
