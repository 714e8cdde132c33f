#pragma once

#include "core/settings_snapshots.h"
#include "intake/connection_test.h"
#include "intake/polling.h"

#include <QObject>

// The polling tick on the intake's own thread: a source that stalls (a silent server, a slow
// table) holds up only this thread, never the window.
class IntakeWorker : public QObject {
    Q_OBJECT
public:
    IntakeWorker(Spool& spool, const QList<QueuedMessage>& unfinished);

public slots:
    void poll(const SourceSettings& settings);
    // A connection test asked for from the window; it waits for a polling tick under way.
    void testConnection(const SourceSettings& settings);

signals:
    void captionChanged(const QString& caption);
    // Messages taken, in order, as they are taken; polled() ends the tick.
    void taken(const QList<QueuedMessage>& messages);
    void polled(const PollResult& result);
    void connectionTested(const ConnectionTest& result);

private:
    Polling m_polling;
};
