#pragma once

#include <QHash>
#include <QtGlobal>

// What a running process holds and has used, as the kernel counts it (/proc/PID/status,
// /proc/PID/stat and each thread's /proc/PID/task/TID/schedstat).
struct ProcessUsage {
    qint64 residentKiB = 0;     // VmRSS
    qint64 peakResidentKiB = 0; // VmHWM, the highest VmRSS so far
    double cpuSeconds = 0;      // user and system time, in clock ticks (1/100 s as a rule)
    // The run time of each thread alive now, by thread id, to the nanosecond: fine enough for
    // the small figures of an idle process, which cpuSeconds rounds to whole ticks.
    QHash<qint64, qint64> threadNanoseconds;

    // Throws Failure when the process is gone or its figures cannot be read.
    static ProcessUsage of(qint64 pid);

    // The CPU seconds the process used since `earlier`, to the nanosecond: each live thread's
    // run time since then, or since it began. A thread that ended in between takes its last
    // moments with it, never the time it had used before.
    double threadCpuSecondsSince(const ProcessUsage& earlier) const;
};
