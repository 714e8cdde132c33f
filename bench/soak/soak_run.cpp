#include "soak_run.h"

#include "core/failure.h"
#include "core/settings.h"

#include <QEventLoop>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>

namespace {

using Key = Settings::Key;
using Source = MessageLedger::Source;

constexpr qint64 startUpLimitMs = 60000;
constexpr int sampleMs = 1000;
constexpr int samplesPerProgressLine = 60;
// Draining may take this many times the display's own pace, plus a fixed margin, before the
// run gives up on it.
constexpr double drainSlack = 3;
constexpr qint64 drainMarginMs = 60000;
constexpr qint64 shortestGraceMs = 2000;
constexpr int graceTicks = 5;

qint64 milliseconds(double seconds)
{
    return std::llround(seconds * 1000);
}

double mebibytes(qint64 kibibytes)
{
    return static_cast<double>(kibibytes) / 1024;
}

} // namespace

SoakRun::SoakRun(const SoakSettings& settings, OdbcFixture& odbc)
    : m_settings(settings), m_feeder(odbc, m_folder.dropFolder(), m_ledger)
{
    connect(&m_port, &PtyPort::received, this, &SoakRun::receive);
    const double feedPerSecond = m_settings.feedRatio / m_settings.displaySeconds;
    m_feedTimer.setTimerType(Qt::PreciseTimer);
    m_feedTimer.setInterval(std::max<int>(1, static_cast<int>(1000 / feedPerSecond)));
    connect(&m_feedTimer, &QTimer::timeout, this, &SoakRun::feedDue);
    m_sampleTimer.setInterval(sampleMs);
    connect(&m_sampleTimer, &QTimer::timeout, this, &SoakRun::sample);
    m_killTimer.setInterval(static_cast<int>(milliseconds(m_settings.killSeconds)));
    connect(&m_killTimer, &QTimer::timeout, this, &SoakRun::killAndRestart);
}

void SoakRun::startController()
{
    Settings& settings = m_folder.settings(); // the idle text stays off: only messages show
    settings.setText(Key::Porta, m_port.slavePath());
    settings.setText(Key::SegundosTimerSQL, QString::number(m_settings.pollingSeconds));
    settings.setText(Key::SegundosTimerDisplay, QString::number(m_settings.displaySeconds));
    settings.setLigaSQL(true);
    settings.setLigaFicheiros(true);
    m_controller.start(m_settings.program, m_folder, {QStringLiteral("AUTO")});
}

SoakFigures SoakRun::run()
{
    m_runClock.start();
    startController();
    SoakFigures figures;

    // Start-up: one message through each source, so the controller has connected to the
    // database, read the folder and written to the display before its memory is taken as the
    // starting point.
    feedOne();
    feedOne();
    Outcome outcome = runUntil([this] { return allShown(); }, startUpLimitMs);
    if (outcome != Outcome::Done)
        throw Failure(describe(outcome, QStringLiteral("start-up")));
    figures.start = ProcessUsage::of(pid());

    m_fedBeforeFeeding = m_ledger.fedTotal();
    m_feedClock.start();
    m_feedTimer.start();
    m_sampleTimer.start();
    if (m_settings.killSeconds > 0)
        m_killTimer.start();
    outcome = runUntil([] { return false; }, milliseconds(m_settings.minutes * 60));
    m_feedTimer.stop();
    m_killTimer.stop();
    figures.feedSeconds = static_cast<double>(m_feedClock.elapsed()) / 1000;
    if (outcome != Outcome::TimeUp)
        figures.failure = describe(outcome, QStringLiteral("feeding"));

    QElapsedTimer draining;
    draining.start();
    if (figures.failure.isEmpty()) {
        const qint64 backlog = m_ledger.fedTotal() - m_ledger.shownOnce();
        const qint64 limitMs = static_cast<qint64>(static_cast<double>(backlog) * drainSlack *
                                                   m_settings.displaySeconds * 1000) +
                               drainMarginMs;
        outcome = runUntil([this] { return allShown(); }, limitMs);
        if (outcome != Outcome::Done)
            figures.failure = describe(outcome, QStringLiteral("draining"));
    }
    figures.drainSeconds = static_cast<double>(draining.elapsed()) / 1000;
    if (figures.failure.isEmpty()) {
        // A message queued twice would show after the last one: watch a few more ticks.
        const qint64 graceMs =
            std::max(shortestGraceMs, graceTicks * milliseconds(m_settings.pollingSeconds +
                                                                m_settings.displaySeconds));
        outcome = runUntil([] { return false; }, graceMs);
        if (outcome != Outcome::TimeUp)
            figures.failure = describe(outcome, QStringLiteral("watching after the drain"));
    }
    m_sampleTimer.stop();
    sample();
    if (m_controller.process().state() == QProcess::Running)
        figures.end = ProcessUsage::of(pid());
    m_controller.stop();

    figures.ledger = m_ledger;
    figures.strayBytes = m_shown.strayBytes();
    figures.refusals = m_feeder.refusals();
    figures.queuePeak = m_queuePeak;
    figures.kills = m_kills;
    return figures;
}

