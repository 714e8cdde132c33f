#include "intake/intake_worker.h"

IntakeWorker::IntakeWorker(Spool& spool, const QList<QueuedMessage>& unfinished)
    : m_polling(spool, unfinished)
{
    qRegisterMetaType<SourceSettings>();
    qRegisterMetaType<PollResult>();
}

void IntakeWorker::poll(const SourceSettings& settings)
{
    emit polled(
        m_polling.poll(settings, [this](const QString& caption) { emit captionChanged(caption); }));
}
