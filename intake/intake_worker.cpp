#include "intake/intake_worker.h"

IntakeWorker::IntakeWorker(const std::function<std::unique_ptr<SourcePolling>()>& makePolling)
    : m_polling(makePolling())
{
    qRegisterMetaType<SourceSettings>();
    qRegisterMetaType<PollResult>();
    qRegisterMetaType<ConnectionTest>();
}

IntakeWorker::~IntakeWorker() = default;

void IntakeWorker::poll(const SourceSettings& settings)
{
    if (m_stopping)
        return;
    const PollResult result = m_polling->poll(
        settings, [this](const QString& caption) { emit captionChanged(caption); },
        [this](const QList<QueuedMessage>& messages) {
            if (!messages.isEmpty())
                emit taken(messages);
        },
        m_stopping);
    if (!m_stopping)
        emit polled(result);
}

void IntakeWorker::addUnfinished(const QList<QueuedMessage>& unfinished)
{
    m_polling->addUnfinished(unfinished);
}

void IntakeWorker::rest()
{
    m_polling->rest();
}

void IntakeWorker::testConnection(const SourceSettings& settings)
{
    if (!m_stopping)
        emit connectionTested(::testConnection(settings));
}
