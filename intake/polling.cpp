#include "intake/polling.h"

#include "core/failure.h"
#include "core/settings_snapshots.h"
#include "core/status.h"
#include "intake/database_source.h"
#include "intake/drop_folder.h"

#include <QCoreApplication>
#include <QScopedValueRollback>

Polling::Polling(MessageQueue& queue, Status& status, std::function<bool()> isRunningPage,
                 ConnectionFailed connectionFailed)
    : m_queue(queue), m_status(status), m_isRunningPage(std::move(isRunningPage)),
      m_connectionFailed(std::move(connectionFailed))
{
}

void Polling::tick(const SourceSettings& settings)
{
    if (m_ticking || !m_isRunningPage())
        return;
    const QScopedValueRollback ticking(m_ticking, true);
    bool connected = true;
    const QString error = runTrapped([&] {
        if (settings.ligaSQL) {
            connected = takeDatabaseMessages(settings);
            if (!connected)
                return;
        }
        if (settings.ligaFicheiros) {
            m_status.setCaption(QStringLiteral("Em Execução - Carregando Ficheiros"));
            takeDropFiles(settings.pasta, settings.numLetras, m_queue,
                          [] { QCoreApplication::processEvents(); });
        }
        m_status.setCaption(Status::idleCaption());
    });
    if (connected)
        m_status.setError(error, Status::Handler::Polling);
}

bool Polling::takeDatabaseMessages(const SourceSettings& settings)
{
    m_status.setCaption(QStringLiteral("Em Execução - Abrindo Ligação"));
    DatabaseSource database;
    std::optional<ConnectionFailure> failure;
    if (!database.open(settings, failure)) {
        if (failure && m_connectionFailed)
            m_connectionFailed(*failure);
        return false;
    }
    m_status.setCaption(QStringLiteral("Em Execução - Abrindo Tabela"));
    const QList<DatabaseSource::WaitingRow> rows = database.waitingRows(settings);
    if (rows.isEmpty())
        return true;
    m_status.setCaption(QStringLiteral("Em Execução - Carregando Registos"));
    database.take(rows, m_queue);
    return true;
}
