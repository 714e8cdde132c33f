#include "core/failure.h"
#include "support/process_usage.h"

#include <QCoreApplication>
#include <QFile>
#include <QSemaphore>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <ctime>
#include <memory>

namespace {

double threadCpuNow()
{
    timespec time{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
}

} // namespace

// A thread besides the one asking, that works for `work` seconds of CPU, then waits until it is
// let go.
class WorkingThread {
public:
    explicit WorkingThread(double work)
        : m_thread(QThread::create([this, work] {
              const double start = threadCpuNow();
              volatile double sink = 0;
              while (threadCpuNow() - start < work)
                  sink = sink + 1;
              m_worked = threadCpuNow() - start;
              m_done = true;
              m_release.acquire();
          }))
    {
        m_thread->start();
    }
    ~WorkingThread() { end(); }

    bool done() const { return m_done; }
    double worked() const { return m_worked; }
    void end()
    {
        if (m_thread->isFinished())
            return;
        m_release.release();
        m_thread->wait();
    }

private:
    std::atomic<bool> m_done = false;
    double m_worked = 0;
    QSemaphore m_release;
    std::unique_ptr<QThread> m_thread;
};

class TestProcessUsage : public QObject {
    Q_OBJECT

private:
    const qint64 m_pid = QCoreApplication::applicationPid();

private slots:
    void of_countsTheRunTimeOfEveryThread()
    {
        const ProcessUsage before = ProcessUsage::of(m_pid);
        WorkingThread thread(0.05);
        QTRY_VERIFY(thread.done());
        const ProcessUsage after = ProcessUsage::of(m_pid);

        QVERIFY(after.threadCpuSecondsSince(before) >= thread.worked());
        QVERIFY(after.cpuSeconds >= before.cpuSeconds);
        QVERIFY(after.residentKiB > 0);
        QVERIFY(after.peakResidentKiB >= after.residentKiB);
    }

    // A thread that had worked before the first reading and ended before the second takes
    // nothing away from what the others used.
    void threadCpuSecondsSince_aThreadThatEnded_takesAwayNothing()
    {
        WorkingThread thread(0.05);
        QTRY_VERIFY(thread.done());
        const ProcessUsage before = ProcessUsage::of(m_pid);
        thread.end();
        // Gone from /proc too, not only joined.
        QTRY_VERIFY(ProcessUsage::of(m_pid).threadNanoseconds.size() <
                    before.threadNanoseconds.size());
        QVERIFY(ProcessUsage::of(m_pid).threadCpuSecondsSince(before) >= 0);
    }

    void of_aProcessThatDoesNotExist_throws()
    {
        QFile pidMax(QStringLiteral("/proc/sys/kernel/pid_max"));
        QVERIFY(pidMax.open(QIODevice::ReadOnly));
        // Process ids stay below pid_max.
        QVERIFY_THROWS_EXCEPTION(Failure,
                                 ProcessUsage::of(pidMax.readAll().trimmed().toLongLong()));
    }
};

QTEST_GUILESS_MAIN(TestProcessUsage)
#include "test_process_usage.moc"
