#include "app/controller.h"

#include "app/config_file.h"
#include "core/failure.h"
#include "core/log.h"
#include "core/numbers.h"
#include "core/settings_snapshots.h"
#include "intake/abrir_ligacao.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

Controller::Controller(const QString& folder, QObject* parent)
    : QObject(parent), m_configPath(QDir(folder).filePath(QStringLiteral("Mostrela.cfg"))),
      m_polling(
          m_queue, m_status, [this] { return m_page == Page::Executando; },
          [this](const ConnectionFailure& failure) { showCriticalMessage(failure.message()); })
{
    connect(&m_tmrDisplay, &Timer::tick, this,
            [this] { m_rotation.tick(rotationSettings(m_settings), displaySettings(m_settings)); });
    connect(&m_tmrVerifica, &Timer::tick, this,
            [this] { m_polling.tick(sourceSettings(m_settings)); });
}

QString Controller::windowTitle() const
{
    // Major and revision only: version 1.0.1 reads "1.1".
    return QStringLiteral("Controlador de Display       [Ver %1.%2] - %3")
        .arg(MOSTRELA_VERSION_MAJOR)
        .arg(MOSTRELA_VERSION_REVISION)
        .arg(QDir::toNativeSeparators(QFileInfo(m_configPath).absolutePath()));
}

void Controller::selectPage(Page page)
{
    m_page = page;
    if (page == Page::Executando) {
        m_tmrVerifica.setEnabled(true);
        runSkippingFailure(
            [this] { applyInterval(m_tmrVerifica, Settings::Key::SegundosTimerSQL); });
        runSkippingFailure(
            [this] { applyInterval(m_tmrDisplay, Settings::Key::SegundosTimerDisplay); });
    } else {
        m_tmrVerifica.setEnabled(false);
    }
    emit pageChanged(page);
}

void Controller::applyInterval(Timer& timer, Settings::Key seconds)
{
    timer.setInterval(millisecondsFromSeconds(m_settings.text(seconds)));
}

void Controller::load(const QString& commandLine)
{
    const QString error = runTrapped([&] {
        readConfigFile(m_configPath, m_settings);
        applyInterval(m_tmrVerifica, Settings::Key::SegundosTimerSQL);
        applyInterval(m_tmrDisplay, Settings::Key::SegundosTimerDisplay);
        if (commandLine.toUpper() == QStringLiteral("AUTO")) {
            QCoreApplication::processEvents();
            selectPage(Page::Executando);
        }
    });
    m_status.setError(error, Status::Handler::SettingsFile);
}

void Controller::saveSettings()
{
    const QString error = runTrapped([this] { writeConfigFile(m_configPath, m_settings); });
    m_status.setError(error, Status::Handler::SettingsFile);
}

void Controller::setCriticalMessageHandler(std::function<void(const QString&)> handler)
{
    m_criticalMessage = std::move(handler);
}

void Controller::showCriticalMessage(const QString& text) const
{
    if (m_criticalMessage)
        m_criticalMessage(text);
    else
        qCCritical(lcMostrela).noquote() << text;
}
