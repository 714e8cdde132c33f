#include "core/spool.h"

#include "core/durable_file.h"
#include "core/failure.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString entrySuffix = QStringLiteral(".msg");
const QString shownMarkSuffix = QStringLiteral(".mostrada");
constexpr int idDigits = 16;

QByteArray entryBytes(const QueuedMessage& message)
{
    QJsonObject entry{{QStringLiteral("ordem"), message.ordem},
                      {QStringLiteral("linha1"), message.linha1},
                      {QStringLiteral("linha2"), message.linha2}};
    if (!message.origin.dropFile.isEmpty())
        entry.insert(QStringLiteral("ficheiro"), message.origin.dropFile);
    if (message.origin.numRegisto >= 0)
        entry.insert(QStringLiteral("registo"), QString::number(message.origin.numRegisto));
    entry.insert(QStringLiteral("tomada"), QString::number(message.takenAt));
    return QJsonDocument(entry).toJson(QJsonDocument::Compact);
}

std::optional<QueuedMessage> entryMessage(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject entry = document.object();
    QueuedMessage message(entry.value(QStringLiteral("ordem")).toString(),
                          entry.value(QStringLiteral("linha1")).toString(),
                          entry.value(QStringLiteral("linha2")).toString());
    message.origin.dropFile = entry.value(QStringLiteral("ficheiro")).toString();
    bool ok = false;
    const qint64 row = entry.value(QStringLiteral("registo")).toString().toLongLong(&ok);
    if (ok)
        message.origin.numRegisto = row;
    message.takenAt = entry.value(QStringLiteral("tomada")).toString().toLongLong();
    return message;
}

} // namespace

Spool::Spool(const QString& folder) : m_folder(folder) {}

QString Spool::entryPath(quint64 id) const
{
    return QDir(m_folder).filePath(QStringLiteral("%1").arg(id, idDigits, 10, QLatin1Char('0')) +
                                   entrySuffix);
}

QString Spool::shownMarkPath(quint64 id) const
{
    return entryPath(id).chopped(entrySuffix.size()) + shownMarkSuffix;
}

Spool::Entries Spool::load(QStringList& problems)
{
    const QDir directory(m_folder);
    Entries entries;
    // The fixed-width numbers sort in the order the entries were written.
    for (const QString& name : directory.entryList({u'*' + entrySuffix}, QDir::Files, QDir::Name)) {
        bool ok = false;
        const quint64 id = name.chopped(entrySuffix.size()).toULongLong(&ok);
        if (!ok || id == 0)
            continue;
        m_nextId = std::max(m_nextId.load(), id + 1);
        QFile file(directory.filePath(name));
        std::optional<QueuedMessage> message;
        if (file.open(QIODevice::ReadOnly))
            message = entryMessage(file.read(1024 * 1024));
        if (!message) {
            problems << QStringLiteral("Mensagem da fila ilegível: \"%1\"").arg(file.fileName());
            continue;
        }
        message->spoolId = id;
        // Entries of older runs do not say when they were taken: no later than they were kept.
        if (message->takenAt == 0)
            message->takenAt = file.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch();
        const bool hasOrigin =
            !message->origin.dropFile.isEmpty() || message->origin.numRegisto >= 0;
        const QMutexLocker lock(&m_mutex);
        if (hasOrigin)
            m_pending.insert(id);
        if (hasOrigin && QFile::exists(shownMarkPath(id))) {
            m_shownPending.insert(id);
            entries.shown << *message;
        } else {
            entries.waiting << *message;
        }
    }
    return entries;
}

void Spool::write(QList<QueuedMessage>& messages)
{
    if (messages.isEmpty())
        return;
    const QString failure = runTrapped([&] {
        if (!QDir().mkpath(m_folder))
            throw Failure(
                QStringLiteral("Não foi possível criar a pasta da fila \"%1\"").arg(m_folder));
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        for (QueuedMessage& message : messages) {
            message.spoolId = m_nextId++;
            if (message.takenAt == 0)
                message.takenAt = now;
            writeDurably(entryPath(message.spoolId), entryBytes(message));
        }
        flushFolder(m_folder);
    });
    if (failure.isEmpty())
        return;
    for (QueuedMessage& message : messages)
        remove(std::exchange(message.spoolId, 0));
    throw Failure(failure);
}

bool Spool::remove(quint64 id) const
{
    QFile::remove(shownMarkPath(id));
    return id == 0 || QFile::remove(entryPath(id)) || !QFile::exists(entryPath(id));
}

void Spool::shown(quint64 id)
{
    const QMutexLocker lock(&m_mutex);
    if (!m_pending.contains(id)) {
        remove(id);
        return;
    }
    // Kept, marked: a failed mark leaves it to be shown again, never lost.
    runSkippingFailure([&] {
        writeDurably(shownMarkPath(id), {});
        flushFolder(m_folder);
    });
    m_shownPending.insert(id);
}

void Spool::sourceSettled(quint64 id)
{
    const QMutexLocker lock(&m_mutex);
    m_pending.remove(id);
    if (m_shownPending.remove(id))
        remove(id);
}
