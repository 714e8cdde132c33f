#pragma once

#include "support/controller_folder.h"
#include "support/deployed_controller.h"
#include "support/feeder.h"
#include "support/message_ledger.h"
#include "support/process_usage.h"
#include "support/shown_messages.h"
#include "visor/pty_port.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class OdbcFixture;

struct SoakSettings {
    double minutes = 10;
    double displaySeconds = 0.08; // SegundosTimerDisplay
    double pollingSeconds = 0.3;  // SegundosTimerSQL
    double feedRatio = 1.25;      // messages fed per message the display can show
    double stallSeconds = 30;     // no message shown for this long, with some waiting, is a hang
    double memoryMarginMiB = 8;   // how far resident memory may end above where it started
    double killSeconds = 0;       // kill the controller and start it again this often; 0: never
    QString program;              // the controller's executable
};

struct SoakFigures {
    MessageLedger ledger;
    qint64 strayBytes = 0;
    int refusals = 0;
    int queuePeak = 0;
    int kills = 0;
    ProcessUsage start; // after start-up, before feeding
    ProcessUsage end;   // after draining
    double feedSeconds = 0;
    double drainSeconds = 0;
    QString failure; // why the run stopped short; empty when it drained
};

// One soak run: the real controller, started with "AUTO" beside its own Mostrela.cfg, its
// display a pseudo-terminal, fed from both sources faster than it shows messages, then drained;
// killed and started again over the same folder every few seconds while fed, when asked.
class SoakRun : public QObject {
    Q_OBJECT
public:
    SoakRun(const SoakSettings& settings, OdbcFixture& odbc);

    // Throws Failure when the controller cannot be set up or started.
    SoakFigures run();

signals:
    void messageShown();
    // Feeding, or starting the controller again, failed: m_failure says why.
    void failed();

private:
    enum class Outcome { Done, TimeUp, Stalled, Exited, Failed };

    void startController();
    // Runs the event loop until `done` holds after a message is shown, or `limitMs` pass, or
    // the controller stalls or exits.
    Outcome runUntil(const std::function<bool()>& done, qint64 limitMs);
    QString describe(Outcome outcome, const QString& phase) const;
    bool allShown() const { return m_ledger.shownOnce() >= m_ledger.fedTotal(); }
    qint64 pid() { return m_controller.process().processId(); }

    void receive(const QByteArray& bytes);
    void feedDue();
    void feedOne();
    void sample();
    void killAndRestart();

    const SoakSettings& m_settings;
    MessageLedger m_ledger;
    PtyPort m_port;
    ControllerFolder m_folder;
    DeployedController m_controller;
    Feeder m_feeder;
    ShownMessages m_shown;
    QTimer m_feedTimer;
    QTimer m_sampleTimer;
    QTimer m_killTimer;
    bool m_restarting = false;
    int m_kills = 0;
    QElapsedTimer m_feedClock;
    QElapsedTimer m_runClock;
    int m_fedBeforeFeeding = 0;
    MessageLedger::Source m_nextSource = MessageLedger::Source::Database;
    int m_queuePeak = 0;
    int m_samples = 0;
    QString m_failure;
};
