#include "spool/spool.h"

#include "core/failure.h"
#include "core/log.h"
#include "core/platform_files.h"
#include "core/regular_file.h"
#include "spool/durable_file.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <functional>
#include <optional>

namespace {

const QString entrySuffix = QStringLiteral(".msg");
const QString shownMarkSuffix = QStringLiteral(".mostrada");
const QString unreadableFolderName = QStringLiteral("ilegiveis");
constexpr int idDigits = 16;
constexpr quint64 highestId = 9'999'999'999'999'999;
// Far from the top, yet reached only by a folder that was copied or edited by hand: taking a
// thousand messages a second, a controller would need 150,000 years to get there.
constexpr quint64 renumberAbove = 5'000'000'000'000'000;
// An entry holds three lines of at most longestLine characters and a file name or an SQL user;
// one that is far larger was not written by the spool.
constexpr qint64 largestEntry = 1024 * 1024;
constexpr QFileDevice::Permissions ownerOnly =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

// The id in a name that the spool gives: exactly 16 digits and the suffix.
std::optional<quint64> idOf(const QString& name, const QString& suffix)
{
    if (name.size() != idDigits + suffix.size() || !name.endsWith(suffix))
        return std::nullopt;
    const QStringView digits = QStringView(name).first(idDigits);
    if (!std::all_of(digits.begin(), digits.end(),
                     [](QChar character) { return character >= u'0' && character <= u'9'; }))
        return std::nullopt;
    const quint64 id = digits.toULongLong();
    return id == 0 ? std::nullopt : std::optional(id);
}

bool isLeftOverTemporary(const QString& name)
{
    if (!name.endsWith(temporarySuffix))
        return false;
    const QString written = name.chopped(temporarySuffix.size());
    return idOf(written, entrySuffix) || idOf(written, shownMarkSuffix);
}

QByteArray entryBytes(const QueuedMessage& message)
{
    QJsonObject entry{{QStringLiteral("ordem"), message.ordem},
                      {QStringLiteral("linha1"), message.linha1},
                      {QStringLiteral("linha2"), message.linha2}};
    if (!message.origin.dropFile.isEmpty())
        entry.insert(QStringLiteral("ficheiro"), message.origin.dropFile);
    if (message.origin.numRegisto >= 0)
        entry.insert(QStringLiteral("registo"), QString::number(message.origin.numRegisto));
    if (message.origin.utilizador)
        entry.insert(QStringLiteral("utilizador"), *message.origin.utilizador);
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
    if (const QJsonValue user = entry.value(QStringLiteral("utilizador")); user.isString())
        message.origin.utilizador = user.toString();
    message.takenAt = entry.value(QStringLiteral("tomada")).toString().toLongLong();
    return message;
}

// The entry's message, or why it cannot be read.
std::optional<QueuedMessage> readEntry(const QString& path, QString& reason)
{
    // As the drop folder opens its files: a FIFO never holds up the start, and a link never
    // brings another file's text onto the display.
    QFile file;
    reason = runTrapped([&] { openRegularFile(file, path, Links::refuse); });
    if (!file.isOpen())
        return std::nullopt;
    const QByteArray bytes = file.read(largestEntry + 1);
    std::optional<QueuedMessage> message;
    if (bytes.size() > largestEntry)
        reason = QStringLiteral("tem mais de %1 bytes").arg(largestEntry);
    else if (!(message = entryMessage(bytes)))
        reason = file.error() != QFileDevice::NoError ? file.errorString()
                                                      : QStringLiteral("não é uma mensagem");
    return message;
}

} // namespace

Spool::Spool(const QString& folder) : m_folder(folder) {}

QString Spool::unreadableFolder() const
{
    return QDir(m_folder).filePath(unreadableFolderName);
}

QString Spool::entryPath(quint64 id) const
{
    return QDir(m_folder).filePath(QStringLiteral("%1").arg(id, idDigits, 10, QLatin1Char('0')) +
                                   entrySuffix);
}

QString Spool::shownMarkPath(quint64 id) const
{
    return entryPath(id).chopped(entrySuffix.size()) + shownMarkSuffix;
}

