#include "intake/polling.h"

#include "app/settings.h"
#include "app/status.h"
#include "common/failure.h"
#include "intake/database_source.h"
#include "intake/drop_folder.h"

#include <QCoreApplication>
#include <QScopedValueRollback>

Polling::Polling(const Settings& settings, MessageQueue& queue, Status& status,
                 std::function<bool()> isRunningPage, CriticalMessage showMessage)
    : m_settings(settings), m_queue(queue), m_status(status),
      m_isRunningPage(std::move(isRunningPage)), m_showMessage(std::move(showMessage))
{
}

void Polling::tick()
{
    if (m_ticking || !m_isRunningPage())
        return;
    const QScopedValueRollback ticking(m_ticking, true);
    bool connected = true;
    const QString error = runTrapped([&] {
        if (m_settings.ligaSQL()) {
            connected = takeDatabaseMessages(m_settings, m_queue, m_status, m_showMessage);
            if (!connected)
                return;
        }
        if (m_settings.ligaFicheiros()) {
            m_status.setCaption(QStringLiteral("Em Execução - Carregando Ficheiros"));
            takeDropFiles(m_settings.text(Settings::Key::LigaFicheirosPath),
                          m_settings.text(Settings::Key::NumLetras), m_queue,
                          [] { QCoreApplication::processEvents(); });
        }
        m_status.setCaption(Status::idleCaption());
    });
    if (connected)
        m_status.setError(error, Status::Handler::Polling);
}