SoakRun::Outcome SoakRun::runUntil(const std::function<bool()>& done, qint64 limitMs)
{
    if (m_controller.process().state() != QProcess::Running)
        return Outcome::Exited;
    if (done())
        return Outcome::Done;
    QEventLoop loop;
    Outcome outcome = Outcome::TimeUp;
    const auto finish = [&](Outcome how) {
        outcome = how;
        loop.quit();
    };
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &loop, [&] { finish(Outcome::TimeUp); });
    QTimer stall;
    stall.setSingleShot(true);
    stall.setInterval(static_cast<int>(milliseconds(m_settings.stallSeconds)));
    connect(&stall, &QTimer::timeout, &loop, [&] {
        if (allShown())
            stall.start(); // nothing waiting: silence is right
        else
            finish(Outcome::Stalled);
    });
    connect(this, &SoakRun::messageShown, &loop, [&] {
        stall.start();
        if (done())
            finish(Outcome::Done);
    });
    connect(this, &SoakRun::failed, &loop, [&] { finish(Outcome::Failed); });
    connect(&m_controller.process(), &QProcess::finished, &loop, [&] {
        if (!m_restarting)
            finish(Outcome::Exited);
    });
    limit.start(static_cast<int>(std::min<qint64>(limitMs, std::numeric_limits<int>::max())));
    stall.start();
    loop.exec();
    return outcome;
}

QString SoakRun::describe(Outcome outcome, const QString& phase) const
{
    switch (outcome) {
    case Outcome::Done:
        return {};
    case Outcome::TimeUp:
        return QStringLiteral("%1: messages still waiting when time was up").arg(phase);
    case Outcome::Stalled:
        return QStringLiteral("%1: no message shown for %2 s while %3 were waiting (a hang)")
            .arg(phase)
            .arg(m_settings.stallSeconds)
            .arg(m_ledger.fedTotal() - m_ledger.shownOnce());
    case Outcome::Exited:
        return QStringLiteral("%1: the controller exited").arg(phase);
    case Outcome::Failed:
        return QStringLiteral("%1: %2").arg(phase, m_failure);
    }
    return {};
}

void SoakRun::receive(const QByteArray& bytes)
{
    for (const ShownMessages::Shown& shown : m_shown.take(bytes)) {
        m_ledger.shown(shown.linha1, shown.linha2);
        emit messageShown();
    }
}

// Feeds what the steady rate asks for by now, so a late timer does not slow the feed.
void SoakRun::feedDue()
{
    const double feedPerSecond = m_settings.feedRatio / m_settings.displaySeconds;
    const auto due =
        static_cast<int>(static_cast<double>(m_feedClock.elapsed()) / 1000 * feedPerSecond);
    while (m_ledger.fedTotal() - m_fedBeforeFeeding < due && m_failure.isEmpty()) {
        const int before = m_ledger.fedTotal();
        feedOne();
        if (m_ledger.fedTotal() == before)
            return; // refused for now: the next tick catches up
    }
}

// The next message, from each source in turn.
void SoakRun::feedOne()
{
    const QString failure = runTrapped([this] {
        if (m_feeder.feed(m_nextSource))
            m_nextSource = m_nextSource == Source::Database ? Source::DropFolder : Source::Database;
    });
    if (!failure.isEmpty()) {
        m_failure = failure;
        emit failed();
    }
}

// The queue's length, as what was fed and is neither in its source nor shown yet.
void SoakRun::sample()
{
    int waiting = 0;
    if (!runTrapped([&] { waiting = m_feeder.waitingInSources(); }).isEmpty())
        return; // the database was busy: the next sample counts
    const int queued = m_ledger.fedTotal() - waiting - m_ledger.shownOnce();
    m_queuePeak = std::max(m_queuePeak, queued);
    if (++m_samples % samplesPerProgressLine != 0)
        return;
    qint64 resident = 0;
    runTrapped([&] { resident = ProcessUsage::of(pid()).residentKiB; });
    std::fprintf(stderr, "%4lld s: fed %d, shown %d, queued %d, resident %.1f MiB\n",
                 static_cast<long long>(m_runClock.elapsed() / 1000), m_ledger.fedTotal(),
                 m_ledger.shownTotal(), queued, mebibytes(resident));
}

// Kills the controller as a power cut would, wherever it is, and starts it again over the same
// folder: its spool has what it had taken and not yet shown.
void SoakRun::killAndRestart()
{
    m_restarting = true;
    ::kill(static_cast<pid_t>(pid()), SIGKILL);
    m_controller.process().waitForFinished();
    const QString failure = runTrapped([this] { m_controller.restart(); });
    m_restarting = false;
    if (!failure.isEmpty()) {
        m_failure = failure;
        emit failed();
        return;
    }
    ++m_kills;
}
