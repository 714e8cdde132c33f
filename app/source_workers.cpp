#include "app/source_workers.h"

#include "core/status.h"
#include "intake/database_polling.h"
#include "intake/drop_folder_polling.h"

namespace {

// How long a tick's files wait for its rows: a database that answers takes far less.
constexpr int graceMs = 1000;

} // namespace

SourceWorkers::SourceWorkers(const std::shared_ptr<Spool>& spool,
                             const QList<QueuedMessage>& unfinished, const QString& applicationName)
{
    m_database.thread = std::make_unique<WorkerThread<IntakeWorker>>(
        [&] { return std::make_unique<DatabasePolling>(spool, unfinished, applicationName); });
    m_dropFolder.thread = std::make_unique<WorkerThread<IntakeWorker>>(
        [&] { return std::make_unique<DropFolderPolling>(spool, unfinished); });
    m_grace.setSingleShot(true);
    m_grace.setInterval(graceMs);
    connect(&m_grace, &QTimer::timeout, this, &SourceWorkers::releaseHeldFiles);

    for (Source* source : {&m_database, &m_dropFolder})
        connect(source->thread->worker(), &IntakeWorker::captionChanged, this,
                [this, source](const QString& caption) { setCaption(*source, caption); });
    IntakeWorker* database = m_database.thread->worker();
    connect(database, &IntakeWorker::taken, this, &SourceWorkers::taken);
    connect(database, &IntakeWorker::polled, this, [this](const PollResult& result) {
        releaseHeldFiles();
        emit databasePolled(result);
        polled(m_database);
    });
    connect(database, &IntakeWorker::connectionTested, this, &SourceWorkers::connectionTested);
    IntakeWorker* dropFolder = m_dropFolder.thread->worker();
    connect(dropFolder, &IntakeWorker::taken, this, &SourceWorkers::filesTaken);
    connect(dropFolder, &IntakeWorker::polled, this, [this](const PollResult& result) {
        emit dropFolderPolled(result);
        polled(m_dropFolder);
    });
}

SourceWorkers::~SourceWorkers()
{
    end(QDeadlineTimer::Forever);
}

void SourceWorkers::tick(const SourceSettings& settings)
{
    if (m_stopping)
        return;
    const bool databaseStarts = settings.ligaSQL && !m_database.busy;
    if (databaseStarts) {
        startStep(m_database, settings);
    } else if (!settings.ligaSQL) {
        setCaption(m_database, Status::idleCaption());
        rest();
    }

    if (settings.ligaFicheiros && !m_dropFolder.busy) {
        releaseHeldFiles();
        m_filesWait = databaseStarts;
        if (m_filesWait)
            m_grace.start();
        startStep(m_dropFolder, settings);
    } else if (!settings.ligaFicheiros) {
        setCaption(m_dropFolder, Status::idleCaption());
    }
    // Answered as a step would be, after the tick.
    if (!m_database.busy && !m_dropFolder.busy)
        QMetaObject::invokeMethod(this, &SourceWorkers::idle, Qt::QueuedConnection);
}

void SourceWorkers::startStep(Source& source, const SourceSettings& settings)
{
    source.busy = true;
    IntakeWorker* worker = source.thread->worker();
    QMetaObject::invokeMethod(worker, [worker, settings] { worker->poll(settings); });
}

void SourceWorkers::addUnfinished(const QList<QueuedMessage>& unfinished)
{
    if (unfinished.isEmpty())
        return;
    for (Source* source : {&m_database, &m_dropFolder}) {
        IntakeWorker* worker = source->thread->worker();
        QMetaObject::invokeMethod(worker,
                                  [worker, unfinished] { worker->addUnfinished(unfinished); });
    }
}

void SourceWorkers::rest()
{
    if (m_stopping)
        return;
    IntakeWorker* worker = m_database.thread->worker();
    QMetaObject::invokeMethod(worker, [worker] { worker->rest(); });
}

void SourceWorkers::testConnection(const SourceSettings& settings)
{
    IntakeWorker* worker = m_database.thread->worker();
    QMetaObject::invokeMethod(worker, [worker, settings] { worker->testConnection(settings); });
}

void SourceWorkers::filesTaken(const QList<QueuedMessage>& messages)
{
    if (m_filesWait)
        m_heldFiles.append(messages);
    else
        emit taken(messages);
}

void SourceWorkers::releaseHeldFiles()
{
    m_grace.stop();
    m_filesWait = false;
    if (!m_heldFiles.isEmpty())
        emit taken(std::exchange(m_heldFiles, {}));
}

void SourceWorkers::polled(Source& source)
{
    source.busy = false;
    showCaption();
    if (!m_database.busy && !m_dropFolder.busy)
        emit idle();
}

void SourceWorkers::setCaption(Source& source, const QString& caption)
{
    source.caption = caption;
    showCaption();
}

void SourceWorkers::showCaption()
{
    const bool database = m_database.busy || m_database.caption != Status::idleCaption();
    emit captionChanged(database ? m_database.caption : m_dropFolder.caption);
}

void SourceWorkers::requestStop()
{
    m_stopping = true;
    m_grace.stop();
    for (Source* source : {&m_database, &m_dropFolder}) {
        if (source->thread)
            source->thread->worker()->requestStop();
    }
}

void SourceWorkers::end(QDeadlineTimer deadline)
{
    // Once ended, the workers are gone.
    if (std::exchange(m_ended, true))
        return;
    requestStop();
    endOrLeave(m_database.thread, deadline);
    endOrLeave(m_dropFolder.thread, deadline);
}
