#pragma once

#include "intake/intake_worker.h"
#include "spool/spool.h"

#include <QStringList>

#include <memory>

// One source's intake worker polled step by step in the test's thread, over a spool an earlier
// run may have left entries in. It keeps all it took, and the last step's captions and result.
template <typename Polling> class PolledSource {
public:
    explicit PolledSource(const QString& spoolFolder)
        : m_spool(std::make_shared<Spool>(spoolFolder)), m_worker([this] {
              const Spool::Entries kept = m_spool->load();
              return std::make_unique<Polling>(m_spool, kept.waiting + kept.shown);
          })
    {
        QObject::connect(&m_worker, &IntakeWorker::captionChanged,
                         [this](const QString& caption) { captions << caption; });
        QObject::connect(&m_worker, &IntakeWorker::taken,
                         [this](const QList<QueuedMessage>& messages) { taken += messages; });
        QObject::connect(&m_worker, &IntakeWorker::polled,
                         [this](const PollResult& polled) { result = polled; });
    }

    const PollResult& poll(const SourceSettings& settings)
    {
        captions.clear();
        m_worker.poll(settings);
        return result;
    }

    // "linha1|linha2" of each message taken so far, in order.
    QStringList lines() const
    {
        QStringList lines;
        for (const QueuedMessage& message : taken)
            lines << message.linha1 + u'|' + message.linha2;
        return lines;
    }

    QList<QueuedMessage> taken;
    QStringList captions;
    PollResult result;

private:
    std::shared_ptr<Spool> m_spool;
    IntakeWorker m_worker;
};
