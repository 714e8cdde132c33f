#pragma once

#include "app/command_line.h"
#include "app/settings_folder.h"

#include <QString>

// The program's start, shared by the run with a window and the run without one.

// Reads the command line before any application object exists, so that --help and --version
// answer where there is no display server. `installedBinFolder` is the bin folder of the prefix
// the program was built for.
CommandLine readCommandLine(int& argc, char** argv, const QString& installedBinFolder);

// Prints what --help, --version or a refused command line asked for; returns the exit code.
int answer(const CommandLine& commandLine);

// The folders a controller works in.
struct WorkingFolders {
    QString settings; // of Mostrela.cfg
    ControllerFiles files;
};

// Once the application object exists: names the application (the user's folders are named
// after it), makes what the system sends to end a program (signals, a closed console, the end of
// the session) end the event loop, escapes what the log writes,
// chooses the folders, keeps the log in a file beside the lock when standard error is kept
// nowhere (logToFileIfUnkept()), and logs the start. `installedBinFolder` is the bin folder of the
// prefix the program was built for.
WorkingFolders startUp(const CommandLine& commandLine, const QString& installedBinFolder);

// Ends the program as closing its window does. Asked before the event loop runs (a signal heard
// while the start still handles events), the request is kept, and the loop ends as soon as it
// starts.
void endProgram();

// QCoreApplication::exec(), which returns at once when endProgram() came first.
int runEventLoop();

// The controller with no window, in a QCoreApplication: it loads and goes straight to the
// running page; what a message box would say goes to the log. Returns when the event loop ends,
// or with 1 at once when another controller holds the folder.
int runWithoutWindow(const CommandLine& commandLine, const QString& installedBinFolder);

// Returns `status` to end the program with, once the controller is gone. When a source was left
// held up by the outside world (a login to a silent server), it ends the process here instead:
// the static destructors would wait for that thread or unload its driver under it, and the spool
// has kept whatever it had taken.
int leaveProcess(int status);
