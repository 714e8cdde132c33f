#pragma once

#include <QString>
#include <QStringList>

// What the program was asked to do on its command line.
struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, Refuse };

    Action action = Action::Run;
    // --pasta: the folder of Mostrela.cfg and the spool, made absolute; empty when not given.
    QString folder;
    // --sem-janela: the controller runs with no window.
    bool withoutWindow = false;
    // What remains after the options, joined with one space: "AUTO" in any case selects the
    // running page at start.
    QString rest;
    // For ShowHelp, ShowVersion and Refuse: the text to print.
    QString text;
};

// Reads `arguments` (the program's name first). `defaultFolder` says, for --help, which folder
// holds Mostrela.cfg when --pasta is not given. Every text is the program's own, in Portuguese,
// whatever translations are installed.
CommandLine parseCommandLine(const QStringList& arguments, const QString& defaultFolder);
