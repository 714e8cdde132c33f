#include "support/deployed_controller.h"

#include "core/failure.h"
#include "support/controller_folder.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>

#include <csignal>

namespace {

constexpr int endingMs = 15000;
constexpr int readingMs = 50;

} // namespace

QProcessEnvironment withoutDisplayServer()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}

QString startWithoutWindow(DeployedController& controller, const QStringList& command,
                           const QString& home)
{
    QProcessEnvironment environment = withoutDisplayServer();
    environment.remove("XDG_CONFIG_HOME");
    environment.remove("XDG_DATA_HOME");
    environment.insert("HOME", home);
    QProcess& process = controller.process();
    process.setProcessEnvironment(environment);
    process.setProgram(command.first());
    process.setArguments(command.mid(1) + QStringList{"--sem-janela"});
    return runTrapped([&] { controller.restart(); });
}

DeployedController::DeployedController()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

void DeployedController::start(const QString& program, const ControllerFolder& folder,
                               const QStringList& arguments)
{
    const QString copy = folder.filePath(QFileInfo(program).fileName());
    // A second controller on the same folder runs the same copy.
    if (!QFileInfo::exists(copy) && !QFile::copy(program, copy))
        throw Failure(QStringLiteral("Cannot copy %1 to %2").arg(program, copy));
    folder.writeConfig();

    m_process.setWorkingDirectory(folder.path());
    m_process.setProgram(copy);
    m_process.setArguments(arguments);
    restart();
}

void DeployedController::restart()
{
    m_log.clear();
    m_process.start();
    if (!m_process.waitForStarted())
        throw Failure(QStringLiteral("Cannot start %1: %2")
                          .arg(m_process.program(), m_process.errorString()));
}

QString DeployedController::log()
{
    m_log += m_process.readAllStandardOutput();
    if (m_process.processChannelMode() != QProcess::MergedChannels)
        m_log += m_process.readAllStandardError();
    return QString::fromUtf8(m_log);
}

bool DeployedController::waitForLog(const QString& text, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!log().contains(text) && m_process.state() == QProcess::Running &&
           !deadline.hasExpired())
        m_process.waitForReadyRead(readingMs);
    return log().contains(text);
}

int DeployedController::ended()
{
    if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(endingMs))
        return -1;
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

#ifdef Q_OS_UNIX
int DeployedController::end(int signal)
{
    return ::kill(static_cast<pid_t>(m_process.processId()), signal) == 0 ? ended() : -1;
}
#endif

void DeployedController::kill()
{
    m_process.kill();
    m_process.waitForFinished();
}

void DeployedController::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
#ifdef Q_OS_UNIX
    m_process.terminate();
    if (m_process.waitForFinished(endingMs))
        return;
#endif
    // Windows asks a program to end by closing its windows, and one drawn offscreen has none.
    kill();
}