void Spool::list()
{
    m_listed = true;
    const QDir directory(m_folder);
    if (!directory.exists() || !linkRefusal().isEmpty())
        return;
    // A folder made by an earlier version let others read the messages.
    QFile::setPermissions(m_folder, ownerOnly);

    // Name by name: a list of the whole folder's entries would hold a file's details each.
    QDirIterator entries(m_folder,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        entries.next();
        const QString name = entries.fileName();
        if (const std::optional<quint64> id = idOf(name, entrySuffix))
            m_toLoad << *id;
        else if (const std::optional<quint64> marked = idOf(name, shownMarkSuffix))
            m_marks << *marked;
        else if (isLeftOverTemporary(name))
            QFile::remove(directory.filePath(name));
        else if (name != unreadableFolderName)
            qCWarning(lcMostrela).noquote()
                << QStringLiteral("Ficheiro estranho na fila, deixado como está: \"%1\"")
                       .arg(QDir::toNativeSeparators(directory.filePath(name)));
    }
    // Taken from the back, the oldest last.
    std::sort(m_toLoad.begin(), m_toLoad.end(), std::greater<>());
    m_marks.removeIf([this](quint64 marked) {
        if (std::binary_search(m_toLoad.cbegin(), m_toLoad.cend(), marked, std::greater<>()))
            return false;
        QFile::remove(shownMarkPath(marked));
        return true;
    });
    if (!m_toLoad.isEmpty())
        m_nextId = m_toLoad.first() + 1;
}

Spool::Entries Spool::load(qsizetype most)
{
    if (!m_listed)
        list();
    // Numbered again, the entries need their new ids before any is shown.
    const bool toRenumber = !m_toLoad.isEmpty() && m_toLoad.first() > renumberAbove;
    if (toRenumber)
        most = m_toLoad.size();

    QList<QueuedMessage> messages;
    for (; most > 0 && !m_toLoad.isEmpty(); --most) {
        if (std::optional<QueuedMessage> message = read(m_toLoad.takeLast()))
            messages << std::move(*message);
    }
    if (toRenumber) {
        if (!messages.isEmpty())
            renumber(messages, m_marks);
        m_nextId = messages.isEmpty() ? 1 : messages.last().spoolId + 1;
    }

    Entries entries;
    const QMutexLocker lock(&m_mutex);
    for (QueuedMessage& message : messages) {
        const bool hasOrigin = !message.origin.dropFile.isEmpty() || message.origin.numRegisto >= 0;
        if (hasOrigin)
            m_pending.insert(message.spoolId);
        if (hasOrigin && m_marks.contains(message.spoolId)) {
            m_shownPending.insert(message.spoolId);
            entries.shown << std::move(message);
        } else {
            entries.waiting << std::move(message);
        }
    }
    if (m_toLoad.isEmpty()) {
        m_toLoad.squeeze();
        m_marks.clear();
    }
    if (const QString refusal = linkRefusal(); !refusal.isEmpty())
        entries.problem = QStringLiteral("A fila \"%1\" não é lida: %2")
                              .arg(QDir::toNativeSeparators(m_folder), refusal);
    else if (m_unreadable > 0)
        entries.problem =
            QStringLiteral("Mensagens da fila ilegíveis: %1, postas de parte em \"%2\"")
                .arg(m_unreadable)
                .arg(QDir::toNativeSeparators(unreadableFolder()));
    return entries;
}

std::optional<QueuedMessage> Spool::read(quint64 id)
{
    QString reason;
    std::optional<QueuedMessage> message = readEntry(entryPath(id), reason);
    if (!message) {
        putAside(id, reason);
        ++m_unreadable;
        return std::nullopt;
    }
    message->spoolId = id;
    // Entries of older runs do not say when they were taken: no later than they were kept.
    if (message->takenAt == 0)
        message->takenAt = QFileInfo(entryPath(id))
                               .fileTime(QFileDevice::FileModificationTime)
                               .toMSecsSinceEpoch();
    return message;
}

void Spool::putAside(quint64 id, const QString& reason) const
{
    QFile::remove(shownMarkPath(id));
    const QString name = QFileInfo(entryPath(id)).fileName();
    QDir().mkdir(unreadableFolder(), ownerOnly);
    QString to = QDir(unreadableFolder()).filePath(name);
    for (int copy = 1; QFileInfo::exists(to); ++copy)
        to = QDir(unreadableFolder()).filePath(QStringLiteral("%1.%2").arg(name).arg(copy));
    QFile file(entryPath(id));
    if (file.rename(to))
        qCWarning(lcMostrela).noquote()
            << QStringLiteral("Mensagem da fila ilegível (%1), posta de parte em \"%2\"")
                   .arg(reason, QDir::toNativeSeparators(to));
    else
        qCWarning(lcMostrela).noquote()
            << QStringLiteral("Mensagem da fila ilegível (%1), deixada em \"%2\": %3")
                   .arg(reason, QDir::toNativeSeparators(file.fileName()), file.errorString());
}

