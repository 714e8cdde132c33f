#pragma once

#include "core/message_queue.h"

#include <QList>
#include <QMutex>
#include <QSet>
#include <QString>
#include <atomic>

// The spool: every message taken from a source, kept on disk from before its deletion there
// until it has reached the display, so that no way of ending the controller loses it. One file
// an entry in the folder `fila`, named by a number that gives the order.
//
// An entry loaded at start whose source delete may not have been done (a crash came between the
// two) stays "pending" until the intake has settled it. If it reaches the display meanwhile, it
// is marked shown rather than removed, so that one more crash can neither show it again nor let
// its source give it a second time.
//
// write() and sourceSettled() run on the intake's thread, shown() on the display's.
class Spool {
public:
    struct Entries {
        QList<QueuedMessage> waiting; // to be shown
        QList<QueuedMessage> shown;   // shown already, their source delete still pending
    };

    // `folder` is the spool's folder, made by the first write.
    explicit Spool(const QString& folder);

    QString folder() const { return m_folder; }

    // The entries left by an earlier run, oldest first, each with its id. An entry that cannot
    // be read is left where it is and named in `problems`. Every entry with an origin is pending.
    Entries load(QStringList& problems);

    // Writes each message as an entry and gives it its id, and the time it was taken unless it
    // has one, all durably (each file flushed to
    // disk, then the folder once) before returning. Throws Failure; the entries written before
    // the failure are removed again.
    void write(QList<QueuedMessage>& messages);

    // Forgets an entry; an id of 0 is none. Returns false when its file could not be removed.
    bool remove(quint64 id) const;

    // The entry's message reached the display, or was dropped as too old to show: removed, or
    // marked shown while it is pending.
    void shown(quint64 id);
    // The intake deleted the entry's message from its source, or found it gone: no longer
    // pending, and removed if it was shown.
    void sourceSettled(quint64 id);

private:
    QString entryPath(quint64 id) const;
    QString shownMarkPath(quint64 id) const;

    QString m_folder;
    std::atomic<quint64> m_nextId{1};
    QMutex m_mutex;
    QSet<quint64> m_pending;
    QSet<quint64> m_shownPending;
};
