#pragma once

#include "core/message_queue.h"

#include <QList>
#include <QString>
#include <atomic>

// The spool: every message taken from a source, kept on disk from before its deletion there
// until it has reached the display, so that no way of ending the controller loses it. One file
// an entry in the folder `fila`, named by a number that gives the order.
//
// write() runs on the intake's thread and remove() on the display's; each touches only its own
// entries' files.
class Spool {
public:
    // `folder` is the spool's folder, made by the first write.
    explicit Spool(const QString& folder);

    QString folder() const { return m_folder; }

    // The entries left by an earlier run, oldest first, each with its id. An entry that cannot
    // be read is left where it is and named in `problems`.
    QList<QueuedMessage> load(QStringList& problems);

    // Writes each message as an entry and gives it its id, all durably (each file flushed to
    // disk, then the folder once) before returning. Throws Failure; the entries written before
    // the failure are removed again.
    void write(QList<QueuedMessage>& messages);

    // Forgets an entry; an id of 0 is none. Returns false when its file could not be removed.
    bool remove(quint64 id) const;

private:
    QString entryPath(quint64 id) const;

    QString m_folder;
    std::atomic<quint64> m_nextId{1};
};
