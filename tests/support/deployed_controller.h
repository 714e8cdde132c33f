#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

class ControllerFolder;

// The built program run as it is deployed: copied into a ControllerFolder beside its
// Mostrela.cfg and started there as a separate process, on the offscreen platform with its
// output passed on; a test that wants otherwise changes process() before start(). The process
// is ended when the object goes.
class DeployedController {
public:
    DeployedController();
    ~DeployedController();
    DeployedController(const DeployedController&) = delete;
    DeployedController& operator=(const DeployedController&) = delete;

    // Copies `program` into `folder` (unless a copy is there already), writes the folder's
    // settings to Mostrela.cfg and starts the copy with `arguments`. Throws Failure when a step
    // fails.
    void start(const QString& program, const ControllerFolder& folder,
               const QStringList& arguments);

    // Starts the same copy again, with the same arguments, after it has ended. Throws Failure.
    void restart();

    QProcess& process() { return m_process; }

    // Asks the process to end, and kills it when it has not ended within a few seconds.
    void stop();

private:
    QProcess m_process;
};
