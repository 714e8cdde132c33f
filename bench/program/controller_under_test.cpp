#include "controller_under_test.h"

#include "core/failure.h"
#include "core/settings.h"
#include "core/text_encoding.h"
#include "spooled_messages.h"
#include "support/drop_files.h"
#include "support/usual_display.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileSystemWatcher>
#include <QTimer>

#include <limits>

#include <csignal>

namespace {

using Key = Settings::Key;

constexpr int recheckMs = 100;

} // namespace

ControllerUnderTest::ControllerUnderTest(const QString& program, const ControllerSetup& setup)
{
    m_clock.start();
    connect(&m_port, &PtyPort::received, this, &ControllerUnderTest::receive);
    Settings& settings = m_folder.settings();
    settings.setText(Key::Porta, m_port.slavePath());
    settings.setText(Key::SegundosTimerSQL, QString::number(setup.pollingSeconds));
    settings.setText(Key::SegundosTimerDisplay, QString::number(setup.displaySeconds));
    settings.setLigaFicheiros(true);
    settings.setLigaSQL(setup.database);
    if (!setup.server.isEmpty())
        settings.setText(Key::SQL_Servidor, setup.server);
    if (setup.idleClock) {
        settings.setMostraDefault(1);
        settings.setText(Key::Default_Linha1, QStringLiteral("Bem-vindo"));
        settings.setText(Key::Default_Linha2, QStringLiteral("#DataHora#"));
    }
    if (setup.spooled > 0) {
        writeSpooledMessages(m_folder.filePath(QStringLiteral("fila")), m_nextNumber,
                             setup.spooled);
        m_nextNumber += setup.spooled;
    }
    QStringList arguments{QStringLiteral("AUTO")};
    if (!setup.window)
        arguments << QStringLiteral("--sem-janela");
    m_controller.start(program, m_folder, arguments);
    m_startedAt = now();
}

std::unique_ptr<DropBatch> ControllerUnderTest::stage(int count)
{
    auto batch = std::make_unique<DropBatch>(m_folder.dropFolder(), m_nextNumber, count);
    m_nextNumber += count;
    connect(batch.get(), &DropBatch::filesTaken, this, &ControllerUnderTest::progressed);
    return batch;
}

void ControllerUnderTest::feed(DropBatch& batch, int frames, qint64 limitMs)
{
    batch.moveIntoPlace();
    if (!runUntil([&] { return batch.taken() && this->frames() >= frames; }, limitMs))
        throw Failure(QStringLiteral("The controller took %1 of %2 drop files and showed %3 of "
                                     "%4 frames within %5 s")
                          .arg(batch.takenCount())
                          .arg(batch.count())
                          .arg(this->frames())
                          .arg(frames)
                          .arg(static_cast<double>(limitMs) / 1000));
}

void ControllerUnderTest::drip(int count, qint64 limitMs)
{
    const QDir dropFolder(m_folder.dropFolder());
    const QString beside = m_folder.filePath(QStringLiteral("gota"));
    if (!QDir().mkpath(beside))
        throw Failure(QStringLiteral("Cannot make %1").arg(beside));
    QFileSystemWatcher watcher({dropFolder.path()});
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this,
            &ControllerUnderTest::progressed);
    for (int file = 0; file < count; ++file) {
        const int number = m_nextNumber++;
        writeBenchDropFiles(beside, number, 1);
        const QString name = benchDropFileName(number);
        const QString path = dropFolder.filePath(name);
        if (!QFile::rename(QDir(beside).filePath(name), path))
            throw Failure(QStringLiteral("Cannot move %1 into %2").arg(name, dropFolder.path()));
        if (!runUntil([&] { return !QFile::exists(path); }, limitMs))
            throw Failure(QStringLiteral("The controller did not take %1 within %2 s")
                              .arg(name)
                              .arg(static_cast<double>(limitMs) / 1000));
    }
}

bool ControllerUnderTest::runUntil(const std::function<bool()>& done, qint64 limitMs)
{
    QProcess& process = m_controller.process();
    const auto checkRunning = [&] {
        if (process.state() != QProcess::Running)
            throw Failure(
                QStringLiteral("The controller exited (status %1)").arg(process.exitCode()));
    };
    checkRunning();
    if (done())
        return true;
    QEventLoop loop;
    bool met = false;
    const auto check = [&] {
        if (done()) {
            met = true;
            loop.quit();
        }
    };
    QTimer limit;
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer);
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer recheck;
    connect(&recheck, &QTimer::timeout, &loop, check);
    connect(this, &ControllerUnderTest::progressed, &loop, check);
    connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    limit.start(static_cast<int>(std::min<qint64>(limitMs, std::numeric_limits<int>::max())));
    recheck.start(recheckMs);
    loop.exec();
    checkRunning();
    return met;
}

double ControllerUnderTest::cpuRate(qint64 ms)
{
    const ProcessUsage before = usage();
    const double start = now();
    runFor(ms);
    return cpuSecondsSince(before) / (now() - start);
}

double ControllerUnderTest::secondsToEnd(int signal, qint64 limitMs)
{
    QProcess& process = m_controller.process();
    const double start = now();
    if (::kill(static_cast<pid_t>(process.processId()), signal) != 0 ||
        !process.waitForFinished(static_cast<int>(limitMs)))
        throw Failure(QStringLiteral("The controller did not end within %1 s")
                          .arg(static_cast<double>(limitMs) / 1000));
    const double seconds = now() - start;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw Failure(
            QStringLiteral("The controller ended with status %1").arg(process.exitCode()));
    return seconds;
}

void ControllerUnderTest::receive(const QByteArray& bytes)
{
    const QList<ShownMessages::Shown> shown = m_shown.take(bytes);
    if (shown.isEmpty())
        return;
    const double at = now();
    for (const ShownMessages::Shown& frame : shown) {
        m_frameTimes.append(at);
        m_frameBytes +=
            usualDisplayMessage(encodeWindows1252(frame.linha1), encodeWindows1252(frame.linha2))
                .size();
    }
    emit progressed();
}
