#include "deployed_controller.h"

#include "app/config_file.h"
#include "app/settings.h"
#include "common/failure.h"
#include "support/odbc_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int endingMs = 5000;

} // namespace

DeployedController::DeployedController()
{
    if (!m_folder.isValid() || !QDir().mkpath(dropFolder()))
        throw Failure(QStringLiteral("Cannot make the controller's folders"));
}

DeployedController::~DeployedController()
{
    stop();
}

QString DeployedController::dropFolder() const
{
    return m_folder.filePath(QStringLiteral("entrada"));
}

void DeployedController::useSources(Settings& settings, const QString& porta) const
{
    using Key = Settings::Key;
    settings.setText(Key::Porta, porta);
    settings.setText(Key::NumLetras, QStringLiteral("20"));
    settings.setText(Key::SQL_Servidor, OdbcFixture::dataSource());
    settings.setText(Key::SQL_Utilizador, QStringLiteral("caixa1"));
    settings.setText(Key::LigaFicheirosPath, dropFolder());
    settings.setLigaSQL(true);
    settings.setLigaFicheiros(true);
}

void DeployedController::start(const QString& program, const Settings& settings,
                               const QStringList& arguments)
{
    const QString copy = m_folder.filePath(QFileInfo(program).fileName());
    if (!QFile::copy(program, copy))
        throw Failure(QStringLiteral("Cannot copy %1 to %2").arg(program, copy));
    writeConfigFile(m_folder.filePath(QStringLiteral("Mostrela.cfg")), settings);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_process.setProcessEnvironment(environment);
    m_process.setWorkingDirectory(m_folder.path());
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
    m_process.start(copy, arguments);
    if (!m_process.waitForStarted())
        throw Failure(QStringLiteral("Cannot start %1: %2").arg(copy, m_process.errorString()));
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
