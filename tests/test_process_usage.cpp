#include "common/failure.h"
#include "process_usage.h"

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

class TestProcessUsage : public QObject {
    Q_OBJECT

private slots:
    // A thread of the process, other than the one asking, working for a known CPU time.
    void of_countsTheRunTimeOfEveryThread()
    {
        const qint64 pid = QCoreApplication::applicationPid();
        const ProcessUsage before = ProcessUsage::of(pid);
        constexpr double work = 0.05;
        double worked = 0;
        std::atomic<bool> done = false;
        QSemaphore release;
        std::unique_ptr<QThread> thread(QThread::create([&] {
            const double start = threadCpuNow();
            volatile double sink = 0;
            while (threadCpuNow() - start < work)
                sink = sink + 1;
            worked = threadCpuNow() - start;
            done = true;
            release.acquire(); // an ended thread's time is no longer counted
        }));
        thread->start();
        QTRY_VERIFY(done.load());
        const ProcessUsage during = ProcessUsage::of(pid);
        release.release();
        thread->wait();

        QVERIFY(during.threadCpuSeconds - before.threadCpuSeconds >= worked);
        QVERIFY(during.cpuSeconds >= before.cpuSeconds);
        QVERIFY(during.residentKiB > 0);
        QVERIFY(during.peakResidentKiB >= during.residentKiB);
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
