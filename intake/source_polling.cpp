#include "intake/source_polling.h"

#include <QHashFunctions>

namespace {

// Both readings of a row go through the same query and the same cut, so texts read again compare
// equal to those kept, whatever type the driver gives DataSys.
size_t messageTexts(const QueuedMessage& message, bool withUser)
{
    const size_t texts = qHashMulti(0, message.ordem, message.linha1, message.linha2);
    return withUser ? qHashMulti(texts, message.origin.utilizador.value_or(QString())) : texts;
}

} // namespace

size_t dropFileName(const QString& name)
{
    return name.isEmpty() ? 0 : qHash(name);
}

UnfinishedEntry::UnfinishedEntry(const QueuedMessage& message)
    : spoolId(message.spoolId), numRegisto(message.origin.numRegisto),
      dropFile(dropFileName(message.origin.dropFile)),
      texts(messageTexts(message, message.origin.utilizador.has_value())),
      namesUser(message.origin.utilizador.has_value())
{
}

bool UnfinishedEntry::holds(const QueuedMessage& message) const
{
    if (namesUser && !message.origin.utilizador)
        return false;
    return messageTexts(message, namesUser) == texts;
}

SourcePolling::SourcePolling(std::shared_ptr<Spool> spool, const QList<QueuedMessage>& unfinished,
                             bool (*ofThisSource)(const MessageOrigin& origin))
    : m_spool(std::move(spool)), m_ofThisSource(ofThisSource)
{
    addUnfinished(unfinished);
}

void SourcePolling::addUnfinished(const QList<QueuedMessage>& unfinished)
{
    for (const QueuedMessage& message : unfinished) {
        if (m_ofThisSource(message.origin))
            m_unfinished.append(UnfinishedEntry(message));
    }
}

PollResult SourcePolling::poll(const SourceSettings& settings, const Caption& caption,
                               const Deliver& deliver, const std::atomic<bool>& stopping)
{
    PollResult result;
    QStringList problems;
    const QString error =
        runTrapped([&] { step(settings, caption, deliver, stopping, result, problems); });
    if (!error.isEmpty())
        problems << error;
    result.error = m_report.describe(problems);
    return result;
}