void Spool::renumber(QList<QueuedMessage>& messages, QSet<quint64>& marks) const
{
    // In order, each new id is at most its old one, and every lower name has moved already: no
    // entry is ever renamed onto another.
    for (qsizetype index = 0; index < messages.size(); ++index) {
        const quint64 former = messages[index].spoolId;
        const quint64 id = static_cast<quint64>(index) + 1;
        if (former == id)
            continue;
        if (!QFile::rename(entryPath(former), entryPath(id)))
            break; // the rest keep their higher ids, still in order
        messages[index].spoolId = id;
        if (marks.remove(former) && QFile::rename(shownMarkPath(former), shownMarkPath(id)))
            marks.insert(id);
    }
    runSkippingFailure([this] { flushFolder(m_folder); });
    qCInfo(lcMostrela).noquote() << QStringLiteral(
                                        "Mensagens da fila numeradas de novo a partir de 1: \"%1\"")
                                        .arg(QDir::toNativeSeparators(m_folder));
}

QString Spool::linkRefusal() const
{
    const QFileInfo info(m_folder);
    if (!info.isSymLink() && !info.isJunction())
        return {};
    return QStringLiteral("é uma ligação para outra pasta, e a fila é sempre uma pasta só sua; "
                          "as mensagens ficam nas suas fontes");
}

void Spool::makeFolder() const
{
    const auto madeAlready = [this] {
        if (const QString refusal = linkRefusal(); !refusal.isEmpty())
            throw Failure(refusal);
        return QFileInfo(m_folder).isDir();
    };
    if (madeAlready())
        return;
    const QString parent = QFileInfo(m_folder).absolutePath();
    // Both sources write from threads of their own: the other one may make it first.
    if ((!QDir().mkpath(parent) || !QDir().mkdir(m_folder, ownerOnly)) && !madeAlready())
        throw Failure(QStringLiteral("não foi possível criar a pasta"));
}

quint64 Spool::createEntry(const QByteArray& bytes)
{
    // A name already taken (a file put there by hand) is passed over, never replaced.
    for (;;) {
        const quint64 id = m_nextId++;
        if (id > highestId)
            throw Failure(QStringLiteral("os números das mensagens chegaram ao fim; reinicie o "
                                         "controlador para os numerar de novo"));
        if (createDurably(entryPath(id), bytes))
            return id;
    }
}

QString Spool::write(QList<QueuedMessage>& messages)
{
    qsizetype written = 0;
    QString reason = runTrapped([&] {
        if (messages.isEmpty())
            return;
        makeFolder();
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        const qint64 steadyNow = steadyClockMs();
        for (QueuedMessage& message : messages) {
            if (message.takenAt == 0) {
                message.takenAt = now;
                message.takenSteady = steadyNow;
            }
            message.spoolId = createEntry(entryBytes(message));
            ++written;
        }
    });
    if (written > 0) {
        const QString unflushed = runTrapped([this] { flushFolder(m_folder); });
        if (!unflushed.isEmpty()) {
            // Not surely on disk: they stay in their sources instead.
            for (qsizetype index = 0; index < written; ++index)
                remove(std::exchange(messages[index].spoolId, 0));
            written = 0;
            reason = unflushed;
        }
    }
    messages.erase(messages.begin() + written, messages.end());
    if (reason.isEmpty())
        return {};
    // No entry's name in it: a full disk reads the same on every tick, and is logged once.
    return QStringLiteral("Não foi possível gravar na fila \"%1\": %2")
        .arg(QDir::toNativeSeparators(m_folder), reason);
}

bool Spool::remove(quint64 id) const
{
    QFile::remove(shownMarkPath(id));
    return id == 0 || QFile::remove(entryPath(id)) || !QFile::exists(entryPath(id));
}

void Spool::shown(quint64 id)
{
    // The idle text, written every tick, has no entry.
    if (id == 0)
        return;
    const QMutexLocker lock(&m_mutex);
    if (!m_pending.contains(id)) {
        remove(id);
        return;
    }
    // Kept, marked: a failed mark leaves it to be shown again, never lost.
    runSkippingFailure([&] {
        createDurably(shownMarkPath(id), {});
        flushFolder(m_folder);
    });
    m_shownPending.insert(id);
}

void Spool::unsettled(quint64 id)
{
    const QMutexLocker lock(&m_mutex);
    m_pending.insert(id);
}

void Spool::sourceSettled(quint64 id)
{
    const QMutexLocker lock(&m_mutex);
    m_pending.remove(id);
    if (m_shownPending.remove(id))
        remove(id);
}
