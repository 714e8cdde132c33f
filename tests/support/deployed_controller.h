#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

class ControllerFolder;

// The environment of a box with no display server at all, where a window cannot open.
QProcessEnvironment withoutDisplayServer();

// The built program as deployed: copied into a ControllerFolder beside its Mostrela.cfg and run
// there as a process of its own on the offscreen platform, its standard output and error read as
// its log (a test that wants otherwise changes process() before start()); ended when it goes.
class DeployedController {
public:
    DeployedController();
    ~DeployedController() { stop(); }

    // Copies `program` into `folder` unless a copy is there, writes the folder's settings to
    // Mostrela.cfg and starts the copy with `arguments`. Throws Failure when a step fails.
    void start(const QString& program, const ControllerFolder& folder,
               const QStringList& arguments);

    // Starts the same copy again, with the same arguments, after it has ended. Throws Failure.
    void restart();

    QProcess& process() { return m_process; }

    // All that the program has logged so far in this run.
    QString log();
    // Waits until the log holds `text`, the program ends or the time is up; says whether it does.
    bool waitForLog(const QString& text, int timeoutMs = 15000);

    // Waits until the program has ended: its exit code when it ran to its end, -1 when it was
    // killed or has not ended within seconds.
    int ended();
#ifdef Q_OS_UNIX
    // Sends `signal` and waits for the end, as ended().
    int end(int signal);
#endif
    // Kills the program at once (SIGKILL, TerminateProcess) and waits until it has gone.
    void kill();

    // Asks the process to end, and kills it when it has not ended within a few seconds.
    void stop();

private:
    QProcess m_process;
    QByteArray m_log;
};

// Starts `command` (the program, or a launcher and the program, with arguments) without a window
// or a display server, for a user whose home folder is `home`: empty when it runs, else why not.
QString startWithoutWindow(DeployedController& controller, const QStringList& command,
                           const QString& home);
