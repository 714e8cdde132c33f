#include "support/drop_batch.h"

#include "core/failure.h"
#include "support/drop_files.h"

#include <QDir>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

DropBatch::DropBatch(const QString& dropFolder, int first, int count)
    : m_dropFolder(dropFolder), m_staging(QStringLiteral("%1.%2").arg(dropFolder).arg(first)),
      m_count(count), m_left(count)
{
    if (!QDir().mkpath(m_staging))
        throw Failure(QStringLiteral("Cannot make %1").arg(m_staging));
    writeBenchDropFiles(m_staging, first, count);
    m_inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_inotify < 0 || ::inotify_add_watch(m_inotify, QFile::encodeName(m_staging).constData(),
                                             IN_DELETE | IN_MOVED_FROM) < 0)
        throw Failure(QStringLiteral("Cannot watch %1: %2")
                          .arg(m_staging, QString::fromLocal8Bit(std::strerror(errno))));
    m_notifier = std::make_unique<QSocketNotifier>(m_inotify, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &DropBatch::readEvents);
}

DropBatch::~DropBatch()
{
    m_notifier.reset();
    if (m_inotify >= 0)
        ::close(m_inotify);
    if (!m_movedIn)
        QDir(m_staging).removeRecursively();
}

void DropBatch::moveIntoPlace()
{
    if (::rename(QFile::encodeName(m_staging).constData(),
                 QFile::encodeName(m_dropFolder).constData()) != 0)
        throw Failure(
            QStringLiteral("Cannot move %1 over %2: %3")
                .arg(m_staging, m_dropFolder, QString::fromLocal8Bit(std::strerror(errno))));
    m_movedIn = true;
}

int DropBatch::takenCount() const
{
    if (!m_overflowed)
        return m_count - m_left;
    // The kernel dropped events: count what is left in the folder itself.
    return m_count -
           static_cast<int>(QDir(m_dropFolder).entryList(QDir::Files | QDir::Hidden).size());
}

void DropBatch::readEvents()
{
    alignas(inotify_event) std::array<char, 64 * 1024> buffer;
    ssize_t size = 0;
    while ((size = ::read(m_inotify, buffer.data(), buffer.size())) > 0) {
        for (ssize_t at = 0; at < size;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
            if (event->mask & IN_Q_OVERFLOW)
                m_overflowed = true;
            else if ((event->mask & (IN_DELETE | IN_MOVED_FROM)) && !(event->mask & IN_ISDIR))
                --m_left;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    emit filesTaken();
}
