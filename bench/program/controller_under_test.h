#pragma once

#include "support/controller_folder.h"
#include "support/deployed_controller.h"
#include "support/drop_batch.h"
#include "support/process_usage.h"
#include "support/shown_messages.h"
#include "visor/pty_port.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>

#include <functional>
#include <memory>

struct ControllerSetup {
    double pollingSeconds = 0.5; // SegundosTimerSQL
    double displaySeconds = 0.1; // SegundosTimerDisplay; 0 gives no display ticks
    bool idleClock = false;      // MostraDefault ticked, line 2 the date and time
    bool database = false;       // LigaSQL as well, on the test data source's empty table
    QString server = {};         // SQL_Servidor instead of the test data source
    bool window = true;          // false: started with --sem-janela
    int spooled = 0;             // messages an earlier run left in the spool, its deletes unsure
};

// The built controller run as an unattended shop runs it: copied beside its own Mostrela.cfg,
// started with "AUTO" on the offscreen platform (or with no window at all), a pseudo-terminal as
// its display port and a real drop folder as its source. Watched from outside only: the display
// port is read all the time and cut into frames, each timed on arrival; drop files are counted out
// as it takes them; its CPU time and memory come from /proc.
class ControllerUnderTest : public QObject {
    Q_OBJECT
public:
    // Starts the controller; throws Failure.
    ControllerUnderTest(const QString& program, const ControllerSetup& setup);

    // Writes `count` drop files, numbered on from the last ones, beside the drop folder, ready
    // to be moved into place. Throws Failure.
    std::unique_ptr<DropBatch> stage(int count);
    // Moves `batch` in and waits until the controller has taken it, and until `frames` frames
    // in all have reached the display. Throws Failure when that takes longer than `limitMs`.
    void feed(DropBatch& batch, int frames, qint64 limitMs);

    // Puts `count` drop files, numbered on from the last ones, into the drop folder one at a
    // time, each (written beside it and moved in) once the controller has taken the one before
    // it. Throws Failure when a file is not taken within `limitMs`.
    void drip(int count, qint64 limitMs);

    // Runs the event loop until `done` holds, checked on every frame, every file taken and at
    // least every 100 ms; false when `limitMs` passed first. Throws Failure when the controller
    // exits.
    bool runUntil(const std::function<bool()>& done, qint64 limitMs);
    // A window of time to measure over, with the event loop running.
    void runFor(qint64 ms)
    {
        runUntil([] { return false; }, ms);
    }
    // The controller's CPU seconds a second of wall clock over a window of `ms`.
    double cpuRate(qint64 ms);
    // Sends `signal` and returns the seconds until the controller has ended. Throws Failure
    // when it has not ended within `limitMs` or not with status 0.
    double secondsToEnd(int signal, qint64 limitMs);

    // Throws Failure when the controller is gone.
    ProcessUsage usage() { return ProcessUsage::of(m_controller.process().processId()); }
    // The controller's CPU seconds since `earlier`.
    double cpuSecondsSince(const ProcessUsage& earlier)
    {
        return usage().threadCpuSecondsSince(earlier);
    }
    // Seconds since the start, on the clock that timed the frames.
    double now() const { return static_cast<double>(m_clock.nsecsElapsed()) / 1e9; }
    // When the controller's process was started, on now()'s clock.
    double startedAt() const { return m_startedAt; }

    // When each frame was whole on the display port, in seconds on now()'s clock.
    const QList<double>& frameTimes() const { return m_frameTimes; }
    int frames() const { return static_cast<int>(m_frameTimes.size()); }
    qint64 frameBytes() const { return m_frameBytes; }
    qint64 strayBytes() const { return m_shown.strayBytes(); }

signals:
    void progressed();

private:
    void receive(const QByteArray& bytes);

    QElapsedTimer m_clock;
    PtyPort m_port;
    ControllerFolder m_folder;
    DeployedController m_controller;
    ShownMessages m_shown;
    QList<double> m_frameTimes;
    qint64 m_frameBytes = 0;
    int m_nextNumber = 1;
    double m_startedAt = 0;
};
