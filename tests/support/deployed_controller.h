#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class Settings;

// The controller as it is deployed: the built program copied into a folder of its own beside a
// Mostrela.cfg and run there as a separate process, on the offscreen platform. Its drop folder
// is "entrada" in that folder. The process is ended when the object goes.
class DeployedController {
public:
    // Throws Failure when the folders cannot be made.
    DeployedController();
    ~DeployedController();
    DeployedController(const DeployedController&) = delete;
    DeployedController& operator=(const DeployedController&) = delete;

    QString folder() const { return m_folder.path(); }
    QString dropFolder() const;

    // Points `settings` at the display on `porta` and at both sources, each switched on: the
    // OdbcFixture's data source, read as user "caixa1", and this drop folder. Lines are 20
    // letters wide; timers and idle text are left to the caller.
    void useSources(Settings& settings, const QString& porta) const;

    // Copies `program` into the folder, writes `settings` to Mostrela.cfg beside it and starts
    // it with `arguments`. Throws Failure when a step fails.
    void start(const QString& program, const Settings& settings, const QStringList& arguments);

    QProcess& process() { return m_process; }

    // Asks the process to end, and kills it when it has not ended within a few seconds.
    void stop();

private:
    QTemporaryDir m_folder;
    QProcess m_process;
};
