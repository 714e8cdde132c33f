#pragma once

#include "core/status.h"
#include "core/worker_thread.h"
#include "intake/intake_worker.h"

#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <memory>

class Spool;

// The two message sources, each polled on a thread of its own, one step at a time: a database
// that fails or stalls (a login that hangs up to its time-out, a locked row) delays only itself,
// and the drop folder keeps its pace. When the database answers as usual, a tick's rows still
// come before its files: the files taken in a tick wait for that tick's database step, but no
// longer than a short grace.
//
// The running frame's caption follows the database's step while one is under way or has
// stopped at a failure, and the drop folder's otherwise.
class SourceWorkers : public QObject {
    Q_OBJECT
public:
    // `unfinished`: the spool's entries of an earlier run whose source delete may not be done.
    // `applicationName` names the controller's sessions on the database server.
    SourceWorkers(const std::shared_ptr<Spool>& spool, const QList<QueuedMessage>& unfinished,
                  const QString& applicationName);
    // Ends the threads, waiting for steps under way (see end()).
    ~SourceWorkers() override;

    // One polling tick: each source that is on, and not still busy with an earlier tick, starts
    // a step. A source that is off shows the idle caption.
    void tick(const SourceSettings& settings);
    // More entries whose source delete may not be done, read from the spool after the first:
    // each source has them before its next step.
    void addUnfinished(const QList<QueuedMessage>& unfinished);
    // Polling has stopped for now: the database's connection closes after its step under way,
    // so that another controller of the same SQL user can take over.
    void rest();
    // A connection test on the database's thread, after its step under way.
    void testConnection(const SourceSettings& settings);

    // Asks the steps under way to end at their next file, row or batch, and starts no more.
    void requestStop();
    // Stops and ends both threads by `deadline`; a thread still held up by the outside world
    // then (a login, a statement) is left running, so that the program never waits it out.
    void end(QDeadlineTimer deadline);

signals:
    // The caption to show, on every change of either source's step.
    void captionChanged(const QString& caption);
    // Messages taken, ready for the queue, in the order they are to be shown.
    void taken(const QList<QueuedMessage>& messages);
    void databasePolled(const PollResult& result);
    void dropFolderPolled(const PollResult& result);
    // Every step started has answered.
    void idle();
    void connectionTested(const ConnectionTest& result);

private:
    struct Source {
        std::unique_ptr<WorkerThread<IntakeWorker>> thread;
        bool busy = false;
        QString caption = Status::idleCaption();
    };

    void startStep(Source& source, const SourceSettings& settings);
    void setCaption(Source& source, const QString& caption);
    void showCaption();
    void filesTaken(const QList<QueuedMessage>& messages);
    void releaseHeldFiles();
    void polled(Source& source);

    Source m_database;
    Source m_dropFolder;
    // Files of a tick whose database step has not answered yet, within the grace.
    bool m_filesWait = false;
    QList<QueuedMessage> m_heldFiles;
    QTimer m_grace;
    bool m_stopping = false;
    bool m_ended = false;
};
