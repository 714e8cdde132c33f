#include "intake/intake_worker.h"

IntakeWorker::IntakeWorker(Spool& spool, const QList<QueuedMessage>& unfinished)
    : m_polling(spool, unfinished)
{
    qRegisterMetaType<SourceSettings>();
    qRegisterMetaType<PollResult>();
    qRegisterMetaType<ConnectionTest>();
}

void IntakeWorker::poll(const SourceSettings& settings)
{
    emit polled(m_polling.poll(
        settings, [this](const QString& caption) { emit captionChanged(caption); },
        [this](const QList<QueuedMessage>& messages) {
            if (!messages.isEmpty())
                emit taken(messages);
        }));
}

void IntakeWorker::testConnection(const SourceSettings& settings)
{
    emit connectionTested(::testConnection(settings));
}
