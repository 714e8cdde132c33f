#pragma once

#include "core/failure.h"
#include "core/queued_message.h"
#include "intake/abrir_ligacao.h"
#include "intake/problem_report.h"

#include <QList>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class Spool;
struct SourceSettings;

// A spool entry of an earlier run whose source delete may not have been done: small, with no
// text of its own, as a large spool has one for every message.
struct UnfinishedEntry {
    explicit UnfinishedEntry(const QueuedMessage& message);

    // Whether `message`, as its source gives it now, is the message this entry kept: a drop file
    // of the same name, or a row of the same number (a table emptied numbers its rows from 1
    // again), that holds another message is a new one, to be taken.
    bool holds(const QueuedMessage& message) const;

    quint64 spoolId;
    qint64 numRegisto; // the database row's number, or -1
    // The drop file's name hashed (see dropFileName()), or 0 for none.
    size_t dropFile;
    // The message's texts (a row's DataSys among them, as its ordem), and its SQL user when the
    // entry names one, hashed.
    size_t texts;
    bool namesUser;
};

// A drop file's name as an unfinished entry keeps it.
size_t dropFileName(const QString& name);

// What one step of a polling tick took from its source and met.
struct PollResult {
    // Why something could not be taken, empty after a clean step. A connection that failed is
    // not here but in connectionFailure.
    QString error;
    // How many messages the source gave; -1 when it was not read.
    int messages = -1;
    // The database's step ended at its connection (a blank server included)...
    bool connectionFailed = false;
    // ... and why, unless the server was blank and so not tried.
    std::optional<ConnectionFailure> connectionFailure;
};

// One source's step of the polling tick (the database's or the drop folder's): moves its waiting
// messages into the spool and deletes them from the source, naming each step through `caption`
// and ending with the idle caption unless a failure stopped it. An entry that cannot be taken
// delays only itself. It runs on the source's own thread and touches nothing of the window.
class SourcePolling {
public:
    using Caption = std::function<void(const QString&)>;
    // Hands over messages taken, in order, each kept in the spool and deleted from its source.
    using Deliver = std::function<void(const QList<QueuedMessage>&)>;

    virtual ~SourcePolling() = default;

    // `stopping` is checked between files, rows and batches: once it is set the step ends there,
    // leaving what it has not finished to the spool and the source, to be finished by the next
    // run. The result of a stopped step means nothing.
    PollResult poll(const SourceSettings& settings, const Caption& caption, const Deliver& deliver,
                    const std::atomic<bool>& stopping);
    // More of the spool's entries of an earlier run, as they are read; see the constructor.
    void addUnfinished(const QList<QueuedMessage>& unfinished);
    // Polling has stopped for now: lets go of what the source keeps from one step to the next
    // (the database's connection, and with it the SQL user's lock).
    virtual void rest() {}

protected:
    // A source left running at the end keeps the spool it writes to alive. Of the spool's entries
    // of an earlier run, those that `ofThisSource` picks may not have been deleted from this
    // source: such a message still found there is deleted, not taken again.
    SourcePolling(std::shared_ptr<Spool> spool, const QList<QueuedMessage>& unfinished,
                  bool (*ofThisSource)(const MessageOrigin& origin));

    // The step itself: how many messages it took goes in `result`, and what it could not take in
    // `problems`; a failure it throws ends it, and joins them.
    virtual void step(const SourceSettings& settings, const Caption& caption,
                      const Deliver& deliver, const std::atomic<bool>& stopping, PollResult& result,
                      QStringList& problems) = 0;

    // Messages kept and deleted from their source at a time: the first reach the display while
    // the rest are taken, and a stop never waits for more than one batch to be kept.
    static constexpr qsizetype batchSize = 500;

    std::shared_ptr<Spool> m_spool;
    QList<UnfinishedEntry> m_unfinished;

private:
    bool (*m_ofThisSource)(const MessageOrigin& origin);
    ProblemReport m_report;
};

// Once the spool has taken what fits (a nearly full disk), the step ends there: the messages
// left stay in their source until a later tick.
inline void refuseMore(const QString& spoolFull)
{
    if (!spoolFull.isEmpty())
        throw Failure(spoolFull);
}
