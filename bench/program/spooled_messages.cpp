#include "spooled_messages.h"

#include "core/failure.h"
#include "spool/spool.h"
#include "support/drop_files.h"

namespace {

constexpr int batchSize = 1000;
constexpr int lineWidth = 20;

} // namespace

void writeSpooledMessages(const QString& folder, int first, int count)
{
    Spool spool(folder);
    for (int start = first; start < first + count; start += batchSize) {
        QList<QueuedMessage> batch;
        for (int number = start; number < std::min(start + batchSize, first + count); ++number) {
            const QString name = benchDropFileName(number);
            const QString text = QString::fromLatin1(benchDropFileText(number));
            QueuedMessage message(name.left(14), text.left(lineWidth), text.mid(lineWidth));
            message.origin.dropFile = name;
            batch.append(message);
        }
        const qsizetype wanted = batch.size();
        const QString failure = spool.write(batch);
        if (batch.size() != wanted)
            throw Failure(QStringLiteral("Cannot spool the messages: %1").arg(failure));
    }
}
