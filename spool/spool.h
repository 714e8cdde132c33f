#pragma once

#include "core/queued_message.h"

#include <QList>
#include <QMutex>
#include <QSet>
#include <QString>
#include <atomic>
#include <limits>
#include <optional>

// The spool: every message taken from a source, kept on disk from before its deletion there
// until it has reached the display, so that no way of ending the controller loses it. One file
// an entry in the folder `fila`, named by a number of 16 digits that gives the order; the folder
// is for its owner only, and one that is a link is neither read nor written.
//
// An entry loaded at start whose source delete may not have been done (a crash came between the
// two) stays "pending" until the intake has settled it. If it reaches the display meanwhile, it
// is marked shown rather than removed, so that one more crash can neither show it again nor let
// its source give it a second time.
//
// It is the store alone: what waits beyond the queue is the feed's (QueueFeed). Used only in the
// controller that holds the folder's lock, from three kinds of thread:
// - the GUI thread: load() first, then read() for the messages the feed left on disk;
// - each source's intake thread, the two at the same time: write(), remove(), sourceSettled(),
//   unsettled();
// - the display thread: shown().
// folder() and unreadableFolder() never change. The mutex guards which entries are pending and
// which of those were shown, with the files that go with them, so that an entry shown while its
// source is being settled is marked or removed once, never lost; new ids come from an atomic
// counter; everything else is the GUI thread's.
class Spool {
public:
    struct Entries {
        QList<QueuedMessage> waiting; // to be shown
        QList<QueuedMessage> shown;   // shown already, their source delete still pending
        // For the failure label: how many entries could not be read, and where they went.
        QString problem;
    };

    // `folder` is the spool's folder, made by the first write.
    explicit Spool(const QString& folder);

    QString folder() const { return m_folder; }
    // Where entries that cannot be read are put aside: never loaded again, never deleted.
    QString unreadableFolder() const;

    // The entries left by an earlier run, oldest first, each with its id; every entry with an
    // origin is pending. Only the names that write() gives are loaded: any other file is left
    // alone and named in the log. An entry that cannot be read is moved to unreadableFolder()
    // and named in the log. Temporary files left by a crash are removed, and entries numbered
    // near the top of the range are numbered again from 1, in order.
    //
    // At most `most` entries a call, so that a large spool is shown from its first entries while
    // the rest are read: the first call lists the folder, each call reads the entries after the
    // last call's, until allLoaded(); `problem` counts every entry put aside so far. A folder to
    // be numbered again is read whole by the first call.
    Entries load(qsizetype most = std::numeric_limits<qsizetype>::max());
    bool allLoaded() const { return m_listed && m_toLoad.isEmpty(); }

    // The entry `id`'s message again, with its id and the time it was taken (not its steady time:
    // the entry does not keep it), for a message left on disk after load() or write(); none when
    // it can no longer be read, and it is then put aside as at load().
    std::optional<QueuedMessage> read(quint64 id);

    // Writes the messages as entries, in order, giving each its id and the time it was taken
    // unless it has one (then on both clocks), all durably (each file flushed to disk, then the
    // folder once) before returning. When only some can be written (a full disk), those are kept
    // and the rest are dropped from `messages`: they stay in their source. Returns why not all were
    // written, the same text for as long as the cause lasts, or an empty text.
    QString write(QList<QueuedMessage>& messages);

    // Forgets an entry; an id of 0 is none. Returns false when its file could not be removed.
    bool remove(quint64 id) const;

    // The entry's message reached the display, or was dropped as too old to show: removed, or
    // marked shown while it is pending.
    void shown(quint64 id);
    // The intake deleted the entry's message from its source, or found it gone: no longer
    // pending, and removed if it was shown.
    void sourceSettled(quint64 id);
    // Whether its source still holds the entry's message cannot be told (the connection went
    // during its delete): pending from now on, as an entry of an earlier run is.
    void unsettled(quint64 id);

private:
    // Why the folder is not used: it is a link, which could lead to a folder that is not the
    // spool's own (shared with another controller, or one whose mode is another's choice). Empty
    // when it is not one.
    QString linkRefusal() const;
    QString entryPath(quint64 id) const;
    QString shownMarkPath(quint64 id) const;
    void makeFolder() const;
    quint64 createEntry(const QByteArray& bytes);
    // Moves an entry that cannot be read out of the way.
    void putAside(quint64 id, const QString& reason) const;
    // Gives the entries, and the shown marks among them, the ids 1, 2, ... in their order.
    void renumber(QList<QueuedMessage>& messages, QSet<quint64>& marks) const;

    // Lists the folder into m_toLoad, in order, sets the ids to come after it, and tidies it.
    void list();

    QString m_folder;
    bool m_listed = false;
    // The entries not loaded yet, the first at the back, and the shown marks among all entries.
    QList<quint64> m_toLoad;
    QSet<quint64> m_marks;
    int m_unreadable = 0;
    std::atomic<quint64> m_nextId{1};
    // Guards the two sets below.
    QMutex m_mutex;
    QSet<quint64> m_pending;
    QSet<quint64> m_shownPending;
};
