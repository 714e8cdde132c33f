#pragma once

#include "support/controller_folder.h"
#include "support/deployed_controller.h"
#include "support/pseudo_terminal.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The built program as a shop deploys it, with all it meets: its folder, whose settings name
// the terminal display as the port, and the program run from that folder as a process.
struct ProgramRig {
    ProgramRig();

    ControllerFolder folder;
    PseudoTerminal display;
    DeployedController controller;

    Settings& settings() { return folder.settings(); }
    // Turns the idle text on; idleText() is what it puts on the display.
    void showIdleText();
    static QByteArray idleText();
    // Arguments for a run without a window over the folder.
    QStringList withoutWindow() const;
    // Starts the built program from the folder (or from `from`) with `arguments`, or again as
    // before after it has ended: empty when it runs, else why it does not.
    QString start(const QStringList& arguments) { return start(arguments, folder); }
    QString start(const QStringList& arguments, const ControllerFolder& from);
    QString restart();

    static QString builtProgram();
};
