#include "app/controller.h"
#include "window/menu.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Mostrela"));

    // The command line is the text after the program's name, as one text.
    QStringList arguments = application.arguments();
    arguments.removeFirst();

    Controller controller(QCoreApplication::applicationDirPath());
    Menu menu(controller);
    menu.load(arguments.join(u' '));
    menu.show();
    return application.exec();
}
