#include "core/failure.h"
#include "support/process_usage.h"
#include "support/test_main.h"

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

// A thread besides the one asking, that works for 0.05 s of CPU, then waits until it is let go.
struct WorkingThread {
    WorkingThread() { thread->start(); }
    ~WorkingThread() { end(); }
    void end()
    {
        release.release();
        thread->wait();
    }

    std::atomic<double> worked = -1; // the CPU seconds it worked, once done
    QSemaphore release;
    std::unique_ptr<QThread> thread{QThread::create([this] {
        const double start = threadCpuNow();
        volatile double sink = 0;
        while (threadCpuNow() - start < 0.05)
            sink = sink + 1;
        worked = threadCpuNow() - start;
        release.acquire();
    })};
};

} // namespace

class TestProcessUsage : public QObject {
    Q_OBJECT

private:
    const qint64 m_pid = QCoreApplication::applicationPid();

private slots:
    void of_countsTheRunTimeOfEveryThread()
    {
        const ProcessUsage before = ProcessUsage::of(m_pid);
        WorkingThread thread;
        QTRY_VERIFY(thread.worked >= 0);
        const ProcessUsage after = ProcessUsage::of(m_pid);

        QVERIFY(after.threadCpuSecondsSince(before) >= thread.worked);
        QVERIFY(after.cpuSeconds >= before.cpuSeconds);
        QVERIFY(after.residentKiB > 0);
        QVERIFY(after.peakResidentKiB >= after.residentKiB);
    }

    // A thread that had worked before the first reading and ended before the second takes
    // nothing away from what the others used.
    void threadCpuSecondsSince_aThreadThatEnded_takesAwayNothing()
    {
        WorkingThread thread;
        QTRY_VERIFY(thread.worked >= 0);
        const ProcessUsage before = ProcessUsage::of(m_pid);
        thread.end();
        // Gone from /proc too, not only joined.
        QTRY_VERIFY(ProcessUsage::of(m_pid).threadNanoseconds.size() <
                    before.threadNanoseconds.size());
        QVERIFY(ProcessUsage::of(m_pid).threadCpuSecondsSince(before) >= 0);
    }

    void of_aProcessThatDoesNotExist_throws()
    {
        QFile pidMax("/proc/sys/kernel/pid_max");
        QVERIFY(pidMax.open(QIODevice::ReadOnly));
        // Process ids stay below pid_max.
        QVERIFY_THROWS_EXCEPTION(Failure,
                                 ProcessUsage::of(pidMax.readAll().trimmed().toLongLong()));
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestProcessUsage)
#include "test_process_usage.moc"
