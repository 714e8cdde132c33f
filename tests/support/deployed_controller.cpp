#include "support/deployed_controller.h"

#include "core/failure.h"
#include "support/controller_folder.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr int endingMs = 5000;

} // namespace

DeployedController::DeployedController()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
}

DeployedController::~DeployedController()
{
    stop();
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
    m_process.start();
    if (!m_process.waitForStarted())
        throw Failure(QStringLiteral("Cannot start %1: %2")
                          .arg(m_process.program(), m_process.errorString()));
}

void DeployedController::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(endingMs))
        m_process.kill();
    m_process.waitForFinished();
}
