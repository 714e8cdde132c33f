#pragma once

#include "core/settings_snapshots.h"
#include "intake/connection_test.h"
#include "intake/source_polling.h"

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>

// One source's polling step on that source's own thread: a source that stalls (a silent server,
// a locked row, a huge folder) holds up only this thread, never the window nor the other source.
class IntakeWorker : public QObject {
    Q_OBJECT
public:
    // `makePolling` is called on the worker's thread, which then owns what the polling makes (a
    // database connection).
    explicit IntakeWorker(const std::function<std::unique_ptr<SourcePolling>()>& makePolling);
    ~IntakeWorker() override;

    // Asks the step under way, and any later one, to end at the next file, row or batch. Safe
    // from any thread.
    void requestStop() { m_stopping = true; }

public slots:
    void poll(const SourceSettings& settings);
    void addUnfinished(const QList<QueuedMessage>& unfinished);
    // Polling has stopped for now (see SourcePolling::rest()).
    void rest();
    // A connection test, on a connection of its own; it waits for a polling step under way.
    void testConnection(const SourceSettings& settings);

signals:
    void captionChanged(const QString& caption);
    // Messages taken, in order, as they are taken; polled() ends the step.
    void taken(const QList<QueuedMessage>& messages);
    void polled(const PollResult& result);
    void connectionTested(const ConnectionTest& result);

private:
    std::unique_ptr<SourcePolling> m_polling;
    std::atomic<bool> m_stopping{false};
};
